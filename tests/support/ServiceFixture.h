#pragma once
// A whole friend service in a fresh working directory: user 501 ("我自己") signed in, a recording
// socket for what it sends, recorded message boxes, and a 1024 x 768 screen.

#include "FriendTestData.h"
#include "RecordingMessageBox.h"
#include "RecordingSocket.h"
#include "ScopedWorkingDirectory.h"
#include "module/FriendService.h"
#include "records/FriendRecords.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace pellix {

class ServiceFixture : public ::testing::Test {
protected:
    ServiceFixture();
    ~ServiceFixture() override;

    static constexpr int kOwnID = 501;

    static FriendEntry Friend(int userID, const char* utf8NickName, bool online) {
        return MakeFriend(userID, utf8NickName, online);
    }
    // Delivers one command from the server to the service.
    bool Receive(uint16_t sub, const std::vector<uint8_t>& body);
    // The same with a body written by the given writer.
    template <typename Write> bool ReceiveWritten(uint16_t sub, Write write) {
        return Receive(sub, WrittenBody(write));
    }
    // Signs on as the server would answer a first log-on: these friends, version 1.
    void SignOnWith(const std::vector<FriendEntry>& friends);
    std::string HistoryPath(int peerID) const;
    // Ends the service and starts a new one in the same working directory, as a new run of the
    // program would; nothing is signed on yet, and the commands sent so far are forgotten.
    void Restart();

    ScopedWorkingDirectory m_workDir;
    RecordingMessageBox m_boxes;
    RecordingSocket m_socket;
    std::unique_ptr<CFriendService> m_pService;

private:
    void StartNewService();
};

} // namespace pellix
