// What each command of the friend server does.

#include "FriendCommandHandler.h"

#include "FriendRequests.h"
#include "FriendWindows.h"
#include "SoundCues.h"
#include "base/AnsiText.h"
#include "base/UserNotice.h"
#include "client/LittleEndian.h"
#include "records/FriendCommands.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"

namespace pellix {

using LittleEndian::LoadInt32;

void CFriendCommandHandler::ShowTip(const std::string& text) {
    if (m_context.windows != nullptr)
        m_context.windows->ShowTip(text);
}

void CFriendCommandHandler::RefreshMainWindow() {
    if (m_context.windows != nullptr)
        m_context.windows->RefreshMainWindow();
}

bool CFriendCommandHandler::RefusesOnlineTips(int32_t userID) const {
    const CFriendOptionManager* options = m_context.options;
    return options != nullptr &&
           (options->GetFriendOption().bRefuseOnlineTips || !options->GetFriendOnlineTips(userID));
}

bool CFriendCommandHandler::RefusesFriendRequests() const {
    return m_context.options != nullptr && m_context.options->GetFriendOption().bRefuseAddFriend;
}

bool CFriendCommandHandler::OnFriendList(const FriendListBody& body) {
    if (auto* contacts = m_context.contacts) {
        contacts->ReloadNonFriends(true);
        contacts->MergeFriendList(body.friends);
        contacts->CommitFriendList(body.friendCount, body.version);
    }
    OnSignedOn();
    return true;
}

bool CFriendCommandHandler::OnOnlineStates(const OnlineStatesBody& body) {
    if (auto* contacts = m_context.contacts) {
        contacts->ReloadAllFromStore();
        contacts->ApplyOnlineStates(body.states);
    }
    OnSignedOn();
    return true;
}

bool CFriendCommandHandler::OnAddFriendOk(const AddFriendOkBody& body) {
    if (m_context.contacts != nullptr)
        m_context.contacts->AddOrUpdateFriend(body.entry);
    RefreshMainWindow();
    ShowTip(
        FormatAnsi("成功加好友: ID[%d] 昵称[%s]", body.entry.userID, body.entry.nickName.c_str()));
    return true;
}

bool CFriendCommandHandler::OnAddFriendFail(const uint8_t* body) {
    ShowServiceNotice(FormatAnsi("加入好友[%d]失败！", LoadInt32(body)), NOTICE_ERROR, 0);
    return true;
}

bool CFriendCommandHandler::OnFriendRequest(const FriendRequestBody& body) {
    const bool blacklisted =
        m_context.contacts != nullptr && m_context.contacts->IsInBlacklist(body.asker.userID);
    if (blacklisted || RefusesFriendRequests()) {
        m_context.requests.SendFriendReply(body.asker.userID, false);
        return true;
    }
    if (m_context.windows != nullptr)
        m_context.windows->OpenAddConfirmWindow(body.asker.userID, body.asker.userName,
                                                body.asker.nickName, body.asker.gender,
                                                body.asker.showID, body.verifyText);
    m_context.sounds.PlayNotifySound();
    return true;
}

bool CFriendCommandHandler::OnFriendReply(const uint8_t* body) {
    ShowTip(AnsiText(body[8] != 0 ? "对方同意加为好友请求！" : "对方拒绝加为好友！"));
    return true;
}

bool CFriendCommandHandler::OnMoveResult(const uint8_t* body) {
    auto* contacts = m_context.contacts;
    if (contacts == nullptr)
        return true;
    const int32_t userID = LoadInt32(body);
    const uint8_t operation = body[4];
    if (operation == MOVE_TO_STRANGERS) {
        if (!contacts->MoveToStrangers(userID))
            return true;
        ShowServiceNotice(AnsiText("拖入陌生人成功！"), NOTICE_PLAIN, 5);
    } else if (operation == MOVE_TO_BLACKLIST) {
        // The host's blacklist request moves the contact before it asks the server; the server's
        // confirmation then finds it moved already, which is success, not a refusal.
        const ContactInfo* contact = contacts->FindContact(userID);
        const bool movedAlready = contact != nullptr && contact->groupID == GROUP_BLACKLIST;
        if (!movedAlready && !contacts->MoveToBlacklist(userID))
            return true;
        ShowServiceNotice(AnsiText("拉黑成功！"), NOTICE_PLAIN, 5);
    }
    if (m_context.windows != nullptr)
        m_context.windows->UpdateFriendCounts(contacts->GetFriendCount(),
                                              contacts->GetOnlineFriendCount());
    return true;
}

bool CFriendCommandHandler::OnClearHistory() {
    m_context.serverFlag = 1;
    if (m_context.history != nullptr)
        m_context.history->DeleteAllHistory();
    return true;
}

bool CFriendCommandHandler::OnLogonFailed() {
    ShowServiceNotice(AnsiText("好友登陆失败！"), NOTICE_ERROR, 5);
    return true;
}

bool CFriendCommandHandler::OnClearFlag() {
    m_context.serverFlag = 0;
    return true;
}

bool CFriendCommandHandler::OnChatMessage(const ChatMessageBody& body) {
    auto* contacts = m_context.contacts;
    if (contacts != nullptr && contacts->IsInBlacklist(body.senderID))
        return true;
    if (m_context.windows != nullptr)
        m_context.windows->OnChatMessage(body.senderID, body.text);
    if (contacts != nullptr)
        contacts->SetOnlineState(body.senderID, STATE_ONLINE);
    m_context.sounds.PlayMessageSound();
    return true;
}

bool CFriendCommandHandler::OnOnlineState(const uint8_t* body) {
    const int32_t userID = LoadInt32(body);
    const uint8_t state = body[4];
    auto* contacts = m_context.contacts;
    if (contacts != nullptr)
        contacts->SetOnlineState(userID, state);
    // A state other than online or offline changes the list but has no words of its own.
    if (!RefusesOnlineTips(userID) && (state == STATE_ONLINE || state == STATE_OFFLINE)) {
        const std::string name =
            contacts != nullptr ? contacts->GetNickName(userID) : std::string();
        if (state == STATE_ONLINE) {
            m_context.tipFriendID = userID;
            m_context.sounds.PlayOnlineSound();
            ShowTip(FormatAnsi("%s 上线了！", name.c_str()));
        } else {
            m_context.tipFriendID = 0;
            m_context.sounds.PlayOfflineSound();
            ShowTip(FormatAnsi("%s 下线了！", name.c_str()));
        }
    }
    RefreshMainWindow();
    return true;
}

bool CFriendCommandHandler::OnOfflineMessages(const OfflineMessagesBody& body) {
    if (m_context.windows != nullptr)
        m_context.windows->OnOfflineMessages(body.messages);
    return true;
}

bool CFriendCommandHandler::OnShake(const uint8_t* body) {
    m_context.sounds.PlayShakeSound();
    if (m_context.windows != nullptr)
        m_context.windows->OnShake(LoadInt32(body));
    return true;
}

} // namespace pellix
