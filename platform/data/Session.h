#pragma once
// A handle to one open database. Copies share the connection; when the last copy and the last
// statement built on it are gone the connection is released, rolling back an open transaction.

#include <memory>
#include <string_view>

namespace QxDataModule {

class SessionImpl;
class Statement;

class Session {
public:
    // A session without a connection: building a statement on it throws NullPointerException.
    Session() = default;
    explicit Session(std::shared_ptr<SessionImpl> impl) : m_pImpl(std::move(impl)) {}

    // Starts a statement: `session << "SQL", use(x), into(y), now`.
    Statement operator<<(std::string_view sql);

    void begin();
    void commit();
    void rollback();
    bool isTransaction() const;

    // The connection; throws NullPointerException when there is none.
    const std::shared_ptr<SessionImpl>& impl() const;

private:
    std::shared_ptr<SessionImpl> m_pImpl;
};

// Begins in its constructor; rolls back in its destructor unless commit() ran.
class Transaction {
public:
    explicit Transaction(Session& session);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Session& m_session;
    bool m_bCommitted = false;
};

} // namespace QxDataModule
