#include "TestHttpServer.h"

TestHttpServer::TestHttpServer(Handler handler) : m_Handler(std::move(handler)) {
    QObject::connect(&m_Server, &QTcpServer::newConnection, [this] { OnNewConnection(); });
    m_Server.listen(QHostAddress::LocalHost, 0);
}

QString TestHttpServer::Url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path);
}

QByteArray TestHttpServer::Response(const QByteArray& status, const QByteArray& contentType,
                                    const QByteArray& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

void TestHttpServer::OnNewConnection() {
    while (QTcpSocket* socket = m_Server.nextPendingConnection()) {
        socket->setParent(&m_Server);
        socket->setProperty("head", QByteArray());
        QObject::connect(socket, &QTcpSocket::readyRead, socket,
                         [this, socket] { OnReadyRead(socket); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            ++disconnected;
            socket->deleteLater();
        });
    }
}

void TestHttpServer::OnReadyRead(QTcpSocket* socket) {
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0 || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    head.truncate(end);
    heads.append(head);
    if (const std::optional<QByteArray> response = m_Handler(head)) {
        socket->write(*response);
        socket->disconnectFromHost();
    }
}
