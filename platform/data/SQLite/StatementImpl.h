#pragma once
// One prepared SQLite statement: binds by position, steps through rows, reads columns.

#include "data/SessionImpl.h"

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace QxDataModule::SQLite {

class StatementImpl final : public QxDataModule::StatementImpl {
public:
    // Prepares exactly one statement; throws DataException for bad or several statements.
    StatementImpl(sqlite3* db, const std::string& sql);
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

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace QxDataModule::SQLite
