#include "NatsConnection.h"

#include <QMetaObject>

#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>

namespace pellix::server {

namespace {

// Lost connections are retried for as long as the server runs, every half second.
constexpr int64_t kReconnectWaitMs = 500;
constexpr int64_t kConnectTimeoutMs = 5000;
// What a connection cut for a while keeps of what is published meanwhile.
constexpr int kReconnectBufferBytes = 32 * 1024 * 1024;

std::string Failure(const char* what, natsStatus status) {
    const char* detail = nats_GetLastError(nullptr);
    return std::string(what) + ": " +
           (detail != nullptr && *detail != '\0' ? detail : natsStatus_GetText(status));
}

void Check(natsStatus status, const char* what) {
    if (status != NATS_OK)
        throw std::runtime_error(Failure(what, status));
}

} // namespace

struct NatsConnection::Relay {
    std::mutex mutex;
    NatsConnection* target = nullptr;

    void Post(std::function<void(NatsConnection&)> call) {
        const std::lock_guard<std::mutex> lock(mutex);
        if (target == nullptr)
            return;
        NatsConnection* connection = target;
        QMetaObject::invokeMethod(
            connection, [connection, call = std::move(call)] { call(*connection); },
            Qt::QueuedConnection);
    }
};

namespace {

using RelayHandle = std::shared_ptr<NatsConnection::Relay>;

void OnMessage(natsConnection*, natsSubscription*, natsMsg* message, void* closure) {
    QByteArray subject(natsMsg_GetSubject(message));
    QByteArray data(natsMsg_GetData(message), natsMsg_GetDataLength(message));
    natsMsg_Destroy(message);
    static_cast<RelayHandle*>(closure)->get()->Post(
        [subject = std::move(subject), data = std::move(data)](NatsConnection& connection) {
            Q_EMIT connection.received(subject, data);
        });
}

// The closure of a subscription lives until the library says no callback of it will follow.
void OnSubscriptionComplete(void* closure) {
    delete static_cast<RelayHandle*>(closure);
}

void OnDisconnected(natsConnection*, void* closure) {
    static_cast<RelayHandle*>(closure)->get()->Post(
        [](NatsConnection& connection) { Q_EMIT connection.disconnected(); });
}

void OnReconnected(natsConnection*, void* closure) {
    static_cast<RelayHandle*>(closure)->get()->Post(
        [](NatsConnection& connection) { Q_EMIT connection.reconnected(); });
}

// The last callback of a connection: its closure goes with it.
void OnClosed(natsConnection*, void* closure) {
    delete static_cast<RelayHandle*>(closure);
}

struct OptionsDeleter {
    void operator()(natsOptions* options) const { natsOptions_Destroy(options); }
};

} // namespace

NatsConnection::NatsConnection(const QString& url, const QString& name, QObject* parent)
    : QObject(parent), m_pRelay(std::make_shared<Relay>()) {
    m_pRelay->target = this;
    natsOptions* rawOptions = nullptr;
    Check(natsOptions_Create(&rawOptions), "NATS options");
    const std::unique_ptr<natsOptions, OptionsDeleter> options(rawOptions);
    const QByteArray urlBytes = url.toUtf8();
    const QByteArray nameBytes = name.toUtf8();
    Check(natsOptions_SetURL(options.get(), urlBytes.constData()), "NATS address");
    Check(natsOptions_SetName(options.get(), nameBytes.constData()), "NATS name");
    // A node never needs what it published itself.
    Check(natsOptions_SetNoEcho(options.get(), true), "NATS options");
    Check(natsOptions_SetTimeout(options.get(), kConnectTimeoutMs), "NATS options");
    Check(natsOptions_SetMaxReconnect(options.get(), -1), "NATS options");
    Check(natsOptions_SetReconnectWait(options.get(), kReconnectWaitMs), "NATS options");
    Check(natsOptions_SetReconnectBufSize(options.get(), kReconnectBufferBytes), "NATS options");
    // One delivery thread for every subscription keeps the order the server sent them in.
    Check(natsOptions_UseGlobalMessageDelivery(options.get(), true), "NATS options");
    auto* eventsClosure = new RelayHandle(m_pRelay);
    natsOptions_SetDisconnectedCB(options.get(), OnDisconnected, eventsClosure);
    natsOptions_SetReconnectedCB(options.get(), OnReconnected, eventsClosure);
    natsOptions_SetClosedCB(options.get(), OnClosed, eventsClosure);
    const natsStatus status = natsConnection_Connect(&m_pConnection, options.get());
    if (status != NATS_OK) {
        delete eventsClosure;
        throw std::runtime_error(Failure("cannot connect to NATS", status));
    }
}

NatsConnection::~NatsConnection() {
    {
        const std::lock_guard<std::mutex> lock(m_pRelay->mutex);
        m_pRelay->target = nullptr;
    }
    for (natsSubscription* subscription : m_Subscriptions)
        natsSubscription_Destroy(subscription);
    natsConnection_Close(m_pConnection);
    natsConnection_Destroy(m_pConnection);
}

void NatsConnection::Subscribe(const QByteArray& subject) {
    auto* closure = new RelayHandle(m_pRelay);
    natsSubscription* subscription = nullptr;
    const natsStatus status = natsConnection_Subscribe(&subscription, m_pConnection,
                                                       subject.constData(), OnMessage, closure);
    if (status != NATS_OK) {
        delete closure;
        throw std::runtime_error(Failure("cannot subscribe on NATS", status));
    }
    natsSubscription_SetOnCompleteCB(subscription, OnSubscriptionComplete, closure);
    m_Subscriptions.push_back(subscription);
}

bool NatsConnection::Publish(const QByteArray& subject, const QByteArray& data) {
    return natsConnection_Publish(m_pConnection, subject.constData(), data.constData(),
                                  static_cast<int>(data.size())) == NATS_OK;
}

void NatsConnection::CloseLibrary() {
    constexpr int64_t kWaitMs = 2000;
    nats_CloseAndWait(kWaitMs);
}

} // namespace pellix::server
