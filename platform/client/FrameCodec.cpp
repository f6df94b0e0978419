#include "FrameCodec.h"

#include "LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace FrameCodec {

void EncodeHeader(const FrameHeader& header, uint8_t* out) {
    LittleEndian::Store16(out, header.mainCmd);
    LittleEndian::Store16(out + 2, header.subCmd);
    LittleEndian::Store16(out + 4, header.bodyLength);
}

bool DecodeHeader(const uint8_t* data, std::size_t size, FrameHeader& header) {
    if (data == nullptr || size < kHeaderSize)
        return false;
    header.mainCmd = LittleEndian::Load16(data);
    header.subCmd = LittleEndian::Load16(data + 2);
    header.bodyLength = LittleEndian::Load16(data + 4);
    return true;
}

QByteArray EncodeFrame(uint16_t mainCmd, uint16_t subCmd, const void* body, std::size_t length) {
    if (length > kMaxBodySize || (body == nullptr && length > 0))
        return {};
    QByteArray frame(static_cast<qsizetype>(kHeaderSize + length), Qt::Uninitialized);
    auto* out = reinterpret_cast<uint8_t*>(frame.data());
    EncodeHeader({mainCmd, subCmd, static_cast<uint16_t>(length)}, out);
    if (length > 0)
        std::memcpy(out + kHeaderSize, body, length);
    return frame;
}

std::size_t FrameReader::Missing() const {
    if (m_nHeaderBytes < kHeaderSize)
        return kHeaderSize - m_nHeaderBytes;
    return m_Header.bodyLength - m_Body.size();
}

std::size_t FrameReader::Feed(const void* data, std::size_t size) {
    if (data == nullptr)
        return 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::size_t taken = 0;
    if (m_nHeaderBytes < kHeaderSize) {
        taken = std::min(kHeaderSize - m_nHeaderBytes, size);
        std::memcpy(m_HeaderBytes + m_nHeaderBytes, bytes, taken);
        m_nHeaderBytes += taken;
        if (m_nHeaderBytes < kHeaderSize)
            return taken;
        DecodeHeader(m_HeaderBytes, kHeaderSize, m_Header);
        m_Body.reserve(m_Header.bodyLength);
    }
    const std::size_t n = std::min(Missing(), size - taken);
    m_Body.insert(m_Body.end(), bytes + taken, bytes + taken + n);
    return taken + n;
}

std::optional<Frame> FrameReader::TakeFrame() {
    if (!HasFrame())
        return std::nullopt;
    Frame frame{m_Header, std::move(m_Body)};
    Reset();
    return frame;
}

void FrameReader::Reset() {
    m_nHeaderBytes = 0;
    m_Header = {};
    m_Body = {};
}

} // namespace FrameCodec
