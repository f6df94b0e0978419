#pragma once
// File system helpers of the client library. Paths are narrow strings with '/' separators.

#include <QString>

#include <string>

namespace FileUtility {

// The process's working directory as file-system bytes, ending with '/'; empty when it cannot be
// named (it was removed, for one).
std::string GetCurrentWorkingDirectory();
// Creates the directory and any missing parents, readable by the owner only (0700). True when
// the directory is there afterwards; false for an empty path.
bool createDirectory(const std::string& path);
bool fileExist(const std::string& path);
bool deleteFile(const std::string& path);
bool directoryExist(const std::string& path);
// Deletes every file inside the directory (and its subdirectories' contents); keeps the directory.
bool EmptyDirectory(const std::string& path);

// A file name of stem and suffix that any file system here takes, whatever the stem holds (a
// nickname, a window title): '/', '\\', control characters and : * ? " < > | become '_', and the
// stem is cut on a character boundary so that the name takes at most 255 bytes in UTF-8.
QString SafeFileName(const QString& stem, const QString& suffix);

} // namespace FileUtility
