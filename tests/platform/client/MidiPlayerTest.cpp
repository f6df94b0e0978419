#include "client/MidiPlayer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
