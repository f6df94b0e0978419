#pragma once
// What --db names: a PostgreSQL database by its libpq URI (postgresql:// or postgres://), shared
// by every server started on it, or else a SQLite file of this server's own.

#include "AccountStore.h"

#include <QString>

#include <memory>

namespace pellix::server {

bool IsPostgresUri(const QString& database);

// Opens the store, creating or migrating its tables; throws std::runtime_error on failure.
std::unique_ptr<AccountStore> OpenAccountStore(const QString& database);

// The database as it may be printed: a URI without its password.
QString DatabaseForDisplay(const QString& database);

} // namespace pellix::server
