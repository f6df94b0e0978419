#include "ServiceFixture.h"

#include "base/SignedInUser.h"
#include "records/FriendCommands.h"
#include "skin/ScreenMetrics.h"
#include "text/StringUtility.h"

#include <cstring>

namespace pellix {

ServiceFixture::ServiceFixture() {
    ScreenMetrics::SetOverride(QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 728));
    StartNewService();
}

void ServiceFixture::Restart() {
    m_pService.reset();
    m_socket.sent.clear();
    StartNewService();
}

void ServiceFixture::StartNewService() {
    m_pService = std::make_unique<CFriendService>();
    m_pService->AttachSocket(&m_socket);
    tagUserInfo info{};
    info.userID = kOwnID;
    const std::string nick = Gbk("我自己");
    std::memcpy(info.nickName, nick.data(), nick.size());
    std::memcpy(info.userName, "me501", 5);
    m_pService->SetUserInfo(info, "token-501");
    tagProxyInfo proxy;
    m_pService->StartFriendService("127.0.0.1:1", 0, proxy);
    m_pService->StopService();
}

ServiceFixture::~ServiceFixture() {
    m_pService.reset();
    ScreenMetrics::ClearOverride();
}

bool ServiceFixture::Receive(uint16_t sub, const std::vector<uint8_t>& body) {
    return m_pService->OnServiceCommand({CMD_FRIEND, sub}, body.data(),
                                        static_cast<unsigned short>(body.size()));
}

void ServiceFixture::SignOnWith(const std::vector<FriendEntry>& friends) {
    Receive(SUB_S_FRIEND_LIST, SignOnListBody(friends));
}

std::string ServiceFixture::HistoryPath(int peerID) const {
    return (m_workDir.Path() +
            QStringLiteral("/Profile/%1/ChatHistory/%2.data").arg(kOwnID).arg(peerID))
        .toStdString();
}

} // namespace pellix
