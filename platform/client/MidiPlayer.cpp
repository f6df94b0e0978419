#include "MidiPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

struct CMidiPlayer::Impl {
    QSoundEffect effect;
};

CMidiPlayer::CMidiPlayer() = default;

CMidiPlayer::~CMidiPlayer() = default;

unsigned long CMidiPlayer::PlaySoundFile(const char* path) {
    if (path == nullptr)
        return 0;
    const QString file = QString::fromLocal8Bit(path);
    if (!QFileInfo(file).isFile())
        return 0;
    // Created on first use: a process that never plays a sound never opens the audio device.
    if (!m_pImpl)
        m_pImpl = std::make_unique<Impl>();
    m_pImpl->effect.stop();
    m_pImpl->effect.setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    m_pImpl->effect.play();
    return 1;
}
