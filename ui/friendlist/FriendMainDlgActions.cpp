// The friend list's context menu and the actions behind it, on the user selected by the last
// right-click.

#include "FriendMainDlg.h"

#include "FriendContextMenu.h"
#include "FriendEditNoteNameDlg.h"
#include "base/AnsiText.h"
#include "protocol/FriendRequests.h"
#include "records/FriendCommands.h"
#include "resources/ResourceIds.h"
#include "skin/SkinMenu.h"
#include "skin/SkinMessageBox.h"
#include "skin/SkinOutBarCtrlEx.h"
#include "skin/UIModuleUtility.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/chat/FriendChatHistoryViewerDlg.h"
#include "ui/manager/FriendWindowManager.h"
#include "ui/manager/ModuleResourceScope.h"
#include "ui/manager/ProfilePage.h"
#include "ui/manager/WindowContext.h"
#include "ui/manager/WindowEnvironment.h"

#include <QCursor>
#include <QPointer>

namespace {

ContactInfo* FindContact(const WindowContext& context, int32_t userID) {
    return context.contacts != nullptr ? context.contacts->FindContact(userID) : nullptr;
}

// A menu or dialog that waits for the user on behalf of owner closes when owner is deleted
// (CloseFriendWindows deletes the friend list window whenever the host asks), which ends its loop.
void CloseWithOwner(QObject* owner, QWidget* window) {
    QObject::connect(owner, &QObject::destroyed, window, &QWidget::close);
}

} // namespace

void CFriendMainDlg::SelectItem(int item) {
    if (m_pListCtrl == nullptr)
        return;
    m_nSelectedUser = m_pListCtrl->GetItemUserData(item);
    m_strSelectedName = m_pListCtrl->GetItemText(item);
}

std::unique_ptr<CSkinMenu> CFriendMainDlg::BuildContextMenu() const {
    // The header names the contact by nickname even where the list shows a note name.
    const ContactInfo* contact = FindContact(m_context, m_nSelectedUser);
    const QString header =
        contact != nullptr ? StringUtility::AnsiToQString(contact->nickName) : m_strSelectedName;
    const auto* options = m_context.options;
    const bool onlineTips = options == nullptr || options->GetFriendOnlineTips(m_nSelectedUser);
    const int tab = m_pListCtrl != nullptr ? m_pListCtrl->GetCurrentTabIndex() : -1;
    return CreateFriendContextMenu(header, tab, onlineTips);
}

void CFriendMainDlg::OpenContextMenu() {
    const std::unique_ptr<CSkinMenu> menu = BuildContextMenu();
    const QPointer<CFriendMainDlg> self(this);
    CloseWithOwner(this, menu.get());
    const int command = menu->TrackPopupMenu(QCursor::pos());
    if (self.isNull())
        return;
    update();
    OnCommand(command);
}

void CFriendMainDlg::OnCommand(int commandID) {
    switch (commandID) {
    case ID_FRIEND_MENU_CHAT:
        OpenChat();
        break;
    case ID_FRIEND_MENU_INVITE_GAME:
        ShowFriendServiceBox("该功能暂未开放！", MB_STYLE_WARNING, 5);
        break;
    case ID_FRIEND_MENU_PROFILE:
        if (FindContact(m_context, m_nSelectedUser) != nullptr)
            ShowUserProfile(this, m_context.environment, m_nSelectedUser);
        break;
    case ID_FRIEND_MENU_ONLINE_TIPS:
        ToggleOnlineTips();
        break;
    case ID_FRIEND_MENU_NOTE_NAME:
        EditNoteName();
        break;
    case ID_FRIEND_MENU_VIEW_HISTORY:
        // The viewer has no owner: this window may go while it runs.
        CFriendChatHistoryViewerDlg::RunModal(m_context, m_nSelectedUser);
        break;
    case ID_FRIEND_MENU_DELETE_HISTORY:
        DeleteHistory();
        break;
    case ID_FRIEND_MENU_DELETE_FRIEND:
        MoveToStrangers();
        break;
    case ID_FRIEND_MENU_TO_BLACKLIST:
        MoveToBlacklist();
        break;
    case ID_FRIEND_MENU_ADD_FRIEND:
        AddAsFriend();
        break;
    case ID_FRIEND_MENU_OFF_BLACKLIST:
        RemoveFromBlacklist();
        break;
    default:
        break;
    }
}

void CFriendMainDlg::ShowFriendServiceBox(const char* utf8Text, unsigned int style,
                                          unsigned int autoClose) {
    ShowSkinMessageBox(this, AnsiText(utf8Text), AnsiText("好友服务"), style, autoClose);
}

void CFriendMainDlg::OpenChat() {
    if (m_pListCtrl == nullptr || m_pListCtrl->GetCurrentTabIndex() == TabBlacklist ||
        FindContact(m_context, m_nSelectedUser) == nullptr)
        return;
    if (auto* windows = m_context.windows)
        windows->OpenChatWindow(m_nSelectedUser);
}

void CFriendMainDlg::ToggleOnlineTips() {
    auto* options = m_context.options;
    if (options == nullptr || FindContact(m_context, m_nSelectedUser) == nullptr)
        return;
    options->SetFriendOnlineTips(m_nSelectedUser, !options->GetFriendOnlineTips(m_nSelectedUser));
}

void CFriendMainDlg::EditNoteName() {
    const ContactInfo* contact = FindContact(m_context, m_nSelectedUser);
    if (contact == nullptr)
        return;
    const int32_t userID = m_nSelectedUser;
    const QPointer<CFriendMainDlg> self(this);
    ModuleResourceScope scope;
    CFriendEditNoteNameDlg dialog(m_context.environment.GetFont());
    CloseWithOwner(this, &dialog);
    dialog.SetNoteName(contact->noteName);
    const int result = dialog.exec();
    if (self.isNull())
        return;
    // The contact is looked up again: a reconnect may have reloaded the list (and freed every
    // contact) while the window was open.
    ContactInfo* current = result == QDialog::Accepted ? FindContact(m_context, userID) : nullptr;
    if (current != nullptr) {
        current->noteName = dialog.GetNoteName();
        m_context.contacts->SaveContact(current);
    }
    UIModuleUtility::BringWindowToTop(this);
}

void CFriendMainDlg::DeleteHistory() {
    if (auto* history = m_context.history)
        history->DeleteHistory(m_nSelectedUser);
    ShowFriendServiceBox("已经成功删除聊天记录！", MB_STYLE_PLAIN, 10);
}

void CFriendMainDlg::MoveToStrangers() {
    if (m_pListCtrl == nullptr || m_pListCtrl->GetCurrentTabIndex() == TabStrangers ||
        m_pListCtrl->GetCurrentTabIndex() == TabBlacklist)
        return;
    // The list changes when the server confirms the move.
    m_context.requests.SendMoveRequest(m_nSelectedUser, MOVE_TO_STRANGERS);
}

void CFriendMainDlg::MoveToBlacklist() {
    if (m_pListCtrl == nullptr)
        return;
    const int tab = m_pListCtrl->GetCurrentTabIndex();
    if (tab == TabFriends) {
        m_context.requests.SendMoveRequest(m_nSelectedUser, MOVE_TO_BLACKLIST);
    } else if (tab == TabStrangers) {
        if (auto* contacts = m_context.contacts)
            contacts->MoveToBlacklist(m_nSelectedUser);
    }
}

void CFriendMainDlg::AddAsFriend() {
    if (m_pListCtrl == nullptr || m_pListCtrl->GetCurrentTabIndex() == TabFriends)
        return;
    const ContactInfo* contact = FindContact(m_context, m_nSelectedUser);
    if (contact == nullptr) {
        ShowFriendServiceBox("列表中没有这个用户...", MB_STYLE_ERROR, 0);
        return;
    }
    m_context.requests.AddFriend(m_nSelectedUser, contact->nickName);
}

void CFriendMainDlg::RemoveFromBlacklist() {
    if (FindContact(m_context, m_nSelectedUser) == nullptr) {
        ShowFriendServiceBox("列表中没有这个用户...", MB_STYLE_ERROR, 0);
        return;
    }
    for (int tab : {TabFriends, TabStrangers, TabBlacklist})
        RemoveUser(tab, m_nSelectedUser);
    m_context.contacts->RemoveContact(m_nSelectedUser);
}
