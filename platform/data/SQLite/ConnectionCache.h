#pragma once
// Keeps a few idle connections open by path, so that the many short sessions of the storage code
// (one per operation) do not reopen, re-read and checkpoint the file each time. A connection is
// reused only while its path still names the file it opened.

#include "data/SQLite/Connection.h"

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>

namespace QxDataModule::SQLite {

class ConnectionCache {
public:
    static ConnectionCache& instance();

    // An idle connection to the file at path, or a newly opened one.
    std::unique_ptr<Connection> Acquire(const std::string& path);
    // Takes a connection back after its session ended; unusable ones are closed.
    void Release(std::unique_ptr<Connection> connection);
    // Closes every idle connection.
    void Clear();

private:
    static constexpr std::size_t MAX_IDLE = 8;

    ConnectionCache() = default;
    std::unique_ptr<Connection> TakeIdle(const std::string& path);

    std::mutex m_mutex;
    std::list<std::unique_ptr<Connection>> m_idle; // most recently used first
};

} // namespace QxDataModule::SQLite
