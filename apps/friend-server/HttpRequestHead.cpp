#include "HttpRequestHead.h"

#include <QList>

namespace pellix::server {

namespace {

// Where the blank line after the head starts, or -1. A bare LF is taken for CRLF, as tolerant
// servers do.
qsizetype HeadEnd(const QByteArray& received) {
    const qsizetype crlf = received.indexOf("\r\n\r\n");
    const qsizetype lf = received.indexOf("\n\n");
    if (crlf < 0)
        return lf;
    return lf < 0 ? crlf : std::min(crlf, lf);
}

bool IsToken(const QByteArray& text) {
    if (text.isEmpty())
        return false;
    for (const char c : text)
        if (c < 'A' || c > 'Z')
            return false;
    return true;
}

bool IsTarget(const QByteArray& text) {
    if (!text.startsWith('/'))
        return false;
    for (const char c : text)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F)
            return false;
    return true;
}

} // namespace

HeadReading ReadRequestHead(const QByteArray& received, qsizetype maxHeadBytes) {
    HeadReading reading;
    const qsizetype end = HeadEnd(received);
    if (end < 0) {
        if (received.size() > maxHeadBytes)
            reading.status = HeadReading::Status::TooLarge;
        return reading;
    }
    if (end > maxHeadBytes) {
        reading.status = HeadReading::Status::TooLarge;
        return reading;
    }
    QByteArray line = received.left(received.indexOf('\n'));
    if (line.endsWith('\r'))
        line.chop(1);
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || !IsToken(parts[0]) || !IsTarget(parts[1]) ||
        (parts[2] != "HTTP/1.0" && parts[2] != "HTTP/1.1")) {
        reading.status = HeadReading::Status::Malformed;
        return reading;
    }
    reading.status = HeadReading::Status::Complete;
    reading.head = {parts[0], parts[1]};
    return reading;
}

} // namespace pellix::server
