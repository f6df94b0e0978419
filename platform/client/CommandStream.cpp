#include "CommandStream.h"

#include "LittleEndian.h"

#include <cstring>

CCommandStream::CCommandStream(std::size_t reserve) {
    m_Bytes.reserve(reserve);
}

void CCommandStream::GrowTo(std::size_t size) {
    if (m_Bytes.size() < size)
        m_Bytes.resize(size, 0);
}

void CCommandStream::Append(const void* data, std::size_t n) {
    if (data == nullptr)
        return;
    GrowTo(static_cast<std::size_t>(m_nLength) + n);
    if (n > 0)
        std::memcpy(m_Bytes.data() + m_nLength, data, n);
    m_nLength += static_cast<int32_t>(n);
}

void CCommandStream::WriteUInt32(uint32_t value) {
    uint8_t bytes[4];
    LittleEndian::Store32(bytes, value);
    Append(bytes, sizeof bytes);
}

void CCommandStream::WriteInt32(int32_t value) {
    WriteUInt32(static_cast<uint32_t>(value));
}

void CCommandStream::WriteByte(uint8_t value) {
    Append(&value, 1);
}

void CCommandStream::WriteBool(bool value) {
    WriteByte(value ? 1 : 0);
}

void CCommandStream::WriteString(const std::string& value) {
    Append(value.data(), value.size());
    WriteByte(0);
}

std::size_t CCommandStream::BytesLeft() const {
    const auto pos = static_cast<std::size_t>(m_nReadPos);
    return pos < m_Bytes.size() ? m_Bytes.size() - pos : 0;
}

void CCommandStream::MarkTruncated() {
    m_bTruncated = true;
    m_nReadPos = static_cast<int32_t>(m_Bytes.size());
}

const uint8_t* CCommandStream::Take(std::size_t n) {
    if (BytesLeft() < n) {
        MarkTruncated();
        return nullptr;
    }
    const uint8_t* at = m_Bytes.data() + m_nReadPos;
    m_nReadPos += static_cast<int32_t>(n);
    return at;
}

uint32_t CCommandStream::ReadUInt32() {
    const uint8_t* b = Take(4);
    if (b == nullptr)
        return 0;
    return LittleEndian::Load32(b);
}

int32_t CCommandStream::ReadInt32() {
    return static_cast<int32_t>(ReadUInt32());
}

uint8_t CCommandStream::ReadByte() {
    const uint8_t* b = Take(1);
    return b == nullptr ? 0 : *b;
}

bool CCommandStream::ReadBool() {
    return static_cast<int8_t>(ReadByte()) > 0;
}

void CCommandStream::ReadString(std::string& target) {
    const std::size_t left = BytesLeft();
    if (left == 0) {
        target.clear();
        return;
    }
    const char* at = reinterpret_cast<const char*>(m_Bytes.data()) + m_nReadPos;
    const auto* zero = static_cast<const char*>(std::memchr(at, 0, left));
    const std::size_t size = zero != nullptr ? static_cast<std::size_t>(zero - at) : left;
    target.assign(at, size);
    m_nReadPos += static_cast<int32_t>(zero != nullptr ? size + 1 : size);
}

void CCommandStream::Reset() {
    std::vector<uint8_t>().swap(m_Bytes);
    m_nReadPos = 0;
    m_nLength = 0;
    m_bTruncated = false;
}
