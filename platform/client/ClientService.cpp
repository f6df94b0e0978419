#include "ClientService.h"

#include "ClientConnection.h"
#include "ClientTls.h"
#include "NetworkProxy.h"
#include "ServerAddress.h"

#include <QLoggingCategory>
#include <QSslConfiguration>
#include <QTimer>

#include <algorithm>

Q_LOGGING_CATEGORY(lcClientConnection, "pellix.client.connection")

CClientService::CClientService(const char* name)
    : m_strName(name != nullptr ? name : ""),
      m_pConnection(std::make_unique<ClientConnection>(*this)),
      m_pReconnectTimer(std::make_unique<QTimer>()) {
    m_pClientSocket = m_pConnection.get();
    m_pReconnectTimer->setSingleShot(true);
    QObject::connect(m_pReconnectTimer.get(), &QTimer::timeout,
                     [this] { OnTimerEx(kReconnectTimerID); });
}

CClientService::~CClientService() = default;

bool CClientService::IsValid() {
    return true;
}

// The derived service is owned and deleted by whoever created it.
void CClientService::Release() {}

void* CClientService::QueryInterface(const GUID&, unsigned long) {
    return nullptr;
}

bool CClientService::OnSocketConnect(int error, const char*, IClientSocket*) {
    if (error != 0) {
        ScheduleNextAttempt();
        return false;
    }
    return OnServerConnected();
}

bool CClientService::OnSocketRead(const CMD_Command& command, void* body, unsigned short length,
                                  IClientSocket*) {
    if (command.wMainCmdID == 0)
        return true;
    // A server that answers is reachable again: later failures start from the shortest delay.
    // Resetting only on a command, not on connect, keeps a server that accepts and closes at
    // once from being hammered.
    m_ReconnectPolicy.Reset();
    m_bServerAnswered = true;
    return OnServiceCommand(command, body, length);
}

bool CClientService::OnSocketClose(IClientSocket*, bool) {
    ScheduleNextAttempt();
    return true;
}

void CClientService::ScheduleNextAttempt() {
    if (!m_bRunning)
        return;
    if (m_bServerAnswered) {
        m_NodeRotation.MoveOnAfterLoss();
        StartReconnectTimer();
    } else if (m_NodeRotation.MoveOnAfterFailure()) {
        StartReconnectTimer(0);
    } else {
        StartReconnectTimer();
    }
}

bool CClientService::StartService(const std::string& host, unsigned short port) {
    StopService();
    const std::optional<ServerAddress> address = ParseServerAddress(host, port);
    if (!address || !LoadTlsSettings(*address))
        return false;
    m_strHost = host;
    m_wPort = port;
    m_bRunning = true;
    m_NodeRotation.Start(address->nodes.size());
    return ConnectToServer(host, port);
}

bool CClientService::LoadTlsSettings(const ServerAddress& address) {
    m_pTlsConfiguration.reset();
    m_pConnection->ForgetSessionTicket();
    if (!address.tls)
        return true;
    QString error;
    std::optional<QSslConfiguration> configuration =
        ClientTls::MakeConfiguration(address.caFile, error);
    if (!configuration) {
        qCWarning(lcClientTls).noquote()
            << "the service" << m_strName.c_str() << "does not start:" << error;
        return false;
    }
    m_pTlsConfiguration = std::make_unique<QSslConfiguration>(std::move(*configuration));
    return true;
}

bool CClientService::StopService() {
    m_bRunning = false;
    StopReconnectTimer();
    m_pConnection->Close();
    m_ReconnectPolicy.Reset();
    return true;
}

bool CClientService::RestartService() {
    if (m_strHost.empty())
        return false;
    const std::string host = m_strHost;
    return StartService(host, m_wPort);
}

bool CClientService::ConnectToServer(const std::string& host, unsigned short port) {
    const std::optional<ServerAddress> address = ParseServerAddress(host, port);
    // A TLS address never goes out in clear text: without its settings there is no attempt.
    if (!address || (address->tls && !m_pTlsConfiguration))
        return false;
    // The rotation counts the running address's nodes; the remainder keeps any other in range.
    const std::size_t count = address->nodes.size();
    const std::size_t index = m_NodeRotation.Current() % count;
    const ServerNode& node = address->nodes[index];
    // A single node is all there is to try; which of several is tried is worth a line.
    if (count > 1)
        qCInfo(lcClientConnection).noquote() << "the service" << m_strName.c_str() << "tries node"
                                             << QStringLiteral("%1 of %2: %3:%4")
                                                    .arg(index + 1)
                                                    .arg(count)
                                                    .arg(node.host)
                                                    .arg(node.port);
    m_bServerAnswered = false;
    m_pConnection->Open(node.host, node.port, address->tls ? m_pTlsConfiguration.get() : nullptr);
    return true;
}

void CClientService::StartReconnectTimer(int delayMs) {
    m_pReconnectTimer->start(std::max(delayMs, 0));
}

void CClientService::StartReconnectTimer() {
    if (m_bRunning)
        StartReconnectTimer(m_ReconnectPolicy.NextDelayMs());
}

bool CClientService::IsConnectionOpen() const {
    return m_pConnection->IsOpen();
}

bool CClientService::IsReconnectPending() const {
    return m_pReconnectTimer->isActive();
}

void CClientService::StopReconnectTimer() {
    m_pReconnectTimer->stop();
}

void CClientService::OnTimerEx(unsigned int timerID) {
    if (timerID == kReconnectTimerID && m_bRunning)
        ConnectToServer(m_strHost, m_wPort);
}

void CClientService::SetProxy(tagProxyInfo& proxy) {
    m_pConnection->SetProxy(ToNetworkProxy(proxy));
}

void CClientService::SetKeepAliveTimes(int sendIdleMs, int receiveIdleMs) {
    m_pConnection->SetKeepAliveTimes(sendIdleMs, receiveIdleMs);
}

void CClientService::SetKeepAliveClock(IKeepAliveClock* clock) {
    m_pConnection->SetKeepAliveClock(clock);
}

void CClientService::SetReconnectDelays(int baseMs, int maxMs) {
    m_ReconnectPolicy.SetDelays(baseMs, maxMs);
}

bool CClientService::IsConnected() const {
    return m_pConnection->IsConnected();
}

void CClientService::AttachSocket(IClientSocket* socket) {
    m_pClientSocket = socket != nullptr ? socket : m_pConnection.get();
}
