#include "ProfilePage.h"

#include "text/StringUtility.h"

#include <QString>

namespace pellix::server {

namespace {

constexpr QByteArrayView kUserPath = "/user/";
// Ten digits hold every unsigned 32-bit id.
constexpr qsizetype kMaxIdDigits = 10;

QByteArray ReasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Internal Server Error";
    }
}

QString Escaped(const std::string& gbk) {
    return StringUtility::AnsiToQString(gbk).toHtmlEscaped();
}

QString GenderText(uint8_t gender) {
    switch (gender) {
    case 0:
        return QStringLiteral("女");
    case 1:
        return QStringLiteral("男");
    default:
        return QStringLiteral("未知");
    }
}

} // namespace

std::optional<int32_t> ProfileUserID(const QByteArray& target) {
    const qsizetype query = target.indexOf('?');
    const QByteArray path = query < 0 ? target : target.left(query);
    if (!path.startsWith(kUserPath))
        return std::nullopt;
    const QByteArray digits = path.mid(kUserPath.size());
    if (digits.isEmpty() || digits.size() > kMaxIdDigits)
        return std::nullopt;
    for (const char c : digits)
        if (c < '0' || c > '9')
            return std::nullopt;
    const qulonglong value = digits.toULongLong();
    if (value > 0xFFFFFFFFULL)
        return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

HttpResponse AnswerProfileRequest(const HttpRequestHead& head, const ProfileLookup& lookup) {
    if (head.method != "GET")
        return StatusResponse(405);
    const std::optional<int32_t> userID = ProfileUserID(head.target);
    if (!userID)
        return StatusResponse(404);
    const std::optional<ProfileFacts> profile = lookup(*userID);
    if (!profile)
        return StatusResponse(404);
    HttpResponse response;
    response.body = RenderProfilePage(*profile);
    return response;
}

HttpResponse StatusResponse(int status) {
    HttpResponse response;
    response.status = status;
    const QByteArray text = QByteArray::number(status) + ' ' + ReasonPhrase(status);
    response.body = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + text +
                    "</title></head><body><p>" + text + "</p></body></html>\n";
    return response;
}

QByteArray RenderProfilePage(const ProfileFacts& profile) {
    const Account& account = profile.account;
    const QString name = Escaped(account.nickName.empty() ? account.userName : account.nickName);
    const QString page =
        QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                       "<title>%1 的资料</title></head>\n<body>\n<h3>%1</h3>\n<table>\n"
                       "<tr><td>号码：</td><td>%2</td></tr>\n"
                       "<tr><td>性别：</td><td>%3</td></tr>\n"
                       "<tr><td>状态：</td><td>%4</td></tr>\n</table>\n</body></html>\n")
            .arg(name, QString::number(account.showID), GenderText(account.gender),
                 profile.online ? QStringLiteral("在线") : QStringLiteral("离线"));
    return page.toUtf8();
}

QByteArray EncodeResponse(const HttpResponse& response) {
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                       ReasonPhrase(response.status) + "\r\n";
    bytes += "Content-Type: " + response.contentType + "\r\n";
    bytes += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    if (response.status == 405)
        bytes += "Allow: GET\r\n";
    // The page is data, never a program, and is not kept: presence changes.
    bytes += "Content-Security-Policy: default-src 'none'\r\n"
             "X-Content-Type-Options: nosniff\r\n"
             "Cache-Control: no-store\r\n"
             "Connection: close\r\n\r\n";
    return bytes + response.body;
}

} // namespace pellix::server
