#include "text/FileUtility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>

TEST(FileUtility, AWorkingDirectoryThatWasRemovedHasNoName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    const QString gone = dir.filePath(QStringLiteral("工作目录"));
    ASSERT_TRUE(QDir().mkpath(gone));
    ASSERT_TRUE(QDir::setCurrent(gone));
    EXPECT_EQ(FileUtility::GetCurrentWorkingDirectory(),
              QFile::encodeName(gone).toStdString() + '/');

    ASSERT_TRUE(QDir().rmdir(gone));
    EXPECT_EQ(FileUtility::GetCurrentWorkingDirectory(), "");
    QDir::setCurrent(previous);
}

TEST(FileUtility, CreatesMissingParentsForTheOwnerOnlyAndTakesAnExistingDirectory) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString nested = dir.filePath(QStringLiteral("a/资料/c"));
    const std::string path = QFile::encodeName(nested).toStdString() + '/';
    EXPECT_TRUE(FileUtility::createDirectory(path));
    EXPECT_TRUE(QFileInfo(nested).isDir());
    const auto middle = QFile::encodeName(dir.filePath(QStringLiteral("a/资料"))).toStdString();
    EXPECT_EQ(std::filesystem::status(middle).permissions(), std::filesystem::perms::owner_all);
    EXPECT_TRUE(FileUtility::createDirectory(path));
    EXPECT_FALSE(FileUtility::createDirectory(""));

    const QString file = dir.filePath(QStringLiteral("plain"));
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_FALSE(FileUtility::createDirectory(QFile::encodeName(file).toStdString()));
}

TEST(FileUtility, SafeFileNamesAreWritableWhateverTheStemHolds) {
    const QString longChinese = QString(100, QChar(0x4E2D));                  // 中, 3 bytes each
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80").repeated(80); // 4 bytes each
    struct Case {
        QString stem;
        QString expectedStart;
    };
    const Case cases[] = {
        {QStringLiteral("a/b\\c:d*e?f\"g<h>i|j"), QStringLiteral("a_b_c_d_e_f_g_h_i_j")},
        {QStringLiteral("tab\there\nnew\x7f") + QChar(0x85), QStringLiteral("tab_here_new__")},
        {QStringLiteral("/"), QStringLiteral("_")},
        {QString(), QStringLiteral("_")},
        {longChinese, longChinese.left(80)},
        {emoji, emoji.left(2 * 60)},
    };
    const QTemporaryDir folder;
    for (const Case& c : cases) {
        const QString name = FileUtility::SafeFileName(c.stem, QStringLiteral("-20261209.txt"));
        SCOPED_TRACE(name.toStdString());
        EXPECT_LE(name.toUtf8().size(), 255);
        EXPECT_EQ(name, c.expectedStart + QStringLiteral("-20261209.txt"));
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << file.errorString().toStdString();
    }
}
