#include "StorageTestSupport.h"

#include "base/SignedInUser.h"
#include "storage/FriendOptionManager.h"

#include <QDir>

namespace pellix {

namespace {

class FriendOptionTest : public StorageTest {
protected:
    std::vector<std::string> StoredRow() {
        return RawRows(OptionFile(), "SELECT * FROM friend_option");
    }
};

} // namespace

TEST_F(FriendOptionTest, FirstLoadWritesTheDefaultRowAndTurnsSoundOn) {
    CFriendOptionManager options;
    EXPECT_EQ(CFriendOptionManager::GetInstance(), &options);
    EXPECT_FALSE(options.GetFriendOption().bOpenFriendSound) << "off until the first load";
    EXPECT_TRUE(options.Load());
    EXPECT_EQ(StoredRow(), std::vector<std::string>{"0|0|0|0|0|1"});
    EXPECT_TRUE(options.GetFriendOption().bOpenFriendSound);
    EXPECT_FALSE(options.GetFriendOption().bEnterShortcut);
    EXPECT_TRUE(m_notices.notices.empty());
}

TEST_F(FriendOptionTest, SavedFlagsLandInTheirColumnsAndLoadBack) {
    {
        CFriendOptionManager options;
        options.Load();
        FriendOption& flags = options.GetFriendOption();
        flags.bRefuseOnlineTips = true;
        flags.bEnterShortcut = true;
        flags.bOpenFriendSound = false;
        EXPECT_TRUE(options.Save());
        EXPECT_EQ(StoredRow(), std::vector<std::string>{"0|1|0|0|1|0"});
        flags.bRefuseAddFriend = true;
    } // The manager saves once more when it goes.
    EXPECT_EQ(StoredRow(), std::vector<std::string>{"1|1|0|0|1|0"});

    CFriendOptionManager reloaded;
    reloaded.Load();
    EXPECT_TRUE(reloaded.GetFriendOption().bRefuseAddFriend);
    EXPECT_TRUE(reloaded.GetFriendOption().bEnterShortcut);
    EXPECT_FALSE(reloaded.GetFriendOption().bSentCloseWindow);
    EXPECT_FALSE(reloaded.GetFriendOption().bOpenFriendSound);

    // A NULL column reads as the setting's own default.
    RawExec(OptionFile(), "UPDATE friend_option SET OpenFriendSound = NULL, SendHotKey = NULL");
    reloaded.Load();
    EXPECT_TRUE(reloaded.GetFriendOption().bOpenFriendSound);
    EXPECT_FALSE(reloaded.GetFriendOption().bEnterShortcut);
}

TEST_F(FriendOptionTest, SaveIntoAnEmptyTableForcesTheSoundFlagOn) {
    CFriendOptionManager options;
    options.Load();
    RawExec(OptionFile(), "DELETE FROM friend_option");
    options.GetFriendOption().bOpenFriendSound = false;
    options.GetFriendOption().bSentCloseWindow = true;
    options.Save();
    EXPECT_EQ(StoredRow(), std::vector<std::string>{"0|0|1|0|0|1"});
}

TEST_F(FriendOptionTest, NoSignedInUserTouchesNoFile) {
    GetUserInfo().userID = 0;
    {
        CFriendOptionManager options;
        EXPECT_FALSE(options.Load());
        EXPECT_FALSE(options.Save());
    }
    EXPECT_FALSE(QDir(QStringLiteral("Profile")).exists());
}

TEST_F(FriendOptionTest, UnreadableOptionFileKeepsTheFlags) {
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("Profile/501")));
    WriteFile(OptionFile(), "not a database, just words");
    CFriendOptionManager options;
    options.GetFriendOption().bRefuseAddFriend = true;
    EXPECT_TRUE(options.Load()) << "a read was attempted";
    EXPECT_TRUE(options.GetFriendOption().bRefuseAddFriend);
    EXPECT_FALSE(options.GetFriendOption().bOpenFriendSound);
    ASSERT_EQ(m_notices.notices.size(), 1u);
    EXPECT_TRUE(m_notices.notices[0].text.endsWith(QString::fromStdString(OptionFile())));
}

TEST_F(FriendOptionTest, PresenceTipsOfSingleContactsAreStoredAndLoadBack) {
    {
        CFriendOptionManager options;
        options.Load();
        EXPECT_TRUE(options.GetFriendOnlineTips(502)) << "on for everyone at first";
        options.SetFriendOnlineTips(502, false);
        options.SetFriendOnlineTips(503, false);
        options.SetFriendOnlineTips(503, true);
        EXPECT_FALSE(options.GetFriendOnlineTips(502));
        EXPECT_TRUE(options.GetFriendOnlineTips(503));
    }
    EXPECT_EQ(RawRows(OptionFile(), "SELECT * FROM friend_online_tips ORDER BY userID"),
              (std::vector<std::string>{"502|0", "503|1"}));
    CFriendOptionManager reloaded;
    reloaded.Load();
    EXPECT_FALSE(reloaded.GetFriendOnlineTips(502));
    EXPECT_TRUE(reloaded.GetFriendOnlineTips(503));
    EXPECT_TRUE(reloaded.GetFriendOnlineTips(504));

    // Another user signing on in the same process starts from that user's own file.
    GetUserInfo().userID = 777;
    reloaded.Load();
    EXPECT_TRUE(reloaded.GetFriendOnlineTips(502));
    EXPECT_TRUE(m_notices.notices.empty());
}

TEST_F(FriendOptionTest, AnOptionFileWithoutTheTipTableStillLoads) {
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("Profile/501")));
    RawExec(OptionFile(),
            "CREATE TABLE [friend_option] (RefuseAddFriend INTEGER default 0, RefuseOnlineTips "
            "INTEGER default 0, SentCloseWindow INTEGER default 0, RefuseInviteGame INTEGER "
            "default 0, SendHotKey INTEGER default 0, OpenFriendSound INTEGER default 1)");
    RawExec(OptionFile(), "INSERT INTO friend_option VALUES (1, 0, 0, 0, 1, 0)");
    CFriendOptionManager options;
    ASSERT_TRUE(options.Load());
    EXPECT_TRUE(options.GetFriendOption().bRefuseAddFriend);
    EXPECT_TRUE(options.GetFriendOption().bEnterShortcut);
    EXPECT_FALSE(options.GetFriendOption().bOpenFriendSound);
    EXPECT_TRUE(options.GetFriendOnlineTips(502));
    EXPECT_TRUE(m_notices.notices.empty());
    options.SetFriendOnlineTips(502, false);
    EXPECT_EQ(RawRows(OptionFile(), "SELECT * FROM friend_online_tips"),
              std::vector<std::string>{"502|0"});
}

} // namespace pellix
