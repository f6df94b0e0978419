#include "Connection.h"

#include "data/Exception.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace QxDataModule::SQLite {

namespace {

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

[[noreturn]] void ThrowSystemError(const std::string& what, int code) {
    throw DataException(what + ": " + std::strerror(errno), code);
}

// Creates the file readable and writable by its owner only, whatever the umask, so that no other
// user ever sees it (SQLite gives its -wal and -shm files the same mode). Returns true when this
// call created it.
bool CreateOwnerOnly(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode))
            throw DataException("not a regular file", SQLITE_CANTOPEN);
        return false;
    }
    if (errno != ENOENT)
        ThrowSystemError("cannot open database file", SQLITE_CANTOPEN);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        ThrowSystemError("cannot create database file", SQLITE_CANTOPEN);
    }
    const int modeResult = ::fchmod(fd, S_IRUSR | S_IWUSR);
    ::close(fd);
    if (modeResult != 0)
        ThrowSystemError("cannot set database file mode", SQLITE_CANTOPEN);
    return true;
}

// Journal files left beside a path whose database is gone belong to that old file; SQLite would
// replay them into the new one.
void RemoveStaleCompanions(const std::string& path) {
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        ::unlink((path + suffix).c_str());
}

} // namespace

void Execute(sqlite3* db, const char* sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    if (rc == SQLITE_OK)
        return;
    const std::string message = error != nullptr ? error : sqlite3_errstr(rc);
    sqlite3_free(error);
    throw DataException(message, rc);
}

std::unique_ptr<Connection> Connection::Open(const std::string& path) {
    if (CreateOwnerOnly(path))
        RemoveStaleCompanions(path);
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(path.c_str(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        throw DataException(message, rc);
    }
    std::unique_ptr<Connection> connection(new Connection(db, path));
    connection->Configure();
    connection->RememberIdentity();
    return connection;
}

Connection::Connection(sqlite3* db, std::string path)
    : m_db(db), m_statements(db), m_path(std::move(path)) {}

Connection::~Connection() {
    // A statement still prepared would keep the connection open past the close below, and with it
    // the journal files that CloseDetached must see closed.
    m_statements.Clear();
    if (StillNamedByPath())
        sqlite3_close_v2(m_db);
    else
        CloseDetached();
}

void Connection::Configure() {
    sqlite3_extended_result_codes(m_db, 1);
    // WAL with synchronous NORMAL: a commit is one append without fsync; a crash of the program
    // loses nothing committed, a power loss at most the last commits, and never corrupts the file.
    Execute(m_db, "PRAGMA journal_mode=WAL");
    Execute(m_db, "PRAGMA synchronous=NORMAL");
}

void Connection::RememberIdentity() {
    const auto file = IdentityOf(m_path);
    if (!file)
        ThrowSystemError("database file vanished", SQLITE_CANTOPEN);
    m_file = *file;
    // Reading the schema opens the WAL, so its identity can be taken now.
    Execute(m_db, "SELECT 1 FROM sqlite_schema LIMIT 1");
    const auto wal = IdentityOf(m_path + "-wal");
    const auto shm = IdentityOf(m_path + "-shm");
    m_bHasWal = wal && shm;
    if (m_bHasWal) {
        m_wal = *wal;
        m_shm = *shm;
    }
}

bool Connection::StillNamedByPath() const {
    return IdentityOf(m_path) == m_file;
}

bool Connection::EndOpenTransaction() {
    if (sqlite3_get_autocommit(m_db) != 0)
        return true;
    return sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The path now names another file (or none): closing must not delete the WAL and shared-memory
// files by name, since they may belong to the new file. Ours are removed only if still ours.
void Connection::CloseDetached() {
    int persistWal = 1;
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_PERSIST_WAL, &persistWal);
    sqlite3_close_v2(m_db);
    if (!m_bHasWal)
        return;
    if (IdentityOf(m_path + "-wal") == m_wal)
        ::unlink((m_path + "-wal").c_str());
    if (IdentityOf(m_path + "-shm") == m_shm)
        ::unlink((m_path + "-shm").c_str());
}

} // namespace QxDataModule::SQLite
