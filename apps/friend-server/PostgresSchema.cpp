#include "PostgresSchema.h"

#include "PostgresConnection.h"

#include <iterator>
#include <string>

namespace pellix::server {

namespace {

// Held until the migration commits. Any fixed key does: the store takes no other single-key
// advisory lock (the queue's locks use the two-key form, a separate key space).
const char* const kLockSchema = "SELECT pg_advisory_xact_lock(7365636876657273)";

const char* const kCreateVersionTable =
    "CREATE TABLE IF NOT EXISTS schema_version (version integer PRIMARY KEY, "
    "applied_at timestamptz NOT NULL DEFAULT now())";

// Step N takes the schema from version N - 1 to N and records that it ran.
const char* const kMigrations[] = {
    // 1: accounts, relations, the offline queue (acknowledged chats held once per sender's
    // message id, the ids of delivered ones kept for a while against resends), friend requests.
    "CREATE TABLE accounts (user_id integer PRIMARY KEY, user_name text NOT NULL, "
    "nick_name text NOT NULL, show_id integer NOT NULL, gender smallint NOT NULL, "
    "token text NOT NULL, list_version integer NOT NULL);"
    "CREATE TABLE relations (owner_id integer NOT NULL, other_id integer NOT NULL, "
    "relation smallint NOT NULL, PRIMARY KEY (owner_id, other_id));"
    "CREATE TABLE offline_messages (queue_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, "
    "recipient_id integer NOT NULL, sender_id integer NOT NULL, sent_at bigint NOT NULL, "
    "text text NOT NULL, message_id bigint NOT NULL DEFAULT 0);"
    "CREATE INDEX offline_by_recipient ON offline_messages (recipient_id, queue_id);"
    "CREATE UNIQUE INDEX offline_by_message ON offline_messages (sender_id, message_id) "
    "WHERE message_id <> 0;"
    "CREATE TABLE delivered_chats (sender_id integer NOT NULL, message_id bigint NOT NULL, "
    "PRIMARY KEY (sender_id, message_id));"
    "CREATE TABLE friend_requests (requester_id integer NOT NULL, target_id integer NOT NULL, "
    "text text NOT NULL, delivered boolean NOT NULL, PRIMARY KEY (requester_id, target_id));"
    "CREATE INDEX requests_by_target ON friend_requests (target_id, requester_id);"
    "INSERT INTO schema_version (version) VALUES (1)",
};

} // namespace

int PostgresSchemaVersion() {
    return static_cast<int>(std::size(kMigrations));
}

void MigratePostgresSchema(PostgresConnection& connection) {
    PostgresTransaction transaction(connection);
    connection.Execute(kLockSchema);
    connection.Execute(kCreateVersionTable);
    const PostgresResult current =
        connection.Execute("SELECT coalesce(max(version), 0) FROM schema_version");
    const int32_t version = current.Int32(0, 0);
    if (version > PostgresSchemaVersion() || version < 0)
        throw PostgresError("the database has schema version " + std::to_string(version) +
                            ", this server knows up to " + std::to_string(PostgresSchemaVersion()));
    for (int step = version; step < PostgresSchemaVersion(); ++step)
        connection.Execute(kMigrations[step]);
    transaction.Commit();
}

} // namespace pellix::server
