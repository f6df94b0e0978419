// The chat window's keyboard: the send key and its menu, Alt+C, Alt+S and Alt+N; and the font
// dialog.

#include "FriendChatDlg.h"

#include "resources/ResourceIds.h"
#include "skin/SkinButton.h"
#include "skin/SkinEdit.h"
#include "skin/SkinMenu.h"
#include "storage/FriendOptionManager.h"
#include "ui/manager/WindowContext.h"

#include <QCursor>
#include <QFontDialog>
#include <QKeyEvent>

namespace {

constexpr COLORREF kSendKeyMenuTextColor = 0x00811E07;

bool EnterSends(const CFriendOptionManager* options) {
    return options != nullptr && options->GetFriendOption().bEnterShortcut;
}

} // namespace

void CFriendChatDlg::UpdateSendTip() {
    SendButton()->setToolTip(EnterSends(m_context.options)
                                 ? QStringLiteral("按Enter键发送消息,按Ctrl+Enter键换行")
                                 : QStringLiteral("按Ctrl+Enter键发送消息,按Enter键换行"));
}

void CFriendChatDlg::ShowSendKeyMenu() {
    CSkinMenu menu(this);
    menu.SetMenuColors(0x00FF9966, 0x00FCE4C6, 0x00DEC040, 0x00CD8607);
    menu.AddSideBar(CSkinMenuSideBar(12, QStringLiteral("棋牌游戏")));
    menu.AppendODMenu(ID_SEND_BY_ENTER,
                      CSkinMenuText(QStringLiteral("按Enter键发送消息"), kSendKeyMenuTextColor));
    menu.AppendODMenu(ID_SEND_BY_CTRL_ENTER, CSkinMenuText(QStringLiteral("按Ctrl+Enter键发送消息"),
                                                           kSendKeyMenuTextColor));
    menu.CheckMenuItem(EnterSends(m_context.options) ? ID_SEND_BY_ENTER : ID_SEND_BY_CTRL_ENTER,
                       true);
    const int chosen = menu.TrackPopupMenu(QCursor::pos());
    if (chosen != 0)
        OnSendKeyCommand(chosen);
}

void CFriendChatDlg::OnSendKeyCommand(int command) {
    auto* options = m_context.options;
    if (options == nullptr || (command != ID_SEND_BY_ENTER && command != ID_SEND_BY_CTRL_ENTER))
        return;
    options->GetFriendOption().bEnterShortcut = command == ID_SEND_BY_ENTER;
    options->Save();
    UpdateSendTip();
}

void CFriendChatDlg::ChooseFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_chosenFont, this);
    if (ok)
        m_chosenFont = font;
    activateWindow();
}

bool CFriendChatDlg::HandleKey(const QObject* target, const QKeyEvent& key) {
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const bool ctrl = key.modifiers().testFlag(Qt::ControlModifier);
    const bool alt = key.modifiers().testFlag(Qt::AltModifier);
    if (enter) {
        // The other Enter combination makes a new line in the input box.
        if (ctrl != EnterSends(m_context.options))
            SendChatMessage();
        else if (target == InputBox())
            InputBox()->insertPlainText(QStringLiteral("\n"));
        return true;
    }
    if (alt && key.key() == Qt::Key_C) {
        OnCancel();
        return true;
    }
    if (alt && key.key() == Qt::Key_S) {
        SendChatMessage();
        return true;
    }
    if (alt && key.key() == Qt::Key_N) {
        SendShake();
        return true;
    }
    return false;
}

bool CFriendChatDlg::IsChatKey(const QKeyEvent& key) {
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const bool alt = key.modifiers().testFlag(Qt::AltModifier);
    return enter ||
           (alt && (key.key() == Qt::Key_C || key.key() == Qt::Key_S || key.key() == Qt::Key_N));
}

bool CFriendChatDlg::eventFilter(QObject* watched, QEvent* event) {
    // The chat keys must reach the rules below, not the buttons' mnemonics.
    if (event->type() == QEvent::ShortcutOverride &&
        IsChatKey(static_cast<const QKeyEvent&>(*event))) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress &&
        HandleKey(watched, static_cast<const QKeyEvent&>(*event)))
        return true;
    return CRgnDialog::eventFilter(watched, event);
}
