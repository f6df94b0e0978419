#pragma once
// One contact of the signed-in user as the contact list model holds it; created and owned only by
// CContactManager. Strings are GBK.

#include <cstdint>
#include <string>

namespace pellix {

constexpr int32_t GROUP_FRIEND = 2;
constexpr int32_t GROUP_STRANGER = 4;
constexpr int32_t GROUP_BLACKLIST = 8;

constexpr uint8_t STATE_OFFLINE = 1;
constexpr uint8_t STATE_ONLINE = 2;

struct ContactInfo {
    int32_t sortID = -1;
    int32_t userID = -1;
    int32_t showID = -1;
    int32_t groupID = -1;
    // Not stored: every contact read from the store starts offline.
    uint8_t onlineState = STATE_OFFLINE;
    uint8_t gender = 0;
    std::string userName;
    std::string nickName;
    // The user's own remark; kept across friend list downloads.
    std::string noteName;
};

} // namespace pellix
