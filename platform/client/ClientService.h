#pragma once
// The client library's network base of a service: keeps one framed connection to a server,
// reconnects by itself, and hands every received command to the derived service. Everything runs
// on the Qt main thread.

#include "CMD_Command.h"
#include "ClientSocket.h"
#include "CommandStream.h"
#include "NodeRotation.h"
#include "ReconnectPolicy.h"
#include "pellix/ProxyInfo.h"

#include <cstdint>
#include <memory>
#include <string>

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};
};

// The service interface, in the library's slot order.
class IClientService {
public:
    virtual bool IsValid() = 0;
    virtual void Release() = 0;
    virtual void* QueryInterface(const GUID& guid, unsigned long version) = 0;
    virtual bool OnSocketConnect(int error, const char* message, IClientSocket* socket) = 0;
    virtual bool OnSocketRead(const CMD_Command& command, void* body, unsigned short length,
                              IClientSocket* socket) = 0;
    virtual bool OnSocketClose(IClientSocket* socket, bool closedByServer) = 0;
    virtual bool StartService(const std::string& host, unsigned short port) = 0;
    virtual bool StopService() = 0;
    virtual bool RestartService() = 0;
    virtual bool OnServerConnected() = 0;
    virtual bool OnServiceNotify(int notify) = 0;
    virtual bool OnServiceCommand(CMD_Command command, const void* body, unsigned short length) = 0;
    virtual bool ConnectToServer(const std::string& host, unsigned short port) = 0;
    virtual void StartReconnectTimer(int delayMs) = 0;
    virtual void StartReconnectTimer() = 0;
    virtual void StopReconnectTimer() = 0;

protected:
    ~IClientService() = default;
};

class ITimerSink {
public:
    virtual ~ITimerSink() = default;
    virtual void OnTimerEx(unsigned int timerID) = 0;
};

class ClientConnection;
class IKeepAliveClock;
class QSslConfiguration;
class QTimer;
struct ServerAddress;

class CClientService : public IClientService, public ITimerSink {
public:
    explicit CClientService(const char* name);
    ~CClientService() override;
    CClientService(const CClientService&) = delete;
    CClientService& operator=(const CClientService&) = delete;

    // Timer ids of OnTimerEx.
    static constexpr unsigned int kReconnectTimerID = 1;

    bool IsValid() override;
    void Release() override;
    void* QueryInterface(const GUID& guid, unsigned long version) override;
    // error is 0 when the connection is up, otherwise the failure's QAbstractSocket::SocketError
    // plus one; a failure schedules the next attempt, at the next node.
    bool OnSocketConnect(int error, const char* message, IClientSocket* socket) override;
    // Main command 0 is the library's own and is not passed on.
    bool OnSocketRead(const CMD_Command& command, void* body, unsigned short length,
                      IClientSocket* socket) override;
    // A lost connection schedules the next attempt, at the next node, while the service runs.
    bool OnSocketClose(IClientSocket* socket, bool closedByServer) override;
    // Drops what runs, connects, and keeps reconnecting until StopService. host may carry its
    // own port as "host:port", which then overrides the port argument; "tls://host[:port]" makes
    // every connection TLS, and "tls://host[:port]?ca=PATH" trusts the CA certificates in that
    // file besides the system's. Several nodes, "a:5500,b", are tried in turn, the first one
    // first (see ServerAddress.h and NodeRotation.h). False when the address is unusable or its
    // CA file cannot be read; the reason goes to the log.
    bool StartService(const std::string& host, unsigned short port) override;
    bool StopService() override;
    // Starts again with the arguments of the last StartService.
    bool RestartService() override;
    bool OnServerConnected() override { return true; }
    bool OnServiceNotify(int) override { return true; }
    bool OnServiceCommand(CMD_Command, const void*, unsigned short) override { return false; }
    // One attempt at the node of the address whose turn it is.
    bool ConnectToServer(const std::string& host, unsigned short port) override;
    void StartReconnectTimer(int delayMs) override;
    // After the reconnect policy's next delay.
    void StartReconnectTimer() override;
    void StopReconnectTimer() override;
    void OnTimerEx(unsigned int timerID) override;

    // Applied to every connection made after the call.
    void SetProxy(tagProxyInfo& proxy);

    // A ping goes out after sendIdleMs without sending (30 s by default); a connection on which
    // nothing arrived for receiveIdleMs (75 s) is dropped and made again. Applies from the next
    // start of each timer.
    void SetKeepAliveTimes(int sendIdleMs, int receiveIdleMs);
    // Runs both keep-alive timers on this clock (not owned, kept until replaced); null goes back
    // to Qt's timers. For tests that let minutes pass at once.
    void SetKeepAliveClock(IKeepAliveClock* clock);
    // Reconnect delays double from baseMs (1 s) up to maxMs (30 s), less some jitter.
    void SetReconnectDelays(int baseMs, int maxMs);
    bool IsConnected() const;
    // A connection or an attempt is under way, or the next attempt is scheduled.
    bool IsConnectionOpen() const;
    bool IsReconnectPending() const;

    // The socket sends go through: the library's own connection unless one was attached
    // (a recording socket in tests); null restores the library's own.
    IClientSocket* GetClientSocket() const { return m_pClientSocket; }
    void AttachSocket(IClientSocket* socket);

    const std::string& GetServiceName() const { return m_strName; }

    // The library's two service bytes; the derived service sets them.
    uint8_t m_bServiceOption = 0;
    uint8_t m_bServerFlag = 0;

protected:
    // The send stream of every variable-length request, reused from one request to the next.
    CCommandStream m_SendStream;
    IClientSocket* m_pClientSocket = nullptr;

private:
    // Reads the TLS settings of a tls:// address (and forgets those of an earlier one); false
    // when its CA file cannot be used.
    bool LoadTlsSettings(const ServerAddress& address);
    // After a failed attempt or a lost connection: the next node, at once or after the delay.
    void ScheduleNextAttempt();

    std::string m_strName;
    std::unique_ptr<ClientConnection> m_pConnection;
    std::unique_ptr<QTimer> m_pReconnectTimer;
    // The TLS settings of the running service's address, read when it started; null for a plain
    // address.
    std::unique_ptr<QSslConfiguration> m_pTlsConfiguration;
    ReconnectPolicy m_ReconnectPolicy;
    NodeRotation m_NodeRotation;
    // The server has answered on the current connection: losing it is no failed attempt.
    bool m_bServerAnswered = false;
    // The arguments of the last StartService, for reconnects and RestartService.
    std::string m_strHost;
    unsigned short m_wPort = 0;
    bool m_bRunning = false;
};
