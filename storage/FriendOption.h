#pragma once

namespace pellix {

// The user's six friend settings, in the column order of the option table.

struct FriendOption {
    bool bRefuseAddFriend = false;
    bool bRefuseOnlineTips = false;
    bool bSentCloseWindow = false;
    bool bRefuseInviteGame = false;
    // true: Enter alone sends a chat message; false: Ctrl+Enter sends.
    bool bEnterShortcut = false;
    bool bOpenFriendSound = true;
};

} // namespace pellix
