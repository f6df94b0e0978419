#include "DatabaseAccess.h"

#include "base/UserNotice.h"
#include "data/SQLite/Connector.h"
#include "data/SessionFactory.h"
#include "text/StringUtility.h"

#include <unordered_set>

namespace pellix {

using QxDataModule::SessionFactory;
using QxDataModule::SQLite::Connector;

QxDataModule::Session OpenDatabase(const std::string& path) {
    // The profile paths are empty when the working directory is gone; SQLite would take an empty
    // name for a temporary database and lose whatever is written to it.
    if (path.empty())
        throw QxDataModule::DataException("the working directory no longer exists");
    // Paths are file-system bytes, which on this system are already UTF-8.
    return SessionFactory::instance().create(Connector::KEY, path);
}

void ReportDatabaseFailure(const QxDataModule::DataException& failure, const std::string& path) {
    // The data library and the file system speak UTF-8; message boxes take GBK.
    const std::string text = StringUtility::UTF8ToAnsi(failure.displayText() + path);
    ShowUserNotice({text, StringUtility::UTF8ToAnsi("程序异常"), NOTICE_ERROR, 0, false});
}

void ReportDatabaseFailureOnce(const QxDataModule::DataException& failure,
                               const std::string& path) {
    static std::unordered_set<std::string> reported;
    if (path.empty() || reported.insert(path).second)
        ReportDatabaseFailure(failure, path);
}

} // namespace pellix
