// The chat component loader: one opened library per file shared by every holder, opened only from
// the module's directory, the four failure texts, and the real libkivra.so with its two exports.

#include "ui/chat/ChatComponent.h"
#include "ScopedWorkingDirectory.h"
#include "skin/SkinRichEdit.h"
#include "text/StringUtility.h"
#include "ui/chat/ChatComponentLibraries.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <set>

namespace pellix {

namespace {

const std::string kAbsent = "libchat_test_Absent.so";
const std::string kNoFactory = "libchat_test_NoFactory.so";
const std::string kNullFactory = "libchat_test_NullFactory.so";
const std::string kCounting = "libchat_test_Counting.so";

std::string Gbk(const char* utf8) {
    return StringUtility::UTF8ToAnsi(utf8);
}

QString Shown(const std::string& gbk) {
    return StringUtility::AnsiToQString(gbk);
}

class TestComponent : public ChatComponent<IMessageProxy> {
public:
    explicit TestComponent(const std::string& file,
                           const ComponentGUID* interfaceID = &IID_IMessageProxy,
                           uint32_t version = KIVRA_COMPONENT_VERSION,
                           const std::string& factory = KIVRA_CREATE_MESSAGE_PROXY)
        : ChatComponent(interfaceID, version, file, factory) {}
};

std::string TestLibraryPath(const std::string& file) {
    return std::string(CHAT_TEST_LIBRARY_DIR) + "/" + file;
}

class ChatComponentTest : public ::testing::Test {
protected:
    void SetUp() override { ChatComponentLibraries::SetDirectory(CHAT_TEST_LIBRARY_DIR); }
    void TearDown() override {
        ChatComponentLibraries::Release();
        ChatComponentLibraries::SetDirectory({});
    }

    static void* Handle(const std::string& file) {
        const LibraryEntry* entry = ChatComponentLibraries::Find(file);
        return entry != nullptr ? entry->hModule : nullptr;
    }
    static std::string CountingLog() {
        using LogFunction = const char* (*)();
        const auto log =
            reinterpret_cast<LogFunction>(dlsym(Handle(kCounting), "CountingLibraryLog"));
        return log != nullptr ? log() : "no log";
    }
    // Whether the process still holds the library after the table let go of it.
    static bool StillLoaded(const std::string& path) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (handle != nullptr)
            dlclose(handle);
        return handle != nullptr;
    }
};

} // namespace

TEST_F(ChatComponentTest, AMissingLibraryIsReportedWithItsNameAndTheSystemErrorNumber) {
    TestComponent component(kAbsent);
    EXPECT_FALSE(component.Load());
    EXPECT_EQ(component.GetErrorText(),
              kAbsent + Gbk(" 加载失败，错误代码：") + std::to_string(ENOENT) + Gbk(" ！"));
    EXPECT_FALSE(component.GetSystemError().empty());
    EXPECT_EQ(component.GetObject(), nullptr);
    const LibraryEntry* entry = ChatComponentLibraries::Find(kAbsent);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->hModule, nullptr);
    EXPECT_TRUE(entry->strFileName.empty());
}

TEST_F(ChatComponentTest, AFileThatIsNoLibraryIsReportedAsABadLibrary) {
    ScopedWorkingDirectory folder;
    QFile junk(QStringLiteral("libchat_test_Junk.so"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();
    ChatComponentLibraries::SetDirectory(folder.Path().toStdString());
    TestComponent component("libchat_test_Junk.so");
    EXPECT_FALSE(component.Load());
    EXPECT_EQ(component.GetErrorText(), "libchat_test_Junk.so" + Gbk(" 加载失败，错误代码：") +
                                            std::to_string(ELIBBAD) + Gbk(" ！"));
}

TEST_F(ChatComponentTest, NeitherTheWorkingDirectoryNorTheSearchPathIsUsed) {
    ScopedWorkingDirectory workDir;
    ASSERT_TRUE(QFile::copy(QString::fromStdString(TestLibraryPath(kCounting)),
                            QStringLiteral("libchat_test_Copy.so")));
    TestComponent inWorkingDirectory("libchat_test_Copy.so");
    EXPECT_FALSE(inWorkingDirectory.Load());
    EXPECT_TRUE(Shown(inWorkingDirectory.GetErrorText()).contains(QStringLiteral("加载失败")));
    // The program's run path holds libkivra.so, but the libraries' directory does not.
    TestComponent onSearchPath(KIVRA_LIBRARY_FILE);
    EXPECT_FALSE(onSearchPath.Load());
}

TEST_F(ChatComponentTest, ALibraryWithoutTheFactoryIsNamedWithTheFactoryAndStaysLoaded) {
    TestComponent component(kNoFactory);
    EXPECT_FALSE(component.Load());
    const QRegularExpression expected(QStringLiteral(
        "^libchat_test_NoFactory\\.so 组件创建函数 CreateMessageProxy 不存在，错误代码：\\d+ ！$"));
    EXPECT_TRUE(expected.match(Shown(component.GetErrorText())).hasMatch())
        << StringUtility::AnsiToUTF8(component.GetErrorText());
    EXPECT_NE(component.GetSystemError().find("CreateMessageProxy"), std::string::npos);
    void* handle = Handle(kNoFactory);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(ChatComponentLibraries::Find(kNoFactory)->strFileName, kNoFactory);

    TestComponent again(kNoFactory);
    EXPECT_FALSE(again.Load());
    EXPECT_EQ(Handle(kNoFactory), handle);
}

TEST_F(ChatComponentTest, AFactoryThatMakesNothingLeavesTheObjectNull) {
    TestComponent component(kNullFactory);
    EXPECT_FALSE(component.Load());
    EXPECT_EQ(component.GetErrorText(),
              kNullFactory + Gbk(" 组件创建函数 CreateMessageProxy 创建组件失败 ！"));
    EXPECT_EQ(component.GetObject(), nullptr);
    EXPECT_NE(Handle(kNullFactory), nullptr);
}

TEST_F(ChatComponentTest, LoadingAgainReleasesTheFirstObjectBeforeMakingTheSecond) {
    {
        TestComponent component(kCounting);
        ASSERT_TRUE(component.Load());
        IMessageProxy* first = component.GetObject();
        ASSERT_NE(first, nullptr);
        ASSERT_TRUE(component.Load());
        EXPECT_NE(component.GetObject(), nullptr);
    }
    EXPECT_EQ(CountingLog(), "+1 -1 +2 -2 ");
}

TEST_F(ChatComponentTest, TwoHoldersShareOneOpenedLibraryUntilTheTableIsReleased) {
    {
        TestComponent first(kCounting);
        TestComponent second(kCounting);
        ASSERT_TRUE(first.Load());
        void* handle = Handle(kCounting);
        ASSERT_TRUE(second.Load());
        EXPECT_EQ(Handle(kCounting), handle);
        EXPECT_EQ(CountingLog(), "+1 +2 ");
    }
    ASSERT_TRUE(StillLoaded(TestLibraryPath(kCounting)));
    ChatComponentLibraries::Release();
    // One dlclose let the library go: it had been opened once.
    EXPECT_FALSE(StillLoaded(TestLibraryPath(kCounting)));
    EXPECT_EQ(ChatComponentLibraries::Find(kCounting), nullptr);
}

TEST_F(ChatComponentTest, AHolderMadeBeforeTheTableWasReleasedNoLongerLoads) {
    TestComponent component(kCounting);
    ChatComponentLibraries::Release();
    EXPECT_FALSE(component.Load());
    EXPECT_EQ(component.GetErrorText(), kCounting + Gbk(" 加载失败，错误代码：0 ！"));
}

TEST_F(ChatComponentTest, TheRealLibraryIsFoundBesideTheModuleAndMakesBothComponents) {
    ChatComponentLibraries::SetDirectory({});
    ScopedWorkingDirectory elsewhere;
    EXPECT_EQ(QString::fromStdString(ChatComponentLibraries::Directory()),
              QCoreApplication::applicationDirPath());
    CMessageProxyComponent display;
    CEmotionSelectorComponent picker;
    ASSERT_TRUE(display.Load()) << StringUtility::AnsiToUTF8(display.GetErrorText());
    ASSERT_TRUE(picker.Load()) << StringUtility::AnsiToUTF8(picker.GetErrorText());

    CSkinRichEdit view;
    ASSERT_TRUE(display->Attach(&view));
    display->AppendText(Gbk("/<c=#FF0000>红<b>字</b>").c_str(), 1, 0, 1, 0);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("红<b>字</b>"));
    EXPECT_EQ(view.textCursor().charFormat().foreground().color(), QColor(0xFF, 0, 0));
}

TEST_F(ChatComponentTest, TheRealFactoriesRefuseAnotherInterfaceOrVersion) {
    ChatComponentLibraries::SetDirectory({});
    TestComponent otherVersion(KIVRA_LIBRARY_FILE, &IID_IMessageProxy, 0x01010101);
    EXPECT_FALSE(otherVersion.Load());
    EXPECT_TRUE(Shown(otherVersion.GetErrorText()).endsWith(QStringLiteral("创建组件失败 ！")));
    TestComponent otherInterface(KIVRA_LIBRARY_FILE, &IID_IEmotionSelector);
    EXPECT_FALSE(otherInterface.Load());

    const auto create = reinterpret_cast<ComponentFactory>(
        dlsym(Handle(KIVRA_LIBRARY_FILE), "CreateEmotionSelector"));
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create(nullptr, KIVRA_COMPONENT_VERSION), nullptr);
    EXPECT_EQ(create(&IID_IMessageProxy, KIVRA_COMPONENT_VERSION), nullptr);
    EXPECT_EQ(create(&IID_IEmotionSelector, 0), nullptr);
}

TEST(KivraLibrary, ExportsExactlyTheTwoFactories) {
    QProcess nm;
    nm.start(QStringLiteral("nm"),
             {QStringLiteral("-D"), QStringLiteral("--defined-only"),
              QCoreApplication::applicationDirPath() + QStringLiteral("/libkivra.so")});
    ASSERT_TRUE(nm.waitForFinished());
    ASSERT_EQ(nm.exitCode(), 0) << nm.readAllStandardError().toStdString();
    std::set<QString> names;
    for (const QString& line : QString::fromLatin1(nm.readAllStandardOutput())
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        names.insert(line.section(QLatin1Char(' '), -1));
    EXPECT_EQ(names, (std::set<QString>{QStringLiteral("CreateEmotionSelector"),
                                        QStringLiteral("CreateMessageProxy")}));
}

} // namespace pellix
