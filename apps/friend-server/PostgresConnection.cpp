#include "PostgresConnection.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace pellix::server {

namespace {

std::string Trimmed(const char* message) {
    std::string text = message != nullptr ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// Notices such as "relation already exists, skipping" are expected and not worth a log line.
void IgnoreNotice(void*, const char*) {}

// Everything runs on the server's one thread: a database that does not answer must not hold it
// for the system's TCP timeout. The URI comes after the default and may set another.
PGconn* Connect(const std::string& uri) {
    const char* const keywords[] = {"connect_timeout", "dbname", "client_encoding", nullptr};
    const char* const values[] = {"10", uri.c_str(), "UTF8", nullptr};
    return PQconnectdbParams(keywords, values, 1);
}

} // namespace

int64_t PostgresResult::AffectedRows() const {
    const char* text = PQcmdTuples(m_pResult.get());
    int64_t rows = 0;
    const char* end = text + std::strlen(text);
    if (std::from_chars(text, end, rows).ptr != end || text == end)
        throw PostgresError("no row count in the answer");
    return rows;
}

const char* PostgresResult::Value(int row, int column) const {
    if (row < 0 || row >= Rows() || column < 0 || column >= PQnfields(m_pResult.get()))
        throw PostgresError("the answer has fewer rows or columns than expected");
    if (PQgetisnull(m_pResult.get(), row, column))
        throw PostgresError("unexpected NULL in the answer");
    return PQgetvalue(m_pResult.get(), row, column);
}

int64_t PostgresResult::Integer(int row, int column) const {
    const char* text = Value(row, column);
    const char* end = text + PQgetlength(m_pResult.get(), row, column);
    int64_t value = 0;
    const auto [at, error] = std::from_chars(text, end, value);
    if (error != std::errc() || at != end)
        throw PostgresError("not an integer in the answer");
    return value;
}

int32_t PostgresResult::Int32(int row, int column) const {
    const int64_t value = Integer(row, column);
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        throw PostgresError("a 32-bit value out of range in the answer");
    return static_cast<int32_t>(value);
}

std::string PostgresResult::Text(int row, int column) const {
    const char* text = Value(row, column);
    return std::string(text, static_cast<std::size_t>(PQgetlength(m_pResult.get(), row, column)));
}

bool PostgresResult::Boolean(int row, int column) const {
    const std::string text = Text(row, column);
    if (text != "t" && text != "f")
        throw PostgresError("not a boolean in the answer");
    return text == "t";
}

PostgresConnection::PostgresConnection(const std::string& uri)
    : m_pConnection(Connect(uri), &PQfinish) {
    if (m_pConnection == nullptr)
        throw PostgresError("cannot allocate a connection");
    if (PQstatus(m_pConnection.get()) != CONNECTION_OK)
        throw PostgresError(Trimmed(PQerrorMessage(m_pConnection.get())));
    PQsetNoticeProcessor(m_pConnection.get(), &IgnoreNotice, nullptr);
}

void PostgresConnection::Prepare(const char* name, const char* sql) {
    Check(PQprepare(m_pConnection.get(), name, sql, 0, nullptr), name);
    m_Statements.push_back({name, sql});
}

PostgresResult PostgresConnection::RunPrepared(const char* name, const std::string* texts,
                                               std::size_t count) {
    ReconnectIfLost();
    std::vector<const char*> values;
    values.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        values.push_back(texts[i].c_str());
    return Check(PQexecPrepared(m_pConnection.get(), name, static_cast<int>(count), values.data(),
                                nullptr, nullptr, 0),
                 name);
}

PostgresResult PostgresConnection::Execute(const char* sql) {
    ReconnectIfLost();
    // A migration step is long: its start says enough in a message.
    const std::string start = std::string(sql).substr(0, 60);
    return Check(PQexec(m_pConnection.get(), sql), start.c_str());
}

void PostgresConnection::Begin() {
    Execute("BEGIN");
    m_bInTransaction = true;
}

void PostgresConnection::Commit() {
    // Still in the transaction: a connection lost before it must fail the commit, not be
    // reopened for a COMMIT that would find nothing to commit and succeed.
    Execute("COMMIT");
    m_bInTransaction = false;
}

void PostgresConnection::Rollback() noexcept {
    m_bInTransaction = false;
    if (PQstatus(m_pConnection.get()) == CONNECTION_OK)
        PQclear(PQexec(m_pConnection.get(), "ROLLBACK"));
}

void PostgresConnection::ReconnectIfLost() {
    if (PQstatus(m_pConnection.get()) == CONNECTION_OK)
        return;
    if (m_bInTransaction)
        throw PostgresError("the connection was lost during a transaction");
    PQreset(m_pConnection.get());
    if (PQstatus(m_pConnection.get()) != CONNECTION_OK)
        throw PostgresError(Trimmed(PQerrorMessage(m_pConnection.get())));
    for (const Statement& statement : m_Statements)
        Check(PQprepare(m_pConnection.get(), statement.name.c_str(), statement.sql.c_str(), 0,
                        nullptr),
              statement.name.c_str());
}

PostgresResult PostgresConnection::Check(PGresult* raw, const char* what) const {
    PostgresResult result(raw);
    if (raw == nullptr)
        throw PostgresError(std::string(what) + ": " +
                            Trimmed(PQerrorMessage(m_pConnection.get())));
    const ExecStatusType status = PQresultStatus(raw);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw PostgresError(std::string(what) + ": " + Trimmed(PQresultErrorMessage(raw)));
    return result;
}

} // namespace pellix::server
