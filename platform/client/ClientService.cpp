#include "ClientService.h"

#include "ClientConnection.h"
#include "ClientTls.h"
#include "NetworkProxy.h"
#include "ServerAddress.h"

#include <QSslConfiguration>
#include <QTimer>

#include <algorithm>

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
        StartReconnectTimer();
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
    return OnServiceCommand(command, body, length);
}

bool CClientService::OnSocketClose(IClientSocket*, bool) {
    StartReconnectTimer();
    return true;
}

bool CClientService::StartService(const std::string& host, unsigned short port) {
    StopService();
    const std::optional<ServerAddress> address = ParseServerAddress(host, port);
    if (!address || !LoadTlsSettings(*address))
        return false;
    m_strHost = host;
    m_wPort = port;
    m_bRunning = true;
    return ConnectToServer(host, port);
}

bool CClientService::LoadTlsSettings(const ServerAddress& address) {
    m_pTlsConfiguration.reset();
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
    m_pConnection->Open(address->host, address->port,
                        address->tls ? m_pTlsConfiguration.get() : nullptr);
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
