#include "FriendOptionManager.h"

#include "FriendOptionStore.h"
#include "ProfilePaths.h"

CFriendOptionManager::CFriendOptionManager() {
    m_FriendOption.bOpenFriendSound = false;
}

CFriendOptionManager::~CFriendOptionManager() {
    Save();
}

bool CFriendOptionManager::Load() {
    if (!EnsureOptionProfileDirectory())
        return false;
    CFriendOptionStore(m_FriendOption).Load(OptionDatabasePath());
    return true;
}

bool CFriendOptionManager::Save() {
    if (!EnsureOptionProfileDirectory())
        return false;
    CFriendOptionStore(m_FriendOption).Save(OptionDatabasePath());
    return true;
}
