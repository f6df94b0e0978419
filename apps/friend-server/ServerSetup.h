#pragma once
// Puts the accounts and friendships named on the command line into the store before the server
// listens. The demo accounts let the demo script sign users on without further setup.

#include "ServerOptions.h"

#include <QString>

namespace pellix::server {

class AccountStore;

// The demo accounts: ids 10001 to 10004, each with the token "demo".
std::vector<Account> DemoAccounts();

// False, with error set, when a friendship names an unknown account, a range of accounts holds one
// named on its own, or a friend list would grow too long.
bool ApplySetup(const ServerOptions& options, AccountStore& store, QString& error);

} // namespace pellix::server
