#include "PageFetch.h"

#include "NetworkProxy.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

bool IsWebScheme(const QUrl& url) {
    return url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https");
}

CPageFetch::Result Failure(CPageFetch::Outcome outcome, const QString& detail = {}) {
    CPageFetch::Result result;
    result.outcome = outcome;
    result.detail = detail;
    return result;
}

} // namespace

CPageFetch::CPageFetch(const tagProxyInfo& proxy, QObject* parent)
    : QObject(parent), m_pNetwork(new QNetworkAccessManager) {
    m_pNetwork->setProxy(ToNetworkProxy(proxy));
    m_Deadline.setSingleShot(true);
    connect(&m_Deadline, &QTimer::timeout, this, [this] { Finish(Failure(Outcome::Timeout)); });
}

CPageFetch::~CPageFetch() {
    // Before the members go: an aborting reply signals at once, and nothing may reach a
    // half-destroyed object.
    Cancel();
}

void CPageFetch::Start(const QUrl& url, std::chrono::milliseconds deadline) {
    Cancel();
    m_Body.clear();
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    m_pReply = m_pNetwork->get(request);
    connect(m_pReply, &QNetworkReply::metaDataChanged, this, &CPageFetch::OnMetaDataChanged);
    connect(m_pReply, &QNetworkReply::readyRead, this, &CPageFetch::OnReadyRead);
    connect(m_pReply, &QNetworkReply::finished, this, &CPageFetch::OnReplyFinished);
    connect(m_pReply, &QNetworkReply::redirected, this, &CPageFetch::OnRedirected);
    m_Deadline.start(deadline);
}

void CPageFetch::Cancel() {
    m_Deadline.stop();
    if (m_pReply == nullptr)
        return;
    QNetworkReply* reply = m_pReply;
    m_pReply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    if (!reply->isFinished())
        reply->abort();
    // Not deleted here: this may run inside one of the reply's own signals.
    reply->deleteLater();
}

void CPageFetch::OnMetaDataChanged() {
    const QVariant length = m_pReply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > kMaxPageBytes)
        Finish(Failure(Outcome::TooLarge));
}

void CPageFetch::OnReadyRead() {
    if (!TakeAvailableBytes())
        Finish(Failure(Outcome::TooLarge));
}

void CPageFetch::OnReplyFinished() {
    if (!TakeAvailableBytes()) {
        Finish(Failure(Outcome::TooLarge));
        return;
    }
    Finish(ResultOfReply());
}

void CPageFetch::OnRedirected(const QUrl& target) {
    if (!IsWebScheme(target)) {
        Finish(Failure(Outcome::NetworkError,
                       QStringLiteral("redirect to %1").arg(target.toDisplayString())));
        return;
    }
    m_Body.clear();
    Q_EMIT m_pReply->redirectAllowed();
}

bool CPageFetch::TakeAvailableBytes() {
    // One byte beyond the cap is enough to know the page is too large.
    const qint64 room = kMaxPageBytes + 1 - m_Body.size();
    m_Body += m_pReply->read(room);
    return m_Body.size() <= kMaxPageBytes;
}

CPageFetch::Result CPageFetch::ResultOfReply() const {
    const QVariant status = m_pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        Result result =
            Failure(Outcome::HttpStatus,
                    m_pReply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        result.httpStatus = status.toInt();
        return result;
    }
    switch (m_pReply->error()) {
    case QNetworkReply::NoError: {
        Result result;
        result.outcome = Outcome::Loaded;
        result.contentType = m_pReply->rawHeader("Content-Type");
        result.body = m_Body;
        return result;
    }
    case QNetworkReply::ConnectionRefusedError:
        return Failure(Outcome::ConnectionRefused);
    case QNetworkReply::HostNotFoundError:
        return Failure(Outcome::HostNotFound);
    default:
        return Failure(Outcome::NetworkError, m_pReply->errorString());
    }
}

void CPageFetch::Finish(const Result& result) {
    Cancel();
    Q_EMIT finished(result);
}
