#pragma once
// The stores server tests run on: a SQLite file in a temporary folder, or a fresh database in
// the test run's PostgreSQL cluster. A parameterised test runs once on each.

#include "AccountStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace pellix::server {

enum class StoreKind { Sqlite, Postgres };

// Names the test instances after their store.
std::string StoreKindName(const ::testing::TestParamInfo<StoreKind>& info);

inline auto EachStore() {
    return ::testing::Values(StoreKind::Sqlite, StoreKind::Postgres);
}

// Where one test keeps its store; it lasts as long as this object.
class StorePlace {
public:
    // Throws std::runtime_error when the PostgreSQL cluster cannot start.
    explicit StorePlace(StoreKind kind);

    // The file path or URI, as --db takes it.
    const std::string& Location() const { return m_Location; }
    // A new store object on the place: on the second and later, a restarted server's.
    std::unique_ptr<AccountStore> Open() const;

private:
    StoreKind m_Kind;
    QTemporaryDir m_Dir;
    std::string m_Location;
};

} // namespace pellix::server
