#pragma once
// option.data's table friend_online_tips: the user's choice of presence tips for single contacts,
// one row per contact whose setting was ever changed. Files written before the table existed gain
// it at their first use. Built on the stack for one operation; opens its own session.

#include "storage/FriendTipSetting.h"

#include "data/Session.h"

#include <cstdint>
#include <string>
#include <unordered_set>

namespace pellix {

class CFriendTipStore {
public:
    static void EnsureSchema(QxDataModule::Session& session);
    // Fills silenced with the contacts whose tips are off. False after a reported failure.
    static bool LoadSilenced(const std::string& path, std::unordered_set<int32_t>& silenced);
    static bool Save(const std::string& path, const FriendTipSetting& setting);
};

} // namespace pellix
