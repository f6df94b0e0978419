#pragma once
// One connection to a NATS server for the cluster, living on the Qt main thread. The client
// library reads, reconnects and calls back on threads of its own; every message and connection
// event is handed to the main thread as a queued call, in the order the server sent them (one
// delivery thread serves every subscription). Publishing only appends to the library's buffer,
// which its own thread writes out; while reconnecting, that buffer keeps what is published.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <nats/nats.h>

#include <memory>
#include <vector>

namespace pellix::server {

class NatsConnection final : public QObject {
    Q_OBJECT
public:
    // Connects, or throws std::runtime_error saying why. name is shown in the server's monitor.
    NatsConnection(const QString& url, const QString& name, QObject* parent = nullptr);
    ~NatsConnection() override;
    NatsConnection(const NatsConnection&) = delete;
    NatsConnection& operator=(const NatsConnection&) = delete;

    // Throws std::runtime_error when the subscription cannot be made.
    void Subscribe(const QByteArray& subject);
    // False when the library would not take it (the connection is closed, or its reconnect
    // buffer is full); what is published while connected may still be lost with the connection.
    bool Publish(const QByteArray& subject, const QByteArray& data);

    // The library's client shuts down its threads; for the end of the program, once every
    // connection is gone.
    static void CloseLibrary();

Q_SIGNALS:
    void received(const QByteArray& subject, const QByteArray& data);
    void disconnected();
    void reconnected();

public:
    // Hands library callbacks to the main thread while the connection object lives.
    struct Relay;

private:
    std::shared_ptr<Relay> m_pRelay;
    natsConnection* m_pConnection = nullptr;
    std::vector<natsSubscription*> m_Subscriptions;
};

} // namespace pellix::server
