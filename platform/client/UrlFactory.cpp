#include "UrlFactory.h"

#include "text/StringUtility.h"

#include <QString>
#include <QUrl>

namespace {

bool IsWebAddress(const QUrl& url) {
    const QString scheme = url.scheme();
    return url.isValid() &&
           (scheme == QStringLiteral("http") || scheme == QStringLiteral("https")) &&
           !url.host().isEmpty() && !url.hasQuery() && !url.hasFragment() &&
           url.userInfo().isEmpty();
}

} // namespace

CUrlFactory* CUrlFactory::getSingletonPtr() {
    static CUrlFactory factory;
    return &factory;
}

bool CUrlFactory::SetBaseUrl(const std::string& baseUrl) {
    m_strBaseUrl.clear();
    const QString trimmed = QString::fromUtf8(baseUrl).trimmed();
    if (trimmed.isEmpty())
        return true;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!IsWebAddress(url))
        return false;
    QString text = url.toString(QUrl::FullyEncoded);
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    m_strBaseUrl = text.toStdString();
    return true;
}

std::string CUrlFactory::MakeDetailUserInfoUrl(int32_t userID) const {
    if (m_strBaseUrl.empty())
        return {};
    return m_strBaseUrl + "/user/" + StringUtility::toString(static_cast<uint32_t>(userID));
}
