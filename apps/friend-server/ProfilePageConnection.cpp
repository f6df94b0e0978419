#include "ProfilePageConnection.h"

#include <QTcpSocket>

namespace pellix::server {

ProfilePageConnection::ProfilePageConnection(QTcpSocket* socket, qsizetype maxHeadBytes,
                                             std::chrono::milliseconds timeout, Responder responder,
                                             QObject* parent)
    : QObject(parent), m_pSocket(socket), m_nMaxHeadBytes(maxHeadBytes),
      m_Responder(std::move(responder)) {
    m_pSocket->setParent(this);
    // No more than one head waits in the socket; a flood stays in the peer's send queue.
    m_pSocket->setReadBufferSize(maxHeadBytes + 1);
    m_Deadline.setSingleShot(true);
    connect(&m_Deadline, &QTimer::timeout, this, &ProfilePageConnection::Drop);
    m_Deadline.start(timeout);
    connect(m_pSocket, &QTcpSocket::readyRead, this, &ProfilePageConnection::OnReadyRead);
    connect(m_pSocket, &QTcpSocket::disconnected, this, &ProfilePageConnection::Close);
    connect(m_pSocket, &QTcpSocket::errorOccurred, this, &ProfilePageConnection::Close);
}

ProfilePageConnection::~ProfilePageConnection() {
    m_pSocket->disconnect(this);
}

void ProfilePageConnection::Drop() {
    if (m_bClosed)
        return;
    m_pSocket->abort();
    Close();
}

void ProfilePageConnection::OnReadyRead() {
    if (m_bAnswered) {
        // Whatever follows the request is not read as another one.
        m_pSocket->readAll();
        return;
    }
    m_Received += m_pSocket->read(m_nMaxHeadBytes + 1 - m_Received.size());
    const HeadReading reading = ReadRequestHead(m_Received, m_nMaxHeadBytes);
    switch (reading.status) {
    case HeadReading::Status::Incomplete:
        return;
    case HeadReading::Status::TooLarge:
        Respond(StatusResponse(431));
        return;
    case HeadReading::Status::Malformed:
        Respond(StatusResponse(400));
        return;
    case HeadReading::Status::Complete:
        Respond(m_Responder(reading.head));
        return;
    }
}

void ProfilePageConnection::Respond(const HttpResponse& response) {
    m_bAnswered = true;
    m_Received.clear();
    m_pSocket->write(EncodeResponse(response));
    // Closes once the answer is written; the deadline still bounds a peer that does not read.
    m_pSocket->disconnectFromHost();
}

void ProfilePageConnection::Close() {
    if (m_bClosed)
        return;
    m_bClosed = true;
    m_Deadline.stop();
    Q_EMIT closed(this);
}

} // namespace pellix::server
