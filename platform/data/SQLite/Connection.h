#pragma once
// One open SQLite connection, its prepared statements, and the identity (device and inode) of the
// file it opened, so a cached connection can tell when its path has been deleted or replaced.

#include "data/SQLite/StatementCache.h"

#include <memory>
#include <string>
#include <sys/types.h>

struct sqlite3;

namespace QxDataModule::SQLite {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

class Connection {
public:
    // Creates the file 0600 when it does not exist, opens it, switches it to WAL with
    // synchronous NORMAL. Throws DataException when the path is no database.
    static std::unique_ptr<Connection> Open(const std::string& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return m_db; }
    StatementCache& statements() { return m_statements; }
    const std::string& path() const { return m_path; }
    // True while the path still names the file this connection opened.
    bool StillNamedByPath() const;
    // Rolls back an unfinished transaction; false when the connection is unusable.
    bool EndOpenTransaction();

private:
    Connection(sqlite3* db, std::string path);
    void Configure();
    void RememberIdentity();
    void CloseDetached();

    sqlite3* m_db;
    StatementCache m_statements;
    std::string m_path;
    FileIdentity m_file;
    FileIdentity m_wal;
    FileIdentity m_shm;
    bool m_bHasWal = false;
};

// Runs SQL without results on db; throws DataException on failure.
void Execute(sqlite3* db, const char* sql);

} // namespace QxDataModule::SQLite
