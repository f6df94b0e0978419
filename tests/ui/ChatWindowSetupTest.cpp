// How a chat window sets itself up and drives its components: seen through a library that records
// every call, and through the real libkivra.so.

#include "ChatTestSupport.h"
#include "WindowFixture.h"
#include "records/FriendCommands.h"
#include "skin/SkinButton.h"
#include "skin/SkinEdit.h"
#include "skin/SkinRichEdit.h"
#include "storage/ChatHistoryManager.h"
#include "text/StringUtility.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/controls/SkinScrollBar.h"
#include "ui/manager/FriendWindowManager.h"

#include <QRegularExpression>
#include <QtTest>
#include <dlfcn.h>

namespace pellix {

namespace {

// The recording library, opened beside the loader so that the test reads its log and tells its
// Attach what to answer before a window asks.
class RecordingLibrary {
public:
    explicit RecordingLibrary(bool attach) {
        m_handle =
            dlopen(CHAT_TEST_LIBRARY_DIR "/libchat_test_Recording.so", RTLD_NOW | RTLD_LOCAL);
        if (m_handle == nullptr)
            return;
        m_log = reinterpret_cast<const char* (*)()>(dlsym(m_handle, "RecordingLibraryLog"));
        m_reset = reinterpret_cast<void (*)(bool)>(dlsym(m_handle, "RecordingLibraryReset"));
        if (m_reset != nullptr)
            m_reset(attach);
    }
    ~RecordingLibrary() {
        if (m_handle != nullptr)
            dlclose(m_handle);
    }
    RecordingLibrary(const RecordingLibrary&) = delete;
    RecordingLibrary& operator=(const RecordingLibrary&) = delete;

    bool Ready() const { return m_log != nullptr && m_reset != nullptr; }
    std::string Log() const { return m_log(); }
    void Clear() const { m_reset(true); }

private:
    void* m_handle = nullptr;
    const char* (*m_log)() = nullptr;
    void (*m_reset)(bool) = nullptr;
};

class RecordedChatWindow : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(LinkRuntimeData());
        ASSERT_TRUE(folder.Ready());
        SignOnWith({Friend(502, "小明", true)});
    }
    // The windows go before the libraries: they hold the libraries' objects.
    void TearDown() override { m_windows.CloseAllWindows(); }

    ComponentLibraryFolder folder{"libchat_test_Recording.so"};
};

// A window on the real libkivra.so, with the runtime's pictures and skin images.
class RealChatWindow : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(LinkRuntimeData());
        SignOnWith({Friend(502, "小明", true)});
        chat = m_windows.OpenChatWindow(502);
    }

    CFriendChatDlg* chat = nullptr;
};

std::string Append(const char* numbers, const char* look, const std::string& line) {
    return std::string("append(") + numbers + "," + look + ":" + line + ") ";
}

} // namespace

TEST_F(RecordedChatWindow, SetsUpDisplayPickerSkinAndNoticeInThatOrderAndDrivesThem) {
    RecordingLibrary library(true);
    ASSERT_TRUE(library.Ready());
    CFriendChatDlg* chat = m_windows.OpenChatWindow(502);
    // The view is attached before its scroll bars are skinned; the notice comes after both.
    const std::string notice =
        Gbk("/<c=#02106A>交谈中请勿轻信汇款、中奖信息，勿轻易拨打陌生电话。");
    EXPECT_EQ(library.Log(), "display+ attach(bare) setupA(1) setupB(1) picker+ sink " +
                                 Append("1,0,0,0", "skinned", notice));
    EXPECT_NE(SkinScrollFind(chat->DisplayView()), nullptr);
    EXPECT_NE(SkinScrollFind(chat->InputBox()), nullptr);
    const auto paragraphs = Paragraphs(*chat->DisplayView()->document());
    ASSERT_FALSE(paragraphs.empty());
    EXPECT_TRUE(paragraphs.back().blockFormat().hasProperty(
        QTextFormat::BlockTrailingHorizontalRulerWidth));

    // Headers and bodies with pictures, notices without; own and friend headers differ in colour.
    library.Clear();
    chat->AppendMessage(Gbk("小明"), Gbk("你好"), 0, false);
    chat->InputBox()->ReplaceSel(QStringLiteral("好"), false);
    chat->SendChatMessage();
    chat->SendShake();
    const QString log = QString::fromStdString(StringUtility::AnsiToUTF8(library.Log()));
    const QRegularExpression expected(
        QStringLiteral("^append\\(1,0,1,0,skinned:/<c=#0000FF> 小明 \\d\\d:\\d\\d:\\d\\d   \\) "
                       "append\\(1,0,1,0,skinned:/<c=#000000>你好\\) "
                       "append\\(1,0,1,0,skinned:/<c=#008040> 我 \\d\\d:\\d\\d:\\d\\d   \\) "
                       "append\\(1,0,1,0,skinned:/<c=#000000>好\\) "
                       "append\\(1,0,0,0,skinned:/<c=#02106A>您发送了一个窗口抖动。\\) $"));
    EXPECT_TRUE(expected.match(log).hasMatch()) << log.toStdString();

    // The picker opens at the emoticon button's bottom-right corner; closing tells the display.
    library.Clear();
    QTest::mouseClick(chat->EmotionButton(), Qt::LeftButton);
    const QPoint corner = chat->EmotionButton()->mapToGlobal(
        QPoint(chat->EmotionButton()->width(), chat->EmotionButton()->height()));
    chat->CancelChat();
    EXPECT_EQ(library.Log(), "show(" + std::to_string(corner.x()) + "," +
                                 std::to_string(corner.y()) + ") closed ");

    // Closing the windows leaves no object of the library alive.
    library.Clear();
    m_windows.CloseAllWindows();
    EXPECT_EQ(library.Log(), "picker- display- ");
}

TEST_F(RecordedChatWindow, AViewTheDisplayCannotTakeLeavesTheWindowBareButItStillSends) {
    RecordingLibrary library(false);
    ASSERT_TRUE(library.Ready());
    CFriendChatDlg* chat = m_windows.OpenChatWindow(502);
    EXPECT_EQ(library.Log(), "display+ attach(bare) ");
    EXPECT_EQ(chat->EmotionSelector(), nullptr);
    EXPECT_EQ(SkinScrollFind(chat->DisplayView()), nullptr);
    EXPECT_EQ(chat->InputBox()->GetLimitText(), 0);
    EXPECT_TRUE(chat->SendButton()->text().isEmpty());
    EXPECT_TRUE(m_boxes.boxes.empty());

    Receive(SUB_S_CHAT_MESSAGE, IdBody(502, {'h', 'i', 0}));
    chat->InputBox()->ReplaceSel(QStringLiteral("yo"), false);
    QTest::keyClick(chat->InputBox(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(m_history.GetMessageCount(502), 2);
    ASSERT_FALSE(m_requests.sent.empty());
    EXPECT_EQ(m_requests.sent.back(), "chat 502 yo");
    QTest::mouseClick(chat->EmotionButton(), Qt::LeftButton);
    chat->CancelChat();
    EXPECT_FALSE(chat->isVisible());
}

TEST_F(RealChatWindow, ShowsTheNoticeThroughTheLibraryAndIndentsMessageBodies) {
    ASSERT_NE(chat->MessageDisplay(), nullptr);
    EXPECT_NE(chat->EmotionSelector(), nullptr);
    EXPECT_NE(SkinScrollFind(chat->DisplayView()), nullptr);
    EXPECT_NE(SkinScrollFind(chat->InputBox()), nullptr);
    Receive(SUB_S_CHAT_MESSAGE, IdBody(502, {'h', 'i', 0}));
    // The notice, the rule under it, then the message's header and its body.
    const auto paragraphs = Paragraphs(*chat->DisplayView()->document());
    ASSERT_EQ(paragraphs.size(), 4u);
    EXPECT_EQ(paragraphs[0].text(),
              QStringLiteral("交谈中请勿轻信汇款、中奖信息，勿轻易拨打陌生电话。"));
    EXPECT_EQ(paragraphs[0].begin().fragment().charFormat().foreground().color(),
              QColor(0x02, 0x10, 0x6A));
    EXPECT_TRUE(paragraphs[2].text().startsWith(QStringLiteral(" 小明 ")));
    EXPECT_EQ(paragraphs[2].blockFormat().leftMargin(), 0.0);
    EXPECT_EQ(paragraphs[3].text(), QStringLiteral("hi"));
    EXPECT_GT(paragraphs[3].blockFormat().leftMargin(), 0.0);
}

} // namespace pellix
