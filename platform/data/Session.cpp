#include "Session.h"

#include "Exception.h"
#include "SessionImpl.h"
#include "Statement.h"

namespace QxDataModule {

Statement Session::operator<<(std::string_view sql) {
    Statement statement(*this);
    statement << sql;
    return statement;
}

const std::shared_ptr<SessionImpl>& Session::impl() const {
    if (!m_pImpl)
        throw QxBaseModule::NullPointerException("session has no connection");
    return m_pImpl;
}

void Session::begin() {
    impl()->begin();
}

void Session::commit() {
    impl()->commit();
}

void Session::rollback() {
    impl()->rollback();
}

bool Session::isTransaction() const {
    return impl()->isTransaction();
}

Transaction::Transaction(Session& session) : m_session(session) {
    m_session.begin();
}

Transaction::~Transaction() {
    if (m_bCommitted)
        return;
    try {
        if (m_session.isTransaction())
            m_session.rollback();
    } catch (const QxBaseModule::Exception&) {
        // The connection drops an unfinished transaction itself when it is released.
    }
}

void Transaction::commit() {
    m_session.commit();
    m_bCommitted = true;
}

} // namespace QxDataModule
