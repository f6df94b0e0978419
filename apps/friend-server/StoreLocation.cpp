#include "StoreLocation.h"

#include "PostgresAccountStore.h"
#include "SqliteAccountStore.h"

#include <QUrl>

namespace pellix::server {

bool IsPostgresUri(const QString& database) {
    return database.startsWith(QStringLiteral("postgresql://")) ||
           database.startsWith(QStringLiteral("postgres://"));
}

std::unique_ptr<AccountStore> OpenAccountStore(const QString& database) {
    if (IsPostgresUri(database))
        return std::make_unique<PostgresAccountStore>(database.toStdString());
    return std::make_unique<SqliteAccountStore>(database.toStdString());
}

QString DatabaseForDisplay(const QString& database) {
    if (!IsPostgresUri(database))
        return database;
    // A URI naming several hosts is no URL to Qt: then nothing of it is shown.
    const QUrl url(database, QUrl::StrictMode);
    if (!url.isValid())
        return QStringLiteral("the PostgreSQL database");
    return url.toDisplayString(QUrl::RemovePassword | QUrl::RemoveQuery);
}

} // namespace pellix::server
