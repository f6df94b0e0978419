#include "SessionImpl.h"

#include "ConnectionCache.h"
#include "StatementImpl.h"

#include <sqlite3.h>

namespace QxDataModule::SQLite {

SessionImpl::SessionImpl(std::unique_ptr<Connection> connection)
    : m_pConnection(std::move(connection)) {}

SessionImpl::~SessionImpl() {
    ConnectionCache::instance().Release(std::move(m_pConnection));
}

std::unique_ptr<QxDataModule::StatementImpl> SessionImpl::prepare(const std::string& sql) {
    return std::make_unique<StatementImpl>(shared_from_this(), m_pConnection->handle(),
                                           m_pConnection->statements(), sql);
}

void SessionImpl::begin() {
    Execute(m_pConnection->handle(), "BEGIN IMMEDIATE");
}

void SessionImpl::commit() {
    Execute(m_pConnection->handle(), "COMMIT");
}

void SessionImpl::rollback() {
    Execute(m_pConnection->handle(), "ROLLBACK");
}

bool SessionImpl::isTransaction() const {
    return sqlite3_get_autocommit(m_pConnection->handle()) == 0;
}

} // namespace QxDataModule::SQLite
