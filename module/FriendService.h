#pragma once
// The module's one service object: network client of the friend server, owner of the
// process-wide managers and of the sound player, and the IFriendClient a host drives.

#include "ChatDelivery.h"
#include "base/Singleton.h"
#include "client/ClientService.h"
#include "pellix/IFriendClient.h"
#include "protocol/FriendRequests.h"
#include "protocol/SoundCues.h"
#include "sound/MidiPlayer.h"
#include "ui/manager/SkinBoxNotices.h"
#include "ui/manager/WindowEnvironment.h"

#include <QFont>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pellix {

class CContactManager;
class CChatHistoryManager;
class CFriendOptionManager;
class CFriendWindowManager;
struct WindowContext;

// Managers to leave absent, as failed allocations would leave them.
struct AbsentManagers {
    bool contacts = false;
    bool history = false;
    bool windows = false;
    bool options = false;
};

class CFriendService : public CClientService,
                       public CSingleton<CFriendService>,
                       public IFriendClient,
                       public IFriendRequests,
                       public IWindowEnvironment,
                       public ISoundCues,
                       private IChatWire {
public:
    explicit CFriendService(AbsentManagers absent = {});
    ~CFriendService() override;

    // IFriendClient
    bool StartFriendService(const std::string& host, int32_t ignored, tagProxyInfo& proxy) override;
    void ShowFriendWindow(bool toggle) override;
    void HideFriendWindow() override;
    void CloseFriendWindows() override;
    // Also the windows' add-friend operation (IFriendRequests).
    bool AddFriend(int userID, const std::string& nickName) override;
    bool AddToBlacklist(int userID, int showID, int gender, int32_t ignored,
                        const std::string& userName, const std::string& nickName) override;
    void SetFriendHost(IFriendHost* host) override;
    void SetUserInfo(const tagUserInfo& info, const std::string& logonToken) override;

    // The library's hooks: log-on when connected, and every received command.
    bool OnServerConnected() override;
    // A lost connection shows every contact offline and the friend list connecting at once.
    bool OnSocketClose(IClientSocket* socket, bool closedByServer) override;
    bool OnServiceNotify(int notify) override;
    bool OnServiceCommand(CMD_Command command, const void* body, unsigned short length) override;

    // Requests to the friend server, with the sender's own id as the server reads it.
    bool SendAddFriendRequest(int ownID, int targetID, const std::string& verifyText);
    void SendFriendReply(int ownID, int requesterID, bool accepted);
    void SendMoveRequest(int ownID, int targetID, uint8_t operation);
    bool SendLogonRequest(int ownID, const std::string& logonToken, int32_t version);
    void SendChatMessage(int ownID, int friendID, const std::string& text);

    // The same for the windows and the command handlers, from the signed-in user (IFriendRequests).
    bool SendAddFriendRequest(int targetID, const std::string& verifyText) override;
    void SendFriendReply(int requesterID, bool accepted) override;
    void SendMoveRequest(int targetID, uint8_t operation) override;
    ChatSendReceipt SendChatMessage(int friendID, const std::string& text) override;
    std::vector<OutboxMessage> PendingChats(int friendID) const override;
    void SendShake(int friendID) override;

    // Sound cues, each gated by the friend sound option.
    void PlayOnlineSound() override;
    void PlayOfflineSound() override;
    int PlayMessageSound() override;
    int PlayNotifySound() override;
    void PlayShakeSound() override;

    // The cues play through this player (not owned) instead of the service's own; null
    // restores the own one. Lets a test hear which file each cue plays.
    void SetSoundPlayer(CMidiPlayer* player);

    // The outbox and the acknowledged-chat extension of the current connection.
    const CChatDelivery& Delivery() const { return *m_pChatDelivery; }

    // IWindowEnvironment
    IFriendHost* GetFriendHost() const override { return m_pFriendHost; }
    const QFont& GetFont() const override { return *m_Font; }
    const tagProxyInfo& GetProxy() const override { return m_Proxy; }
    int32_t GetTipFriendID() const override { return m_nTipFriendID; }

    // User id of the friend named in the last online tip; 0 after an offline tip.
    int32_t m_nTipFriendID = 0;

private:
    // Resets the send stream, lets writeFields fill it and sends it as one command.
    template <typename WriteFields> bool SendCommand(uint16_t sub, WriteFields writeFields) {
        m_SendStream.Reset();
        m_SendStream.SetSubCommand(sub);
        writeFields(m_SendStream);
        return SendBody(sub, m_SendStream.SendBuffer(), m_SendStream.SendSize());
    }
    bool SendBody(uint16_t sub, const void* body, std::size_t size);
    // IChatWire
    bool SendChat(const OutboxMessage& message, bool acknowledged) override;
    bool SendExtensionsAnswer(uint32_t bits) override;
    bool SendDeliveryAck(int32_t senderID, uint64_t messageID) override;
    // The signed-in user's delivery file, read when the service starts.
    void OpenDeliveryFile();
    bool FriendSoundOn() const;
    void PlaySound(const char* fileName);

    // The window manager's part of the host's requests, while it exists.
    void OpenAddRequestWindow(int userID, const std::string& nickName);
    void ShowTip(const std::string& text);

    CSkinBoxNotices m_NoticeBoxes;
    CMidiPlayer m_SoundPlayer;
    CMidiPlayer* m_pSoundPlayer = &m_SoundPlayer;
    IFriendHost* m_pFriendHost = nullptr;
    tagProxyInfo m_Proxy;
    std::unique_ptr<QFont> m_Font;

    // What the window manager hands every window; complete once all managers are made.
    std::unique_ptr<WindowContext> m_pWindowContext;
    // The process-wide managers, created in this order and destroyed in the reverse one.
    std::unique_ptr<CContactManager> m_pContactManager;
    std::unique_ptr<CChatHistoryManager> m_pChatHistoryManager;
    std::unique_ptr<CFriendWindowManager> m_pWindowManager;
    std::unique_ptr<CFriendOptionManager> m_pFriendOptionManager;
    std::unique_ptr<CChatDelivery> m_pChatDelivery;
};

// The process-wide service, null before CreateFriendClient and after DestroyFriendClient.
inline CFriendService* GetFriendService() {
    return CFriendService::GetInstance();
}

} // namespace pellix
