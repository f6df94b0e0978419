#include "StorageTestSupport.h"

#include "base/SignedInUser.h"
#include "records/FriendRecords.h"
#include "storage/ContactManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace pellix {

namespace {

FriendEntry Friend(int32_t id, const std::string& nick) {
    FriendEntry entry;
    entry.userID = id;
    entry.userName = "user" + std::to_string(id);
    entry.nickName = nick;
    entry.showID = id;
    return entry;
}

const char* const OLD_CONTACT_TABLE =
    "CREATE TABLE contact_list (userID INTEGER PRIMARY KEY NOT NULL, showID INTEGER default 0, "
    "sortID INTEGER default 0, groupID INTEGER default 0, gender INTEGER default 0, userName "
    "VARCHAR(32), nickName VARCHAR(32));";

class ContactStoreTest : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(QStringLiteral("Profile/501")));
    }

    // A full download as the service drives it.
    void Download(const std::vector<FriendEntry>& friends, int version) {
        model.ReloadNonFriends(true);
        model.MergeFriendList(friends);
        model.CommitFriendList(static_cast<int>(friends.size()), version);
    }

    std::vector<std::string> StoredRows() {
        return RawRows(ContactsFile(), "SELECT userID, groupID, nickName, noteName FROM "
                                       "contact_list ORDER BY userID");
    }

    std::vector<std::string> StoredVersion() {
        return RawRows(ContactsFile(), "SELECT Version, VerifyCode FROM contact_version");
    }

    CContactManager model;
};

} // namespace

TEST_F(ContactStoreTest, NewFileHasNoValidVersion) {
    EXPECT_TRUE(model.LoadVersion());
    EXPECT_EQ(model.GetVersion(), -1);
    EXPECT_EQ(model.GetVerifyCode(), -1);
    EXPECT_EQ(StoredVersion(), std::vector<std::string>{"-1|-1"});
    struct stat info {};
    ASSERT_EQ(::stat(ContactsFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    RawExec(ContactsFile(), "UPDATE contact_version SET Version = 7, VerifyCode = -1");
    model.LoadVersion();
    EXPECT_EQ(model.GetVersion(), -1) << "a verify code of -1 invalidates any version";
    RawExec(ContactsFile(), "UPDATE contact_version SET VerifyCode = 3");
    model.LoadVersion();
    EXPECT_EQ(model.GetVersion(), 7);
    EXPECT_EQ(model.GetVerifyCode(), 3);
    EXPECT_TRUE(m_notices.notices.empty());
}

TEST_F(ContactStoreTest, OldTableGainsTheNoteNameColumn) {
    RawExec(ContactsFile(), std::string(OLD_CONTACT_TABLE) +
                                "INSERT INTO contact_list VALUES (3, 30, 0, 4, 1, 'u3', 'three');");
    EXPECT_TRUE(model.ReloadAllFromStore());
    ASSERT_EQ(model.GetContacts().size(), 1u);
    const ContactInfo& contact = *model.GetContacts()[0];
    EXPECT_EQ(contact.nickName, "three");
    EXPECT_EQ(contact.noteName, "");
    EXPECT_EQ(contact.groupID, GROUP_STRANGER);
    EXPECT_EQ(contact.onlineState, STATE_OFFLINE);
    EXPECT_EQ(StoredRows(), std::vector<std::string>{"3|4|three|"});
    // On a current table the migration fails quietly every time.
    EXPECT_TRUE(model.ReloadAllFromStore());
    EXPECT_TRUE(m_notices.notices.empty());
}

TEST_F(ContactStoreTest, NoteNamesSurviveADownloadAndReappearInTheModel) {
    Download({Friend(1, "one"), Friend(2, "two")}, 10);
    model.FindContact(2)->noteName = "\xC0\xCF\xB6\xFE"; // "老二" in GBK
    model.SaveContact(model.FindContact(2));

    model.Clear();
    RecordingListener listener;
    model.SetListener(&listener);
    Download({Friend(1, "one"), Friend(2, "two renamed")}, 11);

    ASSERT_NE(model.FindContact(2), nullptr);
    EXPECT_EQ(model.FindContact(2)->noteName, "\xC0\xCF\xB6\xFE");
    EXPECT_EQ(model.FindContact(2)->nickName, "two renamed");
    EXPECT_EQ(StoredRows(),
              (std::vector<std::string>{"1|2|one|", "2|2|two renamed|\xE8\x80\x81\xE4\xBA\x8C"}));
    EXPECT_EQ(StoredVersion(), std::vector<std::string>{"11|2"});
    // The restored note name reaches the window.
    EXPECT_EQ(listener.calls.back().what, "changed");
    EXPECT_EQ(listener.calls.back().userID, 2);
}

TEST_F(ContactStoreTest, CommitWithADifferentCountStoresNothing) {
    model.MergeFriendList({Friend(1, "a"), Friend(2, "b"), Friend(3, "c"), Friend(4, "d")});
    model.CommitFriendList(5, 99);
    EXPECT_EQ(model.GetVersion(), -1);
    EXPECT_EQ(model.GetVerifyCode(), -1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(ContactsFile())));
}

TEST_F(ContactStoreTest, StrangersAndBlacklistSurviveAFullDownload) {
    Download({Friend(1, "a"), Friend(2, "b")}, 1);
    model.MoveToStrangers(2);
    model.AddOrUpdateContact(9, 0, 0, 0, "u9", "nine", GROUP_BLACKLIST);
    model.SaveContact(model.FindContact(9));

    // Next sign-in: the server no longer lists 1 as a friend.
    model.Clear();
    Download({Friend(3, "c")}, 2);
    EXPECT_EQ(model.GetContacts().size(), 3u);
    EXPECT_EQ(model.FindContact(1), nullptr);
    EXPECT_EQ(model.FindContact(2)->groupID, GROUP_STRANGER);
    EXPECT_TRUE(model.IsInBlacklist(9));
    EXPECT_EQ(StoredRows(), (std::vector<std::string>{"2|4|b|", "3|2|c|", "9|8|nine|"}));
    EXPECT_EQ(StoredVersion(), std::vector<std::string>{"2|1"});
}

TEST_F(ContactStoreTest, ReconnectWithoutClearDoesNotDuplicateStoredContacts) {
    model.AddOrUpdateContact(9, 0, 0, 0, "u9", "nine", GROUP_BLACKLIST);
    model.SaveContact(model.FindContact(9));
    Download({Friend(1, "a")}, 1);
    // The connection drops and the server sends the full list again.
    Download({Friend(1, "a")}, 1);
    Download({Friend(1, "a")}, 1);
    EXPECT_EQ(model.GetContacts().size(), 2u);
    EXPECT_EQ(model.GetFriendCount(), 1);
    // What changed between two downloads is stored, what did not stays.
    Download({Friend(1, "renamed"), Friend(2, "b")}, 2);
    EXPECT_EQ(StoredRows(), (std::vector<std::string>{"1|2|renamed|", "2|2|b|", "9|8|nine|"}));
}

TEST_F(ContactStoreTest, SaveFailingHalfwayLeavesTheStoredListAsItWas) {
    Download({Friend(1, "a"), Friend(2, "b")}, 5);
    const std::vector<std::string> before = StoredRows();
    // Every new row fails, after the old friend rows have been deleted.
    RawExec(ContactsFile(), "CREATE TRIGGER refuse BEFORE INSERT ON contact_list "
                            "BEGIN SELECT RAISE(ABORT, 'disk says no'); END;");

    model.Clear();
    Download({Friend(3, "c")}, 6);
    EXPECT_EQ(StoredRows(), before);
    EXPECT_EQ(StoredVersion(), std::vector<std::string>{"5|2"});
    ASSERT_EQ(m_notices.notices.size(), 1u);
    EXPECT_EQ(m_notices.notices[0].text,
              QString::fromStdString("Data error: disk says no" + ContactsFile()));
    EXPECT_EQ(m_notices.notices[0].caption, QString::fromUtf8("程序异常"));
    EXPECT_EQ(m_notices.notices[0].style, 16u);
    EXPECT_FALSE(m_notices.notices[0].ownedByApplication);
    // The model goes on with what the server sent.
    EXPECT_EQ(model.GetFriendCount(), 1);
}

TEST_F(ContactStoreTest, FileThatIsNoDatabaseIsReportedAndLeftAlone) {
    Download({Friend(1, "a")}, 7);
    model.LoadVersion();
    ASSERT_EQ(model.GetVersion(), 7);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(ContactsFile())));
    const std::string junk(3000, 'x');
    WriteFile(ContactsFile(), junk);

    // The version held from before must not be sent for a list that cannot be read.
    EXPECT_TRUE(model.LoadVersion());
    EXPECT_EQ(model.GetVersion(), -1);
    model.Clear();
    model.MergeFriendList({Friend(1, "a")});
    EXPECT_FALSE(model.SaveFriendList());
    EXPECT_TRUE(model.ReloadAllFromStore());
    EXPECT_TRUE(model.GetContacts().empty());

    ASSERT_EQ(m_notices.notices.size(), 3u);
    EXPECT_EQ(m_notices.notices[0].text,
              QString::fromStdString("Data error: file is not a database" + ContactsFile()));
    EXPECT_EQ(FileBytes(ContactsFile()), junk);
}

TEST_F(ContactStoreTest, DirectoryInPlaceOfTheFileIsReported) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(ContactsFile())));
    model.MergeFriendList({Friend(1, "a")});
    EXPECT_FALSE(model.SaveFriendList());
    EXPECT_FALSE(model.ReloadAllFromStore()) << "a directory is no stored list";
    ASSERT_EQ(m_notices.notices.size(), 1u);
    EXPECT_TRUE(m_notices.notices[0].text.endsWith(QString::fromStdString(ContactsFile())));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(ContactsFile())).isDir());
}

TEST_F(ContactStoreTest, ReadOnlyFileIsReportedAndLeftAsItWas) {
    Download({Friend(1, "a")}, 3);
    const std::string copy = WorkPath("readonly.data");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(ContactsFile()), QString::fromStdString(copy)));
    // A fresh path, so no connection opened before the mode changed is reused.
    GetUserInfo().userID = 502;
    const std::string file = WorkPath("Profile/502/contacts.data");
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("Profile/502")));
    ASSERT_TRUE(QFile::rename(QString::fromStdString(copy), QString::fromStdString(file)));
    ASSERT_EQ(::chmod(file.c_str(), 0400), 0);
    const std::string bytes = FileBytes(file);

    FileModesEnforced modes;
    if (!modes.enforced())
        GTEST_SKIP() << "this process may write any file";
    model.Clear();
    model.MergeFriendList({Friend(2, "b")});
    EXPECT_FALSE(model.SaveFriendList());
    ASSERT_FALSE(m_notices.notices.empty());
    EXPECT_TRUE(m_notices.notices.back().text.endsWith(QString::fromStdString(file)));
    EXPECT_EQ(FileBytes(file), bytes);
}

TEST_F(ContactStoreTest, TextThatIsNotValidConvertsWithoutHarm) {
    RawExec(ContactsFile(), std::string(OLD_CONTACT_TABLE) +
                                "ALTER TABLE contact_list ADD COLUMN noteName VARCHAR(32);"
                                "INSERT INTO contact_list VALUES (1, NULL, NULL, 2, NULL, "
                                "X'FF41', X'C3', NULL);");
    ASSERT_TRUE(model.ReloadAllFromStore());
    const ContactInfo& read = *model.GetContacts()[0];
    EXPECT_EQ(read.userName, "?A");
    EXPECT_EQ(read.nickName, "?");
    EXPECT_EQ(read.showID, -1) << "a NULL column keeps the new record's value";
    EXPECT_EQ(read.gender, 0);

    ContactInfo* written = model.AddOrUpdateContact(2, 0, 0, 0, "\xFF", "ok\x81", GROUP_STRANGER);
    model.SaveContact(written);
    EXPECT_EQ(RawRows(ContactsFile(), "SELECT userName, nickName FROM contact_list WHERE userID=2"),
              std::vector<std::string>{"\xEF\xBF\xBD|ok\xEF\xBF\xBD"});
}

} // namespace pellix
