#pragma once
// One HTTP GET of a web page for the browser dialog: through the host's proxy, with a cap on the
// page's size and an overall deadline, so that neither a huge page nor a server that never
// answers can hold the window. It reports once through finished(); Cancel() or deleting it stops
// the transfer without a report.

#include "pellix/ProxyInfo.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

class CPageFetch final : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Loaded,
        Timeout,
        TooLarge,
        HttpStatus,
        ConnectionRefused,
        HostNotFound,
        NetworkError
    };
    struct Result {
        Outcome outcome = Outcome::NetworkError;
        // For HttpStatus: the status and its reason phrase. For NetworkError: Qt's error text.
        int httpStatus = 0;
        QString detail;
        // For Loaded: the Content-Type header and the page.
        QByteArray contentType;
        QByteArray body;
    };

    static constexpr qint64 kMaxPageBytes = 1024 * 1024;
    static constexpr int kMaxRedirects = 5;

    explicit CPageFetch(const tagProxyInfo& proxy, QObject* parent = nullptr);
    ~CPageFetch() override;

    // Starts the GET of an http or https address; a running fetch is cancelled first. The
    // deadline covers the whole transfer, redirects included.
    void Start(const QUrl& url, std::chrono::milliseconds deadline);
    bool IsRunning() const { return m_pReply != nullptr; }
    void Cancel();

Q_SIGNALS:
    // The receiver may delete this object.
    void finished(const CPageFetch::Result& result);

private:
    void OnMetaDataChanged();
    void OnReadyRead();
    void OnReplyFinished();
    void OnRedirected(const QUrl& target);
    bool TakeAvailableBytes();
    Result ResultOfReply() const;
    void Finish(const Result& result);

    // Deleted later, never at once: this object may go while the reply is inside one of its
    // signals, and the manager takes its replies with it.
    struct DeleteLater {
        void operator()(QObject* object) const { object->deleteLater(); }
    };

    std::unique_ptr<QNetworkAccessManager, DeleteLater> m_pNetwork;
    QNetworkReply* m_pReply = nullptr;
    QTimer m_Deadline;
    QByteArray m_Body;
};
