#include "FriendOptionManager.h"

#include "FriendOptionStore.h"
#include "FriendTipStore.h"
#include "ProfilePaths.h"

namespace pellix {

CFriendOptionManager::CFriendOptionManager() {
    m_FriendOption.bOpenFriendSound = false;
}

CFriendOptionManager::~CFriendOptionManager() {
    Save();
}

bool CFriendOptionManager::Load() {
    // The contacts silenced so far belong to whoever was signed in before.
    m_SilencedFriends.clear();
    if (!EnsureOptionProfileDirectory())
        return false;
    // A file that cannot be read is reported once, by the first read.
    if (CFriendOptionStore(m_FriendOption).Load(OptionDatabasePath()))
        CFriendTipStore::LoadSilenced(OptionDatabasePath(), m_SilencedFriends);
    return true;
}

bool CFriendOptionManager::Save() {
    if (!EnsureOptionProfileDirectory())
        return false;
    CFriendOptionStore(m_FriendOption).Save(OptionDatabasePath());
    return true;
}

void CFriendOptionManager::SetFriendOnlineTips(int32_t userID, bool onlineTips) {
    if (onlineTips)
        m_SilencedFriends.erase(userID);
    else
        m_SilencedFriends.insert(userID);
    if (EnsureOptionProfileDirectory())
        CFriendTipStore::Save(OptionDatabasePath(), {userID, onlineTips});
}

} // namespace pellix
