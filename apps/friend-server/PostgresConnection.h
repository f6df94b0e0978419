#pragma once
// One libpq connection owned by the PostgreSQL account store: statements prepared by name and
// prepared again after a reconnect, values always bound as text, results read with every value
// checked. Failures throw PostgresError.

#include <libpq-fe.h>

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pellix::server {

class PostgresError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A statement's rows, read as the text libpq hands out.
class PostgresResult {
public:
    explicit PostgresResult(PGresult* result) : m_pResult(result, &PQclear) {}

    int Rows() const { return PQntuples(m_pResult.get()); }
    // The number of rows an INSERT, UPDATE or DELETE touched.
    int64_t AffectedRows() const;
    int64_t Integer(int row, int column) const;
    int32_t Int32(int row, int column) const;
    std::string Text(int row, int column) const;
    bool Boolean(int row, int column) const;

private:
    const char* Value(int row, int column) const;

    std::unique_ptr<PGresult, decltype(&PQclear)> m_pResult;
};

class PostgresConnection {
public:
    // A libpq connection URI; the session speaks UTF-8 whatever the server's default.
    explicit PostgresConnection(const std::string& uri);

    // Prepares the statement now and after every reconnect.
    void Prepare(const char* name, const char* sql);
    // Runs a prepared statement with its values in text form.
    template <typename... Values> PostgresResult Run(const char* name, const Values&... values) {
        const std::array<std::string, sizeof...(Values)> texts{ToText(values)...};
        return RunPrepared(name, texts.data(), texts.size());
    }
    // Runs fixed SQL without values (schema changes, locks taken by constant keys).
    PostgresResult Execute(const char* sql);

    void Begin();
    void Commit();
    // Never throws: called while another failure unwinds.
    void Rollback() noexcept;

private:
    static std::string ToText(int32_t value) { return std::to_string(value); }
    static std::string ToText(int64_t value) { return std::to_string(value); }
    static std::string ToText(bool value) { return value ? "true" : "false"; }
    static std::string ToText(const std::string& value) { return value; }
    static std::string ToText(const char* value) { return value; }

    PostgresResult RunPrepared(const char* name, const std::string* texts, std::size_t count);
    // A connection lost between statements is opened again, unless a transaction was under way:
    // what it did is gone, and the statements after it must not run on their own.
    void ReconnectIfLost();
    PostgresResult Check(PGresult* result, const char* what) const;

    struct Statement {
        std::string name;
        std::string sql;
    };

    std::unique_ptr<PGconn, decltype(&PQfinish)> m_pConnection;
    std::vector<Statement> m_Statements;
    bool m_bInTransaction = false;
};

// Begins in its constructor and rolls back in its destructor unless committed.
class PostgresTransaction {
public:
    explicit PostgresTransaction(PostgresConnection& connection) : m_Connection(connection) {
        m_Connection.Begin();
    }
    ~PostgresTransaction() {
        if (!m_bCommitted)
            m_Connection.Rollback();
    }
    PostgresTransaction(const PostgresTransaction&) = delete;
    PostgresTransaction& operator=(const PostgresTransaction&) = delete;

    void Commit() {
        m_Connection.Commit();
        m_bCommitted = true;
    }

private:
    PostgresConnection& m_Connection;
    bool m_bCommitted = false;
};

} // namespace pellix::server
