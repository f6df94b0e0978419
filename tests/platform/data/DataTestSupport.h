#pragma once
// A temporary directory for database files, and a SQLite connector registered for the tests.

#include "data/SQLite/Connector.h"
#include "data/SessionFactory.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

class DataFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QxDataModule::SQLite::Connector::registerConnector(); }

    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    std::string PathOf(const char* name) const {
        return m_dir.filePath(QString::fromUtf8(name)).toStdString();
    }

    static QxDataModule::Session Open(const std::string& path) {
        return QxDataModule::SessionFactory::instance().create(QxDataModule::SQLite::Connector::KEY,
                                                               path);
    }

private:
    QTemporaryDir m_dir;
};
