#pragma once
// The client library's connection to a server: one socket at a time (a QTcpSocket, or a QSslSocket
// for a TLS server) speaking the library's framing, answering pings, sending its own when idle, and
// dropping a connection on which nothing has arrived for too long. It reports every outcome to the
// owning service through the service's socket callbacks. Owned by CClientService; lives on the Qt
// main thread.

#include "ClientSocket.h"
#include "FrameCodec.h"
#include "KeepAliveClock.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QList>
#include <QNetworkProxy>
#include <QObject>

#include <memory>

class IClientService;
class QSslConfiguration;
class QSslError;
class QSslSocket;
class QTcpSocket;

class ClientConnection final : public QObject, public IClientSocket {
    Q_OBJECT
public:
    static constexpr int kDefaultSendIdleMs = 30000;
    static constexpr int kDefaultReceiveIdleMs = 75000;

    explicit ClientConnection(IClientService& service);
    ~ClientConnection() override;

    void SetProxy(const QNetworkProxy& proxy) { m_Proxy = proxy; }
    // A ping goes out after sendIdleMs without sending; the connection (or an attempt) is dropped
    // after receiveIdleMs without receiving, or when a started frame takes longer than that.
    void SetKeepAliveTimes(int sendIdleMs, int receiveIdleMs);
    // Times both on this clock (not owned; it must outlive the connection or be replaced); null
    // goes back to Qt's timers. A running connection's timers start afresh on the new clock.
    void SetKeepAliveClock(IKeepAliveClock* clock);

    // Drops what runs and starts one attempt; the outcome comes through OnSocketConnect. With a
    // TLS configuration the connection counts as made only once the handshake has verified the
    // server: nothing is sent before, and a handshake that fails is a failed attempt.
    void Open(const QString& host, quint16 port, const QSslConfiguration* tls = nullptr);
    // Drops the connection or attempt without reporting it.
    void Close();
    // The session ticket of the last TLS handshake is offered only to the server that gave it,
    // and to none once the TLS settings it was made under are replaced.
    void ForgetSessionTicket();
    bool IsConnected() const { return m_bConnected; }
    // A connection or an attempt is under way.
    bool IsOpen() const { return m_pSocket != nullptr; }

    // False when not connected, for the library's own main command 0, or for a null body with
    // a non-zero length.
    bool SendData(uint16_t mainCmd, uint16_t subCmd, const void* data, uint16_t length) override;

private:
    void OnConnected();
    void OnSslErrors(const QList<QSslError>& errors);
    void KeepSessionTicket(const QSslSocket& socket);
    void OnReadyRead();
    void OnSocketError(QAbstractSocket::SocketError error);
    void OnSendIdle();
    void OnReceiveIdle();

    // Hands whole frames on while bytes wait; false when a handler closed or replaced the socket.
    bool ReadFrames(bool& completedFrame);
    void HandleFrame(FrameCodec::Frame& frame);
    bool WriteFrame(uint16_t mainCmd, uint16_t subCmd, const void* data, uint16_t length);
    // Ends the current socket and tells the service how.
    void Lose(QAbstractSocket::SocketError error, const QString& message);
    void ReleaseSocket();

    IClientService& m_Service;
    QNetworkProxy m_Proxy{QNetworkProxy::NoProxy};
    QTcpSocket* m_pSocket = nullptr; // a child of this connection, released with deleteLater
    bool m_bConnected = false;
    bool m_bTls = false;
    // "host:port" of the current attempt, for the log.
    QString m_strPeer;
    // The session of the last TLS handshake (Qt's form of it) and the "host:port" it was with.
    QByteArray m_SessionTicket;
    QString m_strTicketPeer;
    FrameCodec::FrameReader m_Reader;
    int m_nSendIdleMs = kDefaultSendIdleMs;
    int m_nReceiveIdleMs = kDefaultReceiveIdleMs;
    std::unique_ptr<IKeepAliveTimer> m_pSendIdleTimer;
    std::unique_ptr<IKeepAliveTimer> m_pReceiveIdleTimer;
};
