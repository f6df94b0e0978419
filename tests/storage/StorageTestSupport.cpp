#include "StorageTestSupport.h"

#include "base/SignedInUser.h"
#include "data/SQLite/Connector.h"

#include <QDir>
#include <QFile>

#include <linux/capability.h>
#include <sqlite3.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pellix {

void StorageTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    m_previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    m_previousUser = GetUserInfo().userID;
    GetUserInfo().userID = OWN_ID;
    QxDataModule::SQLite::Connector::registerConnector();
}

void StorageTest::TearDown() {
    GetUserInfo().userID = m_previousUser;
    QDir::setCurrent(m_previousDir);
}

std::string StorageTest::WorkPath(const std::string& relative) const {
    return (m_dir.path() + QLatin1Char('/')).toStdString() + relative;
}

std::string StorageTest::HistoryFile(int peer) const {
    return WorkPath("Profile/501/ChatHistory/" + std::to_string(peer) + ".data");
}

void RawExec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error != nullptr ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

std::vector<std::string> RawRows(const std::string& path, const std::string& sql) {
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "cannot open " << path;
        return rows;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        ADD_FAILURE() << sqlite3_errmsg(db);
    while (stmt != nullptr && sqlite3_step(stmt) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            if (i > 0)
                row += '|';
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            row += text != nullptr ? text : "NULL";
        }
        rows.push_back(row);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

std::string FileBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::string();
    return file.readAll().toStdString();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

namespace {

// Sets the effective capability set of the calling thread to what change makes of it; previous
// receives the set before.
template <typename Change> bool ChangeEffectiveCapabilities(Change change, uint32_t& previous) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    previous = data[0].effective;
    data[0].effective = change(data[0].effective);
    return syscall(SYS_capset, &header, data) == 0;
}

} // namespace

FileModesEnforced::FileModesEnforced() {
    if (::geteuid() != 0) {
        m_bEnforced = true;
        return;
    }
    m_bDropped = ChangeEffectiveCapabilities(
        [](uint32_t effective) { return effective & ~(1u << CAP_DAC_OVERRIDE); }, m_savedEffective);
    m_bEnforced = m_bDropped;
}

FileModesEnforced::~FileModesEnforced() {
    uint32_t dropped = 0;
    if (m_bDropped)
        ChangeEffectiveCapabilities([this](uint32_t) { return m_savedEffective; }, dropped);
}

} // namespace pellix
