// Skinned controls: the button's state slices, the edit box's limits, the rich view, the menu.

#include "SkinTestImages.h"
#include "skin/SkinButton.h"
#include "skin/SkinEdit.h"
#include "skin/SkinMenu.h"
#include "skin/SkinRichEdit.h"

#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QColor kNormal(10, 20, 30);
const QColor kHover(40, 50, 60);
const QColor kPressed(70, 80, 90);
const QColor kFocus(100, 110, 120);
const QColor kDisabled(130, 140, 150);

QColor ColorDrawnBy(QWidget& widget) {
    return widget.grab().toImage().pixelColor(2, 2);
}

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString strip = WriteStrip(dir, QStringLiteral("btn.png"),
                                         {kNormal, kHover, kPressed, kFocus, kDisabled}, 20, 12);
        ASSERT_TRUE(button.SetButtonImage(strip, false, 5, 0x00FF00FF));
        host.resize(100, 60);
        button.setGeometry(10, 10, 40, 20);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    QTemporaryDir dir;
    QWidget host;
    CSkinButton button{&host};
};

TEST_F(SkinButtonTest, EachStateDrawsItsOwnSlice) {
    EXPECT_EQ(button.SliceRect(CSkinButton::StateHover), QRect(20, 0, 20, 12));
    button.clearFocus();
    EXPECT_EQ(ColorDrawnBy(button), kNormal);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(15, 15));
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(button.CurrentState(), CSkinButton::StateHover);
    EXPECT_EQ(ColorDrawnBy(button), kHover);

    button.setDown(true);
    EXPECT_EQ(ColorDrawnBy(button), kPressed);
    button.setDown(false);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    button.setFocus();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return button.hasFocus(); }));
    EXPECT_EQ(ColorDrawnBy(button), kFocus);

    button.setEnabled(false);
    EXPECT_EQ(ColorDrawnBy(button), kDisabled);
}

TEST_F(SkinButtonTest, AStripWithFewerSlicesFallsBackToNormal) {
    const QString strip = WriteStrip(dir, QStringLiteral("two.png"), {kNormal, kHover}, 20, 12);
    button.SetButtonImage(strip, false, 2, 0x00FF00FF);
    button.setEnabled(false);
    EXPECT_EQ(ColorDrawnBy(button), kNormal);
}

TEST_F(SkinButtonTest, ClickEmitsClickedOnlyWhenEnabled) {
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}

TEST(SkinEditTest, LimitHoldsForTypingPastingAndInsertion) {
    CSkinEdit edit;
    edit.SetMultiLine(true);
    edit.LimitText(5);
    edit.show();
    QTest::keyClicks(&edit, QStringLiteral("abcdefg"));
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("abcde"));

    edit.SetWindowText(QString());
    QTest::keyClicks(&edit, QStringLiteral("ab"));
    edit.ReplaceSel(QStringLiteral("[微笑][大笑]"), false);
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("ab[微笑"));

    edit.LimitText(2);
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("ab"));
}

TEST(SkinEditTest, OneLineBoxKeepsOneLineAndLeavesEnterToItsWindow) {
    QWidget window;
    CSkinEdit edit(&window);
    window.show();
    edit.setFocus();
    edit.ReplaceSel(QStringLiteral("one\ntwo"), true);
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("one two"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&edit, &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("one two"));

    edit.SetMultiLine(true);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_TRUE(edit.GetWindowText().contains(QLatin1Char('\n')));
}

TEST(SkinRichEditTest, BodiesAreIndentedAndTheTextIsSaved) {
    CSkinRichEdit view;
    view.AppendText(QStringLiteral("小明 12:00:00"), Qt::blue);
    view.BeginMessageBody();
    view.AppendText(QStringLiteral("你好"), Qt::black);
    view.EndMessageBody();
    view.AddLine();
    view.AppendText(QStringLiteral("next"), Qt::black);
    EXPECT_EQ(view.document()->blockCount(), 4);
    EXPECT_EQ(view.document()->findBlockByNumber(0).blockFormat().leftMargin(), 0.0);
    EXPECT_GT(view.document()->findBlockByNumber(1).blockFormat().leftMargin(), 0.0);
    EXPECT_EQ(view.document()->findBlockByNumber(3).blockFormat().leftMargin(), 0.0);
    EXPECT_EQ(view.document()->findBlockByNumber(1).begin().fragment().charFormat().foreground(),
              QBrush(Qt::black));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.txt"));
    ASSERT_TRUE(view.SaveToFile(path));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), QStringLiteral("小明 12:00:00\n你好\n\nnext"));
    EXPECT_FALSE(view.SaveToFile(dir.filePath(QStringLiteral("missing/x.txt"))));

    view.BeginMessageBody();
    view.Clear();
    view.AppendText(QStringLiteral("after clear"), Qt::black);
    EXPECT_EQ(view.document()->firstBlock().blockFormat().leftMargin(), 0.0);
}

TEST(SkinRichEditTest, AViewAtItsEndFollowsNewText) {
    CSkinRichEdit view;
    view.resize(200, 80);
    view.show();
    for (int line = 0; line < 60; ++line)
        view.AppendText(QStringLiteral("line %1").arg(line), Qt::black);
    QScrollBar* bar = view.verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->maximum() > 0; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() == bar->maximum(); }));

    view.m_bNoAutoScroll = true;
    bar->setValue(0);
    for (int line = 0; line < 20; ++line)
        view.AppendText(QStringLiteral("more %1").arg(line), Qt::black);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->value(), 0);
}

TEST(SkinMenuTest, TrackingReturnsTheChosenItemsId) {
    CSkinMenu menu;
    menu.SetMenuColors(0x00FF9966, 0x00FCE4C6, 0x00DEC040, 0x00CD8607);
    menu.AddSideBar(CSkinMenuSideBar(12, QStringLiteral("棋牌游戏")));
    menu.AppendODMenu(0, CSkinMenuText(QStringLiteral("header"), 0x00811E07));
    menu.AppendSeparator();
    menu.AppendODMenu(1124, CSkinMenuText(QStringLiteral("按Enter键发送消息"), 0x00811E07));
    menu.AppendODMenu(1125, CSkinMenuText(QStringLiteral("按Ctrl+Enter键发送消息"), 0x00811E07));
    menu.CheckMenuItem(1125, true);
    ASSERT_NE(menu.FindItem(1125), nullptr);
    EXPECT_TRUE(menu.FindItem(1125)->isChecked());
    EXPECT_FALSE(menu.FindItem(1124)->isChecked());
    EXPECT_EQ(menu.FindItem(999), nullptr);

    QTimer::singleShot(0, &menu, [&menu] {
        menu.setActiveAction(menu.FindItem(1124));
        QTest::keyClick(&menu, Qt::Key_Return);
    });
    EXPECT_EQ(menu.TrackPopupMenu(QPoint(10, 10)), 1124);

    QTimer::singleShot(0, &menu, [&menu] { QTest::keyClick(&menu, Qt::Key_Escape); });
    EXPECT_EQ(menu.TrackPopupMenu(QPoint(10, 10)), 0);
}

} // namespace
