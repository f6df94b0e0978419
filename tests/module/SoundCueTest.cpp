// Which sound file each friend event plays, under a working directory whose name is not ASCII,
// and when none plays.

#include "ServiceFixture.h"
#include "records/FriendCommands.h"
#include "sound/MidiPlayer.h"
#include "storage/ContactInfo.h"
#include "storage/FriendOptionManager.h"

#include <QDir>
#include <QFile>

#include <string>
#include <vector>

namespace pellix {

namespace {

class RecordingPlayer final : public CMidiPlayer {
public:
    unsigned long PlaySoundFile(const char* path) override {
        played.emplace_back(path);
        return 1;
    }
    std::vector<std::string> played;
};

class SoundCues : public ServiceFixture {
protected:
    void SetUp() override {
        const QString directory = m_workDir.Path() + QStringLiteral("/用户 甲");
        ASSERT_TRUE(QDir().mkpath(directory));
        ASSERT_TRUE(QDir::setCurrent(directory));
        m_pService->SetSoundPlayer(&m_player);
        SignOnWith({Friend(502, "小明", false)});
        ASSERT_TRUE(Options().bOpenFriendSound) << "a first sign-on turns sounds on";
    }
    void TearDown() override { m_pService->SetSoundPlayer(nullptr); }

    static FriendOption& Options() {
        return CFriendOptionManager::GetInstance()->GetFriendOption();
    }
    // The file as the player is handed it: the working directory's bytes as the file system
    // gives them, then the name.
    static std::string SoundFile(const char* name) {
        return QFile::encodeName(QDir::currentPath()).toStdString() + "/Sounds/" + name;
    }
    // One event of each kind that has a sound, in the order of the table of cues.
    void ReceiveEveryEvent() {
        Receive(SUB_S_ONLINE_STATE, IdBody(502, {STATE_ONLINE}));
        Receive(SUB_S_ONLINE_STATE, IdBody(502, {STATE_OFFLINE}));
        ReceiveWritten(SUB_S_CHAT_MESSAGE, [](CCommandStream& stream) {
            stream.WriteInt32(502);
            stream.WriteString(Gbk("你好"));
        });
        ReceiveWritten(SUB_S_FRIEND_REQUEST, [](CCommandStream& stream) {
            stream.WriteInt32(0);
            WriteFriendEntry(stream, Friend(600, "新朋友", true));
            stream.WriteString("hi");
        });
        Receive(SUB_S_SHAKE, IdBody(502));
    }

    RecordingPlayer m_player;
};

} // namespace

TEST_F(SoundCues, EachEventPlaysItsFileUnderTheWorkingDirectoryAsTheFileSystemNamesIt) {
    ReceiveEveryEvent();
    const std::vector<std::string> expected = {SoundFile("Online.wav"), SoundFile("Offline.wav"),
                                               SoundFile("Msg.wav"), SoundFile("Notify.wav"),
                                               SoundFile("Shake.wav")};
    EXPECT_EQ(m_player.played, expected);
    // A presence change to any other state has no sound of its own.
    Receive(SUB_S_ONLINE_STATE, IdBody(502, {3}));
    EXPECT_EQ(m_player.played.size(), expected.size());
}

TEST_F(SoundCues, NothingPlaysWithSoundsOffAndNoPresencePlaysWithOnlineTipsRefused) {
    Options().bOpenFriendSound = false;
    ReceiveEveryEvent();
    EXPECT_TRUE(m_player.played.empty());

    Options().bOpenFriendSound = true;
    Options().bRefuseOnlineTips = true;
    Receive(SUB_S_ONLINE_STATE, IdBody(502, {STATE_ONLINE}));
    Receive(SUB_S_ONLINE_STATE, IdBody(502, {STATE_OFFLINE}));
    EXPECT_TRUE(m_player.played.empty());
    Receive(SUB_S_SHAKE, IdBody(502));
    EXPECT_EQ(m_player.played, std::vector<std::string>{SoundFile("Shake.wav")});
}

TEST_F(SoundCues, NoWorkingDirectoryPlaysNothing) {
    const QString gone = m_workDir.Path() + QStringLiteral("/已删除");
    ASSERT_TRUE(QDir().mkpath(gone));
    ASSERT_TRUE(QDir::setCurrent(gone));
    ASSERT_TRUE(QDir().rmdir(gone));
    Receive(SUB_S_SHAKE, IdBody(502));
    EXPECT_TRUE(m_player.played.empty());
}

} // namespace pellix
