#pragma once
// Keeps what the client library writes to its TLS log while an object of it lives (one at a
// time), for tests that check why a connection was refused.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <mutex>

namespace pellix {

class TlsLogCapture {
public:
    TlsLogCapture() {
        {
            const std::lock_guard lock(s_mutex);
            s_lines.clear();
        }
        s_previous = qInstallMessageHandler(&TlsLogCapture::Handle);
    }
    ~TlsLogCapture() { qInstallMessageHandler(s_previous); }
    TlsLogCapture(const TlsLogCapture&) = delete;
    TlsLogCapture& operator=(const TlsLogCapture&) = delete;

    static bool Holds(const QString& text) {
        const std::lock_guard lock(s_mutex);
        return s_lines.filter(text).size() > 0;
    }
    static int Count(const QString& text) {
        const std::lock_guard lock(s_mutex);
        return static_cast<int>(s_lines.filter(text).size());
    }
    static QString All() {
        const std::lock_guard lock(s_mutex);
        return s_lines.join(QLatin1Char('\n'));
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (context.category != nullptr && qstrcmp(context.category, "pellix.client.tls") == 0) {
            const std::lock_guard lock(s_mutex);
            s_lines.append(text);
        }
        if (s_previous != nullptr)
            s_previous(type, context, text);
    }

    static inline QtMessageHandler s_previous = nullptr;
    static inline std::mutex s_mutex;
    static inline QStringList s_lines;
};

} // namespace pellix
