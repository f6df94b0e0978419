// Selecting the handler of a received command and checking its body first.

#include "FriendCommandHandler.h"
#include "records/FriendCommands.h"

namespace pellix {

template <typename Body>
bool CFriendCommandHandler::HandleVariable(const void* data, unsigned short length,
                                           bool (CFriendCommandHandler::*handler)(const Body&)) {
    Body body;
    if (!DecodeBody(data, length, body))
        return false;
    return (this->*handler)(body);
}

bool CFriendCommandHandler::Dispatch(CMD_Command command, const void* body, unsigned short length) {
    if (command.wMainCmdID != CMD_FRIEND)
        return false;
    const uint16_t sub = command.wSubCmdID;
    const uint16_t fixedSize = FixedBodySize(sub);
    if (fixedSize != 0 && (body == nullptr || length != fixedSize))
        return false;
    const auto* bytes = static_cast<const uint8_t*>(body);
    switch (sub) {
    case SUB_S_IGNORED:
        return true;
    case SUB_S_FRIEND_LIST:
        return HandleVariable(body, length, &CFriendCommandHandler::OnFriendList);
    case SUB_S_ONLINE_STATES:
        return HandleVariable(body, length, &CFriendCommandHandler::OnOnlineStates);
    case SUB_S_ADD_FRIEND_OK:
        return HandleVariable(body, length, &CFriendCommandHandler::OnAddFriendOk);
    case SUB_S_FRIEND_REQUEST:
        return HandleVariable(body, length, &CFriendCommandHandler::OnFriendRequest);
    case SUB_S_CHAT_MESSAGE:
        return HandleVariable(body, length, &CFriendCommandHandler::OnChatMessage);
    case SUB_S_OFFLINE_MESSAGES:
        return HandleVariable(body, length, &CFriendCommandHandler::OnOfflineMessages);
    case SUB_S_ADD_FRIEND_FAIL:
        return OnAddFriendFail(bytes);
    case SUB_S_FRIEND_REPLY:
        return OnFriendReply(bytes);
    case SUB_S_MOVE_RESULT:
        return OnMoveResult(bytes);
    case SUB_S_CLEAR_HISTORY:
        return OnClearHistory();
    case SUB_S_LOGON_FAILED:
        return OnLogonFailed();
    case SUB_S_CLEAR_FLAG:
        return OnClearFlag();
    case SUB_S_ONLINE_STATE:
        return OnOnlineState(bytes);
    case SUB_S_SHAKE:
        return OnShake(bytes);
    case SUB_S_EXTENSIONS:
        return HandleVariable(body, length, &CFriendCommandHandler::OnExtensions);
    case SUB_S_CHAT_ACK:
        return HandleVariable(body, length, &CFriendCommandHandler::OnChatAck);
    case SUB_S_CHAT_REFUSED:
        return HandleVariable(body, length, &CFriendCommandHandler::OnChatRefused);
    case SUB_S_CHAT_MESSAGE_EX:
        return HandleVariable(body, length, &CFriendCommandHandler::OnAckedChat);
    case SUB_S_OFFLINE_MESSAGES_EX:
        return HandleVariable(body, length, &CFriendCommandHandler::OnAckedOfflineMessages);
    default:
        return false;
    }
}

} // namespace pellix
