#include "ChatHistoryExporter.h"

#include "ChatHistoryText.h"
#include "storage/ChatHistoryStore.h"
#include "text/StringUtility.h"

namespace pellix {

namespace {

constexpr char kHtmlStyle[] = "<style>\n"
                              "body { font-family: sans-serif; font-size: 13px; color: #000; }\n"
                              ".header { color: #0000ff; margin-top: 8px; }\n"
                              ".body { margin-left: 12px; white-space: pre-wrap; }\n"
                              "</style>\n";

// UTF-8 text with the characters that mean something in HTML written as references.
std::string HtmlEscaped(const std::string& utf8) {
    std::string escaped;
    escaped.reserve(utf8.size() + 16);
    for (const char c : utf8) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string Utf8(const std::string& gbk) {
    return StringUtility::AnsiToUTF8(gbk);
}

QByteArray Bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CChatHistoryExporter::CChatHistoryExporter(std::string historyFile, std::string peerName,
                                           ChatHistoryExportFormat format, const QString& path,
                                           int rowsPerStep)
    : m_historyFile(std::move(historyFile)), m_strPeerName(std::move(peerName)), m_format(format),
      m_nRowsPerStep(rowsPerStep > 0 ? rowsPerStep : 1), m_file(path) {
    // Where no temporary file can be made beside the target, writing the target itself could
    // leave half a file under its name: that is a failure instead.
    m_file.setDirectWriteFallback(false);
}

CChatHistoryExporter::Status CChatHistoryExporter::Run() {
    while (Step() == Status::Running) {
    }
    return m_status;
}

CChatHistoryExporter::Status CChatHistoryExporter::Step() {
    if (m_status != Status::Running)
        return m_status;
    if (!m_bOpened)
        return Open();
    m_rows.clear();
    if (!CChatHistoryStore(m_storeRecords, m_historyFile)
             .GetRowsAfter(m_nLastRow, m_nRowsPerStep, m_rows))
        return Fail(QStringLiteral("聊天记录读取失败"));
    QByteArray part;
    for (const ChatHistoryRow& row : m_rows)
        AppendMessage(part, row.record);
    if (!WriteBytes(part))
        return Fail(m_file.errorString());
    m_nWritten += static_cast<int>(m_rows.size());
    if (static_cast<int>(m_rows.size()) < m_nRowsPerStep)
        return Complete();
    m_nLastRow = m_rows.back().nRowID;
    return Status::Running;
}

CChatHistoryExporter::Status CChatHistoryExporter::Open() {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Fail(m_file.errorString());
    m_bOpened = true;
    if (!WriteBytes(Head()))
        return Fail(m_file.errorString());
    return Status::Running;
}

CChatHistoryExporter::Status CChatHistoryExporter::Complete() {
    if (!WriteBytes(Tail()))
        return Fail(m_file.errorString());
    if (!m_file.commit())
        return Fail(m_file.errorString());
    m_status = Status::Finished;
    return m_status;
}

CChatHistoryExporter::Status CChatHistoryExporter::Fail(const QString& reason) {
    m_errorText = reason;
    m_status = Status::Failed;
    if (m_file.isOpen()) {
        // Committing a cancelled file removes the temporary one at once; the target is untouched.
        m_file.cancelWriting();
        m_file.commit();
    }
    return m_status;
}

// The file is unbuffered and every part is written to the end: a write that stops short is
// tried again for the rest, and the system's reason for stopping (a full disk, a size limit)
// becomes the error. A buffered file could lose the rest of a short write at its commit unseen.
bool CChatHistoryExporter::WriteBytes(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = m_file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += static_cast<qsizetype>(written);
    }
    return true;
}

QByteArray CChatHistoryExporter::Head() const {
    // Source text is UTF-8, as the file is.
    const std::string title = "与" + Utf8(m_strPeerName) + "的聊天记录";
    if (m_format == ChatHistoryExportFormat::PlainText)
        return Bytes(title + "\n\n");
    const std::string escaped = HtmlEscaped(title);
    return Bytes("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
                 "<title>" +
                 escaped + "</title>\n" + kHtmlStyle + "</head>\n<body>\n<h1>" + escaped +
                 "</h1>\n");
}

QByteArray CChatHistoryExporter::Tail() const {
    if (m_format == ChatHistoryExportFormat::PlainText)
        return {};
    return QByteArrayLiteral("</body>\n</html>\n");
}

void CChatHistoryExporter::AppendMessage(QByteArray& out, const ChatHistoryRecord& record) const {
    const std::string header = Utf8(record.strFrom) + " (" + FormatHistoryTime(record.nTime) + ")";
    const std::string body = Utf8(record.strMessage);
    if (m_format == ChatHistoryExportFormat::PlainText) {
        out += Bytes(header + "\n" + body + "\n\n");
        return;
    }
    out += Bytes("<div class=\"message\"><div class=\"header\">" + HtmlEscaped(header) +
                 "</div><div class=\"body\">" + HtmlEscaped(body) + "</div></div>\n");
}

} // namespace pellix
