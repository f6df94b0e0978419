#pragma once
// A web server on 127.0.0.1 for the browser window's tests: reads each request head and answers
// it with whatever the test's handler returns, or never answers when the handler returns
// nothing. Records every request head and notices when a client goes away.

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <optional>

class TestHttpServer {
public:
    using Handler = std::function<std::optional<QByteArray>(const QByteArray& head)>;

    explicit TestHttpServer(Handler handler);
    quint16 Port() const { return m_Server.serverPort(); }
    QString Url(const QString& path) const;

    // A whole response with Content-Length and "Connection: close".
    static QByteArray Response(const QByteArray& status, const QByteArray& contentType,
                               const QByteArray& body);

    QList<QByteArray> heads;
    int disconnected = 0;

private:
    void OnNewConnection();
    void OnReadyRead(QTcpSocket* socket);

    QTcpServer m_Server;
    Handler m_Handler;
};
