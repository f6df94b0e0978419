// Emoticons and text in a chat window on the real libkivra.so: picks go into the input box at the
// caret within its limit, VIP picks are refused, codes become pictures in the view and go out as
// text, and whatever a peer writes is shown as text.

#include "ChatTestSupport.h"
#include "EmotionTable.h"
#include "WindowFixture.h"
#include "records/FriendCommands.h"
#include "skin/SkinButton.h"
#include "skin/SkinEdit.h"
#include "skin/SkinRichEdit.h"
#include "storage/ChatHistoryManager.h"
#include "text/StringUtility.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QApplication>
#include <QtTest>

namespace pellix {

namespace {

// The picker's grid, as the library lays it out: 12 columns, 8 rows, in the emoticons' order.
constexpr int kPickerColumns = 12;
constexpr int kPickerRows = 8;

QString Code(int index) {
    return EmotionTable::Code(index);
}

QWidget* ShownPopup() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowType() == Qt::Popup)
            return window;
    return nullptr;
}

class EmoticonChat : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(LinkRuntimeData());
        SignOnWith({Friend(502, "小明", true)});
        chat = m_windows.OpenChatWindow(502);
        ASSERT_NE(chat->EmotionSelector(), nullptr);
        m_requests.sent.clear();
    }

    CSkinEdit& Input() { return *chat->InputBox(); }
    void Pick(int index) {
        chat->OnEmotionSelected(index, StringUtility::QStringToAnsi(Code(index)).c_str());
    }
    // Puts text in the input box and selects from..to (the caret at to).
    void Edit(const QString& text, int from, int to) {
        Input().setPlainText(text);
        QTextCursor cursor = Input().textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        Input().setTextCursor(cursor);
    }
    QTextBlock LastParagraph() const { return Paragraphs(*chat->DisplayView()->document()).back(); }

    CFriendChatDlg* chat = nullptr;
};

} // namespace

TEST_F(EmoticonChat, AFreePickGoesInAtTheCaretAndAVipPickOnlyShowsTheVipBox) {
    Edit(QStringLiteral("ab"), 1, 1);
    Pick(65);
    EXPECT_EQ(Input().toPlainText(), QStringLiteral("a") + Code(65) + QStringLiteral("b"));
    EXPECT_EQ(chat->focusWidget(), &Input());
    // A selection is replaced.
    Edit(QStringLiteral("abc"), 1, 2);
    Pick(0);
    EXPECT_EQ(Input().toPlainText(), QStringLiteral("a") + Code(0) + QStringLiteral("c"));
    EXPECT_TRUE(m_boxes.boxes.empty());

    Pick(66);
    EXPECT_EQ(Input().toPlainText(), QStringLiteral("a") + Code(0) + QStringLiteral("c"));
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(m_boxes.boxes[0].owner, chat);
    EXPECT_EQ(m_boxes.boxes[0].text, QStringLiteral("不能够使用VIP表情！"));
    EXPECT_TRUE(m_boxes.boxes[0].caption.isEmpty());
    EXPECT_EQ(m_boxes.boxes[0].style, 0u);
    EXPECT_EQ(m_boxes.boxes[0].autoCloseSeconds, 5u);
    EXPECT_FALSE(m_boxes.boxes[0].notice);
}

TEST_F(EmoticonChat, TheButtonOpensThePickerAtItsCornerAndAClickedCellGoesIntoTheInput) {
    chat->move(0, 0);
    QTest::mouseClick(chat->EmotionButton(), Qt::LeftButton);
    QWidget* picker = ShownPopup();
    ASSERT_NE(picker, nullptr);
    const CSkinButton* button = chat->EmotionButton();
    EXPECT_EQ(picker->pos(), button->mapToGlobal(QPoint(button->width(), button->height())));

    const int index = kPickerColumns + 1;
    const QSize cell(picker->width() / kPickerColumns, picker->height() / kPickerRows);
    QTest::mouseClick(picker, Qt::LeftButton, {},
                      QPoint(cell.width() * 3 / 2, cell.height() * 3 / 2));
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(Input().toPlainText(), Code(index));
}

// A code cut at the limit would go out as broken text: an insert goes in whole or not at all.
TEST_F(EmoticonChat, AnInsertThatWouldPassTheTwoHundredCharactersIsRefusedWhole) {
    ASSERT_EQ(Code(0).size(), 4);
    ASSERT_EQ(Code(1).size(), 4);
    const QString filler(196, QLatin1Char('z'));
    Edit(filler, 196, 196);
    Pick(0);
    EXPECT_EQ(Input().toPlainText(), filler + Code(0));
    Pick(1);
    EXPECT_EQ(Input().toPlainText(), filler + Code(0));

    // Replacing a selection counts what it frees.
    Edit(filler + Code(0), 196, 200);
    Pick(1);
    EXPECT_EQ(Input().toPlainText(), filler + Code(1));
    Edit(filler + Code(1), 197, 200);
    Pick(0);
    EXPECT_EQ(Input().toPlainText(), filler + Code(1));

    Edit(QString(197, QLatin1Char('z')), 197, 197);
    Pick(0);
    EXPECT_EQ(Input().toPlainText(), QString(197, QLatin1Char('z')));
}

TEST_F(EmoticonChat, APeersMarkupTagsAndEntitiesAreShownAsTextInTheBodyColour) {
    for (const QString& text :
         {QStringLiteral("/<c=#FF0000>红"), QStringLiteral("<b>粗</b>"), QStringLiteral("&amp;"),
          QStringLiteral("/<c=#FF0000><i>&lt;红&gt;</i>")}) {
        const std::string gbk = StringUtility::QStringToAnsi(text);
        std::vector<uint8_t> tail(gbk.begin(), gbk.end());
        tail.push_back(0);
        Receive(SUB_S_CHAT_MESSAGE, IdBody(502, tail));
        const QTextBlock body = LastParagraph();
        EXPECT_EQ(body.text(), text);
        EXPECT_EQ(PictureCount(body), 0);
        for (auto piece = body.begin(); !piece.atEnd(); ++piece) {
            const QTextCharFormat format = piece.fragment().charFormat();
            EXPECT_EQ(format.foreground().color(), QColor(Qt::black)) << text.toStdString();
            EXPECT_FALSE(format.font().bold());
            EXPECT_FALSE(format.font().italic());
        }
    }
}

TEST_F(EmoticonChat, TwoCodesBecomeTwoPicturesInTheViewAndGoOutAndAreStoredAsText) {
    Input().ReplaceSel(QStringLiteral("看"), false);
    Pick(0);
    Input().ReplaceSel(QStringLiteral("和"), false);
    Pick(1);
    const QString text = QStringLiteral("看") + Code(0) + QStringLiteral("和") + Code(1);
    ASSERT_EQ(Input().toPlainText(), text);
    chat->SendChatMessage();

    const QTextBlock body = LastParagraph();
    EXPECT_EQ(PictureCount(body), 2);
    EXPECT_EQ(body.text(), QStringLiteral("看\uFFFC和\uFFFC"));
    const std::string gbk = StringUtility::QStringToAnsi(text);
    EXPECT_EQ(m_requests.sent, std::vector<std::string>{"chat 502 " + gbk});
    const auto rows = m_history.GetMessages(502, 20, 0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].strMessage, gbk);
}

} // namespace pellix
