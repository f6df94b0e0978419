#include "sound/MidiPlayer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

TEST(MidiPlayer, AnythingButAReadableWaveFileIsSilent) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fake = dir.filePath(QStringLiteral("fake.wav"));
    QFile file(fake);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF....MP3 data");
    file.close();

    CMidiPlayer player;
    for (const QString& path :
         {QString(), dir.path(), dir.filePath(QStringLiteral("none.wav")), fake})
        EXPECT_EQ(player.PlaySoundFile(path.toStdString().c_str()), 0u) << path.toStdString();
    EXPECT_EQ(player.PlaySoundFile(nullptr), 0u);
}

namespace {

// Records what would be played instead of opening an audio device.
class ListeningPlayer final : public CMidiPlayer {
public:
    std::vector<QString> started;

protected:
    bool StartPlayback(const QString& file) override {
        started.push_back(file);
        return true;
    }
};

} // namespace

TEST(MidiPlayer, PathsAreFileSystemBytesUnderAnyDirectoryName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString directory = dir.filePath(QStringLiteral("用户/声音"));
    ASSERT_TRUE(QDir().mkpath(directory));
    const QString wave = directory + QStringLiteral("/Msg.wav");
    QFile file(wave);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("RIFF\x24\0\0\0WAVE", 12));
    file.close();

    ListeningPlayer player;
    EXPECT_EQ(player.PlaySoundFile(QFile::encodeName(wave).constData()), 1u);
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_EQ(
        player.PlaySoundFile(QFile::encodeName(QStringLiteral("用户/声音/Msg.wav")).constData()),
        1u);
    QDir::setCurrent(previous);
    EXPECT_EQ(player.started, (std::vector<QString>{wave, wave}));
}
