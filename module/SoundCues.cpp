// Sound cues of friend events, each played only while friend sounds are switched on.

#include "FriendService.h"

#include "client/FileUtility.h"
#include "storage/FriendOptionManager.h"

bool CFriendService::FriendSoundOn() const {
    return m_pFriendOptionManager != nullptr &&
           m_pFriendOptionManager->GetFriendOption().bOpenFriendSound;
}

void CFriendService::PlaySound(const char* fileName) {
    const std::string path = FileUtility::GetCurrentWorkingDirectory() + fileName;
    m_SoundPlayer.PlaySoundFile(path.c_str());
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
