#include "StringUtility.h"

#include <cerrno>
#include <iconv.h>

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

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; skip(at, left) says how many input bytes one bad unit spans.
    template <typename Skip>
    std::string Convert(const std::string& input, const std::string& replacement, Skip skip) {
        std::string out;
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return out;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.resize(input.size() * 2 + 8);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        std::size_t written = 0;
        while (inLeft > 0) {
            char* dst = out.data() + written;
            std::size_t outLeft = out.size() - written;
            const std::size_t result = iconv(m_cd, &in, &inLeft, &dst, &outLeft);
            written = out.size() - outLeft;
            if (result != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            out.resize(written);
            out += replacement;
            written = out.size();
            out.resize(written + inLeft * 2 + 8);
            const std::size_t bad = errno == EINVAL ? inLeft : skip(in, inLeft);
            in += bad;
            inLeft -= bad;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(written);
        return out;
    }

private:
    iconv_t m_cd;
};

} // namespace

namespace StringUtility {

std::string AnsiToUTF8(const std::string& ansi) {
    if (IsAscii(ansi))
        return ansi;
    static Converter converter("UTF-8", "GBK");
    return converter.Convert(ansi, "\xEF\xBF\xBD", [](const char*, std::size_t) { return 1; });
}

std::string UTF8ToAnsi(const std::string& utf8) {
    if (IsAscii(utf8))
        return utf8;
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
