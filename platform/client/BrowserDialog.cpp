#include "BrowserDialog.h"

#include "text/StringUtility.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QImage>
#include <QScreen>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("查看好友资料");

// Whatever a page names besides itself (images, style sheets, local or remote) is answered with
// nothing here, where the text engine asks for it. An image gets a blank pixel rather than no
// value, because the image handler would otherwise open the name as a file itself.
class CPageDocument final : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int type, const QUrl&) override {
        if (type == QTextDocument::ImageResource) {
            QImage blank(1, 1, QImage::Format_ARGB32);
            blank.fill(Qt::transparent);
            return blank;
        }
        return QString();
    }
};

bool IsWebAddress(const QUrl& url) {
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https"));
}

QByteArray MediaType(const QByteArray& contentType) {
    return contentType.split(';').first().trimmed().toLower();
}

QByteArray Charset(const QByteArray& contentType) {
    for (const QByteArray& parameter : contentType.split(';')) {
        const QByteArray trimmed = parameter.trimmed();
        if (trimmed.toLower().startsWith("charset="))
            return trimmed.mid(8).replace('"', QByteArray()).trimmed().toLower();
    }
    return {};
}

QString DecodePage(const CPageFetch::Result& page) {
    const QByteArray charset = Charset(page.contentType);
    if (charset == "gbk" || charset == "gb2312" || charset == "gb18030")
        return StringUtility::AnsiToQString(page.body.toStdString());
    QStringDecoder decoder = charset.isEmpty() ? QStringDecoder::decoderForHtml(page.body)
                                               : QStringDecoder(charset.constData());
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(page.body);
}

QString FailureReason(const CPageFetch::Result& result) {
    switch (result.outcome) {
    case CPageFetch::Outcome::Timeout:
        return QStringLiteral("连接超时");
    case CPageFetch::Outcome::TooLarge:
        return QStringLiteral("页面超过 %1 KB").arg(CPageFetch::kMaxPageBytes / 1024);
    case CPageFetch::Outcome::HttpStatus:
        return QStringLiteral("服务器回答 HTTP %1 %2").arg(result.httpStatus).arg(result.detail);
    case CPageFetch::Outcome::ConnectionRefused:
        return QStringLiteral("连接被拒绝");
    case CPageFetch::Outcome::HostNotFound:
        return QStringLiteral("找不到服务器");
    case CPageFetch::Outcome::NetworkError:
    case CPageFetch::Outcome::Loaded:
        break;
    }
    return QStringLiteral("网络错误（%1）").arg(result.detail);
}

} // namespace

CBrowserDialog* CBrowserDialog::Show(QWidget* owner, const QString& url,
                                     const tagProxyInfo& proxy) {
    if (owner == nullptr)
        return nullptr;
    CloseAll(owner);
    auto* dialog = new CBrowserDialog(owner);
    dialog->setWindowTitle(kTitle);
    dialog->SetProxy(proxy);
    dialog->SetURL(url);
    dialog->SetWebPageSize(kPageWidth, kPageHeight);
    dialog->CenterWindow();
    dialog->SetUpLoad();
    dialog->show();
    return dialog;
}

void CBrowserDialog::CloseAll(QWidget* owner) {
    if (owner == nullptr)
        return;
    for (CBrowserDialog* dialog : owner->findChildren<CBrowserDialog*>(Qt::FindDirectChildrenOnly))
        delete dialog;
}

CBrowserDialog::CBrowserDialog(QWidget* parent) : QDialog(parent), m_pView(new QTextBrowser(this)) {
    m_pView->setDocument(new CPageDocument(m_pView));
    m_pView->setOpenLinks(false);
    m_pView->setOpenExternalLinks(false);
    // Wrapping at word boundaries costs time growing with the square of a word's length, so a
    // page of one long word would hold the window for minutes; breaking anywhere keeps it to
    // a second or two for the largest page.
    m_pView->setWordWrapMode(QTextOption::WrapAnywhere);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_pView);
    SetWebPageSize(kPageWidth, kPageHeight);
}

CBrowserDialog::~CBrowserDialog() = default;

void CBrowserDialog::SetURL(const QString& url) {
    m_strURL = url;
}

void CBrowserDialog::SetProxy(const tagProxyInfo& proxy) {
    m_Proxy = proxy;
}

void CBrowserDialog::SetTimeout(std::chrono::milliseconds timeout) {
    m_Timeout = timeout;
}

void CBrowserDialog::SetWebPageSize(int width, int height) {
    m_pView->setFixedSize(width, height);
    adjustSize();
}

void CBrowserDialog::CenterWindow() {
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void CBrowserDialog::SetUpLoad() {
    m_pFetch.reset();
    const QUrl url(m_strURL, QUrl::StrictMode);
    if (m_strURL.isEmpty()) {
        ShowFailure(QStringLiteral("没有设置资料页的地址"));
        return;
    }
    if (!IsWebAddress(url)) {
        ShowFailure(QStringLiteral("资料页的地址无效"));
        return;
    }
    m_pView->setPlainText(QStringLiteral("正在打开 %1 ...").arg(url.toDisplayString()));
    m_pFetch = std::make_unique<CPageFetch>(m_Proxy);
    connect(m_pFetch.get(), &CPageFetch::finished, this, &CBrowserDialog::OnFetched);
    m_pFetch->Start(url, m_Timeout);
}

void CBrowserDialog::hideEvent(QHideEvent* event) {
    // A window the user closed wants no more traffic; a minimised one keeps loading.
    if (!event->spontaneous() && m_pFetch != nullptr)
        m_pFetch->Cancel();
    QDialog::hideEvent(event);
}

void CBrowserDialog::OnFetched(const CPageFetch::Result& result) {
    if (result.outcome == CPageFetch::Outcome::Loaded)
        ShowPage(result);
    else
        ShowFailure(FailureReason(result));
}

void CBrowserDialog::ShowPage(const CPageFetch::Result& result) {
    const QByteArray type = MediaType(result.contentType);
    if (type == "text/plain") {
        m_pView->setPlainText(DecodePage(result));
    } else if (type.isEmpty() || type == "text/html" || type == "application/xhtml+xml") {
        m_pView->setHtml(DecodePage(result));
    } else {
        ShowFailure(QStringLiteral("不能显示这种页面（%1）").arg(QString::fromLatin1(type)));
        return;
    }
    Q_EMIT loadFinished(true);
}

void CBrowserDialog::ShowFailure(const QString& reason) {
    m_pView->setPlainText(QStringLiteral("无法显示好友资料：%1").arg(reason));
    Q_EMIT loadFinished(false);
}
