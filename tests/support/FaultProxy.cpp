#include "FaultProxy.h"

#include "client/FrameCodec.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <optional>

namespace pellix {

namespace {

// Where the frames of one direction begin and end, from the bytes forwarded so far.
class FrameBoundary {
public:
    bool AtBoundary() const { return m_nHeaderBytes == 0 && m_nBodyLeft == 0; }

    // Takes bytes until the frame under way (or, at a boundary, the next one) is whole; returns
    // how many it took.
    std::size_t TakeToBoundary(const char* data, std::size_t size) {
        std::size_t taken = 0;
        do {
            if (m_nHeaderBytes < FrameCodec::kHeaderSize) {
                const std::size_t part =
                    std::min(size - taken, FrameCodec::kHeaderSize - m_nHeaderBytes);
                std::copy_n(data + taken, part, m_Header + m_nHeaderBytes);
                m_nHeaderBytes += part;
                taken += part;
                if (m_nHeaderBytes < FrameCodec::kHeaderSize)
                    return taken;
                FrameCodec::FrameHeader header;
                FrameCodec::DecodeHeader(m_Header, FrameCodec::kHeaderSize, header);
                m_nBodyLeft = header.bodyLength;
            }
            const std::size_t part = std::min(size - taken, m_nBodyLeft);
            m_nBodyLeft -= part;
            taken += part;
            if (m_nBodyLeft == 0)
                m_nHeaderBytes = 0;
        } while (!AtBoundary() && taken < size);
        return taken;
    }
    void Take(const char* data, std::size_t size) {
        std::size_t taken = 0;
        while (taken < size)
            taken += TakeToBoundary(data + taken, size - taken);
    }

private:
    uint8_t m_Header[FrameCodec::kHeaderSize] = {};
    std::size_t m_nHeaderBytes = 0;
    std::size_t m_nBodyLeft = 0;
};

// One direction of a connection: what came in and waits to go on, and where its frames end.
struct Pipe {
    QTcpSocket* from = nullptr;
    QTcpSocket* to = nullptr;
    // Pieces with the time each may go on.
    std::deque<std::pair<std::chrono::steady_clock::time_point, QByteArray>> waiting;
    FrameBoundary boundary;
    // A cut asked for this direction and not yet made; done once its last byte went on.
    std::optional<FaultProxy::Cut> cut;
    bool done = false;
};

} // namespace

// One accepted connection and its connection to the target.
class FaultProxy::Link : public QObject {
public:
    Link(FaultProxy& proxy, QTcpSocket* downstream) : QObject(&proxy), m_Proxy(proxy) {
        downstream->setParent(this);
        auto* upstream = new QTcpSocket(this);
        m_Pipes[0].from = downstream;
        m_Pipes[0].to = upstream;
        m_Pipes[1].from = upstream;
        m_Pipes[1].to = downstream;
        for (Pipe& pipe : m_Pipes) {
            connect(pipe.from, &QTcpSocket::readyRead, this, [this, &pipe] { Read(pipe); });
            connect(pipe.from, &QTcpSocket::disconnected, this, [this] { Close(false); });
            connect(pipe.from, &QTcpSocket::errorOccurred, this, [this] { Close(false); });
        }
        connect(upstream, &QTcpSocket::connected, this, [this] { Pump(); });
        m_Proxy.m_Links.push_back(this);
        upstream->connectToHost(QHostAddress::LocalHost, proxy.m_nTargetPort);
    }
    ~Link() override { std::erase(m_Proxy.m_Links, this); }

    void Cut(FaultProxy::Cut how) {
        if (how == FaultProxy::Cut::Now) {
            Close(true);
            return;
        }
        for (Pipe& pipe : m_Pipes)
            pipe.cut = how;
        // A direction with nothing to send for a while ends where it stands.
        QTimer::singleShot(300, this, [this] { Close(false); });
        Pump();
    }

    void Pump() {
        if (m_bClosed || m_Proxy.m_bStalled)
            return;
        for (Pipe& pipe : m_Pipes)
            PumpPipe(pipe);
        if (std::all_of(std::begin(m_Pipes), std::end(m_Pipes),
                        [](const Pipe& pipe) { return pipe.done; }))
            Close(false);
    }

private:
    void Read(Pipe& pipe) {
        const QByteArray bytes = pipe.from->readAll();
        if (bytes.isEmpty() || pipe.done)
            return;
        const auto due = std::chrono::steady_clock::now() + m_Proxy.m_Delay;
        pipe.waiting.emplace_back(due, bytes);
        if (m_Proxy.m_Delay.count() > 0)
            QTimer::singleShot(m_Proxy.m_Delay, this, [this] { Pump(); });
        Pump();
    }

    void PumpPipe(Pipe& pipe) {
        if (pipe.done || pipe.to->state() != QAbstractSocket::ConnectedState)
            return;
        // Cut inside a frame already, or at a boundary with nothing more of the frame to send.
        const bool midFrame = !pipe.boundary.AtBoundary();
        if ((pipe.cut == FaultProxy::Cut::MidFrame && midFrame) ||
            (pipe.cut == FaultProxy::Cut::AtFrameBoundary && !midFrame)) {
            pipe.done = true;
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        while (!pipe.waiting.empty() && pipe.waiting.front().first <= now && !pipe.done) {
            QByteArray& piece = pipe.waiting.front().second;
            const qsizetype sent = Forward(pipe, piece);
            if (sent == piece.size())
                pipe.waiting.pop_front();
            else
                piece.remove(0, sent);
        }
    }

    // Forwards as much of piece as the pipe's cut lets through; returns how much that was.
    qsizetype Forward(Pipe& pipe, const QByteArray& piece) {
        qsizetype length = piece.size();
        if (pipe.cut == FaultProxy::Cut::AtFrameBoundary) {
            FrameBoundary rest = pipe.boundary;
            length = static_cast<qsizetype>(
                rest.TakeToBoundary(piece.constData(), static_cast<std::size_t>(piece.size())));
            pipe.done = rest.AtBoundary();
        } else if (pipe.cut == FaultProxy::Cut::MidFrame) {
            // At a boundary: the header and half of the body, or half of what came of the header.
            FrameBoundary whole;
            const auto frame = static_cast<qsizetype>(
                whole.TakeToBoundary(piece.constData(), static_cast<std::size_t>(piece.size())));
            length = std::max<qsizetype>(1, whole.AtBoundary() ? frame / 2 : frame - 1);
            pipe.done = true;
        }
        pipe.to->write(piece.constData(), length);
        pipe.boundary.Take(piece.constData(), static_cast<std::size_t>(length));
        return length;
    }

    void Close(bool abort) {
        if (m_bClosed)
            return;
        m_bClosed = true;
        for (Pipe& pipe : m_Pipes) {
            QTcpSocket* socket = pipe.from;
            socket->disconnect(this);
            // The socket outlives the link until its last bytes are out (or a second passed).
            socket->setParent(&m_Proxy);
            connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
            QTimer::singleShot(1000, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
            if (abort)
                socket->abort();
            else
                socket->disconnectFromHost();
            if (socket->state() == QAbstractSocket::UnconnectedState)
                socket->deleteLater();
        }
        // Not from inside the sockets' own signals.
        deleteLater();
    }

    FaultProxy& m_Proxy;
    Pipe m_Pipes[2];
    bool m_bClosed = false;
};

FaultProxy::FaultProxy(QObject* parent) : QObject(parent) {
    connect(&m_Server, &QTcpServer::newConnection, this, &FaultProxy::OnNewConnection);
}

FaultProxy::~FaultProxy() {
    // Each link leaves m_Links as it goes, so they go before the list does.
    while (!m_Links.empty())
        delete m_Links.back();
}

bool FaultProxy::Listen(quint16 targetPort) {
    m_nTargetPort = targetPort;
    return m_Server.listen(QHostAddress::LocalHost, 0);
}

void FaultProxy::OnNewConnection() {
    while (QTcpSocket* socket = m_Server.nextPendingConnection()) {
        ++m_nAccepted;
        if (m_bRefusing) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        new Link(*this, socket);
    }
}

void FaultProxy::CutAll(Cut how) {
    // A cut only schedules the links' deletion, so the list holds still meanwhile.
    for (Link* link : m_Links)
        link->Cut(how);
}

void FaultProxy::SetStalled(bool stalled) {
    m_bStalled = stalled;
    if (!stalled) {
        for (Link* link : m_Links)
            link->Pump();
    }
}

int FaultProxy::ConnectionCount() const {
    return static_cast<int>(m_Links.size());
}

} // namespace pellix
