#pragma once
// A window that shows one web page of the platform, such as a user's profile: it fetches the page
// over HTTP and shows it as rich text, without scripts, without loading anything else (images,
// style sheets, local files) and without following links. A failure is shown as a readable text
// in the window. Owned by the window that opened it (its Qt parent), which destroys it with
// itself; closing the window hides it and stops a fetch in progress.

#include "PageFetch.h"
#include "pellix/ProxyInfo.h"

#include <QDialog>
#include <QString>

#include <chrono>
#include <memory>

class QTextBrowser;

class CBrowserDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPageWidth = 472;
    static constexpr int kPageHeight = 362;
    static constexpr std::chrono::milliseconds kDefaultTimeout{10000};

    // The owner's profile window for the address, replacing (deleting) any the owner had open:
    // titled "查看好友资料", a page of 472 x 362, centred on the screen, shown and loading.
    // Nothing without an owner.
    static CBrowserDialog* Show(QWidget* owner, const QString& url, const tagProxyInfo& proxy);
    // Deletes the owner's profile windows; an owner may call it when it no longer wants them.
    static void CloseAll(QWidget* owner);

    explicit CBrowserDialog(QWidget* parent);
    ~CBrowserDialog() override;

    void SetURL(const QString& url);
    const QString& Url() const { return m_strURL; }
    void SetProxy(const tagProxyInfo& proxy);
    // For the whole transfer; ten seconds unless set.
    void SetTimeout(std::chrono::milliseconds timeout);
    // The size of the page area; the window fits around it.
    void SetWebPageSize(int width, int height);
    void CenterWindow();
    // Starts loading the address given to SetURL, cancelling a load in progress. An empty or
    // non-web address fails at once.
    void SetUpLoad();

Q_SIGNALS:
    // Once per SetUpLoad that is not cancelled: the page is shown, or the error text is.
    void loadFinished(bool ok);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void OnFetched(const CPageFetch::Result& result);
    void ShowPage(const CPageFetch::Result& result);
    void ShowFailure(const QString& reason);

    QTextBrowser* m_pView;
    std::unique_ptr<CPageFetch> m_pFetch;
    QString m_strURL;
    tagProxyInfo m_Proxy;
    std::chrono::milliseconds m_Timeout = kDefaultTimeout;
};
