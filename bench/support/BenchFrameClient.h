#pragma once
// A loopback client of the reference server for the benchmarks.

#include "client/CommandStream.h"
#include "client/FrameCodec.h"
#include "records/FriendCommands.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>

#include <cstdint>
#include <functional>
#include <utility>

namespace pellix {

// A connection that hands every whole frame it receives to a callback.
class FrameClient {
public:
    using OnFrame = std::function<void(const FrameCodec::Frame&)>;

    FrameClient(quint16 port, OnFrame onFrame) : m_OnFrame(std::move(onFrame)) {
        QObject::connect(&m_Socket, &QTcpSocket::readyRead, [this] { Read(); });
        m_Socket.connectToHost(QHostAddress::LocalHost, port);
    }
    void Send(uint16_t mainCmd, uint16_t subCmd, const CCommandStream& body) {
        m_Socket.write(
            FrameCodec::EncodeFrame(mainCmd, subCmd, body.SendBuffer(), body.SendSize()));
    }
    void LogOn(int32_t userID) {
        CCommandStream body;
        body.WriteInt32(userID);
        body.WriteString("t");
        body.WriteInt32(-1);
        Send(CMD_FRIEND, SUB_C_LOGON, body);
    }

private:
    void Read() {
        while (true) {
            const QByteArray bytes = m_Socket.read(static_cast<qint64>(m_Reader.Missing()));
            if (bytes.isEmpty())
                return;
            m_Reader.Feed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            if (m_Reader.HasFrame())
                m_OnFrame(*m_Reader.TakeFrame());
        }
    }

    QTcpSocket m_Socket;
    FrameCodec::FrameReader m_Reader;
    OnFrame m_OnFrame;
};

} // namespace pellix
