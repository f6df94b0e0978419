#pragma once
// Text conversions of the client library. The module keeps text in the ANSI code page (GBK);
// databases hold UTF-8 and Qt holds UTF-16.

#include <QString>
#include <string>

namespace StringUtility {

// GBK to UTF-8. A byte sequence that is not GBK becomes U+FFFD; the rest of the text is kept.
std::string AnsiToUTF8(const std::string& ansi);
// UTF-8 to GBK. A character GBK cannot hold, or invalid UTF-8, becomes '?'.
std::string UTF8ToAnsi(const std::string& utf8);
// Unsigned decimal, as ids are written into file names.
std::string toString(unsigned int value);

// The Qt boundary: GBK text to and from QString, with the same replacement rules.
QString AnsiToQString(const std::string& ansi);
std::string QStringToAnsi(const QString& text);

} // namespace StringUtility
