#include "Connector.h"

#include "ConnectionCache.h"
#include "SessionImpl.h"
#include "data/SessionFactory.h"

namespace QxDataModule::SQLite {

const std::string Connector::KEY = "sqlite";

void Connector::registerConnector() {
    SessionFactory::instance().add(KEY, std::make_unique<Connector>());
}

void Connector::unregisterConnector() {
    SessionFactory::instance().remove(KEY);
}

std::shared_ptr<QxDataModule::SessionImpl> Connector::createSession(const std::string& path) {
    return std::make_shared<SessionImpl>(ConnectionCache::instance().Acquire(path));
}

} // namespace QxDataModule::SQLite
