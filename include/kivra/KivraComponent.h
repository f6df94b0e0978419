#pragma once
// What the chat component library and its users share: the interface ids, the one version both
// sides speak, and the signature of the library's two exported factories.

#include <cstdint>

// An interface id in the layout of a Windows GUID.
struct ComponentGUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];

    friend constexpr bool operator==(const ComponentGUID&, const ComponentGUID&) = default;
};

// {E8BD2387-9C2A-4346-B32C-17B7B3519A2F}
inline constexpr ComponentGUID IID_IMessageProxy = {
    0xE8BD2387, 0x9C2A, 0x4346, {0xB3, 0x2C, 0x17, 0xB7, 0xB3, 0x51, 0x9A, 0x2F}};
// {C05A4178-09B8-4ED3-B6BA-EE2C10C00844}
inline constexpr ComponentGUID IID_IEmotionSelector = {
    0xC05A4178, 0x09B8, 0x4ED3, {0xB6, 0xBA, 0xEE, 0x2C, 0x10, 0xC0, 0x08, 0x44}};

inline constexpr uint32_t KIVRA_COMPONENT_VERSION = 0x01010100;

// The library's file, opened from the directory of the module that uses it.
inline constexpr char KIVRA_LIBRARY_FILE[] = "libkivra.so";
inline constexpr char KIVRA_CREATE_MESSAGE_PROXY[] = "CreateMessageProxy";
inline constexpr char KIVRA_CREATE_EMOTION_SELECTOR[] = "CreateEmotionSelector";

// An exported factory: the new object as the interface asked for, or null when the id or the
// version is not the factory's own. The caller releases the object with its Destroy.
using ComponentFactory = void* (*)(const ComponentGUID* interfaceID, uint32_t version);
