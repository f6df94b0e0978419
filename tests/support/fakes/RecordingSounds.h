#pragma once
// Records which sound cues were asked for.

#include "protocol/SoundCues.h"

#include <string>
#include <vector>

class RecordingSounds final : public ISoundCues {
public:
    void PlayOnlineSound() override { played.emplace_back("online"); }
    void PlayOfflineSound() override { played.emplace_back("offline"); }
    int PlayMessageSound() override {
        played.emplace_back("message");
        return 0;
    }
    int PlayNotifySound() override {
        played.emplace_back("notify");
        return 0;
    }
    void PlayShakeSound() override { played.emplace_back("shake"); }

    std::vector<std::string> played;
};
