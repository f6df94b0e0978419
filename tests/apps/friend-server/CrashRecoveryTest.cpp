// The server binary killed while it hands over an offline queue: after the restart the queue goes
// on where it stopped, and only the batch that was on its way at the kill comes twice.

#include "ServerFixture.h"
#include "ServerProcess.h"

#include "FriendRelations.h"
#include "SqliteAccountStore.h"
#include "records/FriendRecords.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace pellix;
using namespace pellix::server;

namespace {

constexpr int32_t kRecipientID = 2;
constexpr int kMessages = 1000;
// Five of these fill one body: 12 MB in all, far more than the sockets between the two processes
// hold, so that the server is still handing over when it is killed.
constexpr std::size_t kTextBytes = 12000;
constexpr std::size_t kMessagesPerBody = 5;
constexpr int kReceiveBufferBytes = 64 * 1024;

std::string NumberedText(int number) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "message %04d ", number);
    std::string text(prefix);
    text.resize(kTextBytes, '.');
    return text;
}

int NumberOf(const std::string& text) {
    return text.size() == kTextBytes ? std::stoi(text.substr(8, 4)) : -1;
}

void FillQueue(const std::string& path) {
    SqliteAccountStore store(path);
    FriendRelations relations(store);
    for (const int32_t userID : {1, kRecipientID}) {
        Account account;
        account.userID = userID;
        account.userName = "user" + std::to_string(userID);
        account.nickName = account.userName;
        account.token = "secret";
        relations.SaveAccount(account);
    }
    QueuedMessage message;
    message.recipientID = kRecipientID;
    message.senderID = 1;
    message.sentAt = 1;
    for (int number = 0; number < kMessages; ++number) {
        message.text = NumberedText(number);
        store.QueueMessage(message);
    }
}

// Logs on as the recipient and notes the number of every queued message received. It reads only
// while told to and keeps its socket's receive buffer small, so that the server cannot write much
// further than the client has read.
class QueueReader {
public:
    explicit QueueReader(quint16 port) {
        m_Socket.setReadBufferSize(kReceiveBufferBytes);
        QObject::connect(&m_Socket, &QTcpSocket::readyRead, [this] { ReadFrames(); });
        m_Socket.connectToHost(QHostAddress::LocalHost, port);
    }

    bool LogOn() {
        if (!QTest::qWaitFor([this] { return m_Socket.state() == QAbstractSocket::ConnectedState; },
                             kWaitMs))
            return false;
        m_Socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                 kReceiveBufferBytes);
        CCommandStream body;
        body.WriteInt32(kRecipientID);
        body.WriteString("secret");
        body.WriteInt32(-1);
        m_Socket.write(
            FrameCodec::EncodeFrame(CMD_FRIEND, SUB_C_LOGON, body.SendBuffer(), body.SendSize()));
        return true;
    }
    // Stops reading once this many bodies of queued messages have arrived.
    void PauseAfterBodies(std::size_t bodies) { m_nPauseAfter = bodies; }
    void Resume() {
        m_nPauseAfter = SIZE_MAX;
        ReadFrames();
    }
    bool Paused() const { return m_nBodies >= m_nPauseAfter; }
    // The server closed the connection and everything it sent has been read.
    bool Ended() const {
        return m_Socket.state() == QAbstractSocket::UnconnectedState &&
               m_Socket.bytesAvailable() == 0;
    }

    // In order of arrival, one list per body.
    std::vector<std::vector<int>> bodies;

private:
    void ReadFrames() {
        while (!Paused()) {
            const QByteArray bytes = m_Socket.read(static_cast<qint64>(m_Reader.Missing()));
            if (bytes.isEmpty())
                return;
            m_Reader.Feed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            if (!m_Reader.HasFrame())
                continue;
            const FrameCodec::Frame frame = *m_Reader.TakeFrame();
            if (frame.header.subCmd != SUB_S_OFFLINE_MESSAGES)
                continue;
            bodies.emplace_back();
            for (const OfflineMessageEntry& entry : DecodeOffline(frame))
                bodies.back().push_back(NumberOf(entry.message));
            ++m_nBodies;
        }
    }

    QTcpSocket m_Socket;
    FrameCodec::FrameReader m_Reader;
    std::size_t m_nBodies = 0;
    std::size_t m_nPauseAfter = SIZE_MAX;
};

std::vector<int> Flatten(const std::vector<std::vector<int>>& bodies) {
    std::vector<int> numbers;
    for (const std::vector<int>& body : bodies)
        numbers.insert(numbers.end(), body.begin(), body.end());
    return numbers;
}

} // namespace

TEST(CrashRecoveryTest, AServerKilledWhileHandingOverTheQueueRepeatsOnlyTheBatchOnItsWay) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("server.db"));
    FillQueue(path.toStdString());
    const QStringList arguments = {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                                   QStringLiteral("--db"), path};

    std::vector<int> beforeKill;
    {
        ServerProcess server(arguments);
        const quint16 port = server.WaitListening();
        ASSERT_NE(port, 0) << server.ErrorOutput().toStdString();
        QueueReader reader(port);
        reader.PauseAfterBodies(1);
        ASSERT_TRUE(reader.LogOn());
        ASSERT_TRUE(QTest::qWaitFor([&] { return reader.Paused(); }, kWaitMs));
        server.Kill();
        // What the server had handed to the system before it died still arrives.
        reader.Resume();
        ASSERT_TRUE(QTest::qWaitFor([&] { return reader.Ended(); }, kWaitMs));
        beforeKill = Flatten(reader.bodies);
    }
    ASSERT_LT(beforeKill.size(), static_cast<std::size_t>(kMessages))
        << "the server had written everything before it was killed";

    std::vector<std::vector<int>> afterRestart;
    {
        ServerProcess server(arguments);
        const quint16 port = server.WaitListening();
        ASSERT_NE(port, 0) << server.ErrorOutput().toStdString();
        QueueReader reader(port);
        ASSERT_TRUE(reader.LogOn());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !reader.bodies.empty() && reader.bodies.back().back() == kMessages - 1; },
            kWaitMs));
        afterRestart = reader.bodies;

        // Once handed over, the queue is empty.
        TestPeer again(port);
        again.LogOn(kRecipientID, "secret", -1);
        ASSERT_TRUE(again.WaitFor(SUB_S_FRIEND_LIST));
        ASSERT_TRUE(again.Sync());
        EXPECT_EQ(again.Count(SUB_S_OFFLINE_MESSAGES), 0u);
    }

    // Each run of the queue is in order and without repeats; together they hold every message.
    const std::vector<int> afterNumbers = Flatten(afterRestart);
    for (const std::vector<int>& numbers : {beforeKill, afterNumbers}) {
        for (std::size_t i = 1; i < numbers.size(); ++i)
            ASSERT_EQ(numbers[i], numbers[i - 1] + 1);
    }
    ASSERT_FALSE(beforeKill.empty());
    EXPECT_EQ(beforeKill.front(), 0);
    ASSERT_FALSE(afterNumbers.empty());
    EXPECT_LE(afterNumbers.front(), beforeKill.back() + 1) << "messages lost";
    EXPECT_EQ(afterNumbers.back(), kMessages - 1);

    // What came twice is the first batch after the restart: the one on its way at the kill.
    const int repeated = beforeKill.back() - afterNumbers.front() + 1;
    EXPECT_GE(repeated, 0);
    EXPECT_LE(static_cast<std::size_t>(repeated), afterRestart.front().size());
    EXPECT_LE(afterRestart.front().size(), kMessagesPerBody);
}
