#include "ServiceFixture.h"
#include "records/FriendCommands.h"
#include "skin/SkinButton.h"
#include "skin/SkinEdit.h"
#include "skin/SkinMenu.h"
#include "skin/SkinMessageBoxDlg.h"
#include "skin/SkinOutBarCtrlEx.h"
#include "storage/ContactManager.h"
#include "ui/friendlist/FriendEditNoteNameDlg.h"
#include "ui/friendlist/FriendMainDlg.h"
#include "ui/friendlist/FriendSystemOptionDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace pellix {

namespace {

class NoteNameWindow : public ServiceFixture {
protected:
    CContactManager& Contacts() { return *CContactManager::GetInstance(); }
    CFriendWindowManager& Windows() { return *CFriendWindowManager::GetInstance(); }
    CFriendMainDlg& Main() { return *Windows().GetMainWindow(); }
    CSkinOutBarCtrlEx& List() { return *Main().ListControl(); }

    void SignOnAndSelect503() {
        SignOnWith({Friend(502, "小明", true), Friend(503, "ann88", false)});
        m_pService->ShowFriendWindow(false);
        List().SetSelTab(0);
        Main().SelectItem(List().FindItemByUserData(0, 503));
    }
    // Runs the note-name command; once its window waits for the user, act on it.
    void EditNoteName(const std::function<void(CFriendEditNoteNameDlg&)>& act) {
        bool acted = false;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<CFriendEditNoteNameDlg*>(QApplication::activeModalWidget());
            if (window == nullptr)
                return;
            acted = true;
            act(*window);
        });
        Main().OnCommand(1128);
        EXPECT_TRUE(acted) << "the note-name window did not wait for the user";
    }
    QString Shown503() { return List().GetItemText(0, List().FindItemByUserData(0, 503)); }
    QByteArray StoredBytes() {
        QByteArray bytes;
        for (const char* suffix : {"", "-wal"}) {
            QFile file(m_workDir.Path() + QStringLiteral("/Profile/501/contacts.data") +
                       QLatin1String(suffix));
            if (file.open(QIODevice::ReadOnly))
                bytes += file.readAll();
        }
        return bytes;
    }
};

} // namespace

TEST_F(NoteNameWindow, OpensWithTheNoteNameAndTheNewNameShowsAtOnceAndLasts) {
    SignOnAndSelect503();
    Contacts().FindContact(503)->noteName = "Ann";
    EditNoteName([](CFriendEditNoteNameDlg& window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("修改备注姓名"));
        EXPECT_EQ(window.size(), QSize(235, 165));
        EXPECT_EQ(window.NoteNameEdit()->geometry(), QRect(14, 72, 206, 20));
        EXPECT_EQ(window.OkButton()->pos(), QPoint(83, 133));
        EXPECT_EQ(window.CancelButton()->pos(), QPoint(159, 133));
        EXPECT_EQ(window.NoteNameEdit()->toPlainText(), QStringLiteral("Ann"));
        EXPECT_EQ(window.focusWidget(), window.NoteNameEdit());
        window.NoteNameEdit()->clear();
        QTest::keyClicks(window.NoteNameEdit(), QStringLiteral("Ann Lee"));
        QTest::mouseClick(window.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(Contacts().FindContact(503)->noteName, "Ann Lee");
    EXPECT_EQ(Shown503(), QStringLiteral("Ann Lee"));
    EXPECT_TRUE(m_socket.sent.empty()) << "note names stay on this computer";

    Restart();
    SignOnWith({Friend(502, "小明", true), Friend(503, "ann88", false)});
    m_pService->ShowFriendWindow(false);
    EXPECT_EQ(Contacts().FindContact(503)->noteName, "Ann Lee");
    EXPECT_EQ(Shown503(), QStringLiteral("Ann Lee"));
}

TEST_F(NoteNameWindow, EnterOnAnEmptyBoxBringsTheNicknameBack) {
    SignOnAndSelect503();
    Contacts().FindContact(503)->noteName = "Ann";
    Contacts().SaveContact(Contacts().FindContact(503));
    EXPECT_EQ(Shown503(), QStringLiteral("Ann"));
    EditNoteName([](CFriendEditNoteNameDlg& window) {
        window.NoteNameEdit()->clear();
        QTest::keyClick(window.NoteNameEdit(), Qt::Key_Return);
    });
    EXPECT_TRUE(Contacts().FindContact(503)->noteName.empty());
    EXPECT_EQ(Shown503(), QStringLiteral("ann88"));
}

TEST_F(NoteNameWindow, CancelAndEscapeWriteNothing) {
    SignOnAndSelect503();
    Contacts().FindContact(503)->noteName = "Ann";
    Contacts().SaveContact(Contacts().FindContact(503));
    const QByteArray before = StoredBytes();
    ASSERT_FALSE(before.isEmpty());
    EditNoteName([](CFriendEditNoteNameDlg& window) {
        QTest::keyClicks(window.NoteNameEdit(), QStringLiteral("xyz"));
        QTest::mouseClick(window.CancelButton(), Qt::LeftButton);
    });
    EditNoteName([](CFriendEditNoteNameDlg& window) {
        QTest::keyClicks(window.NoteNameEdit(), QStringLiteral("xyz"));
        QTest::keyClick(window.NoteNameEdit(), Qt::Key_Escape);
    });
    EXPECT_EQ(StoredBytes(), before);
    EXPECT_EQ(Contacts().FindContact(503)->noteName, "Ann");
    EXPECT_EQ(Shown503(), QStringLiteral("Ann"));
}

TEST_F(NoteNameWindow, AReloadWhileTheWindowIsOpenFindsTheContactAgain) {
    SignOnAndSelect503();
    EditNoteName([this](CFriendEditNoteNameDlg& window) {
        // A reconnect whose stored list is current replaces every contact record.
        ReceiveWritten(SUB_S_ONLINE_STATES, [](CCommandStream& stream) {
            stream.WriteInt32(1);
            WriteList(stream, std::vector<OnlineStateEntry>{{503, STATE_ONLINE}},
                      WriteOnlineStateEntry);
        });
        QTest::keyClicks(window.NoteNameEdit(), QStringLiteral("Ann"));
        window.OkButton()->click();
    });
    ASSERT_NE(Contacts().FindContact(503), nullptr);
    EXPECT_EQ(Contacts().FindContact(503)->noteName, "Ann");
}

TEST_F(NoteNameWindow, AContactGoneBeforeTheCommandOpensNothing) {
    SignOnAndSelect503();
    Contacts().RemoveContact(503);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* window = QApplication::activeModalWidget()) {
            opened = true;
            window->close();
        }
    });
    Main().OnCommand(1128);
    QCoreApplication::processEvents();
    EXPECT_FALSE(opened);
}

// CloseFriendWindows may come (from the host) while a window of the friend list waits for the
// user in its own loop: the friend list goes, the waiting window ends, and nothing is left open.
class ClosingWhileWaiting : public NoteNameWindow {
protected:
    // Starts wait(), and closes every window of the module once it waits.
    void CloseAllDuring(const std::function<void()>& wait) {
        QPointer<QWidget> waiting;
        bool sawWaiting = false;
        QTimer::singleShot(0, [&] {
            waiting = QApplication::activeModalWidget() != nullptr
                          ? QApplication::activeModalWidget()
                          : QApplication::activePopupWidget();
            sawWaiting = !waiting.isNull();
            m_pService->CloseFriendWindows();
        });
        wait();
        EXPECT_TRUE(sawWaiting);
        EXPECT_TRUE(waiting.isNull() || !waiting->isVisible());
        EXPECT_EQ(Windows().GetMainWindow(), nullptr);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
};

TEST_F(ClosingWhileWaiting, TheNoteNameWindowEndsWithTheFriendList) {
    SignOnAndSelect503();
    CloseAllDuring([this] { Main().OnCommand(1128); });
    EXPECT_TRUE(Contacts().FindContact(503)->noteName.empty());
}

TEST_F(ClosingWhileWaiting, TheSettingsWindowEndsWithTheFriendList) {
    SignOnAndSelect503();
    CloseAllDuring([this] { Main().OptionButton()->click(); });
}

TEST_F(ClosingWhileWaiting, AMessageBoxEndsWithTheFriendList) {
    SignOnAndSelect503();
    // The skinned box itself, not the recorder.
    SetMessageBoxPresenter(nullptr);
    CloseAllDuring([this] { Main().OnCommand(1125); });
    SetMessageBoxPresenter(&m_boxes);
}

TEST_F(ClosingWhileWaiting, TheContextMenuEndsWithTheFriendList) {
    SignOnAndSelect503();
    QPointer<CFriendMainDlg> main = &Main();
    const QPoint at = List().ItemViewport()->mapFrom(
        &List(), List().ItemRect(List().FindItemByUserData(0, 503)).center());
    QTest::mouseClick(List().ItemViewport(), Qt::RightButton, Qt::NoModifier, at);
    CloseAllDuring([&] { EXPECT_TRUE(QTest::qWaitFor([&] { return main.isNull(); })); });
}

} // namespace pellix
