#pragma once
// A temporary working directory with a signed-in user, recorded notices, a recording contact
// listener and direct access to the database files.

#include "RecordingListener.h"
#include "RecordingNotices.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pellix {

class StorageTest : public ::testing::Test {
protected:
    static constexpr int32_t OWN_ID = 501;

    void SetUp() override;
    void TearDown() override;

    // A path under the temporary working directory.
    std::string WorkPath(const std::string& relative) const;
    std::string ContactsFile() const { return WorkPath("Profile/501/contacts.data"); }
    std::string OptionFile() const { return WorkPath("Profile/501/option.data"); }
    std::string HistoryFile(int peer) const;

    RecordingNotices m_notices;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    int32_t m_previousUser = 0;
};

// Runs SQL on a file through a connection of its own; fails the test on an error.
void RawExec(const std::string& path, const std::string& sql);
// Every row of a query, columns joined with '|', NULL written as "NULL".
std::vector<std::string> RawRows(const std::string& path, const std::string& sql);
std::string FileBytes(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// While alive, file modes bind this process even when it runs as root.
class FileModesEnforced {
public:
    FileModesEnforced();
    ~FileModesEnforced();
    FileModesEnforced(const FileModesEnforced&) = delete;
    FileModesEnforced& operator=(const FileModesEnforced&) = delete;
    bool enforced() const { return m_bEnforced; }

private:
    bool m_bEnforced = false;
    bool m_bDropped = false;
    uint32_t m_savedEffective = 0;
};

} // namespace pellix
