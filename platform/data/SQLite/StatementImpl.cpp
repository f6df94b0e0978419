#include "StatementImpl.h"

#include "data/Exception.h"

#include <sqlite3.h>

namespace QxDataModule::SQLite {

StatementImpl::StatementImpl(std::shared_ptr<const QxDataModule::SessionImpl> session, sqlite3* db,
                             StatementCache& cache, std::string sql)
    : m_pSession(std::move(session)), m_db(db), m_cache(cache), m_sql(std::move(sql)),
      m_lease(m_cache.Acquire(m_sql)) {}

StatementImpl::~StatementImpl() {
    m_cache.Release(m_sql, m_lease);
}

void StatementImpl::Check(int rc) const {
    if (rc != SQLITE_OK)
        throw DataException(sqlite3_errmsg(m_db), rc);
}

int StatementImpl::ParameterIndex(std::size_t pos) const {
    if (pos >= parameterCount())
        throw DataException("no placeholder at position " + std::to_string(pos), SQLITE_RANGE);
    return static_cast<int>(pos) + 1;
}

int StatementImpl::ColumnIndex(std::size_t pos) const {
    const int columns = sqlite3_column_count(m_lease.stmt);
    if (pos >= static_cast<std::size_t>(columns))
        throw DataException("result has " + std::to_string(columns) + " columns, column " +
                                std::to_string(pos) + " was asked for",
                            SQLITE_RANGE);
    return static_cast<int>(pos);
}

void StatementImpl::bind(std::size_t pos, int64_t value) {
    Check(sqlite3_bind_int64(m_lease.stmt, ParameterIndex(pos), value));
}

void StatementImpl::bind(std::size_t pos, const std::string& value) {
    Check(sqlite3_bind_text64(m_lease.stmt, ParameterIndex(pos), value.data(), value.size(),
                              SQLITE_TRANSIENT, SQLITE_UTF8));
}

void StatementImpl::bindNull(std::size_t pos) {
    Check(sqlite3_bind_null(m_lease.stmt, ParameterIndex(pos)));
}

bool StatementImpl::extract(std::size_t pos, int64_t& value) {
    const int column = ColumnIndex(pos);
    if (sqlite3_column_type(m_lease.stmt, column) == SQLITE_NULL)
        return false;
    value = sqlite3_column_int64(m_lease.stmt, column);
    return true;
}

bool StatementImpl::extract(std::size_t pos, std::string& value) {
    const int column = ColumnIndex(pos);
    if (sqlite3_column_type(m_lease.stmt, column) == SQLITE_NULL)
        return false;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_lease.stmt, column));
    if (text == nullptr)
        throw DataException("out of memory reading a text column", SQLITE_NOMEM);
    value.assign(text, static_cast<std::size_t>(sqlite3_column_bytes(m_lease.stmt, column)));
    return true;
}

void StatementImpl::prepare(std::size_t pos, ColumnKind) {
    // Until it runs, a statement describes its columns from the schema its connection last read
    // (for a kept statement, when it was prepared); a table that another connection has given
    // more columns since is looked at afresh before this is called an error.
    if (pos >= static_cast<std::size_t>(sqlite3_column_count(m_lease.stmt)))
        m_cache.Refresh(m_sql, m_lease);
    ColumnIndex(pos);
}

std::size_t StatementImpl::parameterCount() const {
    return static_cast<std::size_t>(sqlite3_bind_parameter_count(m_lease.stmt));
}

bool StatementImpl::next() {
    const int rc = sqlite3_step(m_lease.stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw DataException(sqlite3_errmsg(m_db), rc);
}

void StatementImpl::reset() {
    // sqlite3_reset repeats the last step's error, which next() has already reported.
    sqlite3_reset(m_lease.stmt);
    sqlite3_clear_bindings(m_lease.stmt);
}

} // namespace QxDataModule::SQLite
