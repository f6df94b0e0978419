#include "GbkTable.h"

#include <iconv.h>

namespace StringUtility {

namespace {

// The code point of the two bytes by themselves, when iconv reads them as one character of the
// Basic Multilingual Plane; 0 otherwise.
char16_t DecodePair(iconv_t cd, unsigned lead, unsigned trail) {
    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    char32_t out[2] = {};
    char* src = in;
    std::size_t srcLeft = sizeof in;
    char* dst = reinterpret_cast<char*>(out);
    std::size_t dstLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) || srcLeft != 0 ||
        dstLeft != sizeof out - sizeof(char32_t) || out[0] < 0x80 || out[0] > 0xFFFF)
        return 0;
    return static_cast<char16_t>(out[0]);
}

void AppendUtf8(char16_t unit, std::string& out) {
    if (unit < 0x800) {
        out += static_cast<char>(0xC0 | (unit >> 6));
    } else {
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (unit & 0x3F));
}

// The code point of the two- or three-byte sequence at text[i] if it is well formed (no overlong
// form, no surrogate), advancing i past it; 0 otherwise.
char16_t DecodeUtf8(const std::string& text, std::size_t& i) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned lead = byte(i);
    const std::size_t length = lead >= 0xF0 ? 0 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    unsigned value = lead & (length == 2 ? 0x1F : 0x0F);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if ((length == 3 && value < 0x800) || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    i += length;
    return static_cast<char16_t>(value);
}

// The two bytes iconv writes for the code point, as lead * 256 + trail; 0 when it writes anything
// else.
char16_t EncodePair(iconv_t cd, char16_t unit) {
    char32_t in = unit;
    char out[4] = {};
    char* src = reinterpret_cast<char*>(&in);
    std::size_t srcLeft = sizeof in;
    char* dst = out;
    std::size_t dstLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) ||
        dstLeft != sizeof out - 2)
        return 0;
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) << 8 |
                                 static_cast<unsigned char>(out[1]));
}

} // namespace

const GbkTable& GbkTable::Get() {
    static const GbkTable table;
    return table;
}

GbkTable::GbkTable()
    : m_toUnicode((0xFF - kLeadFirst) * kTrailCount, 0), m_fromUnicode(0x10000, 0) {
    const iconv_t decoder = iconv_open("UTF-32LE", "GBK");
    const iconv_t encoder = iconv_open("GBK", "UTF-32LE");
    if (decoder != reinterpret_cast<iconv_t>(-1) && encoder != reinterpret_cast<iconv_t>(-1)) {
        for (unsigned lead = kLeadFirst; lead < 0xFF; ++lead) {
            for (unsigned trail = kTrailFirst; trail < 0xFF; ++trail) {
                const char16_t unit = DecodePair(decoder, lead, trail);
                m_toUnicode[Code(lead, trail)] = unit;
                if (unit != 0 && m_fromUnicode[unit] == 0)
                    m_fromUnicode[unit] = EncodePair(encoder, unit);
            }
        }
    }
    // Without iconv both tables stay empty and every text goes the slow way, which fails alike.
    if (decoder != reinterpret_cast<iconv_t>(-1))
        iconv_close(decoder);
    if (encoder != reinterpret_cast<iconv_t>(-1))
        iconv_close(encoder);
}

bool GbkTable::ToUtf8(const std::string& gbk, std::string& out) const {
    out.reserve(out.size() + gbk.size() * 3 / 2);
    for (std::size_t i = 0; i < gbk.size(); ++i) {
        const auto lead = static_cast<unsigned char>(gbk[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            continue;
        }
        if (lead < kLeadFirst || lead == 0xFF || i + 1 == gbk.size())
            return false;
        const auto trail = static_cast<unsigned char>(gbk[i + 1]);
        if (trail < kTrailFirst || trail == 0xFF)
            return false;
        const char16_t unit = m_toUnicode[Code(lead, trail)];
        if (unit == 0)
            return false;
        AppendUtf8(unit, out);
        ++i;
    }
    return true;
}

bool GbkTable::FromUtf8(const std::string& utf8, std::string& out) const {
    out.reserve(out.size() + utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        const char16_t unit = DecodeUtf8(utf8, i);
        const char16_t code = unit != 0 ? m_fromUnicode[unit] : char16_t{0};
        if (code == 0)
            return false;
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
    return true;
}

} // namespace StringUtility
