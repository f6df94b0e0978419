#pragma once
// The client library's sound player: plays one short sound file at a time.

#include <memory>

class CMidiPlayer {
public:
    CMidiPlayer();
    virtual ~CMidiPlayer();
    CMidiPlayer(const CMidiPlayer&) = delete;
    CMidiPlayer& operator=(const CMidiPlayer&) = delete;

    // Starts the file and returns at once; non-zero when playback was started.
    // A missing file or audio device is silent.
    virtual unsigned long PlaySoundFile(const char* path);

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};
