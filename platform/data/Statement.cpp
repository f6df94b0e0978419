#include "Statement.h"

#include "Exception.h"
#include "Session.h"
#include "SessionImpl.h"

#include <algorithm>

namespace QxDataModule {

Statement::Statement(Session& session) : m_pSession(session.impl()) {}

Statement::~Statement() = default;
Statement::Statement(Statement&&) noexcept = default;
Statement& Statement::operator=(Statement&&) noexcept = default;

Statement& Statement::operator<<(std::string_view sql) {
    m_sql.append(sql);
    m_pImpl.reset();
    return *this;
}

Statement &Statement::operator,(std::unique_ptr<AbstractBinding> binding) {
    if (!binding)
        throw QxBaseModule::NullPointerException("null binding");
    m_bindings.push_back(std::move(binding));
    return *this;
}

Statement &Statement::operator,(std::unique_ptr<AbstractExtraction> extraction) {
    if (!extraction)
        throw QxBaseModule::NullPointerException("null extraction");
    m_extractions.push_back(std::move(extraction));
    return *this;
}

Statement &Statement::operator,(const Limit&limit) {
    m_limit = limit;
    return *this;
}

Statement &Statement::operator,(Manipulator manipulator) {
    manipulator(*this);
    return *this;
}

std::size_t Statement::execute() {
    if (!m_pImpl)
        m_pImpl = m_pSession->prepare(m_sql);
    m_pImpl->reset();
    BindAll();
    PrepareTargets();
    return FetchRows();
}

void Statement::BindAll() {
    std::size_t pos = 0;
    for (const auto& binding : m_bindings) {
        binding->reset();
        if (binding->canBind())
            binding->bind(pos, *m_pImpl);
        pos += binding->numOfColumnsHandled();
    }
    // A placeholder left unbound would silently read as NULL.
    if (pos != m_pImpl->parameterCount())
        throw DataException("statement has " + std::to_string(m_pImpl->parameterCount()) +
                            " placeholders but " + std::to_string(pos) + " bound values");
}

void Statement::PrepareTargets() {
    std::size_t pos = 0;
    for (const auto& extraction : m_extractions) {
        extraction->reset();
        extraction->createPrepareObject(*m_pImpl, pos)->prepare();
        pos += extraction->numOfColumnsHandled();
    }
}

bool Statement::TargetsFull(std::size_t rows) const {
    if (rows >= m_limit.value() && !m_limit.isLowerLimit())
        return true;
    return std::any_of(m_extractions.begin(), m_extractions.end(),
                       [rows](const auto& extraction) { return rows >= extraction->getLimit(); });
}

std::size_t Statement::FetchRows() {
    std::size_t rows = 0;
    while (!TargetsFull(rows) && m_pImpl->next()) {
        std::size_t pos = 0;
        for (const auto& extraction : m_extractions)
            pos += extraction->extract(pos, *m_pImpl);
        ++rows;
    }
    if (m_limit.isHardLimit() && !m_limit.isLowerLimit() && rows >= m_limit.value() &&
        m_pImpl->next())
        throw DataException("more rows than the limit of " + std::to_string(m_limit.value()));
    if (m_limit.isLowerLimit() && rows < m_limit.value())
        throw DataException("fewer rows than the limit of " + std::to_string(m_limit.value()));
    m_pImpl->reset();
    return rows;
}

void now(Statement& statement) {
    statement.execute();
}

} // namespace QxDataModule
