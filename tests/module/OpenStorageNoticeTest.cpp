// Storage failures shown in real boxes while the friend service goes on: the box is open when the
// operation that raised it returns, and nothing else runs inside that operation.

#include "LiveBoxes.h"
#include "ServiceFixture.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "records/FriendCommands.h"
#include "storage/ContactManager.h"
#include "storage/DatabaseAccess.h"

#include <QFile>
#include <QTest>
#include <QTimer>

namespace pellix {

namespace {

class OpenStorageNotice : public ServiceFixture {
protected:
    void SetUp() override {
        // The skin library's own boxes, as a user sees them.
        SetMessageBoxPresenter(nullptr);
    }

    CContactManager& Contacts() { return *CContactManager::GetInstance(); }
    std::string ContactsFile() const {
        return (m_workDir.Path() + QStringLiteral("/Profile/%1/contacts.data").arg(kOwnID))
            .toStdString();
    }
    static bool BoxSays(const QString& text) {
        for (const CSkinMessageBoxDlg* box : VisibleSkinBoxes()) {
            if (box->Text() == text)
                return true;
        }
        return false;
    }
};

} // namespace

TEST_F(OpenStorageNotice, AMoveThatCannotBeStoredIsDoneBeforeTheReloadThatFollowsIt) {
    ModalBoxGuard guard;
    SignOnWith({Friend(502, "小明", true), Friend(503, "小红", false)});
    ASSERT_EQ(Contacts().GetFriendCount(), 2);
    {
        QxDataModule::Session session = OpenDatabase(ContactsFile());
        session << "CREATE TRIGGER refuse BEFORE INSERT ON contact_list "
                   "BEGIN SELECT RAISE(ABORT, 'disk says no'); END;",
            QxDataModule::now;
    }
    // The server's next answer, a reload of the whole list, is already waiting.
    bool reloaded = false;
    QTimer::singleShot(0, [&] {
        ReceiveWritten(SUB_S_ONLINE_STATES, [](CCommandStream& stream) {
            stream.WriteInt32(1);
            WriteList(stream, std::vector<OnlineStateEntry>{{502, STATE_ONLINE}},
                      WriteOnlineStateEntry);
        });
        reloaded = true;
    });

    ASSERT_TRUE(Receive(SUB_S_MOVE_RESULT, IdBody(503, {MOVE_TO_STRANGERS, 0})));
    EXPECT_FALSE(reloaded) << "the reload ran inside the move";
    EXPECT_EQ(Contacts().FindContact(503)->groupID, GROUP_STRANGER);
    EXPECT_TRUE(BoxSays(QString::fromStdString("Data error: disk says no" + ContactsFile())));
    EXPECT_TRUE(BoxSays(QStringLiteral("拖入陌生人成功！")));

    ASSERT_TRUE(QTest::qWaitFor([&] { return reloaded; }));
    // The store kept the friend, and the reload brought it back as stored.
    ASSERT_EQ(Contacts().GetContacts().size(), 2u);
    EXPECT_EQ(Contacts().FindContact(503)->groupID, GROUP_FRIEND);
    EXPECT_EQ(Contacts().GetOnlineState(502), STATE_ONLINE);
    EXPECT_EQ(guard.Closed(), 0);
}

TEST_F(OpenStorageNotice, ACorruptContactListDoesNotHoldUpTheLogOn) {
    ModalBoxGuard guard;
    QFile file(QString::fromStdString(ContactsFile()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(3000, 'x'));
    file.close();

    m_socket.sent.clear();
    EXPECT_TRUE(m_pService->OnServerConnected());
    ASSERT_EQ(m_socket.sent.size(), 1u);
    EXPECT_EQ(m_socket.sent[0].subCmd, SUB_C_LOGON);
    // No list can be read, so none is claimed: the server sends the whole list.
    const std::vector<uint8_t>& body = m_socket.sent[0].body;
    ASSERT_GE(body.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(body.end() - 4, body.end()),
              (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(
        BoxSays(QString::fromStdString("Data error: file is not a database" + ContactsFile())));
    EXPECT_EQ(guard.Closed(), 0);
}

} // namespace pellix
