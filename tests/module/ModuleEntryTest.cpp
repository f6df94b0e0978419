// The module loaded as a host loads it: dlopen of the built library, then its three exports.

#include "RecordingHost.h"
#include "ScopedWorkingDirectory.h"
#include "ScriptedPeer.h"
#include "pellix/FriendClient.h"
#include "records/FriendCommands.h"
#include "records/FriendRecords.h"

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pellix {

namespace {

// The names of every symbol the library defines in its dynamic symbol table.
QStringList DefinedDynamicSymbols(const char* path) {
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"),
                                    QStringLiteral("--format=posix"), QString::fromUtf8(path)});
    if (!nm.waitForFinished() || nm.exitCode() != 0)
        return {};
    QStringList names;
    const QString output = QString::fromUtf8(nm.readAllStandardOutput());
    for (const QString& line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        // AddressSanitizer's build marks each global with an ODR indicator of its own.
        const QString name = line.section(QLatin1Char(' '), 0, 0);
        if (!name.startsWith(QStringLiteral("__odr_asan")))
            names.append(name);
    }
    names.sort();
    return names;
}

class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override {
        handle = dlopen(PELLIX_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        create = reinterpret_cast<CreateFriendClientFn>(dlsym(handle, "CreateFriendClient"));
        destroy = reinterpret_cast<DestroyFriendClientFn>(dlsym(handle, "DestroyFriendClient"));
        exported = static_cast<IFriendClient**>(dlsym(handle, "g_pIFriendClient"));
        ASSERT_NE(create, nullptr);
        ASSERT_NE(destroy, nullptr);
        ASSERT_NE(exported, nullptr);
    }
    void TearDown() override {
        if (destroy != nullptr) {
            IFriendClient* client = *exported;
            destroy(&client);
        }
    }

    ScopedWorkingDirectory workDir;
    void* handle = nullptr;
    CreateFriendClientFn create = nullptr;
    DestroyFriendClientFn destroy = nullptr;
    IFriendClient** exported = nullptr;
};

} // namespace

TEST_F(LoadedModule, OnlyTheThreeEntryPointsAreExported) {
    // Besides the linker's own section markers, nothing of the module is visible to a host.
    const QStringList expected = {QStringLiteral("CreateFriendClient"),
                                  QStringLiteral("DestroyFriendClient"),
                                  QStringLiteral("__bss_start"),
                                  QStringLiteral("_edata"),
                                  QStringLiteral("_end"),
                                  QStringLiteral("g_pIFriendClient")};
    EXPECT_EQ(DefinedDynamicSymbols(PELLIX_MODULE_PATH), expected);
}

TEST_F(LoadedModule, TwoCreatesGiveTheExportedPointer) {
    IFriendClient* first = create();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(create(), first);
    EXPECT_EQ(*exported, first);
}

TEST_F(LoadedModule, DestroyNullsBothPointersEvenWithoutAService) {
    IFriendClient* client = reinterpret_cast<IFriendClient*>(0x1);
    destroy(&client);
    EXPECT_EQ(client, nullptr);
    EXPECT_EQ(*exported, nullptr);

    client = create();
    ASSERT_NE(client, nullptr);
    destroy(&client);
    EXPECT_EQ(client, nullptr);
    EXPECT_EQ(*exported, nullptr);

    // A host that hands no pointer still gets the service destroyed, and no crash.
    ASSERT_NE(create(), nullptr);
    destroy(nullptr);
    EXPECT_EQ(*exported, nullptr);
}

TEST_F(LoadedModule, CreateAfterDestroyBuildsANewWorkingService) {
    IFriendClient* first = create();
    ASSERT_NE(first, nullptr);
    destroy(&first);
    IFriendClient* second = create();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(*exported, second);
    tagUserInfo info{};
    info.userID = 77;
    second->SetUserInfo(info, "token");
    RecordingHost host;
    second->SetFriendHost(&host);
    ScriptedPeer server;
    tagProxyInfo proxy;
    ASSERT_TRUE(second->StartFriendService("127.0.0.1:" + std::to_string(server.Port()), 0, proxy));

    // The log-on names the user and token handed over; the user's options live in its profile.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return server.FramesWith(CMD_FRIEND, SUB_C_LOGON) == 1; }, 10000));
    const std::vector<uint8_t>& logon = server.frames.back().body;
    const std::vector<uint8_t> expectedStart = {77, 0, 0, 0, 't', 'o', 'k', 'e', 'n', 0};
    ASSERT_GE(logon.size(), expectedStart.size());
    EXPECT_TRUE(std::equal(expectedStart.begin(), expectedStart.end(), logon.begin()));
    EXPECT_TRUE(QDir(workDir.Path() + QStringLiteral("/Profile/77")).exists());

    // The friend list asks the host registered for each portrait it shows.
    CCommandStream list;
    list.WriteInt32(1);
    list.WriteInt32(1);
    WriteList(list, std::vector<FriendEntry>{{900, "user900", "nick900", 9000, 1, true}},
              WriteFriendEntry);
    server.Send(CMD_FRIEND, SUB_S_FRIEND_LIST,
                QByteArray(reinterpret_cast<const char*>(list.SendBuffer()),
                           static_cast<qsizetype>(list.SendSize())));
    second->ShowFriendWindow(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.faces.empty(); }, 10000));
    EXPECT_EQ(host.faces.front(), std::make_pair(std::string("user900"), 900));
    second->SetFriendHost(nullptr);
}

} // namespace pellix
