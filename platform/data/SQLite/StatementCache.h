#pragma once
// The prepared statements of one connection, kept by SQL text, so that the storage code's
// repeated operations (one session each) do not parse the same SQL again every time. Owned by its
// Connection, which finalizes them before it closes; at most MAX_IDLE idle ones are kept.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace QxDataModule::SQLite {

class StatementCache {
public:
    static constexpr std::size_t MAX_IDLE = 32;

    // A statement handed out for one use; reused is true when it was prepared by an earlier use.
    struct Lease {
        sqlite3_stmt* stmt = nullptr;
        bool reused = false;
    };

    explicit StatementCache(sqlite3* db) : m_db(db) {}
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The idle statement kept for sql, or a newly prepared one. Throws DataException when sql is
    // not exactly one statement.
    Lease Acquire(const std::string& sql);
    // Reads the schema again and prepares sql afresh for a lease whose statement may describe
    // tables as they were before another connection changed them; the lease then holds the new
    // statement. Throws DataException, leaving the lease as it was, when it fails.
    void Refresh(const std::string& sql, Lease& lease);
    // Takes a lease back: reset, with no bindings left, kept for its text or finalized.
    void Release(const std::string& sql, Lease lease);
    // Finalizes every statement; no lease may be outstanding.
    void Clear();

    std::size_t IdleCount() const { return m_idleCount; }

private:
    struct Entry {
        sqlite3_stmt* stmt = nullptr;
        bool inUse = false;
        std::uint64_t lastUse = 0;
    };

    void EvictLeastRecentlyUsed();

    sqlite3* m_db;
    std::unordered_map<std::string, Entry> m_entries;
    std::size_t m_idleCount = 0;
    std::uint64_t m_useClock = 0;
};

} // namespace QxDataModule::SQLite
