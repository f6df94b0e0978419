#pragma once
// GBK's two-byte characters and their Unicode values, read once from iconv: texts made of ASCII
// and valid two-byte characters (every nickname and chat line) convert by table lookup, without
// a call to iconv per text. Anything else is left to iconv.

#include <cstdint>
#include <string>

namespace StringUtility {

class GbkTable {
public:
    static const GbkTable& Get();

    // GBK to UTF-8 appended to out; false (out unspecified) when the text holds a byte that is
    // neither ASCII nor part of a two-byte character.
    bool ToUtf8(const std::string& gbk, std::string& out) const;
    // UTF-8 to GBK appended to out; false when the text is not well-formed UTF-8 or holds a
    // character outside ASCII without a two-byte GBK code.
    bool FromUtf8(const std::string& utf8, std::string& out) const;

private:
    GbkTable();

    static constexpr int kLeadFirst = 0x81;
    static constexpr int kTrailFirst = 0x40;
    static constexpr int kTrailCount = 0xFF - kTrailFirst;
    static std::size_t Code(unsigned lead, unsigned trail) {
        return (lead - kLeadFirst) * kTrailCount + (trail - kTrailFirst);
    }

    // Code(lead, trail) -> BMP code point; 0 for none.
    std::u16string m_toUnicode;
    // BMP code point -> lead * 256 + trail; 0 for none.
    std::u16string m_fromUnicode;
};

} // namespace StringUtility
