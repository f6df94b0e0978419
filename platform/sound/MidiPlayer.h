#pragma once
// The client library's sound player: plays one short sound file at a time.

#include <memory>

class QString;

class CMidiPlayer {
public:
    CMidiPlayer();
    virtual ~CMidiPlayer();
    CMidiPlayer(const CMidiPlayer&) = delete;
    CMidiPlayer& operator=(const CMidiPlayer&) = delete;

    // Starts the WAVE file at path (file-system bytes, absolute or relative to the working
    // directory) and returns at once; non-zero when playback was started. A missing file, a file
    // of another kind or a missing audio device is silent.
    virtual unsigned long PlaySoundFile(const char* path);

protected:
    // Plays the checked file (an absolute path) on the default audio output; false without one.
    virtual bool StartPlayback(const QString& file);

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};
