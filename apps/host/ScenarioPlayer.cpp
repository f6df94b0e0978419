#include "ScenarioPlayer.h"

#include "UserInput.h"
#include "WindowFinder.h"
#include "text/FileUtility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTextStream>
#include <QWidget>

namespace {

// VmRSS of this process from /proc, 0 where it cannot be read.
qint64 ResidentMemoryKB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

constexpr std::chrono::milliseconds kTickInterval{50};
// A tip that kept its place and size this many ticks has finished sliding in.
constexpr int kTipRisenTicks = 4;

QString FriendButtonText() {
    return QStringLiteral("好友列表");
}

QString SendButtonText() {
    return QStringLiteral("发送(&S)");
}

QString HistoryButtonTip() {
    return QStringLiteral("显示聊天记录");
}

QString CloseButtonTip() {
    return QStringLiteral("关闭");
}

} // namespace

ScenarioPlayer::ScenarioPlayer(std::vector<ScenarioStep> steps, Context context, QTextStream& out,
                               QTextStream& err, QObject* parent)
    : QObject(parent), m_steps(std::move(steps)), m_context(std::move(context)), m_out(out),
      m_err(err) {
    m_ticker.setInterval(kTickInterval);
    connect(&m_ticker, &QTimer::timeout, this, &ScenarioPlayer::OnTick);
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &ScenarioPlayer::OnWatchdog);
}

void ScenarioPlayer::Start() {
    m_runClock.start();
    BeginStep();
    m_ticker.start();
}

void ScenarioPlayer::BeginStep() {
    m_stepClock.start();
    m_bActed = false;
    m_tipGeometry = QRect();
    m_nTipStableTicks = 0;
    m_watchdog.start(m_stepTimeout);
}

bool ScenarioPlayer::TimedOut() const {
    return m_stepClock.hasExpired(m_stepTimeout.count());
}

void ScenarioPlayer::OnTick() {
    if (m_bFinished || m_bInStep)
        return;
    m_bInStep = true;
    while (!m_bFinished && m_nStep < m_steps.size()) {
        const Outcome outcome = Attempt(m_steps[m_nStep]);
        if (m_bFinished)
            break;
        if (outcome.status == Outcome::Failed) {
            Fail(outcome.detail);
            break;
        }
        if (outcome.status == Outcome::Pending) {
            if (TimedOut())
                Fail(QStringLiteral("timed out after %1 s: %2")
                         .arg(m_stepTimeout.count() / 1000.0)
                         .arg(outcome.detail));
            break;
        }
        ++m_nStep;
        BeginStep();
    }
    m_bInStep = false;
    if (!m_bFinished && m_nStep >= m_steps.size())
        Finish();
}

// A step may open a modal window whose own event loop keeps the step from returning (and Qt
// does not run the ticker again inside its own tick): this timer still ends the run, and the
// host's exit ends the nested loop.
void ScenarioPlayer::OnWatchdog() {
    if (m_bInStep && !m_bFinished)
        Fail(QStringLiteral("timed out after %1 s in a window that waits for the user")
                 .arg(m_stepTimeout.count() / 1000.0));
}

void ScenarioPlayer::Fail(const QString& reason) {
    const ScenarioStep& step = m_steps[m_nStep];
    m_err << "scenario failed at line " << step.line << ": " << step.source << ": " << reason
          << Qt::endl;
    m_bFinished = true;
    m_ticker.stop();
    m_watchdog.stop();
    Q_EMIT finished(1);
}

void ScenarioPlayer::Finish() {
    Say(QStringLiteral("scenario passed: %1 steps in %2 s")
            .arg(m_nStep)
            .arg(m_runClock.elapsed() / 1000.0, 0, 'f', 1));
    m_bFinished = true;
    m_ticker.stop();
    m_watchdog.stop();
    Q_EMIT finished(0);
}

void ScenarioPlayer::Say(const QString& text) {
    m_out << m_context.userLabel << ": " << text << Qt::endl;
}

ScenarioPlayer::Outcome ScenarioPlayer::Attempt(const ScenarioStep& step) {
    switch (step.command) {
    case ScenarioCommand::WaitWindow:
        return WindowFinder::VisibleWindow(step.argument) != nullptr
                   ? Done()
                   : Pending(
                         QStringLiteral("visible windows: %1").arg(WindowFinder::VisibleTitles()));
    case ScenarioCommand::ShowFriends:
        return ShowFriends();
    case ScenarioCommand::WaitFriend:
        return WaitFriend(step.argument, Presence::Listed);
    case ScenarioCommand::WaitOnline:
        return WaitFriend(step.argument, Presence::Online);
    case ScenarioCommand::WaitOffline:
        return WaitFriend(step.argument, Presence::Offline);
    case ScenarioCommand::WaitTip:
        return WaitTip();
    case ScenarioCommand::OpenChat:
        return OpenChat(step.argument);
    case ScenarioCommand::WaitChat:
        return WaitChat(step.argument);
    case ScenarioCommand::Type:
        return Type(step.argument);
    case ScenarioCommand::Send:
        return Send();
    case ScenarioCommand::WaitMessage:
        return WaitMessage(step.argument);
    case ScenarioCommand::OpenHistory:
        return OpenHistory();
    case ScenarioCommand::CloseHistory:
        return CloseHistory();
    case ScenarioCommand::OpenEmoticons:
        return OpenEmoticons();
    case ScenarioCommand::PickEmoticon:
        return PickEmoticon(step.argument.toInt());
    case ScenarioCommand::WaitEmoticons:
        return WaitEmoticons(step.argument.toInt());
    case ScenarioCommand::RightClick:
        return RightClick(step.argument);
    case ScenarioCommand::Choose:
        return Choose(step.argument);
    case ScenarioCommand::TypeIn:
        return TypeIn(step.window, step.text);
    case ScenarioCommand::Press:
        return Press(step.window, step.text);
    case ScenarioCommand::WaitText:
        return WaitText(step.window, step.text);
    case ScenarioCommand::Screenshot:
        return Screenshot(step.argument);
    case ScenarioCommand::PrintMemory:
        Say(QStringLiteral("resident memory %1 kB").arg(ResidentMemoryKB()));
        return Done();
    case ScenarioCommand::Quit:
        Finish();
        return Done();
    }
    return Failed(QStringLiteral("unknown step"));
}

ScenarioPlayer::Outcome ScenarioPlayer::ShowFriends() {
    if (WindowFinder::VisibleWindow(WindowFinder::FriendListTitle()) != nullptr)
        return Done();
    if (!m_bActed) {
        QAbstractButton* button =
            m_context.hostWindow != nullptr
                ? WindowFinder::Button(m_context.hostWindow, FriendButtonText())
                : nullptr;
        if (button == nullptr)
            return Failed(QStringLiteral("the host has no \"%1\" button").arg(FriendButtonText()));
        UserInput::Click(button, button->rect().center());
        m_bActed = true;
    }
    return Pending(QStringLiteral("the friend list window did not show"));
}

ScenarioPlayer::Outcome ScenarioPlayer::WaitFriend(const QString& name, Presence wanted) {
    QAbstractItemView* view = WindowFinder::FriendListView();
    if (view == nullptr)
        return Pending(QStringLiteral("the friend list window is not shown"));
    const QModelIndex item = WindowFinder::FriendItem(view, name);
    if (!item.isValid())
        return Pending(QStringLiteral("the friend list does not show %1").arg(name));
    const bool online = WindowFinder::ShowsOnline(item);
    switch (wanted) {
    case Presence::Listed:
        // The first friend listed means the client has signed on; the demo waits for the words.
        Say(QStringLiteral("%1the friend list shows %2 (%3)")
                .arg(m_bSignedOnSaid ? QString() : QStringLiteral("signed on, "), name,
                     online ? QStringLiteral("online") : QStringLiteral("offline")));
        m_bSignedOnSaid = true;
        return Done();
    case Presence::Online:
        if (!online)
            return Pending(QStringLiteral("%1 is shown offline").arg(name));
        Say(QStringLiteral("sees %1 online").arg(name));
        return Done();
    case Presence::Offline:
        if (online)
            return Pending(QStringLiteral("%1 is shown online").arg(name));
        Say(QStringLiteral("sees %1 offline").arg(name));
        return Done();
    }
    return Done();
}

ScenarioPlayer::Outcome ScenarioPlayer::WaitTip() {
    const QWidget* tip = WindowFinder::PopupTip();
    if (tip == nullptr) {
        m_nTipStableTicks = 0;
        return Pending(QStringLiteral("no popup tip showed"));
    }
    if (tip->geometry() == m_tipGeometry)
        ++m_nTipStableTicks;
    else
        m_nTipStableTicks = 0;
    m_tipGeometry = tip->geometry();
    if (m_nTipStableTicks < kTipRisenTicks)
        return Pending(QStringLiteral("the popup tip is still moving"));
    Say(QStringLiteral("got a popup tip"));
    return Done();
}

ScenarioPlayer::Outcome ScenarioPlayer::OpenChat(const QString& name) {
    if (WindowFinder::VisibleWindow(WindowFinder::ChatTitle(name)) != nullptr) {
        m_chatFriend = name;
        Say(QStringLiteral("opened the chat with %1").arg(name));
        return Done();
    }
    if (m_bActed)
        return Pending(QStringLiteral("no chat window with %1 opened; visible windows: %2")
                           .arg(name, WindowFinder::VisibleTitles()));
    QAbstractItemView* view = WindowFinder::FriendListView();
    const QModelIndex item = WindowFinder::FriendItem(view, name);
    if (!item.isValid())
        return Pending(QStringLiteral("the friend list does not show %1").arg(name));
    view->scrollTo(item);
    UserInput::DoubleClick(view->viewport(), view->visualRect(item).center());
    m_bActed = true;
    return Pending(QStringLiteral("no chat window with %1 opened").arg(name));
}

ScenarioPlayer::Outcome ScenarioPlayer::WaitChat(const QString& name) {
    if (WindowFinder::VisibleWindow(WindowFinder::ChatTitle(name)) == nullptr)
        return Pending(QStringLiteral("visible windows: %1").arg(WindowFinder::VisibleTitles()));
    m_chatFriend = name;
    Say(QStringLiteral("has the chat with %1 open").arg(name));
    return Done();
}

QWidget* ScenarioPlayer::CurrentChat(QString& missing) const {
    if (m_chatFriend.isEmpty()) {
        missing = QStringLiteral("no chat was opened or waited for before");
        return nullptr;
    }
    QWidget* chat = WindowFinder::VisibleWindow(WindowFinder::ChatTitle(m_chatFriend));
    if (chat == nullptr)
        missing = QStringLiteral("the chat with %1 is not shown").arg(m_chatFriend);
    return chat;
}

ScenarioPlayer::Outcome ScenarioPlayer::Type(const QString& text) {
    QString missing;
    QWidget* chat = CurrentChat(missing);
    if (chat == nullptr)
        return Pending(missing);
    QPlainTextEdit* input = WindowFinder::ChatInput(chat);
    if (input == nullptr)
        return Failed(QStringLiteral("the chat with %1 has no input box").arg(m_chatFriend));
    const QString before = input->toPlainText();
    UserInput::Type(input, text);
    if (input->toPlainText() != before + text)
        return Failed(QStringLiteral("the input box shows \"%1\"").arg(input->toPlainText()));
    return Done();
}

ScenarioPlayer::Outcome ScenarioPlayer::Send() {
    QString missing;
    QWidget* chat = CurrentChat(missing);
    if (chat == nullptr)
        return Pending(missing);
    QPlainTextEdit* input = WindowFinder::ChatInput(chat);
    QAbstractButton* send = WindowFinder::Button(chat, SendButtonText());
    if (input == nullptr || send == nullptr)
        return Failed(QStringLiteral("the chat with %1 has no input box or \"%2\" button")
                          .arg(m_chatFriend, SendButtonText()));
    // An empty message would only raise the module's refusal box.
    const QString text = input->toPlainText();
    if (text.isEmpty())
        return Failed(QStringLiteral("the input box is empty"));
    UserInput::Click(send, send->rect().center());
    if (m_bFinished)
        return Done();
    if (!input->toPlainText().isEmpty())
        return Failed(QStringLiteral("the input box still holds \"%1\"").arg(input->toPlainText()));
    Say(QStringLiteral("sent to %1: %2").arg(m_chatFriend, text));
    return Done();
}

ScenarioPlayer::Outcome ScenarioPlayer::WaitMessage(const QString& text) {
    QString missing;
    QWidget* chat = CurrentChat(missing);
    if (chat == nullptr)
        return Pending(missing);
    const QTextEdit* view = WindowFinder::ChatView(chat);
    if (view == nullptr)
        return Failed(
            QStringLiteral("the chat with %1 has no conversation view").arg(m_chatFriend));
    if (!view->toPlainText().contains(text))
        return Pending(
            QStringLiteral("the chat with %1 does not show \"%2\"").arg(m_chatFriend, text));
    Say(QStringLiteral("reads from %1: %2").arg(m_chatFriend, text));
    return Done();
}

ScenarioPlayer::Outcome ScenarioPlayer::OpenHistory() {
    if (QWidget* history = WindowFinder::VisibleWindow(WindowFinder::HistoryTitle())) {
        const QTextEdit* view = WindowFinder::ChatView(history);
        if (view == nullptr || view->toPlainText().isEmpty())
            return Pending(QStringLiteral("the chat history shows nothing"));
        Say(QStringLiteral("opened the chat history with %1: %2 lines")
                .arg(m_chatFriend)
                .arg(view->document()->blockCount()));
        return Done();
    }
    if (m_bActed)
        return Pending(QStringLiteral("no chat history opened; visible windows: %1")
                           .arg(WindowFinder::VisibleTitles()));
    QString missing;
    QWidget* chat = CurrentChat(missing);
    if (chat == nullptr)
        return Pending(missing);
    QAbstractButton* button = WindowFinder::ButtonWithTip(chat, HistoryButtonTip());
    if (button == nullptr)
        return Failed(QStringLiteral("the chat with %1 has no \"%2\" button")
                          .arg(m_chatFriend, HistoryButtonTip()));
    // The history runs modally: its loop must not start inside this step, or the step would not
    // return until the history closed. The click comes from the event loop instead, and the
    // player goes on inside the history's loop.
    QTimer::singleShot(0, button, [button] { UserInput::Click(button, button->rect().center()); });
    m_bActed = true;
    return Pending(QStringLiteral("no chat history opened"));
}

ScenarioPlayer::Outcome ScenarioPlayer::CloseHistory() {
    QWidget* history = WindowFinder::VisibleWindow(WindowFinder::HistoryTitle());
    if (history == nullptr) {
        if (!m_bActed)
            return Failed(QStringLiteral("no chat history is shown"));
        Say(QStringLiteral("closed the chat history"));
        return Done();
    }
    if (m_bActed)
        return Pending(QStringLiteral("the chat history is still shown"));
    QAbstractButton* close = WindowFinder::ButtonWithTip(history, CloseButtonTip());
    if (close == nullptr)
        return Failed(
            QStringLiteral("the chat history has no \"%1\" button").arg(CloseButtonTip()));
    UserInput::Click(close, close->rect().center());
    m_bActed = true;
    return Pending(QStringLiteral("the chat history is still shown"));
}

QString ScenarioPlayer::WindowLabel(const QWidget* window, int index) const {
    if (window == m_context.hostWindow)
        return QStringLiteral("host");
    if (window->windowTitle() == WindowFinder::FriendListTitle())
        return QStringLiteral("friendlist");
    if (window == WindowFinder::PopupTip())
        return QStringLiteral("tip");
    if (window->windowTitle() == WindowFinder::HistoryTitle())
        return QStringLiteral("history");
    if (qobject_cast<const QMenu*>(window) != nullptr)
        return QStringLiteral("menu");
    if (window == WindowFinder::Popup())
        return QStringLiteral("emoticons");
    QString peer = WindowFinder::FriendOfChatTitle(window->windowTitle());
    if (!peer.isEmpty())
        return QStringLiteral("chat-") + peer;
    const QString title = window->windowTitle();
    if (!title.isEmpty())
        return title;
    return QStringLiteral("window%1").arg(index);
}

ScenarioPlayer::Outcome ScenarioPlayer::Screenshot(const QString& name) {
    if (m_context.screenshotDir.isEmpty())
        return Failed(QStringLiteral("no screenshot folder was given (--screenshots)"));
    const QDir folder(m_context.screenshotDir);
    if (!folder.mkpath(QStringLiteral(".")))
        return Failed(QStringLiteral("cannot create %1").arg(folder.path()));
    QStringList labels;
    const QList<QWidget*> windows = WindowFinder::VisibleWindows();
    for (int index = 0; index < windows.size(); ++index) {
        const QString label = WindowLabel(windows[index], index);
        const QString path = folder.filePath(FileUtility::SafeFileName(
            QStringLiteral("%1-%2").arg(name, label), QStringLiteral(".png")));
        if (!windows[index]->grab().save(path))
            return Failed(QStringLiteral("cannot write %1").arg(path));
        labels.append(label);
    }
    Say(QStringLiteral("screenshot %1: %2").arg(name, labels.join(QStringLiteral(", "))));
    return Done();
}
