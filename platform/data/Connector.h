#pragma once
// A database back end that SessionFactory can open sessions with, registered under a key.

#include <memory>
#include <string>

namespace QxDataModule {

class SessionImpl;

class Connector {
public:
    virtual ~Connector() = default;
    // Opens the connection; throws DataException when it cannot.
    virtual std::shared_ptr<SessionImpl> createSession(const std::string& connectionString) = 0;
};

} // namespace QxDataModule
