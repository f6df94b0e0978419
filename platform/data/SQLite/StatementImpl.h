#pragma once
// One SQL statement on a connection: binds by position, steps through rows, reads columns. Its
// prepared form comes from the connection's statement cache and goes back there, reset, when it
// is destroyed; it keeps its session, and so the connection, alive until then.

#include "data/SQLite/StatementCache.h"
#include "data/SessionImpl.h"

#include <memory>
#include <string>

struct sqlite3;

namespace QxDataModule::SQLite {

class StatementImpl final : public QxDataModule::StatementImpl {
public:
    // Takes a prepared statement for sql from cache; throws DataException for bad or several
    // statements.
    StatementImpl(std::shared_ptr<const QxDataModule::SessionImpl> session, sqlite3* db,
                  StatementCache& cache, std::string sql);
    ~StatementImpl() override;
    StatementImpl(const StatementImpl&) = delete;
    StatementImpl& operator=(const StatementImpl&) = delete;

    void bind(std::size_t pos, int64_t value) override;
    void bind(std::size_t pos, const std::string& value) override;
    void bindNull(std::size_t pos) override;
    bool extract(std::size_t pos, int64_t& value) override;
    bool extract(std::size_t pos, std::string& value) override;
    void prepare(std::size_t pos, ColumnKind kind) override;

    std::size_t parameterCount() const override;
    bool next() override;
    void reset() override;

private:
    void Check(int rc) const;
    int ColumnIndex(std::size_t pos) const;
    int ParameterIndex(std::size_t pos) const;

    std::shared_ptr<const QxDataModule::SessionImpl> m_pSession;
    sqlite3* m_db;
    StatementCache& m_cache;
    std::string m_sql;
    StatementCache::Lease m_lease;
};

} // namespace QxDataModule::SQLite
