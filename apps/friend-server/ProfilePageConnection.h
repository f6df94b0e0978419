#pragma once
// One connection to the profile page server: reads the request head, hands it to the server for
// the answer, writes the answer and closes. A head that is too large or malformed is answered
// with 431 or 400; a request that does not arrive, or an answer the client does not take, within
// the time limit ends the connection without more. Owned by the ProfilePageServer, which deletes
// it after closed().

#include "HttpRequestHead.h"
#include "ProfilePage.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

class QTcpSocket;

namespace pellix::server {

class ProfilePageConnection final : public QObject {
    Q_OBJECT
public:
    using Responder = std::function<HttpResponse(const HttpRequestHead& head)>;

    ProfilePageConnection(QTcpSocket* socket, qsizetype maxHeadBytes,
                          std::chrono::milliseconds timeout, Responder responder,
                          QObject* parent = nullptr);
    ~ProfilePageConnection() override;

    // Ends the connection at once; closed() follows unless it was already emitted.
    void Drop();

Q_SIGNALS:
    void closed(ProfilePageConnection* connection);

private:
    void OnReadyRead();
    void Respond(const HttpResponse& response);
    void Close();

    QTcpSocket* m_pSocket;
    QTimer m_Deadline;
    qsizetype m_nMaxHeadBytes;
    Responder m_Responder;
    QByteArray m_Received;
    bool m_bAnswered = false;
    bool m_bClosed = false;
};

} // namespace pellix::server
