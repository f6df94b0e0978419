#pragma once
// Writes the whole stored conversation with one friend to a file, as UTF-8 plain text or as an
// HTML page. The history is read a part at a time, so memory stays flat whatever its length, and
// the file appears under its name only once it is complete: it is written beside it under a
// temporary name and renamed at the end. A failure leaves any earlier file of that name as it
// was. It reads the history file itself, so an export goes on to its end even when the friend
// service goes away meanwhile. Made for one export and driven by its owner, step by step or at
// once.

#include "storage/ChatHistoryRecord.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <cstdint>
#include <vector>

namespace pellix {

enum class ChatHistoryExportFormat { PlainText, Html };

class CChatHistoryExporter {
public:
    enum class Status { Running, Finished, Failed };

    // historyFile is the conversation's history file; peerName (GBK) titles the export.
    // rowsPerStep messages are read and written by each Step.
    CChatHistoryExporter(std::string historyFile, std::string peerName,
                         ChatHistoryExportFormat format, const QString& path,
                         int rowsPerStep = 1000);

    // Writes the next part: Running while messages remain, Finished once the file is complete
    // under its name, Failed (see ErrorText) when it cannot be; after that it does nothing.
    Status Step();
    // Steps until the export has finished or failed.
    Status Run();

    Status GetStatus() const { return m_status; }
    // Why the export failed, as the system or the history store said it.
    const QString& ErrorText() const { return m_errorText; }
    int MessagesWritten() const { return m_nWritten; }

private:
    Status Open();
    Status Fail(const QString& reason);
    Status Complete();
    bool WriteBytes(const QByteArray& bytes);
    QByteArray Head() const;
    QByteArray Tail() const;
    void AppendMessage(QByteArray& out, const ChatHistoryRecord& record) const;

    std::string m_historyFile;
    // Where the history store reads its pages; the export reads rows only.
    std::vector<ChatHistoryRecord> m_storeRecords;
    std::string m_strPeerName;
    ChatHistoryExportFormat m_format;
    int m_nRowsPerStep;
    QSaveFile m_file;
    Status m_status = Status::Running;
    bool m_bOpened = false;
    int64_t m_nLastRow = 0;
    int m_nWritten = 0;
    std::vector<ChatHistoryRow> m_rows;
    QString m_errorText;
};

} // namespace pellix
