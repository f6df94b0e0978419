#include "MidiPlayer.h"

#include <QAudioDevice>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {

// The sound effect plays RIFF/WAVE files only; anything else would fail later, out of sight.
bool IsWaveFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

} // namespace

struct CMidiPlayer::Impl {
    explicit Impl(const QAudioDevice& device) : effect(device) {}
    QSoundEffect effect;
};

CMidiPlayer::CMidiPlayer() = default;

CMidiPlayer::~CMidiPlayer() = default;

unsigned long CMidiPlayer::PlaySoundFile(const char* path) {
    if (path == nullptr || *path == '\0')
        return 0;
    // The path is file-system bytes, as the working directory gave them, not GBK text.
    const QString file = QFileInfo(QFile::decodeName(path)).absoluteFilePath();
    if (!QFileInfo(file).isFile() || !IsWaveFile(file))
        return 0;
    return StartPlayback(file) ? 1 : 0;
}

bool CMidiPlayer::StartPlayback(const QString& file) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    // Created on first use: a process that never plays a sound never opens the audio device.
    if (!m_pImpl)
        m_pImpl = std::make_unique<Impl>(device);
    m_pImpl->effect.stop();
    m_pImpl->effect.setSource(QUrl::fromLocalFile(file));
    m_pImpl->effect.play();
    return true;
}
