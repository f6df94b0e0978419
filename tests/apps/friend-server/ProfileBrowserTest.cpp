// The client library's profile window on the reference server's pages, with the address the
// client library makes from the base the host sets.

#include "ProfilePageServer.h"
#include "ServerFixture.h"

#include "client/BrowserDialog.h"
#include "client/UrlFactory.h"
#include "text/StringUtility.h"

#include <QSignalSpy>
#include <QTextBrowser>

#include <memory>

using namespace pellix;
using namespace pellix::server;

namespace {

class ProfileBrowserTest : public ServerFixture {
protected:
    void SetUp() override {
        StartServer();
        m_pPages = std::make_unique<ProfilePageServer>(
            Store(), [this](int32_t userID) { return Server().IsOnline(userID); });
        ASSERT_TRUE(m_pPages->Listen(QHostAddress::LocalHost, 0));
        ASSERT_TRUE(CUrlFactory::getSingletonPtr()->SetBaseUrl("http://127.0.0.1:" +
                                                               std::to_string(m_pPages->Port())));
    }
    void TearDown() override {
        CUrlFactory::getSingletonPtr()->SetBaseUrl({});
        m_pPages.reset();
        ServerFixture::TearDown();
    }

    // What the profile window shows for the user once it has loaded.
    QString ShowProfile(int32_t userID) {
        const QString url =
            QString::fromStdString(CUrlFactory::getSingletonPtr()->MakeDetailUserInfoUrl(userID));
        CBrowserDialog* dialog = CBrowserDialog::Show(&m_Owner, url, {});
        QSignalSpy finished(dialog, &CBrowserDialog::loadFinished);
        EXPECT_TRUE(finished.wait(kWaitMs)) << url.toStdString();
        return dialog->findChild<QTextBrowser*>()->toPlainText();
    }

private:
    std::unique_ptr<ProfilePageServer> m_pPages;
    QWidget m_Owner;
};

} // namespace

TEST_F(ProfileBrowserTest, TheWindowShowsTheUsersPage) {
    AddAccount(10001, StringUtility::QStringToAnsi(QStringLiteral("小明")));
    LogOn(10001);
    const QString page = ShowProfile(10001);
    EXPECT_TRUE(page.contains(QStringLiteral("小明"))) << page.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("在线")));

    AddAccount(10002, "<b>Bob</b>");
    EXPECT_TRUE(ShowProfile(10002).contains(QStringLiteral("<b>Bob</b>")))
        << "markup in a name is shown as text";
}

TEST_F(ProfileBrowserTest, AnUnknownUserShowsTheNotFoundText) {
    EXPECT_EQ(ShowProfile(-5), QStringLiteral("无法显示好友资料：服务器回答 HTTP 404 Not Found"));
}
