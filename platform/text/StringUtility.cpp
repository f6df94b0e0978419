#include "StringUtility.h"

#include "GbkTable.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <iconv.h>
#include <string_view>

namespace {

bool IsAscii(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Length of the UTF-8 sequence starting at text[0] when it is well formed, else 1, so that a bad
// byte or an unencodable character is skipped as one unit.
std::size_t Utf8SequenceLength(const char* text, std::size_t left) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length > left)
        return 1;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 1;
    return length;
}

// iconv finds a unit it cannot convert only after converting everything before it in the same
// call, and converts that again to report the position: up to its internal buffer of thousands of
// characters per bad unit. Input is therefore handed over in windows, wide while the text
// converts and right after a bad unit just wide enough for the longest unit (a 4-byte UTF-8
// sequence), so that a text made of bad units costs little per unit and the time stays linear in
// the input.
constexpr std::size_t kNarrowWindow = 4;
constexpr std::size_t kWideWindow = 64 * 1024;

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; every unit that cannot be converted becomes one replacement, and
    // skip(at, left) says how many input bytes such a unit spans.
    template <typename Skip>
    std::string Convert(const std::string& input, std::string_view replacement, Skip skip) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return {};
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        m_Out.assign(input.size() * 2 + 8, '\0');
        m_nWritten = 0;
        const char* in = input.data();
        const char* const end = in + input.size();
        std::size_t window = kWideWindow;
        while (in < end) {
            const auto left = static_cast<std::size_t>(end - in);
            const std::size_t offered = std::min(left, window);
            const int error = ConvertWindow(in, offered);
            if (error == 0) {
                window = std::min(window * 2, kWideWindow);
                continue;
            }
            if (error == E2BIG) {
                m_Out.resize(m_Out.size() * 2);
                continue;
            }
            // A sequence cut by the window's end rather than the text's: the next window holds it.
            if (error == EINVAL && offered < left)
                continue;
            const auto rest = static_cast<std::size_t>(end - in);
            in = ReplaceBadUnit(in, end, error == EINVAL ? rest : skip(in, rest), replacement);
            window = kNarrowWindow;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        m_Out.resize(m_nWritten);
        std::string out;
        out.swap(m_Out);
        return out;
    }

private:
    // Converts up to size bytes at in, moving in past what was converted; 0 or iconv's errno.
    int ConvertWindow(const char*& in, std::size_t size) {
        char* src = const_cast<char*>(in);
        std::size_t srcLeft = size;
        char* dst = m_Out.data() + m_nWritten;
        std::size_t dstLeft = m_Out.size() - m_nWritten;
        const std::size_t result = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
        const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
        in = src;
        m_nWritten = m_Out.size() - dstLeft;
        return error;
    }

    // Replaces the bad unit of size bytes at in and returns where the input goes on. A unit of
    // more than one byte is a whole character, which cannot be converted the next time either:
    // its repeats right after it are replaced at once, so that a run of one (U+FFFD for a run of
    // bytes that were not GBK) costs no call to iconv. A single bad byte may be bad only for the
    // byte after it, and is replaced alone.
    const char* ReplaceBadUnit(const char* in, const char* end, std::size_t size,
                               std::string_view replacement) {
        const std::string_view unit(in, size);
        do {
            AppendReplacement(replacement);
            in += size;
        } while (size > 1 && static_cast<std::size_t>(end - in) >= size &&
                 std::equal(unit.begin(), unit.end(), in));
        return in;
    }

    void AppendReplacement(std::string_view replacement) {
        if (m_Out.size() - m_nWritten < replacement.size())
            m_Out.resize(m_Out.size() * 2 + replacement.size());
        std::copy(replacement.begin(), replacement.end(),
                  m_Out.begin() + static_cast<std::ptrdiff_t>(m_nWritten));
        m_nWritten += replacement.size();
    }

    iconv_t m_cd;
    std::string m_Out;
    std::size_t m_nWritten = 0;
};

} // namespace

namespace StringUtility {

std::string AnsiToUTF8(const std::string& ansi) {
    if (IsAscii(ansi))
        return ansi;
    if (std::string utf8; GbkTable::Get().ToUtf8(ansi, utf8))
        return utf8;
    static Converter converter("UTF-8", "GBK");
    return converter.Convert(ansi, "\xEF\xBF\xBD", [](const char*, std::size_t) { return 1; });
}

std::string UTF8ToAnsi(const std::string& utf8) {
    if (IsAscii(utf8))
        return utf8;
    if (std::string ansi; GbkTable::Get().FromUtf8(utf8, ansi))
        return ansi;
    static Converter converter("GBK", "UTF-8");
    return converter.Convert(utf8, "?", Utf8SequenceLength);
}

std::string toString(unsigned int value) {
    return std::to_string(value);
}

QString AnsiToQString(const std::string& ansi) {
    const std::string utf8 = AnsiToUTF8(ansi);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string QStringToAnsi(const QString& text) {
    return UTF8ToAnsi(text.toStdString());
}

} // namespace StringUtility
