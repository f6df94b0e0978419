// Sound cues of friend events, each played only while friend sounds are switched on.

#include "FriendService.h"

#include "storage/FriendOptionManager.h"
#include "text/FileUtility.h"

namespace pellix {

bool CFriendService::FriendSoundOn() const {
    return m_pFriendOptionManager != nullptr &&
           m_pFriendOptionManager->GetFriendOption().bOpenFriendSound;
}

void CFriendService::SetSoundPlayer(CMidiPlayer* player) {
    m_pSoundPlayer = player != nullptr ? player : &m_SoundPlayer;
}

void CFriendService::PlaySound(const char* fileName) {
    // File-system bytes end to end: the working directory as the system names it, the player
    // decoding it the same way.
    const std::string directory = FileUtility::GetCurrentWorkingDirectory();
    if (directory.empty())
        return;
    const std::string path = directory + fileName;
    m_pSoundPlayer->PlaySoundFile(path.c_str());
}

void CFriendService::PlayOnlineSound() {
    if (FriendSoundOn())
        PlaySound("Sounds/Online.wav");
}

void CFriendService::PlayOfflineSound() {
    if (FriendSoundOn())
        PlaySound("Sounds/Offline.wav");
}

int CFriendService::PlayMessageSound() {
    if (!FriendSoundOn())
        return 0;
    PlaySound("Sounds/Msg.wav");
    return 1;
}

int CFriendService::PlayNotifySound() {
    if (!FriendSoundOn())
        return 0;
    PlaySound("Sounds/Notify.wav");
    return 1;
}

void CFriendService::PlayShakeSound() {
    if (FriendSoundOn())
        PlaySound("Sounds/Shake.wav");
}

} // namespace pellix
