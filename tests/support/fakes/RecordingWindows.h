#pragma once
// Records the tips, list refreshes and delivery news the command handlers ask for; the rest goes
// nowhere.

#include "protocol/FriendWindows.h"

#include <string>
#include <vector>

namespace pellix {

class RecordingWindows final : public IFriendWindows {
public:
    void OnChatMessage(int, const std::string&) override {}
    void OnOfflineMessages(const std::vector<OfflineMessageEntry>&) override {}
    void OnShake(int) override {}
    void OpenAddConfirmWindow(int, const std::string&, const std::string&, uint8_t, int,
                              const std::string&) override {}
    void RefreshMainWindow() override { ++refreshes; }
    void UpdateFriendCounts(int, int) override {}
    void ShowTip(const std::string& text) override { tips.push_back(text); }
    void OnChatDelivered(int, uint64_t messageID) override { delivered.push_back(messageID); }
    void OnChatRefused(int, uint64_t messageID, uint32_t, const std::string&) override {
        refused.push_back(messageID);
    }
    void OnConnectionChanged(bool signedOn) override { signedOnStates.push_back(signedOn); }

    std::vector<std::string> tips;
    int refreshes = 0;
    std::vector<uint64_t> delivered;
    std::vector<uint64_t> refused;
    std::vector<bool> signedOnStates;
};

} // namespace pellix
