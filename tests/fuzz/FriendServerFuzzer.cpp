// libFuzzer target for the reference friend server: the input is the byte stream of one client,
// fed in pieces into its session, with three more users logged on, one away with messages waiting
// for it and one with a request pending, all over the in-memory account store; no sockets, no
// disk. Every frame the server writes to any session must decode to its last byte.
//
// Input: byte 0 picks the piece size (1 << (byte % 17)); byte 1 holds flags (bit 0: the client
// logs on as user 1 before its stream, bit 1: the system takes written bytes only at the end,
// bit 2: the client closes the connection after its stream); the rest is the stream.

#include "MemoryAccountStore.h"
#include "MemoryLink.h"

#include "FriendServer.h"
#include "ServerBodies.h"
#include "client/CommandStream.h"
#include "client/FrameCodec.h"
#include "records/FriendCommands.h"
#include "records/FriendRecords.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace pellix;
using namespace pellix::server;

namespace {

constexpr int32_t kClientUser = 1;
constexpr int32_t kAwayUser = 5;
constexpr int32_t kRequesterUser = 6;
// Written bytes are taken at most this often per input: each round may start another batch.
constexpr int kMaxFlushRounds = 4096;

bool Consumed(const CCommandStream& body) {
    return !body.IsTruncated() && body.BytesLeft() == 0;
}

// True when the body of a frame the server wrote is complete and nothing follows it.
bool BodyDecodes(uint16_t sub, CCommandStream& body) {
    if (const uint16_t fixed = FixedBodySize(sub); fixed != 0)
        return body.BytesLeft() == fixed;
    FriendEntry entry;
    std::string text;
    switch (sub) {
    case SUB_S_FRIEND_LIST: {
        body.ReadInt32();
        const int32_t count = body.ReadInt32();
        std::vector<FriendEntry> friends;
        body.ReadList(friends, ReadFriendEntry);
        return Consumed(body) && count == static_cast<int32_t>(friends.size());
    }
    case SUB_S_ONLINE_STATES: {
        body.ReadInt32();
        std::vector<OnlineStateEntry> states;
        body.ReadList(states, ReadOnlineStateEntry);
        return Consumed(body);
    }
    case SUB_S_ADD_FRIEND_OK:
        body.ReadInt32();
        ReadFriendEntry(body, entry);
        return Consumed(body) && entry.userName.size() <= ServerBodies::kMaxNameBytes &&
               entry.nickName.size() <= ServerBodies::kMaxNameBytes;
    case SUB_S_FRIEND_REQUEST:
        body.ReadInt32();
        ReadFriendEntry(body, entry);
        body.ReadString(text);
        return Consumed(body);
    case SUB_S_CHAT_MESSAGE:
        body.ReadInt32();
        body.ReadString(text);
        return Consumed(body);
    case SUB_S_OFFLINE_MESSAGES: {
        body.ReadInt32();
        std::vector<OfflineMessageEntry> messages;
        body.ReadList(messages, ReadOfflineMessageEntry);
        return Consumed(body) && !messages.empty();
    }
    case SUB_S_CHAT_MESSAGE_EX: {
        AckedChatEntry chat;
        ReadAckedChatEntry(body, chat);
        return Consumed(body);
    }
    case SUB_S_OFFLINE_MESSAGES_EX: {
        std::vector<AckedChatEntry> messages;
        body.ReadList(messages, ReadAckedChatEntry);
        return Consumed(body) && !messages.empty();
    }
    default:
        return false;
    }
}

// Reads what the server wrote to one link and stops the run at a frame that does not decode.
class WrittenFrames {
public:
    void Check(const QByteArray& bytes) {
        const char* data = bytes.constData();
        std::size_t left = static_cast<std::size_t>(bytes.size());
        while (left > 0) {
            const std::size_t taken = m_Reader.Feed(data, left);
            data += taken;
            left -= taken;
            if (m_Reader.HasFrame())
                CheckFrame(*m_Reader.TakeFrame());
        }
    }

private:
    static void CheckFrame(const FrameCodec::Frame& frame) {
        if (frame.header.mainCmd == FrameCodec::kLibraryMainCmd) {
            if (frame.header.subCmd != FrameCodec::kPongSubCmd || !frame.body.empty())
                std::abort();
            return;
        }
        CCommandStream body;
        body.Append(frame.body.data(), frame.body.size());
        if (frame.header.mainCmd != CMD_FRIEND || !BodyDecodes(frame.header.subCmd, body))
            std::abort();
    }

    FrameCodec::FrameReader m_Reader;
};

Account MakeAccount(int32_t userID, std::string nickName) {
    Account account;
    account.userID = userID;
    account.userName = "user" + std::to_string(userID);
    account.nickName = std::move(nickName);
    account.showID = userID * 10;
    account.gender = static_cast<uint8_t>(userID % 2);
    account.token = "t" + std::to_string(userID);
    return account;
}

void FillStore(AccountStore& store) {
    // Nick names in GBK, one as long as a name may be.
    const char* const nickNames[] = {"",
                                     "\xD0\xA1\xC3\xF7",
                                     "Bob",
                                     "\xB4\xF3\xCE\xC0",
                                     "0123456789012345678901234567890",
                                     "away",
                                     "asker"};
    for (int32_t userID = 1; userID <= kRequesterUser; ++userID)
        store.SaveAccount(MakeAccount(userID, nickNames[userID]), 100 + userID, {});
    const std::pair<int32_t, int32_t> friendships[] = {{1, 2}, {1, 3}, {2, 3}, {1, kAwayUser}};
    std::vector<RelationChange> relations;
    for (const auto& [one, other] : friendships) {
        relations.push_back({one, other, Relation::Friend});
        relations.push_back({other, one, Relation::Friend});
    }
    relations.push_back({4, kClientUser, Relation::Blacklisted});
    store.ApplyRelations(relations, {});
    store.SaveRequest({kRequesterUser, kClientUser, "let us be friends", false});
    // The away user's queue takes two bodies to hand over; the client's is short, so that the
    // inputs that do not log on as the away user stay quick.
    const std::pair<int32_t, std::string> waiting[] = {
        {kClientUser, "while you were away"},
        {kClientUser, "\xC4\xE3\xBA\xC3"},
        {kAwayUser, std::string(ServerBodies::kMaxOfflineText / 2, 'x')},
        {kAwayUser, std::string(ServerBodies::kMaxOfflineText / 2, 'y')}};
    for (const auto& [recipient, text] : waiting)
        store.QueueMessage({0, recipient, kRequesterUser, 1, text});
}

QByteArray LogonFrame(int32_t userID) {
    CCommandStream body;
    body.WriteInt32(userID);
    body.WriteString("t" + std::to_string(userID));
    body.WriteInt32(-1);
    return FrameCodec::EncodeFrame(CMD_FRIEND, SUB_C_LOGON, body.SendBuffer(), body.SendSize());
}

class Run {
public:
    Run() {
        FillStore(m_Store);
        for (const int32_t userID : {2, 3, 4}) {
            MemoryLink& link = Connect();
            const QByteArray logon = LogonFrame(userID);
            link.Receive(logon.constData(), logon.size());
        }
        m_pClient = &Connect();
        FlushAll();
    }
    ~Run() {
        // Dropping the peers re-queues what was not written; the store outlives the server.
        m_Server.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    MemoryLink& Client() { return *m_pClient; }

    // Lets the system take written bytes until the server writes no more, checking every frame.
    void FlushAll() {
        for (int round = 0; round < kMaxFlushRounds; ++round) {
            bool more = false;
            for (std::size_t i = 0; i < m_Links.size(); ++i) {
                m_Checks[i].Check(m_Links[i]->TakeWritten());
                more = m_Links[i]->Flush() || more;
            }
            if (!more)
                return;
        }
    }

private:
    static SessionLimits Limits() {
        SessionLimits limits;
        // Low enough that the chats of one input to a peer whose bytes the system does not take
        // overflow it, and that peer is dropped.
        limits.maxPendingBytes = 64 * 1024;
        return limits;
    }

    MemoryLink& Connect() {
        auto* link = new MemoryLink;
        m_Server->Adopt(link);
        m_Links.push_back(link);
        m_Checks.emplace_back();
        return *link;
    }

    MemoryAccountStore m_Store;
    std::unique_ptr<FriendServer> m_Server = std::make_unique<FriendServer>(m_Store, Limits());
    std::vector<MemoryLink*> m_Links;
    std::vector<WrittenFrames> m_Checks;
    MemoryLink* m_pClient = nullptr;
};

void DiscardMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Never destroyed: libFuzzer ends with exit(), and the application stays reachable.
    new QCoreApplication(*argc, *argv);
    // The server logs every command a broken store refuses; nothing here needs to be read.
    qInstallMessageHandler(DiscardMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2)
        return -1;
    const std::size_t pieceSize = std::size_t{1} << (data[0] % 17);
    const uint8_t flags = data[1];
    const bool logOnFirst = (flags & 1) != 0;
    const bool takeAtTheEnd = (flags & 2) != 0;
    const bool closeAtTheEnd = (flags & 4) != 0;
    data += 2;
    size -= 2;

    Run run;
    if (logOnFirst) {
        const QByteArray logon = LogonFrame(kClientUser);
        run.Client().Receive(logon.constData(), logon.size());
        run.FlushAll();
    }
    for (std::size_t offset = 0; offset < size; offset += pieceSize) {
        const std::size_t piece = std::min(pieceSize, size - offset);
        run.Client().Receive(reinterpret_cast<const char*>(data + offset),
                             static_cast<qint64>(piece));
        if (!takeAtTheEnd)
            run.FlushAll();
    }
    if (closeAtTheEnd)
        run.Client().Abort();
    run.FlushAll();
    return 0;
}
