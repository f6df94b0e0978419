// The module's whole life in a host, once per process: loaded, its service made and destroyed
// twice with a chat on each, then unloaded, with or without its chat component library beside it.

#include "ScopedWorkingDirectory.h"
#include "ScriptedPeer.h"
#include "client/CommandStream.h"
#include "pellix/FriendClient.h"
#include "records/FriendCommands.h"
#include "records/FriendRecords.h"
#include "text/StringUtility.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextFragment>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace pellix {

namespace {

constexpr int kOwnID = 77;
constexpr int kFriendID = 900;
constexpr int kWait = 10000;

bool Loaded(const QString& path) {
    void* handle = dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr)
        dlclose(handle);
    return handle != nullptr;
}

QByteArray Body(const CCommandStream& stream) {
    return QByteArray(reinterpret_cast<const char*>(stream.SendBuffer()),
                      static_cast<qsizetype>(stream.SendSize()));
}

QWidget* VisibleWindow(const QString& title) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowTitle() == title)
            return window;
    return nullptr;
}

QWidget* ChatWindow() {
    return VisibleWindow(QStringLiteral("与nick900聊天中"));
}

int Pictures(const QWidget* chat) {
    const auto* view = chat != nullptr ? chat->findChild<QTextEdit*>() : nullptr;
    if (view == nullptr)
        return -1;
    int pictures = 0;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next())
        for (auto piece = block.begin(); !piece.atEnd(); ++piece)
            pictures += piece.fragment().charFormat().isImageFormat() ? 1 : 0;
    return pictures;
}

int StoredMessages(int peerID) {
    const QByteArray path =
        QStringLiteral("Profile/%1/ChatHistory/%2.data").arg(kOwnID).arg(peerID).toUtf8();
    sqlite3* db = nullptr;
    int count = -1;
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM chat_history", -1, &statement, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            count = sqlite3_column_int(statement, 0);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return count;
}

// The module as a host holds it: the library and its exports.
class LoadedModule {
public:
    explicit LoadedModule(const QString& path) : m_path(path) {
        m_handle = dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle == nullptr)
            return;
        create = reinterpret_cast<CreateFriendClientFn>(dlsym(m_handle, "CreateFriendClient"));
        destroy = reinterpret_cast<DestroyFriendClientFn>(dlsym(m_handle, "DestroyFriendClient"));
    }
    bool Ready() const { return create != nullptr && destroy != nullptr; }
    void Unload() {
        dlclose(m_handle);
        m_handle = nullptr;
    }

    CreateFriendClientFn create = nullptr;
    DestroyFriendClientFn destroy = nullptr;

private:
    QString m_path;
    void* m_handle = nullptr;
};

class ModuleLifeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(
            QFile::link(QStringLiteral(PELLIX_RUNTIME_DIR "/data"), QStringLiteral("data")));
        // A host shows its own window the whole time: closing the module's last window does not
        // end the application.
        host.show();
    }

    // Widgets of the module: every widget but the host's window.
    int ModuleWidgets() const { return static_cast<int>(QApplication::allWidgets().size()) - 1; }

    // A service signed on to the scripted server, friend 900 online.
    IFriendClient* SignOn(LoadedModule& module) {
        IFriendClient* client = module.create();
        if (client == nullptr)
            return nullptr;
        tagUserInfo info{};
        info.userID = kOwnID;
        client->SetUserInfo(info, "token");
        tagProxyInfo proxy;
        const int logons = server.FramesWith(CMD_FRIEND, SUB_C_LOGON);
        client->StartFriendService("127.0.0.1:" + std::to_string(server.Port()), 0, proxy);
        if (!QTest::qWaitFor(
                [&] { return server.FramesWith(CMD_FRIEND, SUB_C_LOGON) == logons + 1; }, kWait))
            return client;
        CCommandStream list;
        list.WriteInt32(1);
        list.WriteInt32(1);
        WriteList(list, std::vector<FriendEntry>{{kFriendID, "user900", "nick900", 9000, 1, true}},
                  WriteFriendEntry);
        server.Send(CMD_FRIEND, SUB_S_FRIEND_LIST, Body(list));
        return client;
    }

    void ReceiveChat(const char* utf8Text) {
        CCommandStream message;
        message.WriteInt32(kFriendID);
        message.WriteString(StringUtility::UTF8ToAnsi(utf8Text));
        server.Send(CMD_FRIEND, SUB_S_CHAT_MESSAGE, Body(message));
    }

    ScopedWorkingDirectory workDir;
    ScriptedPeer server;
    QMainWindow host;
};

} // namespace

TEST_F(ModuleLifeTest, ChatsWorkAfterTheServiceIsMadeAgainAndUnloadingClosesTheComponentLibrary) {
    const QString kivra = QStringLiteral(KIVRA_LIBRARY_PATH);
    LoadedModule module(QStringLiteral(PELLIX_MODULE_PATH));
    ASSERT_TRUE(module.Ready()) << dlerror();
    for (int round = 0; round < 2; ++round) {
        IFriendClient* client = SignOn(module);
        ASSERT_NE(client, nullptr);
        ReceiveChat("你好[微笑]");
        EXPECT_TRUE(QTest::qWaitFor([] { return Pictures(ChatWindow()) == 1; }, kWait))
            << "round " << round;
        module.destroy(&client);
        // No window, and so no object of the component library, outlives the service.
        EXPECT_EQ(ModuleWidgets(), 0) << "round " << round;
        EXPECT_TRUE(Loaded(kivra));
    }
    EXPECT_EQ(StoredMessages(kFriendID), 2);
    module.Unload();
    EXPECT_FALSE(Loaded(kivra));
    EXPECT_FALSE(Loaded(QStringLiteral(PELLIX_MODULE_PATH)));
}

// A copy of the module in a folder of its own, without libkivra.so beside it.
TEST_F(ModuleLifeTest, WithoutTheComponentLibraryTheUserIsToldOnceAndChatsStillGoOut) {
    ScopedWorkingDirectory moduleFolder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(PELLIX_MODULE_PATH), QStringLiteral("libpellix.so")));
    for (const char* dependency : {"libqxskin.so", "libqxclient.so", "libqxdata.so"})
        ASSERT_TRUE(QFile::link(QStringLiteral(PELLIX_BIN_DIR "/") + QLatin1String(dependency),
                                QLatin1String(dependency)));
    const QString path = moduleFolder.Path() + QStringLiteral("/libpellix.so");
    QDir::setCurrent(workDir.Path());
    LoadedModule module(path);
    ASSERT_TRUE(module.Ready()) << dlerror();
    IFriendClient* client = SignOn(module);
    ASSERT_NE(client, nullptr);

    ReceiveChat("你好[微笑]");
    ASSERT_TRUE(QTest::qWaitFor([] { return ChatWindow() != nullptr; }, kWait));
    QWidget* notice = VisibleWindow(QStringLiteral("好友服务"));
    ASSERT_NE(notice, nullptr);
    QWidget* chat = ChatWindow();
    // The notice belongs to the window that needed the library, and goes with it.
    EXPECT_EQ(notice->parentWidget(), chat);
    EXPECT_EQ(Pictures(chat), 0);
    auto* input = chat->findChild<QPlainTextEdit*>();
    ASSERT_NE(input, nullptr);
    QTest::keyClicks(input, QStringLiteral("ok"));
    QTest::keyClick(input, Qt::Key_S, Qt::AltModifier);
    QTest::keyClick(input, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return server.FramesWith(CMD_FRIEND, SUB_C_CHAT_MESSAGE) == 1 &&
                   server.FramesWith(CMD_FRIEND, SUB_C_SHAKE) == 1;
        },
        kWait));
    auto* emoticons = chat->findChild<QAbstractButton*>(QStringLiteral("emotionButton"));
    ASSERT_NE(emoticons, nullptr);
    QTest::mouseClick(emoticons, Qt::LeftButton);
    QTest::keyClick(chat, Qt::Key_Escape);
    ReceiveChat("还在吗");
    ASSERT_TRUE(QTest::qWaitFor([] { return StoredMessages(kFriendID) == 3; }, kWait));
    // One notice was made for the process, not one for each time the window showed.
    int notices = 0;
    for (const QWidget* window : QApplication::topLevelWidgets())
        notices += window->windowTitle() == QStringLiteral("好友服务") ? 1 : 0;
    EXPECT_EQ(notices, 1);

    module.destroy(&client);
    EXPECT_EQ(ModuleWidgets(), 0);
    module.Unload();
    EXPECT_FALSE(Loaded(path));
}

// A host that never unloads the module: the program's end closes the component library after the
// module's own static objects are gone.
TEST_F(ModuleLifeTest, StaysLoadedUntilTheProgramEnds) {
    LoadedModule module(QStringLiteral(PELLIX_MODULE_PATH));
    ASSERT_TRUE(module.Ready()) << dlerror();
    IFriendClient* client = SignOn(module);
    ASSERT_NE(client, nullptr);
    ReceiveChat("[微笑]");
    EXPECT_TRUE(QTest::qWaitFor([] { return Pictures(ChatWindow()) == 1; }, kWait));
    module.destroy(&client);
    EXPECT_TRUE(Loaded(QStringLiteral(KIVRA_LIBRARY_PATH)));
}

} // namespace pellix
