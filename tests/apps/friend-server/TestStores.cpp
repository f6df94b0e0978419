#include "TestStores.h"

#include "PostgresAccountStore.h"
#include "PostgresCluster.h"
#include "SqliteAccountStore.h"

#include <stdexcept>

namespace pellix::server {

std::string StoreKindName(const ::testing::TestParamInfo<StoreKind>& info) {
    return info.param == StoreKind::Sqlite ? "Sqlite" : "Postgres";
}

StorePlace::StorePlace(StoreKind kind) : m_Kind(kind) {
    if (kind == StoreKind::Postgres) {
        m_Location = PostgresCluster::Shared().CreateDatabase();
        return;
    }
    if (!m_Dir.isValid())
        throw std::runtime_error("no temporary folder");
    m_Location = m_Dir.filePath(QStringLiteral("friends.db")).toStdString();
}

std::unique_ptr<AccountStore> StorePlace::Open() const {
    if (m_Kind == StoreKind::Postgres)
        return std::make_unique<PostgresAccountStore>(m_Location);
    return std::make_unique<SqliteAccountStore>(m_Location);
}

} // namespace pellix::server
