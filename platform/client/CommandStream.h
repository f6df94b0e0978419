#pragma once
// The codec of command bodies: little-endian 32-bit integers, bytes, booleans, zero-terminated
// strings and counted lists, packed without padding. A reading stream decodes one received body
// from its own copy; the client service's send stream encodes every variable-length request.
//
// Reads never go past the received bytes. A fixed-width read (integer, byte, boolean) that needs
// more bytes than remain yields zero for the missing value, moves the read position to the end and
// marks the stream truncated. A list whose count exceeds what the body holds stops at the end of
// the body and marks it truncated as well; an entry cut short is not kept and no memory is reserved
// from a received count. A string without its zero byte simply ends at the end of the body; that
// is not truncation. Whoever decodes a command asks IsTruncated() afterwards and drops the command.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CCommandStream {
public:
    explicit CCommandStream(std::size_t reserve = 0);

    // Copies n bytes to the end of the stream; a null pointer changes nothing.
    void Append(const void* data, std::size_t n);
    void WriteInt32(int32_t value);
    void WriteUInt32(uint32_t value);
    void WriteByte(uint8_t value);
    void WriteBool(bool value);
    // The string's bytes followed by one zero byte.
    void WriteString(const std::string& value);

    int32_t ReadInt32();
    uint32_t ReadUInt32();
    uint8_t ReadByte();
    // True when the byte, taken as a signed 8-bit number, is above zero.
    bool ReadBool();
    void ReadString(std::string& target);

    // Reads a 32-bit count and then entries with readEntry(stream, entry), appending each.
    template <typename T, typename ReadEntry>
    void ReadList(std::vector<T>& target, ReadEntry readEntry) {
        const uint32_t count = ReadUInt32();
        target.clear();
        for (uint32_t i = 0; i < count; ++i) {
            if (BytesLeft() == 0) {
                MarkTruncated();
                return;
            }
            T entry{};
            readEntry(*this, entry);
            if (m_bTruncated)
                return;
            target.push_back(std::move(entry));
        }
    }

    // Releases the bytes and starts over; the sub-command is kept.
    void Reset();

    const uint8_t* SendBuffer() const { return m_Bytes.data() + m_nReadPos; }
    std::size_t SendSize() const { return m_Bytes.size(); }
    std::size_t BytesLeft() const;
    bool IsTruncated() const { return m_bTruncated; }
    int32_t ReadPosition() const { return m_nReadPos; }
    int32_t Length() const { return m_nLength; }

    uint16_t SubCommand() const { return m_wSubCommand; }
    void SetSubCommand(uint16_t sub) { m_wSubCommand = sub; }

private:
    void GrowTo(std::size_t size);
    // Takes n bytes from the read position, or marks the stream truncated and takes none.
    const uint8_t* Take(std::size_t n);
    void MarkTruncated();

    int32_t m_nReadPos = 0;
    int32_t m_nLength = 0;
    std::vector<uint8_t> m_Bytes;
    uint16_t m_wSubCommand = 0;
    bool m_bTruncated = false;
};
