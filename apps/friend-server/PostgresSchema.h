#pragma once
// The PostgreSQL account store's tables, brought to the version this server knows when it opens
// the database. Servers starting together on one database take turns: the first migrates, the
// others find the work done.

namespace pellix::server {

class PostgresConnection;

// The schema version this server creates and reads.
int PostgresSchemaVersion();

// Creates or migrates the tables in one transaction; throws PostgresError on failure, also when
// the database was migrated by a newer server.
void MigratePostgresSchema(PostgresConnection& connection);

} // namespace pellix::server
