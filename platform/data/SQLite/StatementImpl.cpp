#include "StatementImpl.h"

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

} // namespace

StatementImpl::StatementImpl(sqlite3* db, const std::string& sql) : m_db(db) {
    if (sql.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw DataException("statement too long", SQLITE_TOOBIG);
    const char* tail = nullptr;
    Check(sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &m_stmt, &tail));
    if (m_stmt == nullptr)
        throw DataException("empty statement", SQLITE_MISUSE);
    if (!OnlySpaceOrComments(m_db, tail)) {
        sqlite3_finalize(m_stmt);
        throw DataException("more than one statement in: " + sql, SQLITE_MISUSE);
    }
}

StatementImpl::~StatementImpl() {
    sqlite3_finalize(m_stmt);
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
    const int columns = sqlite3_column_count(m_stmt);
    if (pos >= static_cast<std::size_t>(columns))
        throw DataException("result has " + std::to_string(columns) + " columns, column " +
                                std::to_string(pos) + " was asked for",
                            SQLITE_RANGE);
    return static_cast<int>(pos);
}

void StatementImpl::bind(std::size_t pos, int64_t value) {
    Check(sqlite3_bind_int64(m_stmt, ParameterIndex(pos), value));
}

void StatementImpl::bind(std::size_t pos, const std::string& value) {
    Check(sqlite3_bind_text64(m_stmt, ParameterIndex(pos), value.data(), value.size(),
                              SQLITE_TRANSIENT, SQLITE_UTF8));
}

void StatementImpl::bindNull(std::size_t pos) {
    Check(sqlite3_bind_null(m_stmt, ParameterIndex(pos)));
}

bool StatementImpl::extract(std::size_t pos, int64_t& value) {
    const int column = ColumnIndex(pos);
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return false;
    value = sqlite3_column_int64(m_stmt, column);
    return true;
}

bool StatementImpl::extract(std::size_t pos, std::string& value) {
    const int column = ColumnIndex(pos);
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return false;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    if (text == nullptr)
        throw DataException("out of memory reading a text column", SQLITE_NOMEM);
    value.assign(text, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column)));
    return true;
}

void StatementImpl::prepare(std::size_t pos, ColumnKind) {
    ColumnIndex(pos);
}

std::size_t StatementImpl::parameterCount() const {
    return static_cast<std::size_t>(sqlite3_bind_parameter_count(m_stmt));
}

bool StatementImpl::next() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw DataException(sqlite3_errmsg(m_db), rc);
}

void StatementImpl::reset() {
    // sqlite3_reset repeats the last step's error, which next() has already reported.
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

} // namespace QxDataModule::SQLite
