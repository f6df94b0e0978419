#pragma once
// The SQLite back end. Register it once per process; the connection string is a UTF-8 file path.

#include "data/Connector.h"

#include <string>

namespace QxDataModule::SQLite {

class Connector final : public QxDataModule::Connector {
public:
    static const std::string KEY;

    // Adds the connector to SessionFactory under KEY; a second call changes nothing.
    static void registerConnector();
    static void unregisterConnector();

    // Opens (and creates, owner-only) the database file at path.
    std::shared_ptr<SessionImpl> createSession(const std::string& path) override;
};

} // namespace QxDataModule::SQLite
