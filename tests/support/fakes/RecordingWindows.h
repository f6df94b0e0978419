#pragma once
// Records what the command handlers make visible, each call as a line of text.

#include "protocol/FriendWindows.h"

#include <string>
#include <vector>

class RecordingWindows final : public IFriendWindows {
public:
    void OnChatMessage(int senderID, const std::string& text) override {
        calls.push_back("chat " + std::to_string(senderID) + " " + text);
    }
    void OnOfflineMessages(const std::vector<OfflineMessageEntry>& list) override {
        for (const OfflineMessageEntry& entry : list)
            calls.push_back("offline " + std::to_string(entry.userID) + " " + entry.message);
    }
    void OnShake(int senderID) override { calls.push_back("shake " + std::to_string(senderID)); }
    void OpenAddConfirmWindow(int askerID, const std::string&, const std::string&, uint8_t, int,
                              const std::string& message) override {
        calls.push_back("confirm " + std::to_string(askerID) + " " + message);
    }
    void RefreshMainWindow() override { ++refreshes; }
    void UpdateFriendCounts(int friendCount, int onlineFriendCount) override {
        calls.push_back("counts " + std::to_string(friendCount) + " " +
                        std::to_string(onlineFriendCount));
    }
    void ShowTip(const std::string& text) override { tips.push_back(text); }

    std::vector<std::string> calls;
    std::vector<std::string> tips;
    int refreshes = 0;
};
