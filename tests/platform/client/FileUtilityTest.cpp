#include "client/FileUtility.h"

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
