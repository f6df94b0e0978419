#pragma once
// A throwaway nats-server for tests: started on a port of its own choosing on 127.0.0.1, which it
// writes into a ports file in a temporary folder, and killed when the object goes.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace pellix {

class NatsServer {
public:
    // Starts the server; Url() tells whether it came up.
    NatsServer();
    ~NatsServer();
    NatsServer(const NatsServer&) = delete;
    NatsServer& operator=(const NatsServer&) = delete;

    // nats://127.0.0.1:PORT once the server listens; empty when it did not start within 10 s
    // (ErrorOutput() then says why).
    QString Url();
    QString ErrorOutput();

private:
    QTemporaryDir m_Dir;
    QProcess m_Process;
    QString m_Url;
};

} // namespace pellix
