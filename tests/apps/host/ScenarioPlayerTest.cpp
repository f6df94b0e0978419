#include "ScenarioPlayer.h"
#include "FakeFriendWindows.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Shows a menu when the list's viewport gets a right button press, as the friend list does.
class MenuOnRightClick final : public QObject {
public:
    explicit MenuOnRightClick(QMenu& menu) : m_menu(menu) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
            QTimer::singleShot(0, &m_menu, [this] { m_menu.popup(QPoint(10, 10)); });
        return QObject::eventFilter(watched, event);
    }

private:
    QMenu& m_menu;
};

class ScenarioPlayerTest : public ::testing::Test {
protected:
    // Plays script against the fake windows and returns the exit code it finished with.
    int Play(const QString& script, std::chrono::milliseconds stepTimeout = 5s) {
        QString error;
        auto steps = ParseScenario(script, error);
        EXPECT_TRUE(steps.has_value()) << error.toStdString();
        ScenarioPlayer player(std::move(*steps),
                              {QStringLiteral("alice"), &windows.host, shots.path()}, out, err);
        player.SetStepTimeout(stepTimeout);
        QSignalSpy finished(&player, &ScenarioPlayer::finished);
        player.Start();
        EXPECT_TRUE(finished.wait(20000));
        return finished.isEmpty() ? -1 : finished.first().first().toInt();
    }

    FakeFriendWindows windows;
    QTemporaryDir shots;
    QString printed;
    QString failure;
    QTextStream out{&printed};
    QTextStream err{&failure};
};

} // namespace

TEST_F(ScenarioPlayerTest, ChatsThroughTheWindowsAndTakesScreenshots) {
    windows.AddFriend(QStringLiteral("Carol"), false);
    windows.AddFriend(QStringLiteral("Bob"), true);
    const int code = Play(QStringLiteral("show-friends\nwait-friend Carol\nwait-online Bob\n"
                                         "open-chat Bob\ntype 你好, Bob!\nsend\n"
                                         "wait-message 你好, Bob!\nscreenshot end\n"));
    EXPECT_EQ(code, 0) << failure.toStdString();
    FakeChatWindow* chat = windows.Chat(QStringLiteral("Bob"));
    EXPECT_TRUE(chat->isVisible());
    EXPECT_EQ(chat->view->toPlainText(), QStringLiteral("你好, Bob!"));
    EXPECT_TRUE(chat->input->toPlainText().isEmpty());
    EXPECT_TRUE(printed.contains(QStringLiteral("alice: sent to Bob: 你好, Bob!")));
    EXPECT_TRUE(printed.contains(QStringLiteral("alice: scenario passed: 8 steps")));
    const QStringList files = QDir(shots.path()).entryList({QStringLiteral("*.png")});
    EXPECT_TRUE(files.contains(QStringLiteral("end-host.png"))) << files.join(u' ').toStdString();
    EXPECT_TRUE(files.contains(QStringLiteral("end-friendlist.png")));
    EXPECT_TRUE(files.contains(QStringLiteral("end-chat-Bob.png")));
}

TEST_F(ScenarioPlayerTest, OpensTheModalHistoryTakesItsScreenshotAndClosesIt) {
    windows.AddFriend(QStringLiteral("Bob"), true);
    const int code = Play(QStringLiteral("show-friends\nopen-chat Bob\ntype hello\nsend\n"
                                         "open-history\nscreenshot h\nclose-history\n"
                                         "type again\nsend\n"));
    EXPECT_EQ(code, 0) << failure.toStdString();
    FakeChatWindow* chat = windows.Chat(QStringLiteral("Bob"));
    EXPECT_EQ(chat->historyRuns, 1);
    EXPECT_EQ(chat->view->toPlainText(), QStringLiteral("hello\nagain"));
    EXPECT_TRUE(
        printed.contains(QStringLiteral("alice: opened the chat history with Bob: 1 lines")));
    EXPECT_TRUE(printed.contains(QStringLiteral("alice: closed the chat history")));
    const QStringList files = QDir(shots.path()).entryList({QStringLiteral("*.png")});
    EXPECT_TRUE(files.contains(QStringLiteral("h-history.png"))) << files.join(u' ').toStdString();
    EXPECT_TRUE(files.contains(QStringLiteral("h-chat-Bob.png")));
}

TEST_F(ScenarioPlayerTest, ClosingAHistoryThatIsNotShownFails) {
    const int code = Play(QStringLiteral("close-history\n"));
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(failure.contains(QStringLiteral("line 1: close-history: no chat history is shown")))
        << failure.toStdString();
}

TEST_F(ScenarioPlayerTest, WaitsWhileTheEventLoopRunsForPresenceAndMessages) {
    windows.AddFriend(QStringLiteral("Bob"), false);
    windows.friendList.show();
    FakeChatWindow* chat = windows.Chat(QStringLiteral("Bob"));
    QTimer::singleShot(100, &windows.friendList, [&] {
        windows.SetOnline(QStringLiteral("Bob"), true);
        chat->show();
        chat->view->append(QStringLiteral("晚上好"));
    });
    const int code = Play(QStringLiteral("wait-offline Bob\nwait-online Bob\nwait-chat Bob\n"
                                         "wait-message 晚上好\n"));
    EXPECT_EQ(code, 0) << failure.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("alice: reads from Bob: 晚上好")));
}

TEST_F(ScenarioPlayerTest, ATimeoutNamesTheLineTheStepAndWhatWasMissing) {
    windows.AddFriend(QStringLiteral("Bob"), false);
    const int code = Play(QStringLiteral("show-friends\n# then\nwait-online Bob\nquit\n"), 300ms);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(failure.startsWith(
        QStringLiteral("scenario failed at line 3: wait-online Bob: timed out after 0.3 s: "
                       "Bob is shown offline")))
        << failure.toStdString();
    EXPECT_FALSE(printed.contains(QStringLiteral("scenario passed")));
}

TEST_F(ScenarioPlayerTest, RefusesToSendNothingAndStopsAtQuit) {
    windows.AddFriend(QStringLiteral("Bob"), true);
    EXPECT_EQ(Play(QStringLiteral("show-friends\nopen-chat Bob\nsend\n")), 1);
    EXPECT_TRUE(failure.contains(QStringLiteral("line 3: send: the input box is empty")));
    EXPECT_TRUE(windows.Chat(QStringLiteral("Bob"))->view->toPlainText().isEmpty());

    failure.clear();
    EXPECT_EQ(Play(QStringLiteral("quit\nwait-window never\n")), 0);
    EXPECT_TRUE(failure.isEmpty());
}

TEST_F(ScenarioPlayerTest, StepsNeedTheirWindowsAndAFolderForScreenshots) {
    EXPECT_EQ(Play(QStringLiteral("type hello\n"), 200ms), 1);
    EXPECT_TRUE(failure.contains(QStringLiteral("no chat was opened")));
    failure.clear();
    ScenarioPlayer player(*ParseScenario(QStringLiteral("screenshot x\n"), failure),
                          {QStringLiteral("bob"), &windows.host, QString()}, out, err);
    QSignalSpy finished(&player, &ScenarioPlayer::finished);
    player.Start();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.first().first().toInt(), 1);
    EXPECT_TRUE(failure.contains(QStringLiteral("--screenshots")));
}

// A click that opens a modal window runs a nested event loop inside the step: the step's
// timeout still ends the run.
TEST_F(ScenarioPlayerTest, AModalWindowOpenedByAStepStillTimesOut) {
    windows.AddFriend(QStringLiteral("Bob"), true);
    FakeChatWindow* chat = windows.Chat(QStringLiteral("Bob"));
    QDialog modal;
    QObject::disconnect(chat->send, nullptr, nullptr, nullptr);
    QObject::connect(chat->send, &QAbstractButton::clicked, &modal, &QDialog::exec);
    QString error;
    ScenarioPlayer player(*ParseScenario(QStringLiteral("show-friends\nopen-chat Bob\ntype x\n"
                                                        "send\n"),
                                         error),
                          {QStringLiteral("alice"), &windows.host, QString()}, out, err);
    player.SetStepTimeout(300ms);
    QObject::connect(&player, &ScenarioPlayer::finished, &modal, &QDialog::reject);
    QSignalSpy finished(&player, &ScenarioPlayer::finished);
    player.Start();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(finished.first().first().toInt(), 1);
    EXPECT_TRUE(failure.contains(QStringLiteral("line 4: send: timed out")))
        << failure.toStdString();
}

TEST_F(ScenarioPlayerTest, PicksAnEmoticonInThePickerAndWaitsForItsPicture) {
    windows.AddFriend(QStringLiteral("Bob"), true);
    const int code = Play(QStringLiteral("show-friends\nopen-chat Bob\ntype hi\nopen-emoticons\n"
                                         "screenshot picker\npick-emoticon 13\nsend\n"
                                         "wait-emoticons 1\n"));
    EXPECT_EQ(code, 0) << failure.toStdString();
    FakeChatWindow* chat = windows.Chat(QStringLiteral("Bob"));
    EXPECT_FALSE(chat->picker.isVisible());
    EXPECT_EQ(chat->view->toPlainText(), QStringLiteral("hi\uFFFC"));
    EXPECT_TRUE(
        printed.contains(QStringLiteral("alice: picked emoticon 13: the input box shows hi[13]")));
    EXPECT_TRUE(
        printed.contains(QStringLiteral("alice: sees 1 emoticon pictures in the chat with Bob")));
    const QStringList files = QDir(shots.path()).entryList({QStringLiteral("*.png")});
    EXPECT_TRUE(files.contains(QStringLiteral("picker-emoticons.png")))
        << files.join(u' ').toStdString();
}

TEST_F(ScenarioPlayerTest, EmoticonStepsNameWhatIsMissing) {
    windows.AddFriend(QStringLiteral("Bob"), true);
    EXPECT_EQ(Play(QStringLiteral("show-friends\nopen-chat Bob\npick-emoticon 1\n"), 300ms), 1);
    EXPECT_TRUE(failure.contains(QStringLiteral(
        "line 3: pick-emoticon 1: timed out after 0.3 s: the emoticon picker is not shown")))
        << failure.toStdString();

    failure.clear();
    EXPECT_EQ(Play(QStringLiteral("open-chat Bob\nopen-emoticons\npick-emoticon 96\n")), 1);
    EXPECT_TRUE(
        failure.contains(QStringLiteral("line 3: pick-emoticon 96: the picker has no emoticon 96")))
        << failure.toStdString();

    failure.clear();
    EXPECT_EQ(Play(QStringLiteral("open-chat Bob\nwait-emoticons 2\n"), 300ms), 1);
    EXPECT_TRUE(failure.contains(QStringLiteral("the chat with Bob shows 0 pictures")))
        << failure.toStdString();
}

TEST_F(ScenarioPlayerTest, WorksAContextMenuAndTheWindowItOpens) {
    windows.AddFriend(QStringLiteral("Bob"), true);
    windows.friendList.show();
    QMenu menu;
    menu.addAction(QStringLiteral("查看"));
    QAction* rename = menu.addAction(QStringLiteral("改名"));
    MenuOnRightClick filter(menu);
    windows.list->viewport()->installEventFilter(&filter);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("改名窗口"));
    auto* box = new QPlainTextEdit(&dialog);
    auto* ok = new QPushButton(QStringLiteral("确定"), &dialog);
    ok->move(0, 80);
    QObject::connect(ok, &QAbstractButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(rename, &QAction::triggered, &dialog, &QWidget::show);

    const int code = Play(QStringLiteral("show-friends\nright-click Bob\nscreenshot m\n"
                                         "choose 改名\ntype-in 改名窗口 老同学Bob\n"
                                         "press 改名窗口 确定\n"));
    EXPECT_EQ(code, 0) << failure.toStdString();
    EXPECT_EQ(box->toPlainText(), QStringLiteral("老同学Bob"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(printed.contains(QStringLiteral("alice: chose 改名")));
    EXPECT_TRUE(QDir(shots.path()).exists(QStringLiteral("m-menu.png")));

    EXPECT_EQ(Play(QStringLiteral("right-click Bob\nchoose 删除\n")), 1);
    EXPECT_TRUE(failure.contains(QStringLiteral("line 2: choose 删除: the menu has no item "
                                                "\"删除\"; it has \"查看\", \"改名\"")))
        << failure.toStdString();
    menu.hide();
}
