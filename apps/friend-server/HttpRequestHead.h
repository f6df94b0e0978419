#pragma once
// The head of an HTTP/1.x request as the profile page server reads it: the request line and the
// blank line that ends the head, within a size limit. Header fields are skipped; no answer
// depends on them.

#include <QByteArray>

namespace pellix::server {

struct HttpRequestHead {
    QByteArray method;
    QByteArray target;
};

struct HeadReading {
    enum class Status { Incomplete, Complete, TooLarge, Malformed };
    Status status = Status::Incomplete;
    // Set when Complete.
    HttpRequestHead head;
};

// Reads what has arrived so far. TooLarge once more than maxHeadBytes have come without the end
// of the head, or when the head itself is longer.
HeadReading ReadRequestHead(const QByteArray& received, qsizetype maxHeadBytes);

} // namespace pellix::server
