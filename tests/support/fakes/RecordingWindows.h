#pragma once
// Records the tips and list refreshes the command handlers ask for; the rest goes nowhere.

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

    std::vector<std::string> tips;
    int refreshes = 0;
};

} // namespace pellix
