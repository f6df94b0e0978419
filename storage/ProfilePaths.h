#pragma once
// Where the signed-in user's databases live: Profile/<user id>/ under the working directory.
// Paths are file-system bytes with '/' separators; ids are written as unsigned decimal. Without a
// working directory (it was removed) every path is empty: opening one fails and is reported, and
// nothing is created anywhere.

#include <string>

namespace pellix {

std::string ProfileDirectory();

std::string ContactDatabasePath();
// False when the profile directory is not there afterwards.
bool EnsureContactProfileDirectory();
bool ContactStoreExists();

std::string OptionDatabasePath();
// The outbox and the ids of the chats already shown.
std::string DeliveryDatabasePath();
// Creates the profile directory only for a signed-in user (id not 0); false for id 0.
bool EnsureOptionProfileDirectory();

// Ends with '/'.
std::string ChatHistoryDirectory();
bool EnsureChatHistoryDirectory();
// Creates the directory (and its parents) unless it is there; false for an empty path.
bool EnsureDirectory(const std::string& directory);
std::string ChatHistoryFileName(int peerID);
// The history file of a peer in the given chat history directory; empty when that is.
std::string ChatHistoryFilePath(const std::string& directory, int peerID);

} // namespace pellix
