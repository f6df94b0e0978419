#include "SessionFactory.h"

#include "Exception.h"

namespace QxDataModule {

SessionFactory& SessionFactory::instance() {
    static SessionFactory factory;
    return factory;
}

void SessionFactory::add(const std::string& key, std::unique_ptr<Connector> connector) {
    std::lock_guard lock(m_mutex);
    m_connectors.try_emplace(key, std::move(connector));
}

void SessionFactory::remove(const std::string& key) {
    std::lock_guard lock(m_mutex);
    m_connectors.erase(key);
}

bool SessionFactory::contains(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    return m_connectors.contains(key);
}

Session SessionFactory::create(const std::string& key, const std::string& connectionString) {
    Connector* connector = nullptr;
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_connectors.find(key);
        if (found == m_connectors.end())
            throw DataException("no connector registered for " + key);
        connector = found->second.get();
    }
    return Session(connector->createSession(connectionString));
}

} // namespace QxDataModule
