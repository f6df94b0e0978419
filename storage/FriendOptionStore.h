#pragma once
// option.data: table friend_option with exactly one row of the six friend settings. Built on the
// stack over the manager's FriendOption for one operation; opens its own session.

#include "storage/FriendOption.h"

#include "data/Session.h"

#include <string>

namespace pellix {

class CFriendOptionStore {
public:
    explicit CFriendOptionStore(FriendOption& option);

    // Creates the table; an empty table gets the current flags, with the sound flag forced on.
    void EnsureSchema(QxDataModule::Session& session);
    // False after a reported failure; the flags keep what they had or what was read.
    bool Load(const std::string& path);
    bool Save(const std::string& path);

private:
    FriendOption& m_option;
};

} // namespace pellix
