#include "StatementCache.h"

#include "data/Exception.h"

#include <limits>
#include <sqlite3.h>

namespace QxDataModule::SQLite {

namespace {

// True when the text after the first statement prepares to nothing: whitespace and comments.
bool OnlySpaceOrComments(sqlite3* db, const char* tail) {
    sqlite3_stmt* rest = nullptr;
    const int rc = sqlite3_prepare_v2(db, tail, -1, &rest, nullptr);
    const bool empty = rc == SQLITE_OK && rest == nullptr;
    sqlite3_finalize(rest);
    return empty;
}

// Prepares exactly one statement, marked as one that is kept and used many times.
sqlite3_stmt* PrepareOne(sqlite3* db, const std::string& sql) {
    if (sql.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw DataException("statement too long", SQLITE_TOOBIG);
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, &tail);
    if (rc != SQLITE_OK)
        throw DataException(sqlite3_errmsg(db), rc);
    if (stmt == nullptr)
        throw DataException("empty statement", SQLITE_MISUSE);
    if (!OnlySpaceOrComments(db, tail)) {
        sqlite3_finalize(stmt);
        throw DataException("more than one statement in: " + sql, SQLITE_MISUSE);
    }
    return stmt;
}

} // namespace

StatementCache::~StatementCache() {
    Clear();
}

StatementCache::Lease StatementCache::Acquire(const std::string& sql) {
    const auto found = m_entries.find(sql);
    if (found != m_entries.end()) {
        Entry& entry = found->second;
        // The kept statement may be busy in another statement of the same text; this use then
        // gets one of its own.
        if (entry.inUse)
            return {PrepareOne(m_db, sql), false};
        entry.inUse = true;
        --m_idleCount;
        return {entry.stmt, true};
    }
    sqlite3_stmt* stmt = PrepareOne(m_db, sql);
    try {
        m_entries.emplace(sql, Entry{stmt, true, 0});
    } catch (...) {
        sqlite3_finalize(stmt);
        throw;
    }
    return {stmt, false};
}

void StatementCache::Refresh(const std::string& sql, Lease& lease) {
    // Preparing reads tables as this connection last saw them; a statement that reads the schema
    // notices a change made through another connection and makes this one read it again. A
    // failure here shows in the prepare that follows.
    sqlite3_exec(m_db, "SELECT 1 FROM sqlite_schema LIMIT 1", nullptr, nullptr, nullptr);
    sqlite3_stmt* fresh = PrepareOne(m_db, sql);
    const auto found = m_entries.find(sql);
    if (found != m_entries.end() && found->second.stmt == lease.stmt)
        found->second.stmt = fresh;
    sqlite3_finalize(lease.stmt);
    lease = {fresh, false};
}

void StatementCache::Release(const std::string& sql, Lease lease) {
    // A statement left between rows (by an exception, or a target that took enough) would keep
    // its read transaction, and with it an old snapshot, for the next session of this connection.
    sqlite3_reset(lease.stmt);
    sqlite3_clear_bindings(lease.stmt);
    const auto found = m_entries.find(sql);
    if (found == m_entries.end() || found->second.stmt != lease.stmt) {
        sqlite3_finalize(lease.stmt);
        return;
    }
    Entry& entry = found->second;
    entry.inUse = false;
    entry.lastUse = ++m_useClock;
    if (++m_idleCount > MAX_IDLE)
        EvictLeastRecentlyUsed();
}

void StatementCache::EvictLeastRecentlyUsed() {
    auto oldest = m_entries.end();
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (!it->second.inUse &&
            (oldest == m_entries.end() || it->second.lastUse < oldest->second.lastUse))
            oldest = it;
    }
    if (oldest == m_entries.end())
        return;
    sqlite3_finalize(oldest->second.stmt);
    m_entries.erase(oldest);
    --m_idleCount;
}

void StatementCache::Clear() {
    for (auto& [sql, entry] : m_entries)
        sqlite3_finalize(entry.stmt);
    m_entries.clear();
    m_idleCount = 0;
}

} // namespace QxDataModule::SQLite
