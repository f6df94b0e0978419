#pragma once
// Little-endian loads and stores of fixed-width integers: the byte order of every frame header
// and command body.

#include <cstdint>

namespace LittleEndian {

inline uint16_t Load16(const uint8_t* in) {
    return static_cast<uint16_t>(in[0] | in[1] << 8);
}

inline uint32_t Load32(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
           static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
}

inline int32_t LoadInt32(const uint8_t* in) {
    return static_cast<int32_t>(Load32(in));
}

inline void Store16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

inline void Store32(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value >> 16);
    out[3] = static_cast<uint8_t>(value >> 24);
}

inline void StoreInt32(uint8_t* out, int32_t value) {
    Store32(out, static_cast<uint32_t>(value));
}

} // namespace LittleEndian
