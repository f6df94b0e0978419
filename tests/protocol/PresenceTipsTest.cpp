#include "HandlerFixture.h"

namespace pellix {

namespace {

// Presence commands with the managers' model and options; tips and sounds recorded.
class PresenceTips : public HandlerFixture {
protected:
    void Presence(int32_t userID, uint8_t state) {
        ASSERT_TRUE(Receive(SUB_S_ONLINE_STATE, IdBody(userID, {state})));
    }
};

} // namespace

TEST_F(PresenceTips, AContactWithTipsOffBringsNeitherTipNorSoundAndOnlyIt) {
    SignOnWith({Friend(502, "小明", false), Friend(503, "小红", false)});
    m_options.SetFriendOnlineTips(502, false);
    Presence(502, STATE_ONLINE);
    Presence(502, STATE_OFFLINE);
    EXPECT_TRUE(m_windows.tips.empty());
    EXPECT_TRUE(m_sounds.played.empty());
    EXPECT_EQ(m_windows.refreshes, 2) << "the list follows every change";
    EXPECT_EQ(m_contacts.GetOnlineState(502), STATE_OFFLINE);

    Presence(503, STATE_ONLINE);
    EXPECT_EQ(m_windows.tips, std::vector<std::string>{Gbk("小红 上线了！")});
    EXPECT_EQ(m_sounds.played, std::vector<std::string>{"online"});
    EXPECT_EQ(m_tipFriendID, 503);
}

TEST_F(PresenceTips, RefusingOnlineTipsForEveryoneStillWins) {
    SignOnWith({Friend(503, "小红", false)});
    m_options.SetFriendOnlineTips(503, true);
    m_options.GetFriendOption().bRefuseOnlineTips = true;
    Presence(503, STATE_ONLINE);
    EXPECT_TRUE(m_windows.tips.empty());
    EXPECT_TRUE(m_sounds.played.empty());
}

} // namespace pellix
