#pragma once
// Where the signed-in user's databases live: Profile/<user id>/ under the working directory.
// Paths are file-system bytes with '/' separators; ids are written as unsigned decimal.

#include <string>

std::string ProfileDirectory();

std::string ContactDatabasePath();
void EnsureContactProfileDirectory();
bool ContactStoreExists();

std::string OptionDatabasePath();
// Creates the profile directory only for a signed-in user (id not 0); false for id 0.
bool EnsureOptionProfileDirectory();

// Ends with '/'.
std::string ChatHistoryDirectory();
void EnsureChatHistoryDirectory();
std::string ChatHistoryFileName(int peerID);
