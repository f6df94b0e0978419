#pragma once

namespace pellix {

// The five sound cues of friend events, each played only while friend sounds are switched on.
// The friend service implements them with its sound player.

class ISoundCues {
public:
    virtual void PlayOnlineSound() = 0;
    virtual void PlayOfflineSound() = 0;
    // Non-zero when a sound was started.
    virtual int PlayMessageSound() = 0;
    virtual int PlayNotifySound() = 0;
    virtual void PlayShakeSound() = 0;

protected:
    ~ISoundCues() = default;
};

} // namespace pellix
