#include "ProfilePaths.h"

#include "base/SignedInUser.h"
#include "client/FileUtility.h"
#include "client/StringUtility.h"

namespace {

int32_t CurrentUserID() {
    return GetUserInfo().userID;
}

std::string DecimalID(int32_t id) {
    return StringUtility::toString(static_cast<unsigned int>(id));
}

} // namespace

std::string ProfileDirectory() {
    return FileUtility::GetCurrentWorkingDirectory() + "Profile/" + DecimalID(CurrentUserID());
}

std::string ContactDatabasePath() {
    return ProfileDirectory() + "/contacts.data";
}

void EnsureContactProfileDirectory() {
    FileUtility::createDirectory(ProfileDirectory());
}

bool ContactStoreExists() {
    return FileUtility::fileExist(ContactDatabasePath());
}

std::string OptionDatabasePath() {
    return ProfileDirectory() + "/option.data";
}

bool EnsureOptionProfileDirectory() {
    if (CurrentUserID() == 0)
        return false;
    FileUtility::createDirectory(ProfileDirectory());
    return true;
}

std::string ChatHistoryDirectory() {
    return ProfileDirectory() + "/ChatHistory/";
}

void EnsureChatHistoryDirectory() {
    FileUtility::createDirectory(ChatHistoryDirectory());
}

std::string ChatHistoryFileName(int peerID) {
    return DecimalID(peerID) + ".data";
}
