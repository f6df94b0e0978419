#include "FriendOptionStore.h"

#include "DatabaseAccess.h"
#include "RecordColumns.h"

#include "data/Binding.h"
#include "data/Extraction.h"
#include "data/Statement.h"

namespace pellix {

using namespace QxDataModule;

CFriendOptionStore::CFriendOptionStore(FriendOption& option) : m_option(option) {}

void CFriendOptionStore::EnsureSchema(Session& session) {
    session << "CREATE TABLE IF NOT EXISTS [friend_option] (RefuseAddFriend INTEGER default 0, "
               "RefuseOnlineTips INTEGER default 0, SentCloseWindow INTEGER default 0, "
               "RefuseInviteGame INTEGER default 0, SendHotKey INTEGER default 0, OpenFriendSound "
               "INTEGER default 1)",
        now;
    int32_t rows = 0;
    session << "SELECT COUNT(*) FROM [friend_option]", into(rows), now;
    if (rows >= 1)
        return;
    m_option.bOpenFriendSound = true;
    session << "INSERT INTO [friend_option] VALUES(:bRefuseAddFriend, :bRefuseOnlineTips, "
               ":bSentCloseWindow, :bRefuseInviteGame, :bEnterShortcut, :bOpenFriendSound )",
        use(m_option.bRefuseAddFriend), use(m_option.bRefuseOnlineTips),
        use(m_option.bSentCloseWindow), use(m_option.bRefuseInviteGame),
        use(m_option.bEnterShortcut), use(m_option.bOpenFriendSound), now;
}

bool CFriendOptionStore::Load(const std::string& path) {
    return WithDatabase(path, [&](Session& session) {
        EnsureSchema(session);
        Statement select(session);
        select << "SELECT [friend_option].* FROM [friend_option]", intoRecord(m_option),
            Limit(1, false, false);
        select.execute();
    });
}

bool CFriendOptionStore::Save(const std::string& path) {
    return WithDatabase(path, [&](Session& session) {
        EnsureSchema(session);
        Transaction transaction(session);
        session << "UPDATE [friend_option] SET [RefuseAddFriend] = ?",
            use(m_option.bRefuseAddFriend), now;
        session << "UPDATE [friend_option] SET [RefuseOnlineTips] = ?",
            use(m_option.bRefuseOnlineTips), now;
        session << "UPDATE [friend_option] SET [SentCloseWindow] = ?",
            use(m_option.bSentCloseWindow), now;
        session << "UPDATE [friend_option] SET [RefuseInviteGame] = ?",
            use(m_option.bRefuseInviteGame), now;
        session << "UPDATE [friend_option] SET [SendHotKey] = ?", use(m_option.bEnterShortcut), now;
        session << "UPDATE [friend_option] SET [OpenFriendSound] = ?",
            use(m_option.bOpenFriendSound), now;
        transaction.commit();
    });
}

} // namespace pellix
