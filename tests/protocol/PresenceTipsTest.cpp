#include "ServiceFixture.h"
#include "protocol/FriendCommandHandler.h"
#include "protocol/FriendWindows.h"
#include "protocol/SoundCues.h"
#include "records/FriendCommands.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"

namespace pellix {

namespace {

class RecordingSounds final : public ISoundCues {
public:
    void PlayOnlineSound() override { played.emplace_back("online"); }
    void PlayOfflineSound() override { played.emplace_back("offline"); }
    int PlayMessageSound() override { return 0; }
    int PlayNotifySound() override { return 0; }
    void PlayShakeSound() override {}

    std::vector<std::string> played;
};

class RecordingTips final : public IFriendWindows {
public:
    void OnChatMessage(int, const std::string&) override {}
    void OnOfflineMessages(const std::vector<OfflineMessageEntry>&) override {}
    void OnShake(int) override {}
    void OpenAddConfirmWindow(int, const std::string&, const std::string&, uint8_t, int,
                              const std::string&) override {}
    void RefreshMainWindow() override { ++refreshes; }
    void UpdateFriendCounts(int, int) override {}
    void ShowTip(const std::string& text) override { tips.push_back(text); }

    std::vector<std::string> tips;
    int refreshes = 0;
};

// Presence commands handled with the service's model and options, but tips and sounds recorded.
class PresenceTips : public ServiceFixture {
protected:
    void Presence(int32_t userID, uint8_t state) {
        const std::vector<uint8_t> body = IdBody(userID, {state});
        const FriendCommandContext context{*m_pService, sounds,
                                           &windows,    CContactManager::GetInstance(),
                                           nullptr,     CFriendOptionManager::GetInstance(),
                                           tipFriendID, serverFlag};
        ASSERT_TRUE(
            CFriendCommandHandler(context).Dispatch({CMD_FRIEND, SUB_S_ONLINE_STATE}, body.data(),
                                                    static_cast<unsigned short>(body.size())));
    }
    CFriendOptionManager& Options() { return *CFriendOptionManager::GetInstance(); }

    RecordingSounds sounds;
    RecordingTips windows;
    int32_t tipFriendID = 0;
    uint8_t serverFlag = 0;
};

} // namespace

TEST_F(PresenceTips, AContactWithTipsOffBringsNeitherTipNorSoundAndOnlyIt) {
    SignOnWith({Friend(502, "小明", false), Friend(503, "小红", false)});
    Options().SetFriendOnlineTips(502, false);
    Presence(502, STATE_ONLINE);
    Presence(502, STATE_OFFLINE);
    EXPECT_TRUE(windows.tips.empty());
    EXPECT_TRUE(sounds.played.empty());
    EXPECT_EQ(windows.refreshes, 2) << "the list follows every change";
    EXPECT_EQ(CContactManager::GetInstance()->GetOnlineState(502), STATE_OFFLINE);

    Presence(503, STATE_ONLINE);
    EXPECT_EQ(windows.tips, std::vector<std::string>{Gbk("小红 上线了！")});
    EXPECT_EQ(sounds.played, std::vector<std::string>{"online"});
    EXPECT_EQ(tipFriendID, 503);
}

TEST_F(PresenceTips, RefusingOnlineTipsForEveryoneStillWins) {
    SignOnWith({Friend(503, "小红", false)});
    Options().SetFriendOnlineTips(503, true);
    Options().GetFriendOption().bRefuseOnlineTips = true;
    Presence(503, STATE_ONLINE);
    EXPECT_TRUE(windows.tips.empty());
    EXPECT_TRUE(sounds.played.empty());
}

} // namespace pellix
