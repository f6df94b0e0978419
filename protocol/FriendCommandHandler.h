#pragma once
// Turns each command of the friend server into its effects on the contact list, the windows, the
// chat history and the sound cues. Built by the friend service for one command at a time.

#include "IncomingBodies.h"
#include "client/CMD_Command.h"

#include <cstdint>

namespace pellix {

class CContactManager;
class CChatHistoryManager;
class CFriendOptionManager;
class IChatDelivery;
class IFriendRequests;
class IFriendWindows;
class ISoundCues;

// What one command may act on. The managers and the windows are those of the friend service;
// each may be absent.
struct FriendCommandContext {
    IFriendRequests& requests;
    ISoundCues& sounds;
    IFriendWindows* windows = nullptr;
    CContactManager* contacts = nullptr;
    CChatHistoryManager* history = nullptr;
    CFriendOptionManager* options = nullptr;
    // The friend service's tip friend and server flag.
    int32_t& tipFriendID;
    uint8_t& serverFlag;
    // The outbox and the ids of chats shown; absent, extension chats are taken as plain ones.
    IChatDelivery* delivery = nullptr;
};

class CFriendCommandHandler {
public:
    explicit CFriendCommandHandler(const FriendCommandContext& context) : m_context(context) {}

    // True when the command was handled; false for foreign main commands, unknown sub-commands,
    // fixed bodies of the wrong length and variable bodies too short for their layout.
    bool Dispatch(CMD_Command command, const void* body, unsigned short length);

private:
    template <typename Body>
    bool HandleVariable(const void* data, unsigned short length,
                        bool (CFriendCommandHandler::*handler)(const Body&));

    bool OnFriendList(const FriendListBody& body);
    bool OnOnlineStates(const OnlineStatesBody& body);
    bool OnAddFriendOk(const AddFriendOkBody& body);
    bool OnFriendRequest(const FriendRequestBody& body);
    bool OnChatMessage(const ChatMessageBody& body);
    bool OnOfflineMessages(const OfflineMessagesBody& body);
    bool OnAddFriendFail(const uint8_t* body);
    bool OnFriendReply(const uint8_t* body);
    bool OnMoveResult(const uint8_t* body);
    bool OnClearHistory();
    bool OnLogonFailed();
    bool OnClearFlag();
    bool OnOnlineState(const uint8_t* body);
    bool OnShake(const uint8_t* body);
    // The acknowledged-chat extension.
    bool OnExtensions(const ExtensionsBody& body);
    bool OnChatAck(const ChatAckBody& body);
    bool OnChatRefused(const ChatRefusedBody& body);
    bool OnAckedChat(const AckedChatBody& body);
    bool OnAckedOfflineMessages(const AckedOfflineMessagesBody& body);
    void OnSignedOn();

    void ShowTip(const std::string& text);
    void RefreshMainWindow();
    // Neither tip nor sound for this contact's presence: refused for everyone, or for it alone.
    bool RefusesOnlineTips(int32_t userID) const;
    bool RefusesFriendRequests() const;

    FriendCommandContext m_context;
};

} // namespace pellix
