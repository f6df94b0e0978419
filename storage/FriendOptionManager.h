#pragma once
// The user's friend settings in memory, kept in option.data of the signed-in user: the six flags,
// and the contacts for whom the user turned presence tips off. Loaded at each start of the
// service, saved on every change and once more when destroyed. Owned by the friend service;
// reached through GetInstance().

#include "base/Singleton.h"
#include "storage/FriendOption.h"

#include <cstdint>
#include <unordered_set>

namespace pellix {

class CFriendOptionManager : public CSingleton<CFriendOptionManager> {
public:
    // Every flag off, the sound flag included, until the first load.
    CFriendOptionManager();
    ~CFriendOptionManager() override;

    // Both return false without touching a file while no user is signed in (id 0), true when the
    // file was used, also after a reported failure.
    bool Load();
    bool Save();

    FriendOption& GetFriendOption() { return m_FriendOption; }
    const FriendOption& GetFriendOption() const { return m_FriendOption; }

    // Whether presence changes of this contact bring a tip and a sound: on unless the user turned
    // them off (bRefuseOnlineTips still silences everyone). A hash lookup, since every presence
    // command asks.
    bool GetFriendOnlineTips(int32_t userID) const { return !m_SilencedFriends.contains(userID); }
    // Changes the setting of one contact and stores it at once.
    void SetFriendOnlineTips(int32_t userID, bool onlineTips);

private:
    FriendOption m_FriendOption;
    std::unordered_set<int32_t> m_SilencedFriends;
};

} // namespace pellix
