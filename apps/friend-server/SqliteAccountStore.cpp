#include "SqliteAccountStore.h"

#include "RowsExtraction.h"
#include "data/Binding.h"
#include "data/Extraction.h"
#include "data/SQLite/Connector.h"
#include "data/SessionFactory.h"
#include "data/Statement.h"
#include "text/StringUtility.h"

#include <iterator>
#include <set>
#include <string>

namespace pellix::server {

using namespace QxDataModule;
using StringUtility::AnsiToUTF8;
using StringUtility::UTF8ToAnsi;

namespace {

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS accounts (user_id INTEGER PRIMARY KEY, user_name TEXT NOT NULL, "
    "nick_name TEXT NOT NULL, show_id INTEGER NOT NULL, gender INTEGER NOT NULL, "
    "token TEXT NOT NULL, list_version INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS relations (owner_id INTEGER NOT NULL, other_id INTEGER NOT NULL, "
    "relation INTEGER NOT NULL, PRIMARY KEY (owner_id, other_id)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS offline_messages (queue_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "recipient_id INTEGER NOT NULL, sender_id INTEGER NOT NULL, sent_at INTEGER NOT NULL, "
    "text TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS offline_by_recipient ON offline_messages (recipient_id, "
    "queue_id)",
    "CREATE TABLE IF NOT EXISTS friend_requests (requester_id INTEGER NOT NULL, "
    "target_id INTEGER NOT NULL, text TEXT NOT NULL, delivered INTEGER NOT NULL, "
    "PRIMARY KEY (requester_id, target_id)) WITHOUT ROWID",
};

// SQLite's page cache (2 MiB unless told) would not hold the accounts and relations of 18,000
// users with 10 friends each (about 4 MiB).
constexpr int kCacheKiB = 32768;

// Each step takes the schema from the version before it to its own (PRAGMA user_version).
const char* const kMigrations[][3] = {
    // 1: acknowledged chats carry their sender's message id, held once per sender; the ids of
    // delivered ones are kept for a while against resends.
    {"ALTER TABLE offline_messages ADD COLUMN message_id INTEGER NOT NULL DEFAULT 0",
     "CREATE UNIQUE INDEX IF NOT EXISTS offline_by_message ON offline_messages (sender_id, "
     "message_id) WHERE message_id != 0",
     "CREATE TABLE IF NOT EXISTS delivered_chats (sender_id INTEGER NOT NULL, "
     "message_id INTEGER NOT NULL, PRIMARY KEY (sender_id, message_id)) WITHOUT ROWID"},
};

// A batch goes through two temporary tables, made and dropped inside its transaction, so that
// what changes is found with a few statements over all its rows.
const char* const kBatchTables[] = {
    "CREATE TEMP TABLE batch_accounts (user_id INTEGER PRIMARY KEY, user_name TEXT NOT NULL, "
    "nick_name TEXT NOT NULL, show_id INTEGER NOT NULL, gender INTEGER NOT NULL, "
    "token TEXT NOT NULL)",
    "CREATE TEMP TABLE batch_friends (owner_id INTEGER NOT NULL, other_id INTEGER NOT NULL, "
    "PRIMARY KEY (owner_id, other_id)) WITHOUT ROWID",
};

// Before the accounts change: the friends of each one whose list entry is about to change.
const char* const kBumpFriendsOfRenamed =
    "UPDATE accounts SET list_version = list_version + 1 WHERE user_id IN (SELECT r.other_id "
    "FROM batch_accounts AS b JOIN accounts AS a ON a.user_id = b.user_id JOIN relations AS r "
    "ON r.owner_id = b.user_id AND r.relation = ? WHERE a.user_name IS NOT b.user_name OR "
    "a.nick_name IS NOT b.nick_name OR a.show_id IS NOT b.show_id OR a.gender IS NOT b.gender)";

// Rows that hold the same values already are not written.
const char* const kSaveBatchAccounts =
    "INSERT INTO accounts (user_id, user_name, nick_name, show_id, gender, token, list_version) "
    "SELECT user_id, user_name, nick_name, show_id, gender, token, ? FROM batch_accounts "
    "WHERE true ON CONFLICT (user_id) DO UPDATE SET user_name = excluded.user_name, "
    "nick_name = excluded.nick_name, show_id = excluded.show_id, gender = excluded.gender, "
    "token = excluded.token WHERE accounts.user_name IS NOT excluded.user_name OR "
    "accounts.nick_name IS NOT excluded.nick_name OR accounts.show_id IS NOT excluded.show_id "
    "OR accounts.gender IS NOT excluded.gender OR accounts.token IS NOT excluded.token";

// Before the relations change: every user about to gain a friend.
const char* const kBumpBefriended =
    "UPDATE accounts SET list_version = list_version + 1 WHERE user_id IN (SELECT b.owner_id "
    "FROM batch_friends AS b LEFT JOIN relations AS r ON r.owner_id = b.owner_id AND "
    "r.other_id = b.other_id WHERE r.relation IS NOT ?)";

const char* const kSaveBatchFriends =
    "INSERT INTO relations (owner_id, other_id, relation) SELECT owner_id, other_id, ? FROM "
    "batch_friends WHERE true ON CONFLICT (owner_id, other_id) DO UPDATE SET "
    "relation = excluded.relation WHERE relations.relation IS NOT excluded.relation";

const char* const kOverfullLists =
    "SELECT EXISTS (SELECT 1 FROM relations WHERE relation = ? AND owner_id IN (SELECT owner_id "
    "FROM batch_friends) GROUP BY owner_id HAVING count(*) > ?)";

Session OpenSession(const std::string& path) {
    SQLite::Connector::registerConnector();
    return SessionFactory::instance().create(SQLite::Connector::KEY, path);
}

void ReadRequest(AbstractExtractor& row, std::size_t pos, PendingRequest& request) {
    int64_t value = 0;
    row.extract(pos, value);
    request.requesterID = static_cast<int32_t>(value);
    row.extract(pos + 1, value);
    request.targetID = static_cast<int32_t>(value);
    std::string text;
    row.extract(pos + 2, text);
    request.text = UTF8ToAnsi(text);
    row.extract(pos + 3, value);
    request.delivered = value != 0;
}

void ReadAccount(AbstractExtractor& row, std::size_t pos, Account& account) {
    int64_t value = 0;
    std::string text;
    row.extract(pos, value);
    account.userID = static_cast<int32_t>(value);
    row.extract(pos + 1, text);
    account.userName = UTF8ToAnsi(text);
    row.extract(pos + 2, text);
    account.nickName = UTF8ToAnsi(text);
    row.extract(pos + 3, value);
    account.showID = static_cast<int32_t>(value);
    row.extract(pos + 4, value);
    account.gender = static_cast<uint8_t>(value);
    row.extract(pos + 5, text);
    account.token = UTF8ToAnsi(text);
}

const std::vector<ColumnKind> kAccountColumns = {ColumnKind::Integer, ColumnKind::Text,
                                                 ColumnKind::Text,    ColumnKind::Integer,
                                                 ColumnKind::Integer, ColumnKind::Text};

const std::vector<ColumnKind> kRequestColumns = {ColumnKind::Integer, ColumnKind::Integer,
                                                 ColumnKind::Text, ColumnKind::Integer};

} // namespace

SqliteAccountStore::SqliteAccountStore(const std::string& path) : m_Session(OpenSession(path)) {
    // Every chat reads a relation and every log-on the friends' accounts: pages stay in the
    // process rather than being read from the system's cache again.
    m_Session << "PRAGMA cache_size = -" + std::to_string(kCacheKiB), now;
    CreateTables();
}

void SqliteAccountStore::CreateTables() {
    Transaction transaction(m_Session);
    for (const char* sql : kSchema)
        m_Session << sql, now;
    int32_t version = 0;
    m_Session << "PRAGMA user_version", into(version), now;
    const auto known = static_cast<int32_t>(std::size(kMigrations));
    for (; version < known; ++version) {
        for (const char* sql : kMigrations[version])
            m_Session << sql, now;
    }
    m_Session << "PRAGMA user_version = " + std::to_string(known), now;
    transaction.commit();
}

std::optional<Account> SqliteAccountStore::FindAccount(int32_t userID) {
    std::vector<Account> rows;
    m_Session << "SELECT user_id, user_name, nick_name, show_id, gender, token FROM accounts "
                 "WHERE user_id = ?",
        use(userID), intoRows<Account>(rows, kAccountColumns, ReadAccount), now;
    if (rows.empty())
        return std::nullopt;
    return rows.front();
}

std::vector<Account> SqliteAccountStore::FriendAccountsOf(int32_t userID) {
    std::vector<Account> accounts;
    const int32_t relation = static_cast<int32_t>(Relation::Friend);
    m_Session << "SELECT a.user_id, a.user_name, a.nick_name, a.show_id, a.gender, a.token "
                 "FROM relations AS r JOIN accounts AS a ON a.user_id = r.other_id "
                 "WHERE r.owner_id = ? AND r.relation = ? ORDER BY r.other_id",
        use(userID), use(relation), intoRows<Account>(accounts, kAccountColumns, ReadAccount), now;
    return accounts;
}

void SqliteAccountStore::SaveAccount(const Account& account, int32_t newVersion,
                                     const std::vector<int32_t>& bumpVersions) {
    const std::string userName = AnsiToUTF8(account.userName);
    const std::string nickName = AnsiToUTF8(account.nickName);
    const std::string token = AnsiToUTF8(account.token);
    const int32_t gender = account.gender;
    Transaction transaction(m_Session);
    m_Session << "INSERT INTO accounts (user_id, user_name, nick_name, show_id, gender, token, "
                 "list_version) VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (user_id) DO UPDATE SET "
                 "user_name = excluded.user_name, nick_name = excluded.nick_name, "
                 "show_id = excluded.show_id, gender = excluded.gender, token = excluded.token",
        use(account.userID), use(userName), use(nickName), use(account.showID), use(gender),
        use(token), use(newVersion), now;
    BumpVersions(bumpVersions);
    transaction.commit();
}

int32_t SqliteAccountStore::ListVersion(int32_t userID) {
    int32_t version = 0;
    m_Session << "SELECT list_version FROM accounts WHERE user_id = ?", use(userID), into(version),
        now;
    return version;
}

Relation SqliteAccountStore::GetRelation(int32_t ownerID, int32_t otherID) {
    int32_t relation = 0;
    m_Session << "SELECT relation FROM relations WHERE owner_id = ? AND other_id = ?", use(ownerID),
        use(otherID), into(relation), now;
    return static_cast<Relation>(relation);
}

std::vector<int32_t> SqliteAccountStore::FriendsOf(int32_t userID) {
    std::vector<int32_t> friends;
    const int32_t relation = static_cast<int32_t>(Relation::Friend);
    auto readRow = [](AbstractExtractor& row, std::size_t pos, int32_t& friendID) {
        int64_t value = 0;
        row.extract(pos, value);
        friendID = static_cast<int32_t>(value);
    };
    m_Session << "SELECT other_id FROM relations WHERE owner_id = ? AND relation = ? "
                 "ORDER BY other_id",
        use(userID), use(relation), intoRows<int32_t>(friends, {ColumnKind::Integer}, readRow), now;
    return friends;
}

void SqliteAccountStore::ApplyRelations(const std::vector<RelationChange>& changes,
                                        const std::vector<int32_t>& bumpVersions) {
    Transaction transaction(m_Session);
    for (const RelationChange& change : changes) {
        if (change.relation == Relation::None) {
            m_Session << "DELETE FROM relations WHERE owner_id = ? AND other_id = ?",
                use(change.ownerID), use(change.otherID), now;
            continue;
        }
        const int32_t relation = static_cast<int32_t>(change.relation);
        m_Session << "INSERT OR REPLACE INTO relations (owner_id, other_id, relation) "
                     "VALUES (?, ?, ?)",
            use(change.ownerID), use(change.otherID), use(relation), now;
    }
    BumpVersions(bumpVersions);
    transaction.commit();
}

bool SqliteAccountStore::SaveBatch(const AccountBatch& batch, int32_t newVersion,
                                   std::size_t maxFriends) {
    const int32_t relation = static_cast<int32_t>(Relation::Friend);
    const auto limit = static_cast<int64_t>(maxFriends);
    Transaction transaction(m_Session);
    FillBatchTables(batch);
    m_Session << kBumpFriendsOfRenamed, use(relation), now;
    m_Session << kSaveBatchAccounts, use(newVersion), now;
    m_Session << kBumpBefriended, use(relation), now;
    m_Session << kSaveBatchFriends, use(relation), now;
    int64_t overfull = 0;
    m_Session << kOverfullLists, use(relation), use(limit), into(overfull), now;
    if (overfull != 0)
        return false;
    m_Session << "DROP TABLE temp.batch_accounts", now;
    m_Session << "DROP TABLE temp.batch_friends", now;
    transaction.commit();
    return true;
}

void SqliteAccountStore::FillBatchTables(const AccountBatch& batch) {
    for (const char* sql : kBatchTables)
        m_Session << sql, now;
    for (const Account& account : batch.accounts) {
        const std::string userName = AnsiToUTF8(account.userName);
        const std::string nickName = AnsiToUTF8(account.nickName);
        const std::string token = AnsiToUTF8(account.token);
        const int32_t gender = account.gender;
        m_Session << "INSERT INTO batch_accounts VALUES (?, ?, ?, ?, ?, ?)", use(account.userID),
            use(userName), use(nickName), use(account.showID), use(gender), use(token), now;
    }
    for (const auto& [userID, otherID] : batch.friendships) {
        m_Session << "INSERT INTO batch_friends VALUES (?, ?), (?, ?)", use(userID), use(otherID),
            use(otherID), use(userID), now;
    }
}

void SqliteAccountStore::BumpVersions(const std::vector<int32_t>& userIDs) {
    for (const int32_t& userID : userIDs)
        m_Session << "UPDATE accounts SET list_version = list_version + 1 WHERE user_id = ?",
            use(userID), now;
}

int64_t SqliteAccountStore::QueueMessage(const QueuedMessage& message) {
    const std::string text = AnsiToUTF8(message.text);
    int64_t queueID = 0;
    Transaction transaction(m_Session);
    m_Session << "INSERT INTO offline_messages (recipient_id, sender_id, sent_at, text) "
                 "VALUES (?, ?, ?, ?)",
        use(message.recipientID), use(message.senderID), use(message.sentAt), use(text), now;
    m_Session << "SELECT last_insert_rowid()", into(queueID), now;
    transaction.commit();
    return queueID;
}

bool SqliteAccountStore::HoldsAckedMessage(int32_t senderID, uint64_t messageID) {
    const auto storedID = static_cast<int64_t>(messageID);
    int64_t held = 0;
    m_Session << "SELECT EXISTS (SELECT 1 FROM offline_messages WHERE sender_id = ? AND "
                 "message_id = ?) OR EXISTS (SELECT 1 FROM delivered_chats WHERE sender_id = ? "
                 "AND message_id = ?)",
        use(senderID), use(storedID), use(senderID), use(storedID), into(held), now;
    return held != 0;
}

bool SqliteAccountStore::QueueAckedMessage(const QueuedMessage& message) {
    const std::string text = AnsiToUTF8(message.text);
    const auto messageID = static_cast<int64_t>(message.messageID);
    Transaction transaction(m_Session);
    if (HoldsAckedMessage(message.senderID, message.messageID))
        return false;
    m_Session << "INSERT INTO offline_messages (recipient_id, sender_id, sent_at, text, "
                 "message_id) VALUES (?, ?, ?, ?, ?)",
        use(message.recipientID), use(message.senderID), use(message.sentAt), use(text),
        use(messageID), now;
    transaction.commit();
    return true;
}

void SqliteAccountStore::ConfirmDeliveries(const std::vector<DeliveryReceipt>& receipts) {
    // The newest kept id is at offset 0: the oldest one kept is at offset kept - 1.
    const auto oldestKept = static_cast<int64_t>(kDeliveredIDsPerSender) - 1;
    std::set<int32_t> senders;
    Transaction transaction(m_Session);
    for (const DeliveryReceipt& receipt : receipts) {
        const auto storedID = static_cast<int64_t>(receipt.messageID);
        m_Session << "DELETE FROM offline_messages WHERE recipient_id = ? AND sender_id = ? AND "
                     "message_id = ?",
            use(receipt.recipientID), use(receipt.senderID), use(storedID), now;
        m_Session << "INSERT OR IGNORE INTO delivered_chats (sender_id, message_id) VALUES (?, ?)",
            use(receipt.senderID), use(storedID), now;
        senders.insert(receipt.senderID);
    }
    for (const int32_t senderID : senders) {
        m_Session << "DELETE FROM delivered_chats WHERE sender_id = ? AND message_id < (SELECT "
                     "message_id FROM delivered_chats WHERE sender_id = ? ORDER BY message_id "
                     "DESC LIMIT 1 OFFSET ?)",
            use(senderID), use(senderID), use(oldestKept), now;
    }
    transaction.commit();
}

std::optional<QueuedMessage> SqliteAccountStore::NextQueuedMessage(int32_t recipientID,
                                                                   int64_t afterQueueID) {
    std::vector<QueuedMessage> messages;
    auto readRow = [](AbstractExtractor& row, std::size_t pos, QueuedMessage& message) {
        int64_t value = 0;
        row.extract(pos, message.queueID);
        row.extract(pos + 1, value);
        message.recipientID = static_cast<int32_t>(value);
        row.extract(pos + 2, value);
        message.senderID = static_cast<int32_t>(value);
        row.extract(pos + 3, message.sentAt);
        std::string text;
        row.extract(pos + 4, text);
        message.text = UTF8ToAnsi(text);
        int64_t messageID = 0;
        row.extract(pos + 5, messageID);
        message.messageID = static_cast<uint64_t>(messageID);
    };
    m_Session << "SELECT queue_id, recipient_id, sender_id, sent_at, text, message_id FROM "
                 "offline_messages WHERE recipient_id = ? AND queue_id > ? ORDER BY queue_id "
                 "LIMIT 1",
        use(recipientID), use(afterQueueID),
        intoRows<QueuedMessage>(messages,
                                {ColumnKind::Integer, ColumnKind::Integer, ColumnKind::Integer,
                                 ColumnKind::Integer, ColumnKind::Text, ColumnKind::Integer},
                                readRow),
        now;
    if (messages.empty())
        return std::nullopt;
    return std::move(messages.front());
}

std::size_t SqliteAccountStore::QueuedMessageCount(int32_t recipientID) {
    int64_t count = 0;
    m_Session << "SELECT COUNT(*) FROM offline_messages WHERE recipient_id = ?", use(recipientID),
        into(count), now;
    return static_cast<std::size_t>(count);
}

void SqliteAccountStore::DeleteQueuedMessages(int32_t recipientID, int64_t lastQueueID,
                                              bool plainOnly) {
    if (plainOnly) {
        m_Session << "DELETE FROM offline_messages WHERE recipient_id = ? AND queue_id <= ? AND "
                     "message_id = 0",
            use(recipientID), use(lastQueueID), now;
        return;
    }
    m_Session << "DELETE FROM offline_messages WHERE recipient_id = ? AND queue_id <= ?",
        use(recipientID), use(lastQueueID), now;
}

void SqliteAccountStore::SaveRequest(const PendingRequest& request) {
    const std::string text = AnsiToUTF8(request.text);
    m_Session << "INSERT OR REPLACE INTO friend_requests (requester_id, target_id, text, "
                 "delivered) VALUES (?, ?, ?, 0)",
        use(request.requesterID), use(request.targetID), use(text), now;
}

std::optional<PendingRequest> SqliteAccountStore::FindRequest(int32_t requesterID,
                                                              int32_t targetID) {
    std::vector<PendingRequest> rows;
    m_Session << "SELECT requester_id, target_id, text, delivered FROM friend_requests "
                 "WHERE requester_id = ? AND target_id = ?",
        use(requesterID), use(targetID),
        intoRows<PendingRequest>(rows, kRequestColumns, ReadRequest), now;
    if (rows.empty())
        return std::nullopt;
    return rows.front();
}

std::vector<PendingRequest> SqliteAccountStore::UndeliveredRequestsFor(int32_t targetID) {
    std::vector<PendingRequest> rows;
    m_Session << "SELECT requester_id, target_id, text, delivered FROM friend_requests "
                 "WHERE target_id = ? AND delivered = 0 ORDER BY requester_id",
        use(targetID), intoRows<PendingRequest>(rows, kRequestColumns, ReadRequest), now;
    return rows;
}

void SqliteAccountStore::MarkRequestDelivered(int32_t requesterID, int32_t targetID) {
    m_Session << "UPDATE friend_requests SET delivered = 1 WHERE requester_id = ? AND "
                 "target_id = ?",
        use(requesterID), use(targetID), now;
}

void SqliteAccountStore::DeleteRequest(int32_t requesterID, int32_t targetID) {
    m_Session << "DELETE FROM friend_requests WHERE requester_id = ? AND target_id = ?",
        use(requesterID), use(targetID), now;
}

} // namespace pellix::server
