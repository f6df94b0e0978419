#pragma once
// The command handler over real storage managers of a signed-in profile, with the requests,
// windows and sounds recorded.

#include "FriendTestData.h"
#include "RecordingNotices.h"
#include "RecordingRequests.h"
#include "RecordingSounds.h"
#include "RecordingWindows.h"
#include "records/FriendCommands.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"

#include <gtest/gtest.h>

namespace pellix {

class HandlerFixture : public ::testing::Test {
protected:
    static constexpr int kOwnID = SignedInProfile::kOwnID;

    static FriendEntry Friend(int userID, const char* utf8NickName, bool online) {
        return MakeFriend(userID, utf8NickName, online);
    }
    // Hands one command from the server to a handler over the managers and fakes below.
    bool Receive(uint16_t sub, const std::vector<uint8_t>& body);
    // Signs on with these friends; what the sign-on itself showed is forgotten.
    void SignOnWith(const std::vector<FriendEntry>& friends) {
        ASSERT_TRUE(Receive(SUB_S_FRIEND_LIST, SignOnListBody(friends)));
        m_windows = RecordingWindows();
        m_sounds = RecordingSounds();
    }

    SignedInProfile m_profile;
    RecordingNotices m_notices;
    RecordingRequests m_requests;
    RecordingWindows m_windows;
    RecordingSounds m_sounds;
    CContactManager m_contacts;
    CChatHistoryManager m_history;
    CFriendOptionManager m_options;
    int32_t m_tipFriendID = 0;
    uint8_t m_serverFlag = 0;
};

} // namespace pellix
