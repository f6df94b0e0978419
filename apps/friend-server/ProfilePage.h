#pragma once
// What the profile page server answers: "GET /user/<id>" gets the user's page (nickname, show id,
// gender and presence, every value escaped), an unknown or malformed id 404, another path 404 and
// another method 405. Free of sockets, so the answers can be checked on their own.

#include "Account.h"
#include "HttpRequestHead.h"

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <optional>

namespace pellix::server {

struct HttpResponse {
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;
};

struct ProfileFacts {
    Account account;
    bool online = false;
};

// Nothing for an unknown user. May throw when the store fails.
using ProfileLookup = std::function<std::optional<ProfileFacts>(int32_t userID)>;

// The id of "/user/<id>" (an optional query is ignored): unsigned decimal digits up to 2^32 - 1,
// as the client library writes ids, read back as the signed id they came from.
std::optional<int32_t> ProfileUserID(const QByteArray& target);

HttpResponse AnswerProfileRequest(const HttpRequestHead& head, const ProfileLookup& lookup);
// A short page naming the status, such as "404 Not Found".
HttpResponse StatusResponse(int status);
QByteArray RenderProfilePage(const ProfileFacts& profile);
// The whole response on the wire; the connection closes after it.
QByteArray EncodeResponse(const HttpResponse& response);

} // namespace pellix::server
