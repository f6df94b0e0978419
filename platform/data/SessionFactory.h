#pragma once
// The process-wide table of connectors by key, and the one way to open a Session.

#include "data/Connector.h"
#include "data/Session.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace QxDataModule {

class SessionFactory {
public:
    static SessionFactory& instance();

    // Keeps the first connector registered under a key.
    void add(const std::string& key, std::unique_ptr<Connector> connector);
    void remove(const std::string& key);
    bool contains(const std::string& key) const;

    // Opens a session; throws DataException for an unknown key or a connection that fails.
    Session create(const std::string& key, const std::string& connectionString);

private:
    SessionFactory() = default;

    mutable std::mutex m_mutex;
    std::map<std::string, std::unique_ptr<Connector>> m_connectors;
};

} // namespace QxDataModule
