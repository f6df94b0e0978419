#pragma once
// One SQL statement with its bindings, targets and row limit. Built with the comma operator and
// run by `now` or execute(); it keeps its session's connection alive while it exists.

#include "data/AbstractBinding.h"
#include "data/AbstractExtraction.h"
#include "data/Limit.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace QxDataModule {

class Session;
class SessionImpl;
class StatementImpl;

class Statement {
public:
    using Manipulator = void (*)(Statement&);

    explicit Statement(Session& session);
    ~Statement();
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) noexcept;

    // Appends SQL text; the statement is prepared at its first execution.
    Statement& operator<<(std::string_view sql);
    Statement& operator,(std::unique_ptr<AbstractBinding> binding);
    Statement& operator,(std::unique_ptr<AbstractExtraction> extraction);
    Statement& operator,(const Limit& limit);
    Statement& operator,(Manipulator manipulator);

    // Binds every value by position, runs the statement and fills the targets row by row.
    // Returns the number of rows fetched.
    std::size_t execute();

private:
    void BindAll();
    void PrepareTargets();
    std::size_t FetchRows();
    bool TargetsFull(std::size_t rows) const;

    std::shared_ptr<SessionImpl> m_pSession;
    std::string m_sql;
    std::unique_ptr<StatementImpl> m_pImpl;
    std::vector<std::unique_ptr<AbstractBinding>> m_bindings;
    std::vector<std::unique_ptr<AbstractExtraction>> m_extractions;
    Limit m_limit{Limit::LIMIT_UNLIMITED};
};

// Runs the statement at once: `session << "DELETE ...", use(x), now`.
void now(Statement& statement);

} // namespace QxDataModule
