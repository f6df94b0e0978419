#pragma once
// The windows over real storage managers of a signed-in profile, their requests and environment
// recorded or set by the test, on a 1024 x 768 screen. Commands from the server reach them through
// the command handler, as in the module.

#include "FakeWindowEnvironment.h"
#include "FriendTestData.h"
#include "RecordingMessageBox.h"
#include "RecordingRequests.h"
#include "RecordingSounds.h"
#include "records/FriendCommands.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/manager/FriendWindowManager.h"
#include "ui/manager/SkinBoxNotices.h"
#include "ui/manager/WindowContext.h"

#include <gtest/gtest.h>

namespace pellix {

class WindowFixture : public ::testing::Test {
protected:
    WindowFixture();
    ~WindowFixture() override;

    static constexpr int kOwnID = SignedInProfile::kOwnID;

    static FriendEntry Friend(int userID, const char* utf8NickName, bool online) {
        return MakeFriend(userID, utf8NickName, online);
    }
    bool Receive(uint16_t sub, const std::vector<uint8_t>& body);
    template <typename Write> bool ReceiveWritten(uint16_t sub, Write write) {
        return Receive(sub, WrittenBody(write));
    }
    void SignOnWith(const std::vector<FriendEntry>& friends) {
        Receive(SUB_S_FRIEND_LIST, SignOnListBody(friends));
    }
    std::string HistoryPath(int peerID) const { return m_profile.HistoryPath(peerID); }

    SignedInProfile m_profile;
    RecordingMessageBox m_boxes;
    // The managers' notices in skinned boxes, as the module shows them.
    CSkinBoxNotices m_notices;
    RecordingRequests m_requests;
    FakeWindowEnvironment m_environment;
    RecordingSounds m_sounds;
    CContactManager m_contacts;
    CChatHistoryManager m_history;
    CFriendOptionManager m_options;
    WindowContext m_context{m_requests, m_environment, &m_contacts, &m_history, &m_options};
    CFriendWindowManager m_windows{m_context};
    uint8_t m_serverFlag = 0;
};

} // namespace pellix
