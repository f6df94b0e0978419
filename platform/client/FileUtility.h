#pragma once
// File system helpers of the client library. Paths are narrow strings with '/' separators.

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

} // namespace FileUtility
