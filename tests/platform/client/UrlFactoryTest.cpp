// Page addresses of the client library: the base the host sets and the profile address of a user.

#include "client/UrlFactory.h"

#include <gtest/gtest.h>

namespace {

// The factory is one per process: every test leaves it without a base.
class UrlFactoryTest : public ::testing::Test {
protected:
    void TearDown() override { m_pFactory->SetBaseUrl({}); }
    CUrlFactory* m_pFactory = CUrlFactory::getSingletonPtr();
};

} // namespace

TEST_F(UrlFactoryTest, ProfileAddressesHangOffTheBase) {
    EXPECT_EQ(m_pFactory, CUrlFactory::getSingletonPtr());
    ASSERT_TRUE(m_pFactory->SetBaseUrl("http://127.0.0.1:8080"));
    EXPECT_EQ(m_pFactory->MakeDetailUserInfoUrl(10001), "http://127.0.0.1:8080/user/10001");
    // Ids are written unsigned, as in file names.
    EXPECT_EQ(m_pFactory->MakeDetailUserInfoUrl(-1), "http://127.0.0.1:8080/user/4294967295");
    EXPECT_EQ(m_pFactory->MakeDetailUserInfoUrl(INT32_MIN),
              "http://127.0.0.1:8080/user/2147483648");
    EXPECT_EQ(m_pFactory->MakeDetailUserInfoUrl(0), "http://127.0.0.1:8080/user/0");

    // A base with a path keeps it; trailing slashes and surrounding blanks go.
    ASSERT_TRUE(m_pFactory->SetBaseUrl("  https://example.com/platform//  "));
    EXPECT_EQ(m_pFactory->GetBaseUrl(), "https://example.com/platform");
    EXPECT_EQ(m_pFactory->MakeDetailUserInfoUrl(7), "https://example.com/platform/user/7");
    ASSERT_TRUE(m_pFactory->SetBaseUrl("http://[::1]:81/"));
    EXPECT_EQ(m_pFactory->MakeDetailUserInfoUrl(7), "http://[::1]:81/user/7");
}

TEST_F(UrlFactoryTest, WithoutAUsableBaseThereAreNoAddresses) {
    EXPECT_EQ(m_pFactory->MakeDetailUserInfoUrl(10001), "");
    ASSERT_TRUE(m_pFactory->SetBaseUrl("http://127.0.0.1:8080"));
    EXPECT_TRUE(m_pFactory->SetBaseUrl("")) << "empty turns the pages off";
    EXPECT_EQ(m_pFactory->MakeDetailUserInfoUrl(10001), "");

    for (const char* bad :
         {"file:///etc", "qrc:/pages", "javascript:alert(1)", "ftp://host/", "127.0.0.1:8080",
          "http://", "/user", "http://host/?q=1", "http://host/#top", "http://me:pw@host/",
          "http://host:99999/", "http://ho st/"}) {
        ASSERT_TRUE(m_pFactory->SetBaseUrl("http://127.0.0.1:8080"));
        EXPECT_FALSE(m_pFactory->SetBaseUrl(bad)) << bad;
        EXPECT_EQ(m_pFactory->MakeDetailUserInfoUrl(1), "") << "a bad base leaves none: " << bad;
    }
}
