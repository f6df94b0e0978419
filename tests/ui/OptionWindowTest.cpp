#include "WindowFixture.h"
#include "resources/ResourceIds.h"
#include "skin/SkinButton.h"
#include "skin/SkinCheckBox.h"
#include "storage/FriendOptionManager.h"
#include "ui/friendlist/FriendSystemOptionDlg.h"

#include <QtTest>

namespace pellix {

namespace {

class OptionWindow : public WindowFixture {
protected:
    CFriendOptionManager& Manager() { return m_options; }
    FriendOption& Options() { return Manager().GetFriendOption(); }
    CSkinButton* Button(CFriendSystemOptionDlg& window, int controlId) {
        for (auto* button : window.findChildren<CSkinButton*>())
            if (button->property("controlId").toInt() == controlId)
                return button;
        return nullptr;
    }
};

} // namespace

TEST_F(OptionWindow, ShowsTheCurrentOptionsNotTheInitialValues) {
    Options() = FriendOption{true, false, true, false, true, false};
    CFriendSystemOptionDlg window(&Manager());
    window.show();
    const auto boxes = window.CheckBoxes();
    EXPECT_TRUE(boxes[0]->isChecked());
    EXPECT_FALSE(boxes[1]->isChecked());
    EXPECT_TRUE(boxes[2]->isChecked());
    EXPECT_FALSE(boxes[3]->isChecked());
    EXPECT_FALSE(boxes[4]->isChecked());
    EXPECT_EQ(boxes[4]->text(), QStringLiteral("开启好友声音"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("好友设置"));
}

TEST_F(OptionWindow, OkSavesTheBoxesAndKeepsTheSendKey) {
    Options().bEnterShortcut = true;
    Options().bOpenFriendSound = true;
    CFriendSystemOptionDlg window(&Manager());
    window.show();
    const auto boxes = window.CheckBoxes();
    QTest::mouseClick(boxes[4], Qt::LeftButton);
    QTest::mouseClick(boxes[1], Qt::LeftButton);
    QTest::mouseClick(Button(window, 1), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(Options().bOpenFriendSound);
    EXPECT_TRUE(Options().bRefuseOnlineTips);
    EXPECT_TRUE(Options().bEnterShortcut);
    // What was saved comes back from the file.
    Options() = FriendOption();
    ASSERT_TRUE(Manager().Load());
    EXPECT_FALSE(Options().bOpenFriendSound);
    EXPECT_TRUE(Options().bRefuseOnlineTips);
    EXPECT_TRUE(Options().bEnterShortcut);
}

TEST_F(OptionWindow, CancelAndCloseChangeNothing) {
    Options().bOpenFriendSound = true;
    for (int control : {IDC_OPTION_CANCEL, IDC_OPTION_CLOSE}) {
        CFriendSystemOptionDlg window(&Manager());
        window.show();
        QTest::mouseClick(window.CheckBoxes()[4], Qt::LeftButton);
        QTest::mouseClick(Button(window, control), Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
        EXPECT_TRUE(Options().bOpenFriendSound) << control;
    }
}

} // namespace pellix
