#pragma once
// Records which sound cues were asked for.

#include "protocol/SoundCues.h"

#include <string>
#include <vector>

namespace pellix {

class RecordingSounds final : public ISoundCues {
public:
    void PlayOnlineSound() override { played.emplace_back("online"); }
    void PlayOfflineSound() override { played.emplace_back("offline"); }
    int PlayMessageSound() override { return Play("message"); }
    int PlayNotifySound() override { return Play("notify"); }
    void PlayShakeSound() override { Play("shake"); }

    std::vector<std::string> played;

private:
    int Play(const char* cue) {
        played.emplace_back(cue);
        return 0;
    }
};

} // namespace pellix
