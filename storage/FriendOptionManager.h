#pragma once
// The user's friend settings in memory, kept in option.data of the signed-in user. Loaded at each
// start of the service, saved on every change and once more when destroyed. Owned by the friend
// service; reached through GetInstance().

#include "base/Singleton.h"
#include "storage/FriendOption.h"

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

private:
    FriendOption m_FriendOption;
};
