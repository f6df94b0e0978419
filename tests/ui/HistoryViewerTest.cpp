// The chat history viewer: pages of 20 messages and the four page buttons, the header and colours
// of each message, the find box, the chat window's history button, and a viewer whose display
// cannot be had.

#include "WindowFixture.h"
#include "resources/ResourceIds.h"
#include "skin/ColorRef.h"
#include "skin/SkinButton.h"
#include "skin/SkinImageManager.h"
#include "skin/SkinLabel.h"
#include "skin/SkinRichEdit.h"
#include "storage/ChatHistoryManager.h"
#include "ui/chat/ChatComponentLibraries.h"
#include "ui/chat/ChatHistoryFindBox.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/chat/FriendChatHistoryViewerDlg.h"
#include "ui/controls/SkinScrollBar.h"
#include "ui/manager/FriendWindowManager.h"
#include "ui/manager/ModuleResourceScope.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>

namespace pellix {

namespace {

// 2011-05-03 14:02:09 in UTC+8.
constexpr int64_t kKnownTime = 1304402529;

class HistoryViewer : public WindowFixture {
protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        m_previousZone = zone != nullptr ? std::optional<std::string>(zone) : std::nullopt;
        // China Standard Time, spelled so that no time zone database is needed.
        setenv("TZ", "CST-8", 1);
        tzset();
        SignOnWith({Friend(502, "小明", true)});
    }
    void TearDown() override {
        if (m_previousZone)
            setenv("TZ", m_previousZone->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        CSkinImageManager::Instance().Clear();
    }

    // count messages with 502, alternately from the friend and from the user, one second apart.
    void Store(
        int count, const std::function<std::string(int)>& text = [](int i) {
            return "message " + std::to_string(i);
        }) {
        for (int i = 0; i < count; ++i) {
            const bool own = i % 2 == 1;
            m_history.AddMessage(502, Gbk(own ? "我自己" : "小明"), Gbk(own ? "小明" : "我自己"),
                                 kKnownTime + i, text(i));
        }
    }

    std::unique_ptr<CFriendChatHistoryViewerDlg> Open() {
        auto viewer = std::make_unique<CFriendChatHistoryViewerDlg>(m_context);
        viewer->SetFriend(502);
        viewer->show();
        return viewer;
    }

    static QStringList Paragraphs(const CFriendChatHistoryViewerDlg& viewer) {
        QStringList lines;
        const QTextDocument* document = viewer.RecordView()->document();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            lines.append(block.text());
        return lines;
    }

    // The bodies shown, in order (every second paragraph, after its header).
    static QStringList Bodies(const CFriendChatHistoryViewerDlg& viewer) {
        const QStringList lines = Paragraphs(viewer);
        QStringList bodies;
        for (qsizetype i = 1; i < lines.size(); i += 2)
            bodies.append(lines[i]);
        return bodies;
    }

    static void Click(CFriendChatHistoryViewerDlg& viewer, int controlID) {
        CSkinButton* button = viewer.ControlButton(controlID);
        ASSERT_NE(button, nullptr) << controlID;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    std::optional<std::string> m_previousZone;
};

// Whether every character of block is drawn in colour.
bool DrawnIn(const QTextBlock& block, const QColor& colour) {
    for (auto piece = block.begin(); !piece.atEnd(); ++piece) {
        if (piece.fragment().charFormat().foreground().color() != colour)
            return false;
    }
    return block.length() > 1;
}

} // namespace

TEST_F(HistoryViewer, AnEmptyHistoryShowsZeroOfZeroAndNothingWhateverIsClicked) {
    auto viewer = Open();
    EXPECT_EQ(viewer->PageText(), QStringLiteral("0/0"));
    EXPECT_EQ(viewer->PageLabel()->text(), QStringLiteral("0/0"));
    EXPECT_TRUE(viewer->PageLabel()->isHidden());
    for (int button : {IDC_HISTORY_NEXT_PAGE, IDC_HISTORY_LAST_PAGE, IDC_HISTORY_PREVIOUS_PAGE,
                       IDC_HISTORY_FIRST_PAGE})
        Click(*viewer, button);
    EXPECT_EQ(viewer->PageText(), QStringLiteral("0/0"));
    EXPECT_EQ(viewer->PageCount(), 0);
    EXPECT_TRUE(viewer->RecordView()->toPlainText().isEmpty());
}

TEST_F(HistoryViewer, TwentyMessagesMakeOnePageAndTwentyOneTwo) {
    Store(20);
    auto viewer = Open();
    EXPECT_EQ(viewer->PageText(), QStringLiteral("1/1"));
    EXPECT_EQ(Bodies(*viewer).size(), 20);
    Store(1);
    Click(*viewer, IDC_HISTORY_NEXT_PAGE);
    EXPECT_EQ(viewer->PageText(), QStringLiteral("2/2"));
    // Store(1) wrote "message 0" again, as the 21st message.
    EXPECT_EQ(Bodies(*viewer), QStringList{QStringLiteral("message 0")});
}

TEST_F(HistoryViewer, PageButtonsMoveWithinTheHistoryAndChangeNothingAtItsEnds) {
    Store(45);
    auto viewer = Open();
    ASSERT_EQ(viewer->PageText(), QStringLiteral("1/3"));
    QSignalSpy redrawn(viewer->RecordView()->document(), &QTextDocument::contentsChanged);
    Click(*viewer, IDC_HISTORY_PREVIOUS_PAGE);
    Click(*viewer, IDC_HISTORY_FIRST_PAGE);
    EXPECT_EQ(redrawn.count(), 0);
    EXPECT_EQ(viewer->PageText(), QStringLiteral("1/3"));

    Click(*viewer, IDC_HISTORY_LAST_PAGE);
    EXPECT_EQ(viewer->PageText(), QStringLiteral("3/3"));
    EXPECT_EQ(Bodies(*viewer).size(), 5);
    EXPECT_EQ(Bodies(*viewer).first(), QStringLiteral("message 40"));
    redrawn.clear();
    Click(*viewer, IDC_HISTORY_NEXT_PAGE);
    Click(*viewer, IDC_HISTORY_LAST_PAGE);
    EXPECT_EQ(redrawn.count(), 0);
    EXPECT_EQ(viewer->CurrentPage(), 3);

    Click(*viewer, IDC_HISTORY_PREVIOUS_PAGE);
    EXPECT_EQ(viewer->PageText(), QStringLiteral("2/3"));
    EXPECT_EQ(Bodies(*viewer).first(), QStringLiteral("message 20"));
    // Shown again, the viewer starts from the first page.
    viewer->hide();
    viewer->show();
    EXPECT_EQ(viewer->PageText(), QStringLiteral("1/3"));
    EXPECT_EQ(Bodies(*viewer).first(), QStringLiteral("message 0"));
}

TEST_F(HistoryViewer, HeadersCarryTheFullDateAndAreAllOneColourAndBodiesBlack) {
    Store(4, [](int i) { return i == 0 ? Gbk("你好") : "line " + std::to_string(i); });
    auto viewer = Open();
    const QStringList lines = Paragraphs(*viewer);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[0], QStringLiteral(" 小明 (2011-05-03 14:02:09)   "));
    EXPECT_EQ(lines[1], QStringLiteral("你好"));
    EXPECT_EQ(lines[2], QStringLiteral(" 我自己 (2011-05-03 14:02:10)   "));
    int index = 0;
    for (QTextBlock block = viewer->RecordView()->document()->begin(); block.isValid();
         block = block.next(), ++index) {
        const QColor expected = ColorFromRef(index % 2 == 0 ? 0x00FF0000 : 0x00000000);
        EXPECT_TRUE(DrawnIn(block, expected)) << block.text().toStdString();
    }
}

TEST_F(HistoryViewer, TheRecordViewHasTheSkinnedScrollBarsWhenTheBitmapIsThere) {
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("data/Common/srcollbar")));
    QImage tiles(240, 48, QImage::Format_RGB32);
    tiles.fill(QColor(120, 150, 200));
    ASSERT_TRUE(tiles.save(QStringLiteral("data/Common/srcollbar/scroll.bmp")));
    Store(20);
    auto viewer = Open();
    EXPECT_NE(SkinScrollFind(viewer->RecordView()), nullptr);
    CSkinRichEdit* view = viewer->RecordView();
    viewer.reset();
    // Nothing of the skin outlived the viewer: a second viewer gets its own.
    auto again = Open();
    EXPECT_NE(SkinScrollFind(again->RecordView()), nullptr);
    EXPECT_NE(again->RecordView(), view);
}

TEST_F(HistoryViewer, CtrlFFindsTheNextOlderMatchAndGoesOnFromTheNewest) {
    Store(100, [](int i) {
        return i == 30 || i == 70 ? "the Needle is in message " + std::to_string(i)
                                  : "message " + std::to_string(i);
    });
    auto viewer = Open();
    viewer->RecordView()->setFocus();
    QTest::keyClick(viewer->RecordView(), Qt::Key_F, Qt::ControlModifier);
    CChatHistoryFindBox* find = viewer->FindBox();
    ASSERT_TRUE(find->isVisible());
    QTest::keyClicks(find->Edit(), QStringLiteral("needle"));
    // From page 1 nothing older holds it: the search goes on from the newest message.
    QTest::keyClick(find->Edit(), Qt::Key_Return);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->PageText(), QStringLiteral("4/5"));
    EXPECT_EQ(viewer->RecordView()->textCursor().selectedText(), QStringLiteral("Needle"));
    EXPECT_TRUE(
        viewer->RecordView()->textCursor().block().text().endsWith(QStringLiteral("message 70")));
    QTest::keyClick(find->Edit(), Qt::Key_Return);
    EXPECT_EQ(viewer->PageText(), QStringLiteral("2/5"));
    QTest::keyClick(find->Edit(), Qt::Key_Return);
    EXPECT_EQ(viewer->PageText(), QStringLiteral("4/5"));
    EXPECT_FALSE(find->ShowsNoMatch());
    QTest::keyClick(find->Edit(), Qt::Key_Escape);
    EXPECT_FALSE(find->isVisible());
    EXPECT_TRUE(viewer->isVisible());
}

TEST_F(HistoryViewer, AMatchOnAMiddlePageIsShownAndNoMatchChangesNothing) {
    Store(100,
          [](int i) { return i == 50 ? Gbk("今晚一起打牌吗？") : "message " + std::to_string(i); });
    auto viewer = Open();
    EXPECT_TRUE(viewer->FindOlder(QStringLiteral("打牌")));
    EXPECT_EQ(viewer->PageText(), QStringLiteral("3/5"));
    EXPECT_EQ(viewer->RecordView()->textCursor().selectedText(), QStringLiteral("打牌"));

    Click(*viewer, IDC_HISTORY_NEXT_PAGE);
    const QString shown = viewer->RecordView()->toPlainText();
    QSignalSpy redrawn(viewer->RecordView()->document(), &QTextDocument::contentsChanged);
    EXPECT_FALSE(viewer->FindOlder(QStringLiteral("麻将")));
    // Text that GBK cannot hold is in no message either.
    EXPECT_FALSE(viewer->FindOlder(QStringLiteral("😀")));
    EXPECT_EQ(redrawn.count(), 0);
    EXPECT_EQ(viewer->PageText(), QStringLiteral("4/5"));
    EXPECT_EQ(viewer->RecordView()->toPlainText(), shown);
    EXPECT_TRUE(viewer->FindBox()->ShowsNoMatch());
    viewer->FindBox()->Edit()->setText(QStringLiteral("x"));
    EXPECT_FALSE(viewer->FindBox()->ShowsNoMatch());
}

TEST_F(HistoryViewer, TheChatWindowsHistoryButtonRunsTheViewerWithoutOwner) {
    Store(3);
    CFriendChatDlg* chat = m_windows.OpenChatWindow(502);
    ASSERT_NE(chat, nullptr);
    CSkinButton* historyButton = nullptr;
    for (CSkinButton* button : chat->findChildren<CSkinButton*>()) {
        if (button->toolTip() == QStringLiteral("显示聊天记录"))
            historyButton = button;
    }
    ASSERT_NE(historyButton, nullptr);

    struct Seen {
        bool found = false, modal = false, ownWindow = false, moduleResources = false;
        QWidget* parent = nullptr;
        QString pageText;
        int friendID = 0;
    } seen;
    QTimer::singleShot(0, chat, [&seen] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* viewer = qobject_cast<CFriendChatHistoryViewerDlg*>(window);
            if (viewer == nullptr || !viewer->isVisible())
                continue;
            seen = {true,
                    viewer->isModal(),
                    viewer->windowType() == Qt::Window,
                    ModuleResourceScope::CurrentResourceHandle() ==
                        ModuleResourceScope::ModuleFile(),
                    viewer->parentWidget(),
                    viewer->PageText(),
                    viewer->FriendID()};
            QTest::mouseClick(viewer->ControlButton(IDC_HISTORY_CLOSE), Qt::LeftButton);
        }
    });
    QTest::mouseClick(historyButton, Qt::LeftButton);
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.modal);
    EXPECT_TRUE(seen.ownWindow);
    EXPECT_TRUE(seen.moduleResources);
    EXPECT_EQ(seen.parent, nullptr);
    EXPECT_EQ(seen.pageText, QStringLiteral("1/1"));
    EXPECT_EQ(seen.friendID, 502);
    EXPECT_EQ(ModuleResourceScope::CurrentResourceHandle(), ModuleResourceScope::HostExecutable());
    QTRY_COMPARE(QApplication::activeWindow(), chat);
}

TEST_F(HistoryViewer, WithoutItsDisplayTheViewerSaysWhyAndCloses) {
    Store(3);
    QTemporaryDir empty;
    // No component object is alive, so the libraries may be let go of and looked for elsewhere.
    ChatComponentLibraries::Release();
    ChatComponentLibraries::SetDirectory(empty.path().toStdString());
    {
        auto viewer = Open();
        ASSERT_FALSE(m_boxes.boxes.empty());
        EXPECT_TRUE(m_boxes.boxes.back().text.startsWith(QStringLiteral("libkivra.so 加载失败")));
        QTRY_VERIFY(!viewer->isVisible());
        Click(*viewer, IDC_HISTORY_NEXT_PAGE);
        EXPECT_TRUE(viewer->RecordView()->toPlainText().isEmpty());
    }
    ChatComponentLibraries::Release();
    ChatComponentLibraries::SetDirectory({});
}

TEST_F(HistoryViewer, ACorruptHistoryIsReportedOnceHoweverOftenItIsRead) {
    QFile corrupt(QString::fromStdString(HistoryPath(502)));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(corrupt).path()));
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
    corrupt.write(QByteArray(4096, 'x'));
    corrupt.close();
    for (int opened = 0; opened < 2; ++opened) {
        auto viewer = Open();
        for (int button : {IDC_HISTORY_NEXT_PAGE, IDC_HISTORY_LAST_PAGE, IDC_HISTORY_FIRST_PAGE})
            Click(*viewer, button);
    }
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(m_boxes.boxes[0].caption, QString::fromUtf8("程序异常"));
    EXPECT_TRUE(m_boxes.boxes[0].text.endsWith(QString::fromStdString(HistoryPath(502))));
}

} // namespace pellix
