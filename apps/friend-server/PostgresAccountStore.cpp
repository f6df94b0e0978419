#include "PostgresAccountStore.h"

#include "PostgresSchema.h"
#include "text/StringUtility.h"

#include <cstdint>
#include <utility>

namespace pellix::server {

using StringUtility::AnsiToUTF8;
using StringUtility::UTF8ToAnsi;

namespace {

const char* const kFindAccount = "find_account";
const char* const kSaveAccount = "save_account";
const char* const kBumpVersions = "bump_versions";
const char* const kListVersion = "list_version";
const char* const kGetRelation = "get_relation";
const char* const kFriendsOf = "friends_of";
const char* const kFriendAccounts = "friend_accounts";
const char* const kSetRelation = "set_relation";
const char* const kDeleteRelation = "delete_relation";
const char* const kQueueMessage = "queue_message";
const char* const kHoldsAcked = "holds_acked";
const char* const kQueueAcked = "queue_acked";
const char* const kConfirmDeliveries = "confirm_deliveries";
const char* const kNextQueued = "next_queued";
const char* const kQueuedCount = "queued_count";
const char* const kDeleteQueued = "delete_queued";
const char* const kSaveRequest = "save_request";
const char* const kFindRequest = "find_request";
const char* const kUndeliveredRequests = "undelivered_requests";
const char* const kMarkRequestDelivered = "mark_request_delivered";
const char* const kDeleteRequest = "delete_request";
const char* const kBumpFriendsOfRenamed = "bump_friends_of_renamed";
const char* const kSaveBatchAccounts = "save_batch_accounts";
const char* const kBumpBefriended = "bump_befriended";
const char* const kSaveBatchFriends = "save_batch_friends";
const char* const kOverfullLists = "overfull_lists";

// Servers started together with the same batch take turns, so that the later one finds it all
// in place and changes nothing. The queue's locks use other first keys.
const char* const kLockBatch = "SELECT pg_advisory_xact_lock(2, 0)";

const std::pair<const char*, const char*> kStatements[] = {
    {kFindAccount, "SELECT user_id, user_name, nick_name, show_id, gender, token FROM accounts "
                   "WHERE user_id = $1"},
    {kSaveAccount,
     "INSERT INTO accounts (user_id, user_name, nick_name, show_id, gender, token, list_version) "
     "VALUES ($1, $2, $3, $4, $5, $6, $7) ON CONFLICT (user_id) DO UPDATE SET "
     "user_name = excluded.user_name, nick_name = excluded.nick_name, show_id = excluded.show_id, "
     "gender = excluded.gender, token = excluded.token"},
    // An id named twice is raised twice.
    {kBumpVersions,
     "UPDATE accounts AS a SET list_version = a.list_version + bumps.times FROM (SELECT id, "
     "count(*)::integer AS times FROM unnest($1::integer[]) AS u(id) GROUP BY id) AS bumps "
     "WHERE a.user_id = bumps.id"},
    {kListVersion, "SELECT list_version FROM accounts WHERE user_id = $1"},
    {kGetRelation, "SELECT relation FROM relations WHERE owner_id = $1 AND other_id = $2"},
    {kFriendsOf, "SELECT other_id FROM relations WHERE owner_id = $1 AND relation = $2 "
                 "ORDER BY other_id"},
    {kFriendAccounts,
     "SELECT a.user_id, a.user_name, a.nick_name, a.show_id, a.gender, a.token FROM relations "
     "AS r JOIN accounts AS a ON a.user_id = r.other_id WHERE r.owner_id = $1 AND "
     "r.relation = $2 ORDER BY r.other_id"},
    {kSetRelation, "INSERT INTO relations (owner_id, other_id, relation) VALUES ($1, $2, $3) "
                   "ON CONFLICT (owner_id, other_id) DO UPDATE SET relation = excluded.relation"},
    {kDeleteRelation, "DELETE FROM relations WHERE owner_id = $1 AND other_id = $2"},
    // A message enters its recipient's queue under a lock on that recipient, held until it
    // commits, so that servers sharing the database commit each queue's ids in the order they
    // were drawn: a reader that has seen an id never finds a lower one appear behind it.
    {kQueueMessage, "INSERT INTO offline_messages (recipient_id, sender_id, sent_at, text) "
                    "SELECT $1::integer, $2::integer, $3::bigint, $4::text FROM (SELECT "
                    "pg_advisory_xact_lock(1, $1::integer)) AS queue_lock RETURNING queue_id"},
    {kHoldsAcked, "SELECT EXISTS (SELECT 1 FROM offline_messages WHERE sender_id = $1 AND "
                  "message_id = $2) OR EXISTS (SELECT 1 FROM delivered_chats WHERE "
                  "sender_id = $1 AND message_id = $2)"},
    // One statement: held already as a delivered id, or (by the unique index) as a queued one,
    // and nothing is inserted.
    {kQueueAcked,
     "INSERT INTO offline_messages (recipient_id, sender_id, sent_at, text, message_id) "
     "SELECT $1::integer, $2::integer, $3::bigint, $4::text, $5::bigint FROM (SELECT "
     "pg_advisory_xact_lock(1, $1::integer)) AS queue_lock WHERE NOT EXISTS (SELECT 1 FROM "
     "delivered_chats WHERE sender_id = $2::integer AND "
     "message_id = $5::bigint) ON CONFLICT (sender_id, message_id) WHERE message_id <> 0 "
     "DO NOTHING"},
    // One statement, so all or nothing by itself. Every part sees the table as it was before:
    // the ids kept are ranked among the stored ones and the new ones together, and only the new
    // ones ranked within the newest $4 are inserted.
    {kConfirmDeliveries,
     "WITH receipts AS (SELECT DISTINCT * FROM unnest($1::integer[], $2::integer[], "
     "$3::bigint[]) AS r(recipient_id, sender_id, message_id)), "
     "removed AS (DELETE FROM offline_messages AS o USING receipts AS r WHERE "
     "o.recipient_id = r.recipient_id AND o.sender_id = r.sender_id AND "
     "o.message_id = r.message_id), "
     "known AS (SELECT sender_id, message_id FROM delivered_chats WHERE sender_id IN "
     "(SELECT sender_id FROM receipts) UNION SELECT sender_id, message_id FROM receipts), "
     "ranked AS (SELECT sender_id, message_id, row_number() OVER (PARTITION BY sender_id "
     "ORDER BY message_id DESC) AS rank FROM known), "
     "added AS (INSERT INTO delivered_chats (sender_id, message_id) SELECT sender_id, "
     "message_id FROM ranked WHERE rank <= $4 AND (sender_id, message_id) IN (SELECT sender_id, "
     "message_id FROM receipts) ON CONFLICT DO NOTHING) "
     "DELETE FROM delivered_chats AS d USING ranked WHERE ranked.rank > $4 AND "
     "d.sender_id = ranked.sender_id AND d.message_id = ranked.message_id"},
    {kNextQueued, "SELECT queue_id, recipient_id, sender_id, sent_at, text, message_id FROM "
                  "offline_messages WHERE recipient_id = $1 AND queue_id > $2 "
                  "ORDER BY queue_id LIMIT 1"},
    {kQueuedCount, "SELECT count(*) FROM offline_messages WHERE recipient_id = $1"},
    {kDeleteQueued, "DELETE FROM offline_messages WHERE recipient_id = $1 AND queue_id <= $2 "
                    "AND (NOT $3::boolean OR message_id = 0)"},
    {kSaveRequest, "INSERT INTO friend_requests (requester_id, target_id, text, delivered) "
                   "VALUES ($1, $2, $3, false) ON CONFLICT (requester_id, target_id) DO UPDATE "
                   "SET text = excluded.text, delivered = false"},
    {kFindRequest, "SELECT requester_id, target_id, text, delivered FROM friend_requests "
                   "WHERE requester_id = $1 AND target_id = $2"},
    {kUndeliveredRequests, "SELECT requester_id, target_id, text, delivered FROM "
                           "friend_requests WHERE target_id = $1 AND NOT delivered "
                           "ORDER BY requester_id"},
    {kMarkRequestDelivered, "UPDATE friend_requests SET delivered = true WHERE "
                            "requester_id = $1 AND target_id = $2"},
    {kDeleteRequest, "DELETE FROM friend_requests WHERE requester_id = $1 AND target_id = $2"},
    // A batch: its accounts as arrays of their fields, its friendships as arrays of owners and
    // others holding each pair both ways. Each step is one statement over all its rows.
    // Before the accounts change: the friends of each one whose list entry is about to change.
    {kBumpFriendsOfRenamed,
     "UPDATE accounts SET list_version = list_version + 1 WHERE user_id IN (SELECT r.other_id "
     "FROM unnest($1::integer[], $2::text[], $3::text[], $4::integer[], $5::smallint[]) AS "
     "b(user_id, user_name, nick_name, show_id, gender) JOIN accounts AS a ON "
     "a.user_id = b.user_id JOIN relations AS r ON r.owner_id = b.user_id AND "
     "r.relation = $6::smallint WHERE (a.user_name, a.nick_name, a.show_id, a.gender) IS "
     "DISTINCT FROM (b.user_name, b.nick_name, b.show_id, b.gender))"},
    // Rows that hold the same values already are not written.
    {kSaveBatchAccounts,
     "INSERT INTO accounts (user_id, user_name, nick_name, show_id, gender, token, list_version) "
     "SELECT b.*, $7::integer FROM unnest($1::integer[], $2::text[], $3::text[], "
     "$4::integer[], $5::smallint[], $6::text[]) AS b ON CONFLICT (user_id) DO UPDATE SET "
     "user_name = excluded.user_name, nick_name = excluded.nick_name, "
     "show_id = excluded.show_id, gender = excluded.gender, token = excluded.token WHERE "
     "(accounts.user_name, accounts.nick_name, accounts.show_id, accounts.gender, "
     "accounts.token) IS DISTINCT FROM (excluded.user_name, excluded.nick_name, "
     "excluded.show_id, excluded.gender, excluded.token)"},
    // Before the relations change: every user about to gain a friend.
    {kBumpBefriended,
     "UPDATE accounts SET list_version = list_version + 1 WHERE user_id IN (SELECT p.owner_id "
     "FROM unnest($1::integer[], $2::integer[]) AS p(owner_id, other_id) LEFT JOIN relations "
     "AS r ON r.owner_id = p.owner_id AND r.other_id = p.other_id WHERE r.relation IS "
     "DISTINCT FROM $3::smallint)"},
    {kSaveBatchFriends,
     "INSERT INTO relations (owner_id, other_id, relation) SELECT p.owner_id, p.other_id, "
     "$3::smallint FROM unnest($1::integer[], $2::integer[]) AS p(owner_id, other_id) "
     "ON CONFLICT (owner_id, other_id) DO UPDATE SET relation = excluded.relation WHERE "
     "relations.relation <> excluded.relation"},
    {kOverfullLists,
     "SELECT EXISTS (SELECT 1 FROM relations WHERE relation = $2::smallint AND owner_id IN "
     "(SELECT unnest($1::integer[])) GROUP BY owner_id HAVING count(*) > $3::bigint)"},
};

// An array value in PostgreSQL's text form, such as {1,2,3}.
template <typename Integer> std::string ArrayText(const std::vector<Integer>& values) {
    std::string text = "{";
    for (const Integer value : values) {
        if (text.size() > 1)
            text += ',';
        text += std::to_string(value);
    }
    return text + '}';
}

// A text array in the same form, each element quoted: {"a","b\"c"}.
std::string ArrayText(const std::vector<std::string>& values) {
    std::string text = "{";
    for (const std::string& value : values) {
        if (text.size() > 1)
            text += ',';
        text += '"';
        for (const char c : value) {
            if (c == '"' || c == '\\')
                text += '\\';
            text += c;
        }
        text += '"';
    }
    return text + '}';
}

// A batch as the array values its statements take: a column of the accounts each, and each
// friendship both ways as an owner and the other.
struct BatchArrays {
    std::string ids, userNames, nickNames, showIDs, genders, tokens;
    std::string owners, others;
};

BatchArrays ArraysOf(const AccountBatch& batch) {
    std::vector<int32_t> ids, showIDs, genders;
    std::vector<std::string> userNames, nickNames, tokens;
    for (const Account& account : batch.accounts) {
        ids.push_back(account.userID);
        userNames.push_back(AnsiToUTF8(account.userName));
        nickNames.push_back(AnsiToUTF8(account.nickName));
        showIDs.push_back(account.showID);
        genders.push_back(account.gender);
        tokens.push_back(AnsiToUTF8(account.token));
    }
    std::vector<int32_t> owners, others;
    for (const auto& [userID, otherID] : batch.friendships) {
        owners.insert(owners.end(), {userID, otherID});
        others.insert(others.end(), {otherID, userID});
    }
    return {ArrayText(ids),     ArrayText(userNames), ArrayText(nickNames), ArrayText(showIDs),
            ArrayText(genders), ArrayText(tokens),    ArrayText(owners),    ArrayText(others)};
}

Relation ReadRelation(const PostgresResult& result, int row, int column) {
    switch (const int32_t value = result.Int32(row, column)) {
    case static_cast<int32_t>(Relation::Friend):
    case static_cast<int32_t>(Relation::Blacklisted):
        return static_cast<Relation>(value);
    default:
        throw PostgresError("unknown relation " + std::to_string(value) + " in the database");
    }
}

Account ReadAccount(const PostgresResult& result, int row) {
    Account account;
    account.userID = result.Int32(row, 0);
    account.userName = UTF8ToAnsi(result.Text(row, 1));
    account.nickName = UTF8ToAnsi(result.Text(row, 2));
    account.showID = result.Int32(row, 3);
    const int32_t gender = result.Int32(row, 4);
    if (gender < 0 || gender > UINT8_MAX)
        throw PostgresError("gender out of range in the database");
    account.gender = static_cast<uint8_t>(gender);
    account.token = UTF8ToAnsi(result.Text(row, 5));
    return account;
}

PendingRequest ReadRequest(const PostgresResult& result, int row) {
    PendingRequest request;
    request.requesterID = result.Int32(row, 0);
    request.targetID = result.Int32(row, 1);
    request.text = UTF8ToAnsi(result.Text(row, 2));
    request.delivered = result.Boolean(row, 3);
    return request;
}

} // namespace

PostgresAccountStore::PostgresAccountStore(const std::string& uri) : m_Connection(uri) {
    MigratePostgresSchema(m_Connection);
    PrepareStatements();
}

void PostgresAccountStore::PrepareStatements() {
    for (const auto& [name, sql] : kStatements)
        m_Connection.Prepare(name, sql);
}

std::optional<Account> PostgresAccountStore::FindAccount(int32_t userID) {
    const PostgresResult result = m_Connection.Run(kFindAccount, userID);
    if (result.Rows() == 0)
        return std::nullopt;
    return ReadAccount(result, 0);
}

void PostgresAccountStore::SaveAccount(const Account& account, int32_t newVersion,
                                       const std::vector<int32_t>& bumpVersions) {
    auto save = [&] {
        m_Connection.Run(kSaveAccount, account.userID, AnsiToUTF8(account.userName),
                         AnsiToUTF8(account.nickName), account.showID,
                         static_cast<int32_t>(account.gender), AnsiToUTF8(account.token),
                         newVersion);
    };
    if (bumpVersions.empty()) {
        save();
        return;
    }
    PostgresTransaction transaction(m_Connection);
    save();
    BumpVersions(bumpVersions);
    transaction.Commit();
}

int32_t PostgresAccountStore::ListVersion(int32_t userID) {
    const PostgresResult result = m_Connection.Run(kListVersion, userID);
    return result.Rows() == 0 ? 0 : result.Int32(0, 0);
}

Relation PostgresAccountStore::GetRelation(int32_t ownerID, int32_t otherID) {
    const PostgresResult result = m_Connection.Run(kGetRelation, ownerID, otherID);
    return result.Rows() == 0 ? Relation::None : ReadRelation(result, 0, 0);
}

std::vector<int32_t> PostgresAccountStore::FriendsOf(int32_t userID) {
    const PostgresResult result =
        m_Connection.Run(kFriendsOf, userID, static_cast<int32_t>(Relation::Friend));
    std::vector<int32_t> friends;
    friends.reserve(static_cast<std::size_t>(result.Rows()));
    for (int row = 0; row < result.Rows(); ++row)
        friends.push_back(result.Int32(row, 0));
    return friends;
}

std::vector<Account> PostgresAccountStore::FriendAccountsOf(int32_t userID) {
    const PostgresResult result =
        m_Connection.Run(kFriendAccounts, userID, static_cast<int32_t>(Relation::Friend));
    std::vector<Account> accounts;
    accounts.reserve(static_cast<std::size_t>(result.Rows()));
    for (int row = 0; row < result.Rows(); ++row)
        accounts.push_back(ReadAccount(result, row));
    return accounts;
}

void PostgresAccountStore::ApplyRelations(const std::vector<RelationChange>& changes,
                                          const std::vector<int32_t>& bumpVersions) {
    PostgresTransaction transaction(m_Connection);
    for (const RelationChange& change : changes) {
        if (change.relation == Relation::None)
            m_Connection.Run(kDeleteRelation, change.ownerID, change.otherID);
        else
            m_Connection.Run(kSetRelation, change.ownerID, change.otherID,
                             static_cast<int32_t>(change.relation));
    }
    BumpVersions(bumpVersions);
    transaction.Commit();
}

bool PostgresAccountStore::SaveBatch(const AccountBatch& batch, int32_t newVersion,
                                     std::size_t maxFriends) {
    const BatchArrays arrays = ArraysOf(batch);
    const auto relation = static_cast<int32_t>(Relation::Friend);
    PostgresTransaction transaction(m_Connection);
    m_Connection.Execute(kLockBatch);
    m_Connection.Run(kBumpFriendsOfRenamed, arrays.ids, arrays.userNames, arrays.nickNames,
                     arrays.showIDs, arrays.genders, relation);
    m_Connection.Run(kSaveBatchAccounts, arrays.ids, arrays.userNames, arrays.nickNames,
                     arrays.showIDs, arrays.genders, arrays.tokens, newVersion);
    m_Connection.Run(kBumpBefriended, arrays.owners, arrays.others, relation);
    m_Connection.Run(kSaveBatchFriends, arrays.owners, arrays.others, relation);
    if (m_Connection.Run(kOverfullLists, arrays.owners, relation, static_cast<int64_t>(maxFriends))
            .Boolean(0, 0))
        return false;
    transaction.Commit();
    return true;
}

void PostgresAccountStore::BumpVersions(const std::vector<int32_t>& userIDs) {
    if (!userIDs.empty())
        m_Connection.Run(kBumpVersions, ArrayText(userIDs));
}

int64_t PostgresAccountStore::QueueMessage(const QueuedMessage& message) {
    const PostgresResult result =
        m_Connection.Run(kQueueMessage, message.recipientID, message.senderID, message.sentAt,
                         AnsiToUTF8(message.text));
    return result.Integer(0, 0);
}

bool PostgresAccountStore::HoldsAckedMessage(int32_t senderID, uint64_t messageID) {
    return m_Connection.Run(kHoldsAcked, senderID, static_cast<int64_t>(messageID)).Boolean(0, 0);
}

bool PostgresAccountStore::QueueAckedMessage(const QueuedMessage& message) {
    const PostgresResult result =
        m_Connection.Run(kQueueAcked, message.recipientID, message.senderID, message.sentAt,
                         AnsiToUTF8(message.text), static_cast<int64_t>(message.messageID));
    return result.AffectedRows() == 1;
}

void PostgresAccountStore::ConfirmDeliveries(const std::vector<DeliveryReceipt>& receipts) {
    if (receipts.empty())
        return;
    std::vector<int32_t> recipients;
    std::vector<int32_t> senders;
    std::vector<int64_t> messageIDs;
    for (const DeliveryReceipt& receipt : receipts) {
        recipients.push_back(receipt.recipientID);
        senders.push_back(receipt.senderID);
        messageIDs.push_back(static_cast<int64_t>(receipt.messageID));
    }
    m_Connection.Run(kConfirmDeliveries, ArrayText(recipients), ArrayText(senders),
                     ArrayText(messageIDs), static_cast<int64_t>(kDeliveredIDsPerSender));
}

std::optional<QueuedMessage> PostgresAccountStore::NextQueuedMessage(int32_t recipientID,
                                                                     int64_t afterQueueID) {
    const PostgresResult result = m_Connection.Run(kNextQueued, recipientID, afterQueueID);
    if (result.Rows() == 0)
        return std::nullopt;
    QueuedMessage message;
    message.queueID = result.Integer(0, 0);
    message.recipientID = result.Int32(0, 1);
    message.senderID = result.Int32(0, 2);
    message.sentAt = result.Integer(0, 3);
    message.text = UTF8ToAnsi(result.Text(0, 4));
    message.messageID = static_cast<uint64_t>(result.Integer(0, 5));
    return message;
}

std::size_t PostgresAccountStore::QueuedMessageCount(int32_t recipientID) {
    const int64_t count = m_Connection.Run(kQueuedCount, recipientID).Integer(0, 0);
    return count < 0 ? 0 : static_cast<std::size_t>(count);
}

void PostgresAccountStore::DeleteQueuedMessages(int32_t recipientID, int64_t lastQueueID,
                                                bool plainOnly) {
    m_Connection.Run(kDeleteQueued, recipientID, lastQueueID, plainOnly);
}

void PostgresAccountStore::SaveRequest(const PendingRequest& request) {
    m_Connection.Run(kSaveRequest, request.requesterID, request.targetID, AnsiToUTF8(request.text));
}

std::optional<PendingRequest> PostgresAccountStore::FindRequest(int32_t requesterID,
                                                                int32_t targetID) {
    const PostgresResult result = m_Connection.Run(kFindRequest, requesterID, targetID);
    if (result.Rows() == 0)
        return std::nullopt;
    return ReadRequest(result, 0);
}

std::vector<PendingRequest> PostgresAccountStore::UndeliveredRequestsFor(int32_t targetID) {
    const PostgresResult result = m_Connection.Run(kUndeliveredRequests, targetID);
    std::vector<PendingRequest> requests;
    for (int row = 0; row < result.Rows(); ++row)
        requests.push_back(ReadRequest(result, row));
    return requests;
}

void PostgresAccountStore::MarkRequestDelivered(int32_t requesterID, int32_t targetID) {
    m_Connection.Run(kMarkRequestDelivered, requesterID, targetID);
}

void PostgresAccountStore::DeleteRequest(int32_t requesterID, int32_t targetID) {
    m_Connection.Run(kDeleteRequest, requesterID, targetID);
}

} // namespace pellix::server
