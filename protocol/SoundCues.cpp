// Sound cues of friend events, each played only while friend sounds are switched on.

#include "client/FileUtility.h"
#include "module/FriendService.h"
#include "storage/FriendOptionManager.h"

namespace {

bool FriendSoundOn() {
    const CFriendOptionManager* options = CFriendOptionManager::GetInstance();
    return options != nullptr && options->GetFriendOption().bOpenFriendSound;
}

} // namespace

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
