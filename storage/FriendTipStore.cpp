#include "FriendTipStore.h"

#include "DatabaseAccess.h"
#include "RecordColumns.h"

#include "data/Binding.h"
#include "data/Statement.h"

#include <vector>

namespace pellix {

using namespace QxDataModule;

void CFriendTipStore::EnsureSchema(Session& session) {
    session << "CREATE TABLE IF NOT EXISTS [friend_online_tips] (userID INTEGER PRIMARY KEY NOT "
               "NULL, OnlineTips INTEGER NOT NULL default 1)",
        now;
}

bool CFriendTipStore::LoadSilenced(const std::string& path, std::unordered_set<int32_t>& silenced) {
    return WithDatabase(path, [&](Session& session) {
        EnsureSchema(session);
        std::vector<FriendTipSetting> rows;
        Statement select(session);
        select << "SELECT userID, OnlineTips FROM [friend_online_tips] WHERE OnlineTips = 0",
            intoRecords(rows);
        select.execute();
        for (const FriendTipSetting& row : rows)
            silenced.insert(row.userID);
    });
}

bool CFriendTipStore::Save(const std::string& path, const FriendTipSetting& setting) {
    return WithDatabase(path, [&](Session& session) {
        EnsureSchema(session);
        session << "REPLACE INTO [friend_online_tips] (userID, OnlineTips) VALUES (?, ?)",
            use(setting.userID), use(setting.bOnlineTips), now;
    });
}

} // namespace pellix
