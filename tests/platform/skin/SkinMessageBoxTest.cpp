// The skinned message box: it is what ShowSkinMessageBox shows, closes itself after its time,
// and stays when no time is given.

#include "skin/SkinMessageBox.h"
#include "skin/SkinButton.h"
#include "skin/SkinMessageBoxDlg.h"
#include "text/StringUtility.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(SkinMessageBoxTest, ShowSkinMessageBoxShowsTheSkinnedBoxThatClosesItself) {
    QString seenText;
    QString seenCaption;
    unsigned int seenStyle = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<CSkinMessageBoxDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->Text();
        seenCaption = box->windowTitle();
        seenStyle = box->Style();
    });
    const int result =
        ShowSkinMessageBox(nullptr, StringUtility::QStringToAnsi(QStringLiteral("删除成功！")),
                           StringUtility::QStringToAnsi(QStringLiteral("好友服务")), 16, 1);
    EXPECT_EQ(result, CSkinMessageBoxDlg::IDOK);
    EXPECT_EQ(seenText, QStringLiteral("删除成功！"));
    EXPECT_EQ(seenCaption, QStringLiteral("好友服务"));
    EXPECT_EQ(seenStyle, MB_STYLE_ERROR);
}

TEST(SkinMessageBoxTest, WithoutATimeTheBoxWaitsForTheUser) {
    CSkinMessageBoxDlg box(nullptr, QStringLiteral("该功能暂未开放！"), QString(), 48, 0);
    QSignalSpy finished(&box, &QDialog::finished);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_FALSE(box.IsAutoClosing());
    EXPECT_TRUE(box.isVisible());

    const auto buttons = box.findChildren<CSkinButton*>();
    const auto ok = std::find_if(buttons.begin(), buttons.end(), [](CSkinButton* button) {
        return button->text() == QStringLiteral("确定");
    });
    ASSERT_NE(ok, buttons.end());
    QTest::mouseClick(*ok, Qt::LeftButton);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), CSkinMessageBoxDlg::IDOK);
    EXPECT_FALSE(box.isVisible());
}

TEST(SkinMessageBoxTest, TimedBoxFinishesOnItsOwnAndEscCancels) {
    CSkinMessageBoxDlg timed(nullptr, QStringLiteral("已经成功删除聊天记录！"), QString(), 0, 1);
    QSignalSpy finished(&timed, &QDialog::finished);
    timed.show();
    EXPECT_TRUE(timed.IsAutoClosing());
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.at(0).at(0).toInt(), CSkinMessageBoxDlg::IDOK);

    CSkinMessageBoxDlg box(nullptr, QStringLiteral("x"), QString(), 0, 0);
    QSignalSpy cancelled(&box, &QDialog::finished);
    box.show();
    QTest::keyClick(&box, Qt::Key_Escape);
    ASSERT_EQ(cancelled.count(), 1);
    EXPECT_EQ(cancelled.at(0).at(0).toInt(), CSkinMessageBoxDlg::IDCANCEL);
}

} // namespace
