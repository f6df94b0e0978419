#include "ClientService.h"

// Placeholder connection until the network side lands: nothing connects yet.
class ClientConnection {};

CClientService::CClientService(const char* name) : m_strName(name != nullptr ? name : "") {}

CClientService::~CClientService() = default;

bool CClientService::IsValid() { return true; }
void CClientService::Release() {}
void* CClientService::QueryInterface(const GUID&, unsigned long) { return nullptr; }
bool CClientService::OnSocketConnect(int, const char*, IClientSocket*) { return true; }
bool CClientService::OnSocketRead(const CMD_Command& command, void* body, unsigned short length,
                                  IClientSocket*) {
    return OnServiceCommand(command, body, length);
}
bool CClientService::OnSocketClose(IClientSocket*, bool) { return true; }
bool CClientService::StartService(const std::string&, unsigned short) { return false; }
bool CClientService::StopService() { return true; }
bool CClientService::RestartService() { return false; }
bool CClientService::ConnectToServer(const std::string&, unsigned short) { return false; }
void CClientService::StartReconnectTimer(int) {}
void CClientService::StartReconnectTimer() {}
void CClientService::StopReconnectTimer() {}
void CClientService::OnTimerEx(unsigned int) {}
void CClientService::SetProxy(tagProxyInfo&) {}
void CClientService::AttachSocket(IClientSocket* socket) { m_pClientSocket = socket; }
