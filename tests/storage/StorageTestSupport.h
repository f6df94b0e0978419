#pragma once
// A temporary working directory with a signed-in user, recorded message boxes, a recording
// contact listener and direct access to the database files.

#include "RecordingMessageBox.h"
#include "storage/ContactListener.h"
#include "ui/manager/SkinBoxNotices.h"

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

    // The model's and the stores' notices reach the recorded boxes as the module shows them.
    CSkinBoxNotices m_notices;
    RecordingMessageBox m_boxes;

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

struct ListenerCall {
    std::string what;
    int32_t userID = 0;
    int friends = 0;
    int online = 0;
};

class RecordingListener final : public IContactListener {
public:
    void OnContactsReset() override { calls.push_back({"reset"}); }
    void OnContactCounts(int friendCount, int onlineFriendCount) override {
        calls.push_back({"counts", 0, friendCount, onlineFriendCount});
    }
    void OnContactChanged(ContactInfo* contact) override;
    void OnContactAdded(ContactInfo* contact) override;
    void OnContactRemoved(ContactInfo* contact) override;

    std::vector<ListenerCall> calls;
};

} // namespace pellix
