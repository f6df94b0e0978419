#include "ChatHistoryStore.h"

#include "DatabaseAccess.h"
#include "RecordColumns.h"

#include "data/Binding.h"
#include "data/Extraction.h"
#include "data/Statement.h"
#include "text/StringUtility.h"

namespace pellix {

using namespace QxDataModule;

namespace {

// Up to this much of a history file is read through a memory map instead of the connection's
// page cache, which is far smaller than a long history: counting and paging 100,000 messages
// would otherwise copy the whole file from the system each time.
constexpr char kMappedReads[] = "PRAGMA mmap_size=268435456";

void EnsureSchema(Session& session) {
    session << kMappedReads, now;
    session << "CREATE TABLE IF NOT EXISTS [chat_history] ([From] VARCHAR(32), [To] VARCHAR(32), "
               "[Time] INTEGER default 0, [Message] VARCHAR(512))",
        now;
}

void ConvertToAnsi(ChatHistoryRecord& record) {
    record.strFrom = StringUtility::UTF8ToAnsi(record.strFrom);
    record.strTo = StringUtility::UTF8ToAnsi(record.strTo);
    record.strMessage = StringUtility::UTF8ToAnsi(record.strMessage);
}

// A LIKE pattern that matches text anywhere, with LIKE's own characters taken literally.
std::string ContainsPattern(const std::string& utf8Text) {
    std::string pattern = "%";
    for (const char c : utf8Text) {
        if (c == '%' || c == '_' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern + '%';
}

} // namespace

CChatHistoryStore::CChatHistoryStore(std::vector<ChatHistoryRecord>& records, std::string path)
    : m_records(records), m_path(std::move(path)) {}

bool CChatHistoryStore::AddMessage(const std::string& from, const std::string& to, int64_t time,
                                   const std::string& message) {
    return AddMessages({ChatHistoryRecord{from, to, time, message}});
}

bool CChatHistoryStore::AddMessages(const std::vector<ChatHistoryRecord>& messages) {
    std::string from;
    std::string to;
    int64_t time = 0;
    std::string message;
    return WithDatabase(
        m_path,
        [&](Session& session) {
            EnsureSchema(session);
            Transaction transaction(session);
            Statement insert(session);
            insert << "INSERT INTO [chat_history] VALUES(:strFrom, :strTo, :nTime, :strMessage )",
                use(from), use(to), use(time), use(message);
            for (const ChatHistoryRecord& record : messages) {
                from = StringUtility::AnsiToUTF8(record.strFrom);
                to = StringUtility::AnsiToUTF8(record.strTo);
                time = record.nTime;
                message = StringUtility::AnsiToUTF8(record.strMessage);
                insert.execute();
            }
            transaction.commit();
        },
        FailureNotice::OncePerFile);
}

int CChatHistoryStore::GetMessageCount() {
    int32_t count = 0;
    const bool read = WithDatabase(
        m_path,
        [&](Session& session) {
            EnsureSchema(session);
            session << "SELECT COUNT(*) FROM [chat_history]", into(count), now;
        },
        FailureNotice::OncePerFile);
    return read ? count : 0;
}

bool CChatHistoryStore::GetMessages(int limit, int offset) {
    const std::size_t first = m_records.size();
    const bool read = WithDatabase(
        m_path,
        [&](Session& session) {
            EnsureSchema(session);
            Statement select(session);
            // The table's own order, named so that pages and row numbers agree by construction.
            select << "SELECT [chat_history].* FROM [chat_history] ORDER BY rowid "
                      "LIMIT :nLimit Offset :nOffset",
                intoRecords(m_records), use(limit), use(offset);
            select.execute();
        },
        FailureNotice::OncePerFile);
    for (std::size_t i = first; i < m_records.size(); ++i)
        ConvertToAnsi(m_records[i]);
    return read;
}

bool CChatHistoryStore::GetRowsAfter(int64_t afterRow, int limit,
                                     std::vector<ChatHistoryRow>& rows) {
    const std::size_t first = rows.size();
    const bool read = WithDatabase(
        m_path,
        [&](Session& session) {
            EnsureSchema(session);
            Statement select(session);
            select << "SELECT rowid, [From], [To], [Time], [Message] FROM [chat_history] "
                      "WHERE rowid > :nAfter ORDER BY rowid LIMIT :nLimit",
                intoRecords(rows), use(afterRow), use(limit);
            select.execute();
        },
        FailureNotice::OncePerFile);
    for (std::size_t i = first; i < rows.size(); ++i)
        ConvertToAnsi(rows[i].record);
    return read;
}

ChatHistoryMatch CChatHistoryStore::FindMessageBefore(const std::string& text, int64_t beforeRow) {
    const std::string pattern = ContainsPattern(StringUtility::AnsiToUTF8(text));
    ChatHistoryMatch match;
    const bool read = WithDatabase(
        m_path,
        [&](Session& session) {
            EnsureSchema(session);
            session << "SELECT rowid FROM [chat_history] WHERE rowid < :nBefore "
                       "AND [Message] LIKE :strPattern ESCAPE '\\' ORDER BY rowid DESC LIMIT 1",
                into(match.nRowID), use(beforeRow), use(pattern), now;
            if (match.nRowID == 0)
                return;
            session << "SELECT COUNT(*) FROM [chat_history] WHERE rowid < :nRow",
                into(match.nIndex), use(match.nRowID), now;
        },
        FailureNotice::OncePerFile);
    return read ? match : ChatHistoryMatch{};
}

int64_t CChatHistoryStore::RowAt(int index) {
    int64_t row = 0;
    const bool read = WithDatabase(
        m_path,
        [&](Session& session) {
            EnsureSchema(session);
            session << "SELECT rowid FROM [chat_history] ORDER BY rowid LIMIT 1 OFFSET :nIndex",
                into(row), use(index), now;
        },
        FailureNotice::OncePerFile);
    return read ? row : 0;
}

} // namespace pellix
