#include "ProfilePaths.h"

#include "base/SignedInUser.h"
#include "text/FileUtility.h"
#include "text/StringUtility.h"

namespace pellix {

namespace {

int32_t CurrentUserID() {
    return GetUserInfo().userID;
}

std::string DecimalID(int32_t id) {
    return StringUtility::toString(static_cast<unsigned int>(id));
}

// A path inside the given directory; empty when the directory is unknown, never a path relative
// to wherever the process happens to be.
std::string Inside(const std::string& directory, const std::string& name) {
    return directory.empty() ? std::string() : directory + name;
}

bool CreateProfileDirectory() {
    return EnsureDirectory(ProfileDirectory());
}

} // namespace

std::string ProfileDirectory() {
    return Inside(FileUtility::GetCurrentWorkingDirectory(),
                  "Profile/" + DecimalID(CurrentUserID()));
}

std::string ContactDatabasePath() {
    return Inside(ProfileDirectory(), "/contacts.data");
}

bool EnsureContactProfileDirectory() {
    return CreateProfileDirectory();
}

bool ContactStoreExists() {
    const std::string path = ContactDatabasePath();
    return !path.empty() && FileUtility::fileExist(path);
}

std::string OptionDatabasePath() {
    return Inside(ProfileDirectory(), "/option.data");
}

std::string DeliveryDatabasePath() {
    return Inside(ProfileDirectory(), "/delivery.data");
}

bool EnsureOptionProfileDirectory() {
    if (CurrentUserID() == 0)
        return false;
    CreateProfileDirectory();
    return true;
}

std::string ChatHistoryDirectory() {
    return Inside(ProfileDirectory(), "/ChatHistory/");
}

bool EnsureChatHistoryDirectory() {
    return EnsureDirectory(ChatHistoryDirectory());
}

bool EnsureDirectory(const std::string& directory) {
    return !directory.empty() && FileUtility::createDirectory(directory);
}

std::string ChatHistoryFileName(int peerID) {
    return DecimalID(peerID) + ".data";
}

std::string ChatHistoryFilePath(const std::string& directory, int peerID) {
    return Inside(directory, ChatHistoryFileName(peerID));
}

} // namespace pellix
