#pragma once
// A session over one leased SQLite connection; the connection goes back to the cache when the
// session and its statements are gone. Always owned by a shared_ptr, which its statements share.

#include "data/SQLite/Connection.h"
#include "data/SessionImpl.h"

#include <memory>

namespace QxDataModule::SQLite {

class SessionImpl final : public QxDataModule::SessionImpl,
                          public std::enable_shared_from_this<SessionImpl> {
public:
    explicit SessionImpl(std::unique_ptr<Connection> connection);
    ~SessionImpl() override;

    std::unique_ptr<QxDataModule::StatementImpl> prepare(const std::string& sql) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    bool isTransaction() const override;

private:
    std::unique_ptr<Connection> m_pConnection;
};

} // namespace QxDataModule::SQLite
