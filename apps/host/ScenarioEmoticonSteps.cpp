// The scenario steps with emoticons: the current chat's emoticon button, a cell of the picker it
// opens, and the pictures its conversation view shows.

#include "ScenarioPlayer.h"

#include "UserInput.h"
#include "WindowFinder.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// The picker is a grid of 12 by 8 cells holding the emoticons in their order.
constexpr int kPickerColumns = 12;
constexpr int kPickerRows = 8;

QString EmoticonButtonTip() {
    return QStringLiteral("选择表情");
}

QPoint CellCentre(const QWidget* picker, int index) {
    const int width = picker->width() / kPickerColumns;
    const int height = picker->height() / kPickerRows;
    return {(index % kPickerColumns) * width + width / 2,
            (index / kPickerColumns) * height + height / 2};
}

} // namespace

ScenarioPlayer::Outcome ScenarioPlayer::OpenEmoticons() {
    if (WindowFinder::Popup() != nullptr) {
        Say(QStringLiteral("opened the emoticon picker"));
        return Done();
    }
    if (m_bActed)
        return Pending(QStringLiteral("the emoticon picker did not show"));
    QString missing;
    QWidget* chat = CurrentChat(missing);
    if (chat == nullptr)
        return Pending(missing);
    QAbstractButton* button = WindowFinder::ButtonWithTip(chat, EmoticonButtonTip());
    if (button == nullptr)
        return Failed(QStringLiteral("the chat with %1 has no button \"%2\"")
                          .arg(m_chatFriend, EmoticonButtonTip()));
    UserInput::Click(button, button->rect().center());
    m_bActed = true;
    return Pending(QStringLiteral("the emoticon picker did not show"));
}

ScenarioPlayer::Outcome ScenarioPlayer::PickEmoticon(int index) {
    if (index >= kPickerColumns * kPickerRows)
        return Failed(QStringLiteral("the picker has no emoticon %1").arg(index));
    QString missing;
    QWidget* chat = CurrentChat(missing);
    if (chat == nullptr)
        return Pending(missing);
    QPlainTextEdit* input = WindowFinder::ChatInput(chat);
    if (input == nullptr)
        return Failed(QStringLiteral("the chat with %1 has no input box").arg(m_chatFriend));
    QWidget* picker = WindowFinder::Popup();
    if (!m_bActed) {
        if (picker == nullptr)
            return Pending(QStringLiteral("the emoticon picker is not shown"));
        m_inputBeforePick = input->toPlainText();
        UserInput::Click(picker, CellCentre(picker, index));
        m_bActed = true;
    }
    if (WindowFinder::Popup() != nullptr)
        return Pending(QStringLiteral("the emoticon picker is still shown"));
    if (input->toPlainText() == m_inputBeforePick)
        return Failed(QStringLiteral("the pick put nothing into the input box"));
    Say(QStringLiteral("picked emoticon %1: the input box shows %2")
            .arg(index)
            .arg(input->toPlainText()));
    return Done();
}

ScenarioPlayer::Outcome ScenarioPlayer::WaitEmoticons(int count) {
    QString missing;
    QWidget* chat = CurrentChat(missing);
    if (chat == nullptr)
        return Pending(missing);
    const QTextEdit* view = WindowFinder::ChatView(chat);
    if (view == nullptr)
        return Failed(
            QStringLiteral("the chat with %1 has no conversation view").arg(m_chatFriend));
    const int shown = WindowFinder::Pictures(view);
    if (shown < count)
        return Pending(
            QStringLiteral("the chat with %1 shows %2 pictures").arg(m_chatFriend).arg(shown));
    Say(QStringLiteral("sees %1 emoticon pictures in the chat with %2")
            .arg(shown)
            .arg(m_chatFriend));
    return Done();
}
