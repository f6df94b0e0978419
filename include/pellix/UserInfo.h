#pragma once
// The signed-in user's record as host and module share it: 216 bytes, fixed offsets.
// Texts are GBK and may fill their 32 bytes without a terminating zero.

#include <cstddef>
#include <cstdint>

struct tagUserInfo {
    uint16_t hostWord0;
    uint8_t gender;
    uint8_t hostByte3;
    int32_t userID;
    int32_t hostInts8[3];
    char userName[32];
    char hostText52[32];
    uint8_t notCopied84[4];
    int32_t hostInts88[7];
    uint16_t hostWords116[3];
    uint8_t hostByte122;
    char nickName[32];
    char hostText155[32];
    uint8_t notCopied187;
    int32_t host188;
    int32_t showID;
    int32_t hostInts196[3];
    int32_t host208;
    int32_t host212;
};

static_assert(sizeof(tagUserInfo) == 216);
static_assert(offsetof(tagUserInfo, hostWord0) == 0);
static_assert(offsetof(tagUserInfo, gender) == 2);
static_assert(offsetof(tagUserInfo, hostByte3) == 3);
static_assert(offsetof(tagUserInfo, userID) == 4);
static_assert(offsetof(tagUserInfo, hostInts8) == 8);
static_assert(offsetof(tagUserInfo, userName) == 20);
static_assert(offsetof(tagUserInfo, hostText52) == 52);
static_assert(offsetof(tagUserInfo, notCopied84) == 84);
static_assert(offsetof(tagUserInfo, hostInts88) == 88);
static_assert(offsetof(tagUserInfo, hostWords116) == 116);
static_assert(offsetof(tagUserInfo, hostByte122) == 122);
static_assert(offsetof(tagUserInfo, nickName) == 123);
static_assert(offsetof(tagUserInfo, hostText155) == 155);
static_assert(offsetof(tagUserInfo, notCopied187) == 187);
static_assert(offsetof(tagUserInfo, host188) == 188);
static_assert(offsetof(tagUserInfo, showID) == 192);
static_assert(offsetof(tagUserInfo, hostInts196) == 196);
static_assert(offsetof(tagUserInfo, host208) == 208);
static_assert(offsetof(tagUserInfo, host212) == 212);
