#pragma once
// The client library's wire framing, shared by the client connection and any peer (the friend
// server, test peers): a 6-byte header (main command, sub-command, body length; each u16
// little-endian) followed by the body. Main command 0 belongs to the library: ping and pong.

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace FrameCodec {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kMaxBodySize = 0xFFFF;
constexpr std::size_t kMaxFrameSize = kHeaderSize + kMaxBodySize;

constexpr uint16_t kLibraryMainCmd = 0;
constexpr uint16_t kPingSubCmd = 1;
constexpr uint16_t kPongSubCmd = 2;

struct FrameHeader {
    uint16_t mainCmd = 0;
    uint16_t subCmd = 0;
    uint16_t bodyLength = 0;
};

void EncodeHeader(const FrameHeader& header, uint8_t* out);
// False when fewer than kHeaderSize bytes are given.
bool DecodeHeader(const uint8_t* data, std::size_t size, FrameHeader& header);

// Header and body in one buffer, ready for a single write; empty when the body is too long.
QByteArray EncodeFrame(uint16_t mainCmd, uint16_t subCmd, const void* body, std::size_t length);

struct Frame {
    FrameHeader header;
    std::vector<uint8_t> body;
};

// Collects one frame at a time from bytes that arrive in pieces of any size. It never takes more
// bytes than the current frame still needs, so it holds at most one frame.
class FrameReader {
public:
    // Takes bytes for the current frame from data; returns how many were taken (none while a
    // whole frame waits to be taken).
    std::size_t Feed(const void* data, std::size_t size);

    // Bytes the current frame still needs before it is whole.
    std::size_t Missing() const;
    bool HasFrame() const { return Missing() == 0; }
    // Some bytes of an unfinished frame are held.
    bool IsMidFrame() const { return BufferedSize() > 0 && !HasFrame(); }
    std::size_t BufferedSize() const { return m_nHeaderBytes + m_Body.size(); }

    // The whole frame, after which the reader waits for the next one; nothing while the frame is
    // still incomplete.
    std::optional<Frame> TakeFrame();
    // Drops any partial frame.
    void Reset();

private:
    uint8_t m_HeaderBytes[kHeaderSize] = {};
    std::size_t m_nHeaderBytes = 0;
    FrameHeader m_Header;
    std::vector<uint8_t> m_Body;
};

} // namespace FrameCodec
