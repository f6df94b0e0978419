#pragma once
// The one way every storage operation reaches a database: open a session for this operation
// only, run the operation, and on a data failure show the error box with the file's path.

#include "data/Exception.h"
#include "data/Session.h"

#include <string>

namespace pellix {

// Opens the database file at path (created if missing); an empty path fails.
QxDataModule::Session OpenDatabase(const std::string& path);

// The error box: the failure's text followed by the path, captioned "程序异常".
void ReportDatabaseFailure(const QxDataModule::DataException& failure, const std::string& path);

// The same box, shown only for the first failure of a file in this run of the program: a file
// read again and again (a history page by page) would pile up boxes. A failure without a file (no
// working directory) is shown each time.
void ReportDatabaseFailureOnce(const QxDataModule::DataException& failure, const std::string& path);

enum class FailureNotice { EachTime, OncePerFile };

// Runs operation(session) on a fresh session of the file at path. Returns false after a data
// failure, which has been shown; the session, and any transaction left open, ends before the box.
template <typename Operation>
bool WithDatabase(const std::string& path, Operation&& operation,
                  FailureNotice notice = FailureNotice::EachTime) {
    try {
        QxDataModule::Session session = OpenDatabase(path);
        operation(session);
        return true;
    } catch (const QxDataModule::DataException& failure) {
        if (notice == FailureNotice::OncePerFile)
            ReportDatabaseFailureOnce(failure, path);
        else
            ReportDatabaseFailure(failure, path);
        return false;
    }
}

} // namespace pellix
