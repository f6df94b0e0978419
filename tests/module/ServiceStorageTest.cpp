#include "StorageTestSupport.h"

#include "RecordingMessageBox.h"
#include "RecordingSocket.h"
#include "module/FriendService.h"
#include "pellix/ProxyInfo.h"
#include "records/FriendCommands.h"
#include "records/FriendRecords.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"

#include <QMainWindow>

namespace pellix {

namespace {

class ServiceStorageTest : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        service = std::make_unique<CFriendService>();
        service->AttachSocket(&socket);
        model = CContactManager::GetInstance();
        ASSERT_NE(model, nullptr);
    }

    void TearDown() override {
        service.reset();
        StorageTest::TearDown();
    }

    // The service shows the stores' notices in its own boxes.
    RecordingMessageBox m_boxes;
    std::unique_ptr<CFriendService> service;
    RecordingSocket socket;
    CContactManager* model = nullptr;
};

} // namespace

TEST_F(ServiceStorageTest, ServiceOwnsTheManagersForItsLifetime) {
    EXPECT_NE(CChatHistoryManager::GetInstance(), nullptr);
    EXPECT_NE(CFriendOptionManager::GetInstance(), nullptr);
    service.reset();
    EXPECT_EQ(CContactManager::GetInstance(), nullptr);
    EXPECT_EQ(CChatHistoryManager::GetInstance(), nullptr);
    EXPECT_EQ(CFriendOptionManager::GetInstance(), nullptr);
    // The option manager saved once more on its way out.
    EXPECT_EQ(RawRows(OptionFile(), "SELECT * FROM friend_option"),
              std::vector<std::string>{"0|0|0|0|0|1"});
}

TEST_F(ServiceStorageTest, StartClearsTheListAndLoadsTheOptions) {
    model->AddOrUpdateContact(3, 0, 0, 0, "u3", "three", GROUP_FRIEND);
    tagProxyInfo proxy{};
    service->StartFriendService("", 12345, proxy);
    EXPECT_TRUE(model->GetContacts().empty());
    EXPECT_TRUE(CFriendOptionManager::GetInstance()->GetFriendOption().bOpenFriendSound);
    EXPECT_EQ(service->PlayMessageSound(), 1);
    CFriendOptionManager::GetInstance()->GetFriendOption().bOpenFriendSound = false;
    EXPECT_EQ(service->PlayMessageSound(), 0);
}

TEST_F(ServiceStorageTest, LogonSendsTheStoredVersion) {
    service->OnServerConnected();
    ASSERT_EQ(socket.sent.size(), 1u);
    const std::vector<uint8_t>& first = socket.sent[0].body;
    ASSERT_GE(first.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(first.end() - 4, first.end()),
              (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));

    FriendEntry entry;
    entry.userID = 8;
    model->MergeFriendList({entry});
    model->CommitFriendList(1, 0x01020304);
    service->OnServerConnected();
    ASSERT_EQ(socket.sent.size(), 2u);
    const std::vector<uint8_t>& second = socket.sent[1].body;
    EXPECT_EQ(socket.sent[1].subCmd, SUB_C_LOGON);
    EXPECT_EQ(std::vector<uint8_t>(second.end() - 4, second.end()),
              (std::vector<uint8_t>{4, 3, 2, 1}));
}

TEST_F(ServiceStorageTest, AddFriendRefusesFriendsOnly) {
    QMainWindow mainWindow;
    model->AddOrUpdateContact(2, 0, 0, 0, "u2", "friend", GROUP_FRIEND);
    model->AddOrUpdateContact(4, 0, 0, 0, "u4", "stranger", GROUP_STRANGER);
    EXPECT_FALSE(service->AddFriend(2, "friend"));
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(m_boxes.boxes[0].text, QString::fromUtf8("对方已经是您的好友了..."));
    EXPECT_EQ(m_boxes.boxes[0].caption, QString::fromUtf8("好友服务"));
    EXPECT_EQ(m_boxes.boxes[0].style, 0u);
    EXPECT_EQ(m_boxes.boxes[0].autoCloseSeconds, 5u);
    EXPECT_EQ(m_boxes.boxes[0].owner, &mainWindow);
    EXPECT_TRUE(service->AddFriend(4, "stranger"));
    EXPECT_TRUE(service->AddFriend(99, "unknown"));
    EXPECT_EQ(m_boxes.boxes.size(), 1u);
}

TEST_F(ServiceStorageTest, AddToBlacklistByGroup) {
    EXPECT_FALSE(service->AddToBlacklist(77, 1, 1, 0, "u77", "nobody"));
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_TRUE(m_boxes.boxes.empty());

    model->AddOrUpdateContact(2, 0, 0, 0, "u2", "friend", GROUP_FRIEND);
    EXPECT_TRUE(service->AddToBlacklist(2, 0, 0, 0, "u2", "friend"));
    EXPECT_TRUE(model->IsInBlacklist(2));
    EXPECT_EQ(model->GetContacts().size(), 1u);
    ASSERT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(socket.sent[0].subCmd, SUB_C_MOVE_CONTACT);
    EXPECT_EQ(socket.sent[0].body, (std::vector<uint8_t>{0xF5, 1, 0, 0, 2, 0, 0, 0, 1}));
    EXPECT_EQ(RawRows(ContactsFile(), "SELECT userID, groupID FROM contact_list"),
              std::vector<std::string>{"2|8"});

    EXPECT_FALSE(service->AddToBlacklist(2, 0, 0, 0, "u2", "friend"));
    EXPECT_EQ(socket.sent.size(), 1u);

    // A contact of no group is filed into the blacklist only in memory.
    ContactInfo* unfiled = model->CreateContact();
    unfiled->userID = 6;
    EXPECT_TRUE(service->AddToBlacklist(6, 60, 0x1FF, 0, "u6", "six"));
    EXPECT_TRUE(model->IsInBlacklist(6));
    EXPECT_EQ(model->FindContact(6)->gender, 0xFF);
    EXPECT_EQ(model->FindContact(6)->showID, 60);
    EXPECT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(RawRows(ContactsFile(), "SELECT COUNT(*) FROM contact_list"),
              std::vector<std::string>{"1"});
}

} // namespace pellix
