// What each command of the friend server does.

#include "FriendCommandHandler.h"

#include "FriendCommands.h"
#include "module/AnsiText.h"
#include "module/ApplicationWindow.h"
#include "module/FriendService.h"
#include "module/SignedInUser.h"
#include "skin/SkinMessageBox.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/manager/FriendWindowManager.h"

namespace {

int32_t Int32At(const uint8_t* body, std::size_t offset) {
    return static_cast<int32_t>(static_cast<uint32_t>(body[offset]) |
                                static_cast<uint32_t>(body[offset + 1]) << 8 |
                                static_cast<uint32_t>(body[offset + 2]) << 16 |
                                static_cast<uint32_t>(body[offset + 3]) << 24);
}

void ServiceNotice(const std::string& text, unsigned int style, unsigned int autoClose) {
    ShowSkinMessageBox(ApplicationMainWindow(), text, AnsiText("好友服务"), style, autoClose);
}

void ShowTip(const std::string& text) {
    if (auto* windows = CFriendWindowManager::GetInstance())
        windows->ShowTip(text);
}

void RefreshMainWindow() {
    if (auto* windows = CFriendWindowManager::GetInstance())
        windows->RefreshMainWindow();
}

FriendOption Options() {
    auto* options = CFriendOptionManager::GetInstance();
    return options != nullptr ? options->GetFriendOption() : FriendOption();
}

} // namespace

bool CFriendCommandHandler::OnFriendList(const FriendListBody& body) {
    if (auto* contacts = CContactManager::GetInstance()) {
        contacts->ReloadNonFriends(true);
        contacts->MergeFriendList(body.friends);
        contacts->CommitFriendList(body.friendCount, body.version);
    }
    return true;
}

bool CFriendCommandHandler::OnOnlineStates(const OnlineStatesBody& body) {
    if (auto* contacts = CContactManager::GetInstance()) {
        contacts->ReloadAllFromStore();
        contacts->ApplyOnlineStates(body.states);
    }
    return true;
}

bool CFriendCommandHandler::OnAddFriendOk(const AddFriendOkBody& body) {
    if (auto* contacts = CContactManager::GetInstance())
        contacts->AddOrUpdateFriend(body.entry);
    RefreshMainWindow();
    ShowTip(
        FormatAnsi("成功加好友: ID[%d] 昵称[%s]", body.entry.userID, body.entry.nickName.c_str()));
    return true;
}

bool CFriendCommandHandler::OnAddFriendFail(const uint8_t* body) {
    ServiceNotice(FormatAnsi("加入好友[%d]失败！", Int32At(body, 0)), MB_STYLE_ERROR, 0);
    return true;
}

bool CFriendCommandHandler::OnFriendRequest(const FriendRequestBody& body) {
    auto* contacts = CContactManager::GetInstance();
    const bool blacklisted = contacts != nullptr && contacts->IsInBlacklist(body.asker.userID);
    if (blacklisted || Options().bRefuseAddFriend == 1) {
        m_service.SendFriendReply(GetUserInfo().userID, body.asker.userID, false);
        return true;
    }
    if (auto* windows = CFriendWindowManager::GetInstance())
        windows->OpenAddConfirmWindow(body.asker.userID, body.asker.userName, body.asker.nickName,
                                      body.asker.gender, body.asker.showID, body.verifyText);
    m_service.PlayNotifySound();
    return true;
}

bool CFriendCommandHandler::OnFriendReply(const uint8_t* body) {
    ShowTip(AnsiText(body[8] != 0 ? "对方同意加为好友请求！" : "对方拒绝加为好友！"));
    return true;
}

bool CFriendCommandHandler::OnMoveResult(const uint8_t* body) {
    auto* contacts = CContactManager::GetInstance();
    if (contacts == nullptr)
        return true;
    const int32_t userID = Int32At(body, 0);
    const uint8_t operation = body[4];
    if (operation == MOVE_TO_STRANGERS) {
        if (!contacts->MoveToStrangers(userID))
            return true;
        ServiceNotice(AnsiText("拖入陌生人成功！"), MB_STYLE_PLAIN, 5);
    } else if (operation == MOVE_TO_BLACKLIST) {
        // The host's blacklist request moves the contact before it asks the server; the server's
        // confirmation then finds it moved already, which is success, not a refusal.
        const ContactInfo* contact = contacts->FindContact(userID);
        const bool movedAlready = contact != nullptr && contact->groupID == GROUP_BLACKLIST;
        if (!movedAlready && !contacts->MoveToBlacklist(userID))
            return true;
        ServiceNotice(AnsiText("拉黑成功！"), MB_STYLE_PLAIN, 5);
    }
    if (auto* windows = CFriendWindowManager::GetInstance())
        windows->UpdateFriendCounts(contacts->GetFriendCount(), contacts->GetOnlineFriendCount());
    return true;
}

bool CFriendCommandHandler::OnClearHistory() {
    m_service.m_bServerFlag = 1;
    if (auto* history = CChatHistoryManager::GetInstance())
        history->DeleteAllHistory();
    return true;
}

bool CFriendCommandHandler::OnLogonFailed() {
    ServiceNotice(AnsiText("好友登陆失败！"), MB_STYLE_ERROR, 5);
    return true;
}

bool CFriendCommandHandler::OnClearFlag() {
    m_service.m_bServerFlag = 0;
    return true;
}

bool CFriendCommandHandler::OnChatMessage(const ChatMessageBody& body) {
    auto* contacts = CContactManager::GetInstance();
    if (contacts != nullptr && contacts->IsInBlacklist(body.senderID))
        return true;
    if (auto* windows = CFriendWindowManager::GetInstance())
        windows->OnChatMessage(body.senderID, body.text);
    if (contacts != nullptr)
        contacts->SetOnlineState(body.senderID, STATE_ONLINE);
    m_service.PlayMessageSound();
    return true;
}

bool CFriendCommandHandler::OnOnlineState(const uint8_t* body) {
    const int32_t userID = Int32At(body, 0);
    const uint8_t state = body[4];
    auto* contacts = CContactManager::GetInstance();
    if (contacts != nullptr)
        contacts->SetOnlineState(userID, state);
    // A state other than online or offline changes the list but has no words of its own.
    if (Options().bRefuseOnlineTips == 0 && (state == STATE_ONLINE || state == STATE_OFFLINE)) {
        const std::string name =
            contacts != nullptr ? contacts->GetNickName(userID) : std::string();
        if (state == STATE_ONLINE) {
            m_service.m_nTipFriendID = userID;
            m_service.PlayOnlineSound();
            ShowTip(FormatAnsi("%s 上线了！", name.c_str()));
        } else {
            m_service.m_nTipFriendID = 0;
            m_service.PlayOfflineSound();
            ShowTip(FormatAnsi("%s 下线了！", name.c_str()));
        }
    }
    RefreshMainWindow();
    return true;
}

bool CFriendCommandHandler::OnOfflineMessages(const OfflineMessagesBody& body) {
    if (auto* windows = CFriendWindowManager::GetInstance())
        windows->OnOfflineMessages(body.messages);
    return true;
}

bool CFriendCommandHandler::OnShake(const uint8_t* body) {
    m_service.PlayShakeSound();
    if (auto* windows = CFriendWindowManager::GetInstance())
        windows->OnShake(Int32At(body, 0));
    return true;
}
