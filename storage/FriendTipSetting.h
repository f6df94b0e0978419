#pragma once
// Whether the user gets presence tips and sounds for one contact; a contact without a stored
// setting gets them.

#include <cstdint>

namespace pellix {

struct FriendTipSetting {
    int32_t userID = 0;
    bool bOnlineTips = true;
};

} // namespace pellix
