// The outbox and the acknowledged-chat extension through the whole service: what goes on the
// wire at each sign-on, what stays kept across a restart, what the chat window marks, and chats
// handed over twice shown once.

#include "ServiceFixture.h"
#include "records/FriendCommands.h"
#include "skin/SkinEdit.h"
#include "skin/SkinRichEdit.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ChatHistoryStore.h"
#include "storage/ContactManager.h"
#include "storage/ProfilePaths.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/friendlist/FriendMainDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QCoreApplication>

#include <utility>

namespace pellix {

namespace {

constexpr int kFriendID = 602;

struct WireChat {
    uint16_t sub = 0;
    uint64_t messageID = 0;
    std::string text;
};

class Delivery : public ServiceFixture {
protected:
    Delivery() { SignOn(); }

    void SignOn() { SignOnWith({Friend(kFriendID, "小明", true)}); }
    // A new connection to a server that announces the extension, signed on.
    void ReconnectAcknowledged() {
        m_pService->OnServerConnected();
        Receive(SUB_S_EXTENSIONS, Fixed(EXT_ACKED_CHAT));
        SignOn();
    }
    void LoseConnection() {
        m_pService->OnSocketClose(nullptr, true);
        m_pService->StopService();
    }
    static std::vector<uint8_t> Fixed(uint32_t value) {
        return WrittenBody([&](CCommandStream& stream) { stream.WriteUInt32(value); });
    }
    static std::vector<uint8_t> Ack(uint64_t messageID) {
        return WrittenBody([&](CCommandStream& stream) {
            stream.WriteInt32(kFriendID);
            WriteMessageID(stream, messageID);
        });
    }
    // The chats on the wire since the last look, in order.
    std::vector<WireChat> TakeChats() {
        std::vector<WireChat> chats;
        for (const SentCommand& sent : m_socket.sent) {
            if (sent.subCmd != SUB_C_CHAT_MESSAGE && sent.subCmd != SUB_C_CHAT_MESSAGE_EX)
                continue;
            CCommandStream stream;
            stream.Append(sent.body.data(), sent.body.size());
            stream.ReadInt32();
            EXPECT_EQ(stream.ReadInt32(), kFriendID);
            WireChat chat{sent.subCmd, 0, {}};
            if (sent.subCmd == SUB_C_CHAT_MESSAGE_EX)
                chat.messageID = ReadMessageID(stream);
            stream.ReadString(chat.text);
            chats.push_back(std::move(chat));
        }
        m_socket.sent.clear();
        return chats;
    }
    int SentCount(uint16_t sub) const {
        int count = 0;
        for (const SentCommand& sent : m_socket.sent)
            count += sent.subCmd == sub ? 1 : 0;
        return count;
    }
    CFriendChatDlg& ChatWindow() {
        return *CFriendWindowManager::GetInstance()->OpenChatWindow(kFriendID);
    }
    QString Shown() { return ChatWindow().DisplayView()->toPlainText(); }
    void Type(const char* utf8) {
        ChatWindow().InputBox()->setPlainText(QString::fromUtf8(utf8));
        ChatWindow().SendChatMessage();
    }
    const CChatOutbox& Outbox() const { return m_pService->Delivery().Outbox(); }
    std::vector<ChatHistoryRecord> History() {
        return CChatHistoryManager::GetInstance()->GetMessages(kFriendID, 100, 0);
    }
};

} // namespace

TEST_F(Delivery, WithAServerThatConfirmsNothingChatsLeaveTheOutboxOnceWrittenInOrderAcrossRuns) {
    LoseConnection();
    Type("一");
    Type("二");
    EXPECT_TRUE(TakeChats().empty());
    EXPECT_EQ(Shown().count(QStringLiteral("发送中…")), 2);

    Restart();
    m_socket.sendResult = false;
    SignOn();
    EXPECT_EQ(TakeChats().size(), 1u) << "a failed write stops the flush, keeping the order";
    EXPECT_EQ(Outbox().Pending().size(), 2u);

    m_socket.sendResult = true;
    SignOn();
    const std::vector<WireChat> chats = TakeChats();
    ASSERT_EQ(chats.size(), 2u);
    EXPECT_EQ(chats[0].sub, SUB_C_CHAT_MESSAGE);
    EXPECT_EQ(chats[0].text, Gbk("一"));
    EXPECT_EQ(chats[1].text, Gbk("二"));
    EXPECT_TRUE(Outbox().IsEmpty());
    EXPECT_FALSE(Shown().contains(QStringLiteral("发送中…")));
    EXPECT_EQ(SentCount(SUB_C_EXTENSIONS) + SentCount(SUB_C_DELIVERY_ACK), 0);
}

TEST_F(Delivery, AcknowledgedChatsStayPendingUntilConfirmedAndGoAgainAfterAReconnect) {
    ReconnectAcknowledged();
    EXPECT_EQ(SentCount(SUB_C_EXTENSIONS), 1);
    Type("你好");
    Type("在吗");
    std::vector<WireChat> chats = TakeChats();
    ASSERT_EQ(chats.size(), 2u);
    EXPECT_EQ(chats[0].sub, SUB_C_CHAT_MESSAGE_EX);
    EXPECT_LT(chats[0].messageID, chats[1].messageID);
    EXPECT_EQ(Shown().count(QStringLiteral("发送中…")), 2);

    Receive(SUB_S_CHAT_ACK, Ack(chats[0].messageID));
    EXPECT_EQ(Shown().count(QStringLiteral("发送中…")), 1);

    LoseConnection();
    ReconnectAcknowledged();
    const std::vector<WireChat> again = TakeChats();
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].messageID, chats[1].messageID);
    Receive(SUB_S_CHAT_ACK, Ack(chats[1].messageID));
    EXPECT_TRUE(Outbox().IsEmpty());
    EXPECT_FALSE(Shown().contains(QStringLiteral("发送中…")));
    EXPECT_EQ(History().size(), 2u) << "the history holds each chat once, as typed";
}

TEST_F(Delivery, ARefusedChatSaysWhyAndLeavesTheOutbox) {
    ReconnectAcknowledged();
    Type("你好");
    const uint64_t messageID = TakeChats().at(0).messageID;
    Receive(SUB_S_CHAT_REFUSED, WrittenBody([&](CCommandStream& stream) {
                stream.WriteInt32(kFriendID);
                WriteMessageID(stream, messageID);
                stream.WriteUInt32(CHAT_REFUSED_BY_RECIPIENT);
            }));
    EXPECT_TRUE(Outbox().IsEmpty());
    EXPECT_TRUE(Shown().contains(QStringLiteral("发送失败：对方不接收您的消息。")));
    EXPECT_FALSE(Shown().contains(QStringLiteral("发送中…")));
}

TEST_F(Delivery, PendingChatsOfAnEarlierRunShowTheirMarkWhenTheWindowOpens) {
    LoseConnection();
    Type("昨天的话");
    Restart();
    EXPECT_TRUE(Shown().contains(QStringLiteral("昨天的话")));
    EXPECT_EQ(Shown().count(QStringLiteral("发送中…")), 1);
}

TEST_F(Delivery, AChatHandedOverTwiceIsShownAndStoredOnceAndConfirmedEachTime) {
    ReconnectAcknowledged();
    auto chat = [](uint64_t messageID, const char* utf8) {
        return WrittenBody([&](CCommandStream& stream) {
            WriteAckedChatEntry(stream, {kFriendID, messageID, Gbk(utf8)});
        });
    };
    // What the history file holds when each receipt is written, read past the manager.
    std::vector<int> storedAtReceipt;
    m_socket.onSend = [&](const SentCommand& sent) {
        std::vector<ChatHistoryRecord> records;
        const std::string file = ChatHistoryFilePath(ChatHistoryDirectory(), kFriendID);
        if (sent.subCmd == SUB_C_DELIVERY_ACK)
            storedAtReceipt.push_back(CChatHistoryStore(records, file).GetMessageCount());
    };
    Receive(SUB_S_CHAT_MESSAGE_EX, chat(7, "第一"));
    Receive(SUB_S_CHAT_MESSAGE_EX, chat(7, "第一"));
    // Receipts wait for the end of the turn, when the history and the ids are saved.
    EXPECT_EQ(SentCount(SUB_C_DELIVERY_ACK), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(storedAtReceipt, (std::vector<int>{1, 1}));
    m_socket.onSend = nullptr;

    // A new run gets the same chat again in a batch that also repeats a new one.
    Restart();
    ReconnectAcknowledged();
    Receive(SUB_S_OFFLINE_MESSAGES_EX, WrittenBody([&](CCommandStream& stream) {
                const std::vector<AckedChatEntry> batch{{kFriendID, 7, Gbk("第一")},
                                                        {kFriendID, 8, Gbk("第二")},
                                                        {kFriendID, 8, Gbk("第二")}};
                WriteList(stream, batch, WriteAckedChatEntry);
            }));
    const std::vector<ChatHistoryRecord> history = History();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].strMessage, Gbk("第一"));
    EXPECT_EQ(history[1].strMessage, Gbk("第二"));
    QCoreApplication::processEvents();
    EXPECT_EQ(SentCount(SUB_C_DELIVERY_ACK), 2);
}

TEST_F(Delivery, ALostConnectionShowsEveryoneOfflineAndTheListConnectingUntilSignedOnAgain) {
    CFriendMainDlg& list = *CFriendWindowManager::GetInstance()->GetMainWindow();
    EXPECT_FALSE(list.IsConnecting());
    EXPECT_EQ(CContactManager::GetInstance()->GetOnlineFriendCount(), 1);
    LoseConnection();
    EXPECT_EQ(CContactManager::GetInstance()->GetOnlineFriendCount(), 0);
    EXPECT_TRUE(list.IsConnecting());
    SignOn();
    EXPECT_FALSE(list.IsConnecting());
}

} // namespace pellix
