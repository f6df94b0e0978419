#pragma once
// Owner of every modeless window of the module: the friend list, one chat window per friend, one
// add-friend request window per target and one confirmation window per asker, plus the popup tip.
// Creates them on demand (hidden), places them, and turns server events into visible windows.
// The friend service creates the one instance and deletes it.

#include "ChatPlacement.h"
#include "WindowContext.h"
#include "base/Singleton.h"
#include "protocol/FriendWindows.h"
#include "skin/SkinTaskbarNotifier.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pellix {

class CFriendMainDlg;
class CFriendChatDlg;
class CFriendAddReqDlg;
class CFriendAddConfirmDlg;
class CFriendWindowManager : public CSingleton<CFriendWindowManager>, public IFriendWindows {
public:
    // The context belongs to the friend service, which completes it before any window is made
    // and keeps it as long as this manager.
    explicit CFriendWindowManager(const WindowContext& context);
    ~CFriendWindowManager() override;

    // What every window of this manager is made with.
    const WindowContext& Context() const { return m_context; }

    CFriendMainDlg* EnsureMainWindow();
    CFriendMainDlg* GetMainWindow() const { return m_pMainWindow.get(); }
    void ShowMainWindow(bool toggle);
    void HideMainWindow();
    void CloseAllWindows();
    // Rebuilds the visible friend list from the model once control returns to the event loop.
    void RefreshMainWindow() override;
    void UpdateFriendCounts(int friendCount, int onlineFriendCount) override;

    CFriendChatDlg* GetChatWindow(int userID);
    CFriendAddReqDlg* GetAddRequestWindow(int userID);
    CFriendAddConfirmDlg* GetAddConfirmWindow(int userID);

    CFriendChatDlg* OpenChatWindow(int userID);
    void PlaceChatWindow(CFriendChatDlg* chat);
    void ReleaseChatSlot(uint16_t slotIndex);
    void OpenAddRequestWindow(int userID, const std::string& name);
    void OpenAddConfirmWindow(int askerID, const std::string& userName, const std::string& nickName,
                              uint8_t gender, int showID, const std::string& message) override;

    void OnChatMessage(int senderID, const std::string& text) override;
    void OnOfflineMessages(const std::vector<OfflineMessageEntry>& list) override;
    void OnShake(int senderID) override;
    void OnChatDelivered(int friendID, uint64_t messageID) override;
    void OnChatRefused(int friendID, uint64_t messageID, uint32_t reason,
                       const std::string& text) override;
    // The friend list shows that the friend service is connecting until the user is signed on.
    void OnConnectionChanged(bool signedOn) override;

    // Replaces the popup tip being shown, if any.
    void ShowTip(const std::string& text) override;
    CSkinTaskbarNotifier& Notifier() { return m_notifier; }
    const ChatPlacement& Placement() const { return m_placement; }

private:
    void ActivateChatWindow(CFriendChatDlg* chat, int userID);
    void ConfigureNotifier();
    // Stores one received message in the history of its sender.
    void StoreReceivedMessage(int senderID, const std::string& name, const std::string& text);

    const WindowContext& m_context;
    std::unique_ptr<CFriendMainDlg> m_pMainWindow;
    std::map<int, std::unique_ptr<CFriendChatDlg>> m_chatWindows;
    std::map<int, std::unique_ptr<CFriendAddReqDlg>> m_addRequestWindows;
    std::map<int, std::unique_ptr<CFriendAddConfirmDlg>> m_addConfirmWindows;
    CSkinTaskbarNotifier m_notifier;
    ChatPlacement m_placement;
    bool m_bRefreshPending = false;
    bool m_bSignedOn = false;
};

} // namespace pellix
