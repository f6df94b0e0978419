#include "ClientConnection.h"

#include "ClientService.h"
#include "ClientTls.h"
#include "text/StringUtility.h"

#include <QSslSocket>
#include <QTcpSocket>

#include <algorithm>
#include <utility>

using namespace FrameCodec;

ClientConnection::ClientConnection(IClientService& service) : m_Service(service) {
    SetKeepAliveClock(nullptr);
}

// The socket is a child and goes with this object; only its signals must not reach us first.
ClientConnection::~ClientConnection() {
    if (m_pSocket != nullptr)
        m_pSocket->disconnect(this);
}

void ClientConnection::SetKeepAliveTimes(int sendIdleMs, int receiveIdleMs) {
    m_nSendIdleMs = std::max(sendIdleMs, 1);
    m_nReceiveIdleMs = std::max(receiveIdleMs, 1);
}

void ClientConnection::SetKeepAliveClock(IKeepAliveClock* clock) {
    IKeepAliveClock& source = clock != nullptr ? *clock : SystemKeepAliveClock();
    m_pSendIdleTimer = source.CreateTimer([this] { OnSendIdle(); });
    m_pReceiveIdleTimer = source.CreateTimer([this] { OnReceiveIdle(); });
    // What runs is timed afresh on the new clock.
    if (m_pSocket != nullptr)
        m_pReceiveIdleTimer->Start(m_nReceiveIdleMs);
    if (m_bConnected)
        m_pSendIdleTimer->Start(m_nSendIdleMs);
}

void ClientConnection::Open(const QString& host, quint16 port, const QSslConfiguration* tls) {
    Close();
    QSslSocket* secure = tls != nullptr ? new QSslSocket(this) : nullptr;
    m_pSocket = secure != nullptr ? secure : new QTcpSocket(this);
    m_bTls = secure != nullptr;
    m_strPeer = QStringLiteral("%1:%2").arg(host).arg(port);
    m_pSocket->setProxy(m_Proxy);
    // Whole frames are handed on as they arrive, so one frame's worth is all the socket needs to
    // hold; a flooding peer is throttled by TCP instead of growing our memory.
    m_pSocket->setReadBufferSize(static_cast<qint64>(kMaxFrameSize));
    connect(m_pSocket, &QTcpSocket::readyRead, this, &ClientConnection::OnReadyRead);
    connect(m_pSocket, &QTcpSocket::errorOccurred, this, &ClientConnection::OnSocketError);
    connect(m_pSocket, &QTcpSocket::disconnected, this, [this] {
        Lose(QAbstractSocket::RemoteHostClosedError, QStringLiteral("Connection closed"));
    });
    // An attempt that hangs (a silent host or proxy, a stalled handshake) counts as silence too.
    m_pReceiveIdleTimer->Start(m_nReceiveIdleMs);
    // Both may report a failure at once, through the service; nothing may follow them here.
    if (secure == nullptr) {
        connect(m_pSocket, &QTcpSocket::connected, this, &ClientConnection::OnConnected);
        m_pSocket->connectToHost(host, port);
        return;
    }
    QSslConfiguration configuration = *tls;
    if (m_strTicketPeer == m_strPeer)
        configuration.setSessionTicket(m_SessionTicket);
    secure->setSslConfiguration(configuration);
    // TLS 1.2 hands its ticket over within the handshake, TLS 1.3 after it.
    connect(secure, &QSslSocket::encrypted, this, [this, secure] {
        if (secure->sessionProtocol() == QSsl::TlsV1_2)
            KeepSessionTicket(*secure);
    });
    connect(secure, &QSslSocket::newSessionTicketReceived, this,
            [this, secure] { KeepSessionTicket(*secure); });
    connect(secure, &QSslSocket::encrypted, this, &ClientConnection::OnConnected);
    connect(secure, &QSslSocket::sslErrors, this, &ClientConnection::OnSslErrors);
    // The handshake's own round trips go out at once too.
    connect(secure, &QTcpSocket::connected, this,
            [secure] { secure->setSocketOption(QAbstractSocket::LowDelayOption, 1); });
    secure->connectToHostEncrypted(host, port);
}

void ClientConnection::Close() {
    m_pSendIdleTimer->Stop();
    m_pReceiveIdleTimer->Stop();
    m_Reader.Reset();
    m_bConnected = false;
    if (m_pSocket == nullptr)
        return;
    QTcpSocket* socket = std::exchange(m_pSocket, nullptr);
    socket->disconnect(this);
    socket->abort();
    // Close may run inside one of the socket's own signals.
    socket->deleteLater();
}

void ClientConnection::ForgetSessionTicket() {
    m_SessionTicket.clear();
    m_strTicketPeer.clear();
}

void ClientConnection::KeepSessionTicket(const QSslSocket& socket) {
    const QByteArray ticket = socket.sslConfiguration().sessionTicket();
    if (ticket.isEmpty())
        return;
    m_SessionTicket = ticket;
    m_strTicketPeer = m_strPeer;
}

bool ClientConnection::SendData(uint16_t mainCmd, uint16_t subCmd, const void* data,
                                uint16_t length) {
    if (mainCmd == kLibraryMainCmd)
        return false;
    return WriteFrame(mainCmd, subCmd, data, length);
}

bool ClientConnection::WriteFrame(uint16_t mainCmd, uint16_t subCmd, const void* data,
                                  uint16_t length) {
    if (!m_bConnected)
        return false;
    const QByteArray frame = EncodeFrame(mainCmd, subCmd, data, length);
    if (frame.isEmpty() || m_pSocket->write(frame) != frame.size())
        return false;
    m_pSendIdleTimer->Start(m_nSendIdleMs);
    return true;
}

void ClientConnection::OnConnected() {
    m_bConnected = true;
    m_pSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_pReceiveIdleTimer->Start(m_nReceiveIdleMs);
    m_pSendIdleTimer->Start(m_nSendIdleMs);
    m_Service.OnSocketConnect(0, "", this);
}

// The errors are not ignored, so the socket ends the handshake after this with an error.
void ClientConnection::OnSslErrors(const QList<QSslError>& errors) {
    for (const QSslError& error : errors)
        qCWarning(lcClientTls).noquote()
            << "certificate of" << m_strPeer << "refused:" << error.errorString();
}

void ClientConnection::OnReadyRead() {
    if (m_pSocket->bytesAvailable() <= 0)
        return;
    // Silence is measured between frames: bytes that only extend a started frame do not count,
    // so a peer that stalls or trickles inside a frame is dropped like a silent one.
    const bool wasBetweenFrames = !m_Reader.IsMidFrame();
    bool completedFrame = false;
    if (!ReadFrames(completedFrame))
        return;
    if (wasBetweenFrames || completedFrame)
        m_pReceiveIdleTimer->Start(m_nReceiveIdleMs);
}

bool ClientConnection::ReadFrames(bool& completedFrame) {
    const QTcpSocket* socket = m_pSocket;
    while (m_pSocket->bytesAvailable() > 0) {
        const QByteArray chunk = m_pSocket->read(static_cast<qint64>(m_Reader.Missing()));
        m_Reader.Feed(chunk.constData(), static_cast<std::size_t>(chunk.size()));
        std::optional<Frame> frame = m_Reader.TakeFrame();
        if (!frame)
            continue;
        completedFrame = true;
        HandleFrame(*frame);
        if (m_pSocket != socket)
            return false;
    }
    return true;
}

void ClientConnection::HandleFrame(Frame& frame) {
    if (frame.header.mainCmd == kLibraryMainCmd) {
        if (frame.header.subCmd == kPingSubCmd)
            WriteFrame(kLibraryMainCmd, kPongSubCmd, nullptr, 0);
        return;
    }
    // Handlers get a readable pointer even for an empty body.
    static uint8_t emptyBody = 0;
    void* body = frame.body.empty() ? &emptyBody : frame.body.data();
    m_Service.OnSocketRead(CMD_Command{frame.header.mainCmd, frame.header.subCmd}, body,
                           frame.header.bodyLength, this);
}

void ClientConnection::OnSocketError(QAbstractSocket::SocketError error) {
    Lose(error, m_pSocket->errorString());
}

void ClientConnection::OnSendIdle() {
    WriteFrame(kLibraryMainCmd, kPingSubCmd, nullptr, 0);
}

void ClientConnection::OnReceiveIdle() {
    Lose(QAbstractSocket::SocketTimeoutError, QStringLiteral("Nothing received in time"));
}

void ClientConnection::Lose(QAbstractSocket::SocketError error, const QString& message) {
    if (m_pSocket == nullptr)
        return;
    const bool wasConnected = m_bConnected;
    if (m_bTls && !wasConnected)
        qCWarning(lcClientTls).noquote()
            << "TLS connection to" << m_strPeer << "failed:" << message;
    // Frames that arrived whole before the end are still handed on; a partial one never is.
    bool completedFrame = false;
    if (wasConnected && !ReadFrames(completedFrame))
        return;
    Close();
    if (wasConnected) {
        m_Service.OnSocketClose(this, error == QAbstractSocket::RemoteHostClosedError);
        return;
    }
    // 0 means success, so socket errors are reported one above their Qt value.
    const std::string text = StringUtility::QStringToAnsi(message);
    m_Service.OnSocketConnect(static_cast<int>(error) + 1, text.c_str(), this);
}
