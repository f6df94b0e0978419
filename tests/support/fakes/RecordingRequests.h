#pragma once
// Records the requests of the windows and the command handlers, each as a line of text.

#include "protocol/FriendRequests.h"

#include <string>
#include <vector>

namespace pellix {

class RecordingRequests final : public IFriendRequests {
public:
    bool SendAddFriendRequest(int targetID, const std::string& verifyText) override {
        Record("add " + std::to_string(targetID) + " " + verifyText);
        return sendResult;
    }
    void SendFriendReply(int requesterID, bool accepted) override {
        Record("reply " + std::to_string(requesterID) + (accepted ? " yes" : " no"));
    }
    void SendMoveRequest(int targetID, uint8_t operation) override {
        Record("move " + std::to_string(targetID) + " " + std::to_string(operation));
    }
    ChatSendReceipt SendChatMessage(int friendID, const std::string& text) override {
        Record("chat " + std::to_string(friendID) + " " + text);
        return chatReceipt;
    }
    std::vector<OutboxMessage> PendingChats(int friendID) const override {
        std::vector<OutboxMessage> chats;
        for (const OutboxMessage& chat : pending) {
            if (chat.friendID == friendID)
                chats.push_back(chat);
        }
        return chats;
    }
    void SendShake(int friendID) override { Record("shake " + std::to_string(friendID)); }
    bool AddFriend(int userID, const std::string& nickName) override {
        Record("addFriend " + std::to_string(userID) + " " + nickName);
        return addFriendResult;
    }

    std::vector<std::string> sent;
    // What the sending requests and AddFriend answer.
    bool sendResult = true;
    bool addFriendResult = true;
    // What SendChatMessage answers, and the outbox PendingChats reads.
    ChatSendReceipt chatReceipt;
    std::vector<OutboxMessage> pending;

private:
    void Record(std::string line) { sent.push_back(std::move(line)); }
};

} // namespace pellix
