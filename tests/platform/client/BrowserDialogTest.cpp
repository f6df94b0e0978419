// The browser window against a web server on loopback: what it shows, how it fails, what it
// refuses to load, and its lifetime beside its owner.

#include "TestHttpServer.h"

#include "ScopedWorkingDirectory.h"
#include "client/BrowserDialog.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextObjectInterface>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 10000;

TestHttpServer::Handler Answer(const QByteArray& status, const QByteArray& body,
                               const QByteArray& type = "text/html; charset=utf-8") {
    return [=](const QByteArray&) { return TestHttpServer::Response(status, type, body); };
}

std::optional<QByteArray> NeverAnswer(const QByteArray&) {
    return std::nullopt;
}

QString Shown(const CBrowserDialog& dialog) {
    return dialog.findChild<QTextBrowser*>()->toPlainText();
}

// Loads the address in a fresh window and waits for the outcome.
struct Loaded {
    std::unique_ptr<CBrowserDialog> dialog;
    bool ok = false;
    QString text;
};

Loaded Load(const QString& url, std::chrono::milliseconds timeout = 10s,
            const tagProxyInfo& proxy = {}) {
    Loaded result;
    result.dialog = std::make_unique<CBrowserDialog>(nullptr);
    QSignalSpy finished(result.dialog.get(), &CBrowserDialog::loadFinished);
    result.dialog->SetProxy(proxy);
    result.dialog->SetTimeout(timeout);
    result.dialog->SetURL(url);
    result.dialog->SetUpLoad();
    if (finished.isEmpty()) {
        EXPECT_TRUE(finished.wait(kWaitMs)) << url.toStdString();
    }
    EXPECT_EQ(finished.size(), 1);
    result.ok = !finished.isEmpty() && finished.first().first().toBool();
    result.text = Shown(*result.dialog);
    return result;
}

// The intrinsic size of every image in the document, as the layout sizes it.
std::vector<QSizeF> ImageSizes(QTextDocument& document) {
    std::vector<QSizeF> sizes;
    QTextObjectInterface* images =
        document.documentLayout()->handlerForObject(QTextFormat::ImageObject);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                sizes.push_back(
                    images->intrinsicSize(&document, fragment.position(), fragment.charFormat()));
        }
    }
    return sizes;
}

} // namespace

TEST(BrowserDialogTest, ShowsThePageInATitledCentredWindow) {
    TestHttpServer server(Answer("200 OK", QStringLiteral("<html><body><h3>小明</h3>"
                                                          "<p>号码 10001</p></body></html>")
                                               .toUtf8()));
    QWidget owner;
    QPointer<CBrowserDialog> dialog =
        CBrowserDialog::Show(&owner, server.Url(QStringLiteral("/user/10001")), {});
    ASSERT_TRUE(dialog);
    QSignalSpy finished(dialog.data(), &CBrowserDialog::loadFinished);
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_TRUE(Shown(*dialog).contains(QStringLiteral("小明"))) << Shown(*dialog).toStdString();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("查看好友资料"));
    EXPECT_EQ(dialog->findChild<QTextBrowser*>()->size(), QSize(472, 362));
    const QPoint screenCentre = dialog->screen()->availableGeometry().center();
    // Placed before it was shown, so off by no more than the window frame added since.
    const QPoint offCentre = dialog->frameGeometry().center() - screenCentre;
    EXPECT_LE(std::abs(offCentre.x()), 4);
    EXPECT_LE(std::abs(offCentre.y()), 4);
    ASSERT_EQ(server.heads.size(), 1);
    EXPECT_TRUE(server.heads[0].startsWith("GET /user/10001 HTTP/1.1"));

    EXPECT_EQ(CBrowserDialog::Show(nullptr, server.Url(QStringLiteral("/")), {}), nullptr);
}

TEST(BrowserDialogTest, PlainTextAndOtherCharsetsAreShownAsText) {
    TestHttpServer plain(Answer("200 OK", "<b>not bold</b>", "text/plain"));
    EXPECT_EQ(Load(plain.Url(QStringLiteral("/"))).text, QStringLiteral("<b>not bold</b>"));

    // "好友" in GBK.
    TestHttpServer gbk(Answer("200 OK", "<p>\xBA\xC3\xD3\xD1</p>", "text/html; charset=GBK"));
    EXPECT_EQ(Load(gbk.Url(QStringLiteral("/"))).text, QStringLiteral("好友"));

    TestHttpServer image(Answer("200 OK", "\x89PNG", "image/png"));
    const Loaded refused = Load(image.Url(QStringLiteral("/")));
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.text.contains(QStringLiteral("image/png"))) << refused.text.toStdString();
}

TEST(BrowserDialogTest, FailuresAreShownAsReadableText) {
    TestHttpServer missing(Answer("404 Not Found", "<h1>nobody here</h1>"));
    const Loaded notFound = Load(missing.Url(QStringLiteral("/user/99")));
    EXPECT_FALSE(notFound.ok);
    EXPECT_TRUE(notFound.text.contains(QStringLiteral("HTTP 404 Not Found")))
        << notFound.text.toStdString();
    EXPECT_FALSE(notFound.text.contains(QStringLiteral("nobody here")));

    // A port that was free a moment ago.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    const Loaded refused = Load(QStringLiteral("http://127.0.0.1:%1/user/1").arg(closedPort));
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.text.contains(QStringLiteral("连接被拒绝"))) << refused.text.toStdString();
}

TEST(BrowserDialogTest, RedirectsAreFollowedOnlyToWebAddresses) {
    TestHttpServer server([](const QByteArray& head) -> std::optional<QByteArray> {
        if (head.startsWith("GET /moved "))
            return QByteArray("HTTP/1.1 302 Found\r\nLocation: /user/1\r\nContent-Length: "
                              "0\r\nConnection: close\r\n\r\n");
        if (head.startsWith("GET /to-file "))
            return QByteArray("HTTP/1.1 302 Found\r\nLocation: file:///etc/passwd\r\n"
                              "Content-Length: 0\r\nConnection: close\r\n\r\n");
        return TestHttpServer::Response("200 OK", "text/plain", "the page");
    });
    EXPECT_EQ(Load(server.Url(QStringLiteral("/moved"))).text, QStringLiteral("the page"));

    const Loaded toFile = Load(server.Url(QStringLiteral("/to-file")));
    EXPECT_FALSE(toFile.ok);
    EXPECT_FALSE(toFile.text.contains(QStringLiteral("root:")));
    EXPECT_TRUE(toFile.text.startsWith(QStringLiteral("无法显示好友资料：")));
}

// Text of the given size in short lines, quick to lay out.
QByteArray TextOfSize(qsizetype size) {
    QByteArray line(63, 'a');
    line += '\n';
    return line.repeated(size / line.size() + 1).left(size);
}

TEST(BrowserDialogTest, PagesBeyondOneMebibyteAreCutOff) {
    TestHttpServer atCap(Answer("200 OK", TextOfSize(CPageFetch::kMaxPageBytes), "text/plain"));
    EXPECT_TRUE(Load(atCap.Url(QStringLiteral("/"))).ok);

    // Without a length: the size shows only as the bytes come.
    TestHttpServer unannounced([](const QByteArray&) {
        return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n" +
               TextOfSize(CPageFetch::kMaxPageBytes + 1);
    });
    const Loaded tooLarge = Load(unannounced.Url(QStringLiteral("/")));
    EXPECT_FALSE(tooLarge.ok);
    EXPECT_EQ(tooLarge.text, QStringLiteral("无法显示好友资料：页面超过 1024 KB"));

    // A declared length beyond the cap fails before any of the body.
    TestHttpServer announced([](const QByteArray&) {
        return QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5000000\r\n\r\nabc");
    });
    EXPECT_TRUE(Load(announced.Url(QStringLiteral("/"))).text.contains(QStringLiteral("页面超过")));
}

TEST(BrowserDialogTest, AServerThatNeverAnswersEndsInATimeout) {
    TestHttpServer silent(NeverAnswer);
    const Loaded result = Load(silent.Url(QStringLiteral("/user/1")), 200ms);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.text.contains(QStringLiteral("连接超时"))) << result.text.toStdString();
    // The connection is given up, not left open.
    QTRY_COMPARE_WITH_TIMEOUT(silent.disconnected, 1, kWaitMs);
}

TEST(BrowserDialogTest, OnlyWebAddressesAreFetched) {
    ScopedWorkingDirectory directory;
    QFile secret(directory.Path() + QStringLiteral("/secret.html"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("<p>secret</p>");
    secret.close();
    for (const QString& url : {QString(), QUrl::fromLocalFile(secret.fileName()).toString(),
                               secret.fileName(), QStringLiteral("qrc:/secret.html"),
                               QStringLiteral("ftp://127.0.0.1/x"), QStringLiteral("http://")}) {
        const Loaded result = Load(url);
        EXPECT_FALSE(result.ok) << url.toStdString();
        EXPECT_TRUE(result.text.startsWith(QStringLiteral("无法显示好友资料")))
            << url.toStdString();
        EXPECT_FALSE(result.text.contains(QStringLiteral("secret</"))) << url.toStdString();
    }
}

TEST(BrowserDialogTest, ThePageLoadsNothingElseAndFollowsNoLinks) {
    ScopedWorkingDirectory directory;
    QImage red(40, 40, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString imagePath = directory.Path() + QStringLiteral("/red.png");
    ASSERT_TRUE(red.save(imagePath));
    int remoteRequests = 0;
    TestHttpServer other([&](const QByteArray&) {
        ++remoteRequests;
        return TestHttpServer::Response("200 OK", "text/css", "p { color: red }");
    });
    const QString page =
        QStringLiteral("<html><head><link rel=\"stylesheet\" href=\"%1\"></head><body>"
                       "<img src=\"%2\"><img src=\"%3\"><img src=\"red.png\"><img src=\"%4\">"
                       "<p><a href=\"%2\">local link</a></p></body></html>")
            .arg(other.Url(QStringLiteral("/style.css")), QUrl::fromLocalFile(imagePath).toString(),
                 imagePath, other.Url(QStringLiteral("/red.png")));
    TestHttpServer server(Answer("200 OK", page.toUtf8()));
    const Loaded result = Load(server.Url(QStringLiteral("/user/1")));
    ASSERT_TRUE(result.ok);

    auto* view = result.dialog->findChild<QTextBrowser*>();
    const std::vector<QSizeF> sizes = ImageSizes(*view->document());
    ASSERT_EQ(sizes.size(), 4u);
    for (const QSizeF& size : sizes)
        EXPECT_NE(size, QSizeF(40, 40)) << "an image was read from " << imagePath.toStdString();
    EXPECT_EQ(remoteRequests, 0);

    // Clicking the link reports it and changes nothing.
    result.dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(result.dialog.get()));
    QSignalSpy clicked(view, &QTextBrowser::anchorClicked);
    QTextCursor insideLink = view->document()->find(QStringLiteral("local link"));
    insideLink.setPosition(insideLink.selectionStart() + 3);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(insideLink).center());
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.first().first().toUrl(), QUrl::fromLocalFile(imagePath));
    EXPECT_EQ(view->toPlainText(), result.text);
    EXPECT_TRUE(view->source().isEmpty());
}

TEST(BrowserDialogTest, TheHostsProxyCarriesTheRequest) {
    TestHttpServer proxy(Answer("200 OK", "<p>via proxy</p>"));
    tagProxyInfo settings;
    settings.type = ProxyType::HttpConnect;
    settings.host = "127.0.0.1";
    settings.port = proxy.Port();
    const Loaded result = Load(QStringLiteral("http://profiles.invalid/user/5"), 10s, settings);
    EXPECT_EQ(result.text, QStringLiteral("via proxy"));
    ASSERT_EQ(proxy.heads.size(), 1);
    EXPECT_TRUE(proxy.heads[0].startsWith("GET http://profiles.invalid/user/5 HTTP/1.1"))
        << proxy.heads[0].toStdString();
}

TEST(BrowserDialogTest, ASecondShowReplacesTheFirstWindow) {
    TestHttpServer silent(NeverAnswer);
    QWidget owner;
    QPointer<CBrowserDialog> first =
        CBrowserDialog::Show(&owner, silent.Url(QStringLiteral("/user/1")), {});
    QTRY_COMPARE_WITH_TIMEOUT(silent.heads.size(), 1, kWaitMs);
    QPointer<CBrowserDialog> second =
        CBrowserDialog::Show(&owner, silent.Url(QStringLiteral("/user/2")), {});
    EXPECT_TRUE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(owner.findChildren<CBrowserDialog*>().size(), 1);
    EXPECT_TRUE(second->isVisible());
    // The first window's request is given up.
    QTRY_COMPARE_WITH_TIMEOUT(silent.disconnected, 1, kWaitMs);

    CBrowserDialog::CloseAll(&owner);
    EXPECT_TRUE(second.isNull());
}

TEST(BrowserDialogTest, TheOwnerOrTheUserMayEndTheWindowDuringTheFetch) {
    TestHttpServer silent(NeverAnswer);
    auto owner = std::make_unique<QWidget>();
    QPointer<CBrowserDialog> dialog =
        CBrowserDialog::Show(owner.get(), silent.Url(QStringLiteral("/user/1")), {});
    QTRY_COMPARE_WITH_TIMEOUT(silent.heads.size(), 1, kWaitMs);
    owner.reset();
    EXPECT_TRUE(dialog.isNull());
    QTRY_COMPARE_WITH_TIMEOUT(silent.disconnected, 1, kWaitMs);

    // Closing the window stops the fetch without a report.
    QWidget other;
    dialog = CBrowserDialog::Show(&other, silent.Url(QStringLiteral("/user/2")), {});
    QSignalSpy finished(dialog.data(), &CBrowserDialog::loadFinished);
    QTRY_COMPARE_WITH_TIMEOUT(silent.heads.size(), 2, kWaitMs);
    dialog->close();
    QTRY_COMPARE_WITH_TIMEOUT(silent.disconnected, 2, kWaitMs);
    EXPECT_TRUE(finished.isEmpty());
    EXPECT_FALSE(dialog.isNull()) << "a closed window stays until its owner lets it go";
}

TEST(BrowserDialogTest, TheWindowMayBeDeletedWhenItReports) {
    TestHttpServer missing(Answer("404 Not Found", ""));
    auto* dialog = new CBrowserDialog(nullptr);
    bool reported = false;
    QObject::connect(dialog, &CBrowserDialog::loadFinished, [&](bool) {
        reported = true;
        delete dialog;
    });
    dialog->SetURL(missing.Url(QStringLiteral("/")));
    dialog->SetUpLoad();
    QTRY_VERIFY_WITH_TIMEOUT(reported, kWaitMs);
}
