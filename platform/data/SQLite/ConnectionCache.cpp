#include "ConnectionCache.h"

namespace QxDataModule::SQLite {

ConnectionCache& ConnectionCache::instance() {
    static ConnectionCache cache;
    return cache;
}

std::unique_ptr<Connection> ConnectionCache::TakeIdle(const std::string& path) {
    std::lock_guard lock(m_mutex);
    for (auto it = m_idle.begin(); it != m_idle.end(); ++it) {
        if ((*it)->path() == path) {
            std::unique_ptr<Connection> connection = std::move(*it);
            m_idle.erase(it);
            return connection;
        }
    }
    return nullptr;
}

std::unique_ptr<Connection> ConnectionCache::Acquire(const std::string& path) {
    // Every idle connection of a path that now names another file is closed before a new one
    // opens, so none of them can touch the new file's journal later.
    while (std::unique_ptr<Connection> idle = TakeIdle(path)) {
        if (idle->StillNamedByPath())
            return idle;
    }
    return Connection::Open(path);
}

void ConnectionCache::Release(std::unique_ptr<Connection> connection) {
    // Whether the path still names the file is asked when the connection is next taken, and
    // again when it closes; asking here too would cost every operation a second look-up.
    if (!connection->EndOpenTransaction())
        return;
    std::unique_ptr<Connection> evicted;
    {
        std::lock_guard lock(m_mutex);
        m_idle.push_front(std::move(connection));
        if (m_idle.size() > MAX_IDLE) {
            evicted = std::move(m_idle.back());
            m_idle.pop_back();
        }
    }
}

void ConnectionCache::Clear() {
    std::list<std::unique_ptr<Connection>> idle;
    {
        std::lock_guard lock(m_mutex);
        idle.swap(m_idle);
    }
}

} // namespace QxDataModule::SQLite
