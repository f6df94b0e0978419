#pragma once
// Addresses of the platform's web pages, built from one base address that the host sets at
// start-up (CUrlFactory::getSingletonPtr()->SetBaseUrl). One instance per process, in the client
// library, so the host and the module it loads share it.

#include <cstdint>
#include <string>

class CUrlFactory {
public:
    static CUrlFactory* getSingletonPtr();

    CUrlFactory(const CUrlFactory&) = delete;
    CUrlFactory& operator=(const CUrlFactory&) = delete;

    // An absolute http or https address with a host and no user, query or fragment, such as
    // "http://127.0.0.1:8080" or "https://example.com/platform/". An empty text clears the base
    // (no pages); anything else clears it too and returns false.
    bool SetBaseUrl(const std::string& baseUrl);
    // Empty when no base is set.
    const std::string& GetBaseUrl() const { return m_strBaseUrl; }

    // "<base>/user/<id>" with the id written as unsigned decimal, as in file names; empty when no
    // base is set, and the caller then shows nothing or an error text.
    std::string MakeDetailUserInfoUrl(int32_t userID) const;

private:
    CUrlFactory() = default;

    // Without a trailing '/'.
    std::string m_strBaseUrl;
};
