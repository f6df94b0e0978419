#pragma once
// The system's fixed texts are written once in UTF-8 source and used in the ANSI code page (GBK),
// as the module keeps all text.

#include "text/StringUtility.h"

#include <cstdio>
#include <string>

namespace pellix {

// A fixed text in GBK.
inline std::string AnsiText(const char* utf8) {
    return StringUtility::UTF8ToAnsi(utf8);
}

// printf-style formatting of a fixed text; %s arguments are GBK already.
template <typename... Args> std::string FormatAnsi(const char* utf8Format, Args... args) {
    const std::string format = AnsiText(utf8Format);
    const int size = std::snprintf(nullptr, 0, format.c_str(), args...);
    if (size <= 0)
        return std::string();
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), format.c_str(), args...);
    text.resize(static_cast<std::size_t>(size));
    return text;
}

} // namespace pellix
