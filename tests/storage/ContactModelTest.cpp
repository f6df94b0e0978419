#include "StorageTestSupport.h"

#include "records/FriendRecords.h"
#include "storage/ContactManager.h"

namespace pellix {

namespace {

FriendEntry Friend(int32_t id, const std::string& nick, bool online = false) {
    FriendEntry entry;
    entry.userID = id;
    entry.userName = "user" + std::to_string(id);
    entry.nickName = nick;
    entry.showID = id + 1000;
    entry.gender = 1;
    entry.online = online;
    return entry;
}

class ContactModelTest : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        model.SetListener(&listener);
    }

    CContactManager model;
    RecordingListener listener;
};

} // namespace

TEST_F(ContactModelTest, UnknownUsersReadAsOfflineStrangersWithoutName) {
    EXPECT_EQ(CContactManager::GetInstance(), &model);
    EXPECT_EQ(model.FindContact(7), nullptr);
    EXPECT_EQ(model.GetOnlineState(7), STATE_OFFLINE);
    EXPECT_FALSE(model.IsInBlacklist(7));
    EXPECT_EQ(model.GetNickName(7), "");
    EXPECT_TRUE(listener.calls.empty());
}

TEST_F(ContactModelTest, FriendEntryTurnsAStrangerIntoAFriendKeepingItsNoteName) {
    ContactInfo* stranger = model.AddOrUpdateContact(11, 5, 0, 2, "u11", "old", GROUP_STRANGER);
    stranger->noteName = "note";
    stranger->sortID = 9;
    model.MergeFriendList({Friend(11, "new", true), Friend(12, "b")});

    ASSERT_EQ(model.GetContacts().size(), 2u);
    EXPECT_EQ(model.FindContact(11), stranger);
    EXPECT_EQ(stranger->groupID, GROUP_FRIEND);
    EXPECT_EQ(stranger->sortID, 0);
    EXPECT_EQ(stranger->nickName, "new");
    EXPECT_EQ(stranger->noteName, "note");
    EXPECT_EQ(stranger->showID, 1011);
    EXPECT_EQ(model.GetOnlineState(11), STATE_ONLINE);
    EXPECT_EQ(model.GetFriendCount(), 2);
    EXPECT_EQ(model.GetOnlineFriendCount(), 1);
    ASSERT_EQ(listener.calls.size(), 4u);
    EXPECT_EQ(listener.calls[1].what, "added");
    EXPECT_EQ(listener.calls[3].what, "counts");
    EXPECT_EQ(listener.calls[3].friends, 2);
    EXPECT_EQ(listener.calls[3].online, 1);
}

TEST_F(ContactModelTest, OnlineStatesTouchEveryContactThenTheListedOnes) {
    model.MergeFriendList({Friend(1, "a"), Friend(2, "b")});
    listener.calls.clear();
    model.ApplyOnlineStates({});
    ASSERT_EQ(listener.calls.size(), 3u);
    EXPECT_EQ(listener.calls[0].userID, 1);
    EXPECT_EQ(listener.calls[1].userID, 2);
    EXPECT_EQ(listener.calls[2].what, "counts");

    listener.calls.clear();
    model.ApplyOnlineStates({{2, STATE_ONLINE}, {99, STATE_ONLINE}});
    ASSERT_EQ(listener.calls.size(), 4u);
    EXPECT_EQ(listener.calls[2].what, "changed");
    EXPECT_EQ(listener.calls[2].userID, 2);
    EXPECT_EQ(listener.calls[3].online, 1);
    EXPECT_EQ(model.FindContact(99), nullptr);
}

TEST_F(ContactModelTest, RemovingAFriendReportsOneFriendFewer) {
    model.MergeFriendList({Friend(1, "a", true), Friend(2, "b", true), Friend(3, "c")});
    // A second record with an id already held, as a caller may create one.
    ContactInfo* duplicate = model.CreateContact();
    duplicate->userID = 2;
    duplicate->groupID = GROUP_STRANGER;
    listener.calls.clear();

    model.RemoveContact(2);
    ASSERT_EQ(listener.calls.size(), 2u);
    EXPECT_EQ(listener.calls[0].what, "removed");
    EXPECT_EQ(listener.calls[0].userID, 2);
    EXPECT_EQ(listener.calls[1].friends, 2);
    EXPECT_EQ(listener.calls[1].online, 1);
    // The later record with that id is the one found now.
    EXPECT_EQ(model.FindContact(2), duplicate);

    listener.calls.clear();
    model.RemoveContact(42);
    EXPECT_TRUE(listener.calls.empty());
}

TEST_F(ContactModelTest, AContactNumberedAfterItWasCreatedIsFoundByItsNumber) {
    model.MergeFriendList({Friend(1, "a")});
    ContactInfo* created = model.CreateContact();
    // A lookup between creation and numbering sees the new contact still without an id.
    EXPECT_EQ(model.FindContact(7), nullptr);
    created->userID = 7;
    created->groupID = GROUP_BLACKLIST;
    EXPECT_EQ(model.FindContact(7), created);
    EXPECT_TRUE(model.IsInBlacklist(7));
    EXPECT_EQ(model.FindContact(1)->nickName, "a");

    ContactInfo* later = model.CreateContact();
    model.RemoveContact(7);
    later->userID = 8;
    EXPECT_EQ(model.FindContact(8), later);
    EXPECT_EQ(model.FindContact(7), nullptr);
}

TEST_F(ContactModelTest, MovesRefuseUnknownAndSameGroupWithTheirNotices) {
    model.AddOrUpdateContact(8, 0, 0, 0, "u8", "black", GROUP_BLACKLIST);
    model.AddOrUpdateContact(4, 0, 0, 0, "u4", "strange", GROUP_STRANGER);

    EXPECT_FALSE(model.MoveToBlacklist(77));
    EXPECT_FALSE(model.MoveToStrangers(77));
    EXPECT_FALSE(model.MoveToBlacklist(8));
    EXPECT_FALSE(model.MoveToStrangers(4));
    ASSERT_EQ(m_notices.notices.size(), 4u);
    const QString notInList = QString::fromUtf8("列表中没有这个用户...");
    EXPECT_EQ(m_notices.notices[0].text, notInList);
    EXPECT_EQ(m_notices.notices[0].style, 0u);
    EXPECT_EQ(m_notices.notices[1].text, notInList);
    EXPECT_EQ(m_notices.notices[1].style, 16u);
    EXPECT_EQ(m_notices.notices[2].text, QString::fromUtf8("该用户已经在黑名单列表中..."));
    EXPECT_EQ(m_notices.notices[2].style, 16u);
    EXPECT_EQ(m_notices.notices[3].text, QString::fromUtf8("该好友已经在陌生人列表中..."));
    EXPECT_EQ(m_notices.notices[3].style, 16u);
    for (const RecordedNotice& box : m_notices.notices) {
        EXPECT_EQ(box.caption, QString::fromUtf8("好友服务"));
        EXPECT_TRUE(box.ownedByApplication);
        EXPECT_EQ(box.autoCloseSeconds, 0u);
    }
    EXPECT_EQ(model.FindContact(8)->groupID, GROUP_BLACKLIST);
}

TEST_F(ContactModelTest, MoveStoresTheContactAndNotifiesTwiceThenCounts) {
    model.MergeFriendList({Friend(5, "five", true)});
    listener.calls.clear();

    EXPECT_TRUE(model.MoveToStrangers(5));
    EXPECT_EQ(model.FindContact(5)->groupID, GROUP_STRANGER);
    ASSERT_EQ(listener.calls.size(), 3u);
    EXPECT_EQ(listener.calls[0].what, "changed");
    EXPECT_EQ(listener.calls[1].what, "changed");
    EXPECT_EQ(listener.calls[2].what, "counts");
    EXPECT_EQ(listener.calls[2].friends, 0);
    EXPECT_TRUE(m_notices.notices.empty());
    EXPECT_EQ(RawRows(ContactsFile(), "SELECT userID, groupID, nickName FROM contact_list"),
              std::vector<std::string>{"5|4|five"});
}

} // namespace pellix
