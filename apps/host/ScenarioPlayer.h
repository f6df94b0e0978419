#pragma once
// Plays a scenario against the friend windows through real input events, one step at a time.
// A timer tries the current step on every tick until it is done, fails or times out, so the
// event loop keeps running the module in between. Owned by the host's main() for the run.

#include "ScenarioScript.h"

#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <QTimer>

#include <chrono>
#include <vector>

class QTextStream;
class QWidget;

class ScenarioPlayer final : public QObject {
    Q_OBJECT
public:
    struct Context {
        // Who plays: starts every line printed.
        QString userLabel;
        // The host's main window: its friend-list button and its own screenshot.
        QWidget* hostWindow = nullptr;
        // Folder of the screenshots; empty when none were asked for.
        QString screenshotDir;
    };

    // Progress goes to out, the failure to err.
    ScenarioPlayer(std::vector<ScenarioStep> steps, Context context, QTextStream& out,
                   QTextStream& err, QObject* parent = nullptr);

    void SetStepTimeout(std::chrono::milliseconds timeout) { m_stepTimeout = timeout; }
    void Start();

Q_SIGNALS:
    // 0 when every step was done, 1 at the first step that failed or timed out.
    void finished(int exitCode);

private:
    struct Outcome {
        enum Status { Done, Pending, Failed };
        Status status;
        QString detail;
    };
    static Outcome Done() { return {Outcome::Done, {}}; }
    static Outcome Pending(const QString& why) { return {Outcome::Pending, why}; }
    static Outcome Failed(const QString& why) { return {Outcome::Failed, why}; }

    void OnTick();
    void OnWatchdog();
    void BeginStep();
    bool TimedOut() const;
    void Fail(const QString& reason);
    void Finish();
    void Say(const QString& text);

    Outcome Attempt(const ScenarioStep& step);
    Outcome ShowFriends();
    enum class Presence { Listed, Online, Offline };
    Outcome WaitFriend(const QString& name, Presence wanted);
    Outcome WaitTip();
    Outcome OpenChat(const QString& name);
    Outcome WaitChat(const QString& name);
    Outcome Type(const QString& text);
    Outcome Send();
    Outcome WaitMessage(const QString& text);
    Outcome OpenHistory();
    Outcome CloseHistory();
    Outcome OpenEmoticons();
    Outcome PickEmoticon(int index);
    Outcome WaitEmoticons(int count);
    Outcome RightClick(const QString& name);
    Outcome Choose(const QString& text);
    Outcome TypeIn(const QString& title, const QString& text);
    Outcome Press(const QString& title, const QString& button);
    Outcome WaitText(const QString& title, const QString& text);
    Outcome Screenshot(const QString& name);
    QWidget* CurrentChat(QString& missing) const;
    QString WindowLabel(const QWidget* window, int index) const;

    std::vector<ScenarioStep> m_steps;
    Context m_context;
    QTextStream& m_out;
    QTextStream& m_err;
    std::chrono::milliseconds m_stepTimeout{20000};
    QTimer m_ticker;
    QTimer m_watchdog;
    QElapsedTimer m_runClock;
    QElapsedTimer m_stepClock;
    size_t m_nStep = 0;
    bool m_bInStep = false;
    bool m_bFinished = false;
    bool m_bSignedOnSaid = false;
    // State of the current step.
    bool m_bActed = false;
    QRect m_tipGeometry;
    int m_nTipStableTicks = 0;
    // What the input box held before a pick.
    QString m_inputBeforePick;
    // The friend whose chat window type, send, the emoticon steps and wait-message work on.
    QString m_chatFriend;
};
