#include "ChatHistoryStore.h"

#include "DatabaseAccess.h"
#include "RecordColumns.h"

#include "client/StringUtility.h"
#include "data/Binding.h"
#include "data/Extraction.h"
#include "data/Statement.h"

using namespace QxDataModule;

namespace {

void EnsureSchema(Session& session) {
    session << "CREATE TABLE IF NOT EXISTS [chat_history] ([From] VARCHAR(32), [To] VARCHAR(32), "
               "[Time] INTEGER default 0, [Message] VARCHAR(512))",
        now;
}

} // namespace

CChatHistoryStore::CChatHistoryStore(std::vector<ChatHistoryRecord>& records, std::string path)
    : m_records(records), m_path(std::move(path)) {}

bool CChatHistoryStore::AddMessage(const std::string& from, const std::string& to, int64_t time,
                                   const std::string& message) {
    const std::string utf8From = StringUtility::AnsiToUTF8(from);
    const std::string utf8To = StringUtility::AnsiToUTF8(to);
    const std::string utf8Message = StringUtility::AnsiToUTF8(message);
    return WithDatabase(m_path, [&](Session& session) {
        EnsureSchema(session);
        session << "INSERT INTO [chat_history] VALUES(:strFrom, :strTo, :nTime, :strMessage )",
            use(utf8From), use(utf8To), use(time), use(utf8Message), now;
    });
}

int CChatHistoryStore::GetMessageCount() {
    int32_t count = 0;
    const bool read = WithDatabase(m_path, [&](Session& session) {
        EnsureSchema(session);
        session << "SELECT COUNT(*) FROM [chat_history]", into(count), now;
    });
    return read ? count : 0;
}

bool CChatHistoryStore::GetMessages(int limit, int offset) {
    const std::size_t first = m_records.size();
    const bool read = WithDatabase(m_path, [&](Session& session) {
        EnsureSchema(session);
        Statement select(session);
        select << "SELECT [chat_history].* FROM [chat_history] LIMIT :nLimit Offset :nOffset",
            intoRecords(m_records), use(limit), use(offset);
        select.execute();
    });
    for (std::size_t i = first; i < m_records.size(); ++i) {
        ChatHistoryRecord& record = m_records[i];
        record.strFrom = StringUtility::UTF8ToAnsi(record.strFrom);
        record.strTo = StringUtility::UTF8ToAnsi(record.strTo);
        record.strMessage = StringUtility::UTF8ToAnsi(record.strMessage);
    }
    return read;
}
