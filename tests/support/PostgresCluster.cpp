#include "PostgresCluster.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QVersionNumber>
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <memory>
#include <optional>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace pellix {

namespace {

constexpr int kToolTimeoutMs = 120000;
const char* const kServerUser = "postgres";

std::unique_ptr<PostgresCluster> s_pShared;
std::optional<std::string> s_StartError;

// Stops the shared cluster while the application the tests run in still exists.
class StopAtTheEnd final : public ::testing::Environment {
public:
    void TearDown() override { PostgresCluster::StopShared(); }
};

[[maybe_unused]] const ::testing::Environment* const kStopAtTheEnd =
    ::testing::AddGlobalTestEnvironment(new StopAtTheEnd);

// The bin folder of the newest PostgreSQL under /usr/lib/postgresql, as Debian installs it.
QString FindBinDir() {
    const QDir root(QStringLiteral("/usr/lib/postgresql"));
    QString best;
    QVersionNumber bestVersion;
    for (const QString& entry : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QVersionNumber version = QVersionNumber::fromString(entry);
        const QString bin = root.filePath(entry + QStringLiteral("/bin"));
        if (!version.isNull() && version > bestVersion &&
            QFileInfo(bin + QStringLiteral("/initdb")).isExecutable()) {
            best = bin;
            bestVersion = version;
        }
    }
    return best;
}

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

void GiveToServerUser(const QString& path) {
    const passwd* user = ::getpwnam(kServerUser);
    if (user == nullptr)
        throw std::runtime_error("no postgres user: is the postgresql package installed?");
    if (::chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid) != 0)
        throw std::runtime_error("cannot give " + path.toStdString() + " to postgres");
}

} // namespace

PostgresCluster& PostgresCluster::Shared() {
    if (s_StartError)
        throw std::runtime_error(*s_StartError);
    if (!s_pShared) {
        try {
            std::unique_ptr<PostgresCluster> cluster(new PostgresCluster);
            cluster->Start();
            s_pShared = std::move(cluster);
        } catch (const std::exception& error) {
            s_StartError = std::string("PostgreSQL test cluster: ") + error.what();
            throw std::runtime_error(*s_StartError);
        }
    }
    return *s_pShared;
}

void PostgresCluster::StopShared() {
    s_pShared.reset();
}

PostgresCluster::PostgresCluster() = default;

PostgresCluster::~PostgresCluster() {
    if (!m_bStarted)
        return;
    try {
        RunTool(QStringLiteral("pg_ctl"), {QStringLiteral("stop"), QStringLiteral("-D"),
                                           m_Dir.filePath(QStringLiteral("data")),
                                           QStringLiteral("-m"), QStringLiteral("immediate")});
    } catch (const std::exception& error) {
        ADD_FAILURE() << error.what();
    }
}

void PostgresCluster::Start() {
    m_BinDir = FindBinDir();
    if (m_BinDir.isEmpty())
        throw std::runtime_error("no initdb under /usr/lib/postgresql/*/bin");
    if (!m_Dir.isValid())
        throw std::runtime_error("no temporary folder");
    if (RunningAsRoot())
        GiveToServerUser(m_Dir.path());
    const QString data = m_Dir.filePath(QStringLiteral("data"));
    RunTool(QStringLiteral("initdb"),
            {QStringLiteral("-D"), data, QStringLiteral("-U"), QString::fromLatin1(kServerUser),
             QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
             QStringLiteral("UTF8"), QStringLiteral("--no-locale"), QStringLiteral("--no-sync")});
    // Only a socket in the cluster's own folder: no port to find free or to lose to another
    // program. A test cluster need not survive a power cut: nothing waits for the disk.
    const QString options = QStringLiteral("-k %1 -c listen_addresses='' "
                                           "-c fsync=off -c synchronous_commit=off "
                                           "-c full_page_writes=off")
                                .arg(m_Dir.path());
    RunTool(QStringLiteral("pg_ctl"),
            {QStringLiteral("start"), QStringLiteral("-D"), data, QStringLiteral("-l"),
             m_Dir.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
             QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("-o"), options});
    m_bStarted = true;
}

std::string PostgresCluster::CreateDatabase() {
    const std::string name = "test_" + std::to_string(++m_nDatabases);
    std::unique_ptr<PGconn, decltype(&PQfinish)> admin(PQconnectdb(AdminUri().c_str()), &PQfinish);
    if (PQstatus(admin.get()) != CONNECTION_OK)
        throw std::runtime_error(std::string("test cluster: ") + PQerrorMessage(admin.get()));
    // A name cannot be a bound value; this one is made here from a counter.
    const std::string sql = "CREATE DATABASE " + name + " TEMPLATE template0 ENCODING 'UTF8'";
    std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(admin.get(), sql.c_str()),
                                                         &PQclear);
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        throw std::runtime_error(std::string("test cluster: ") +
                                 PQresultErrorMessage(result.get()));
    return UriOf(name);
}

std::string PostgresCluster::UriOf(const std::string& database) const {
    return std::string("postgresql://") + kServerUser + "@/" + database +
           "?host=" + m_Dir.path().toStdString();
}

void PostgresCluster::RunTool(const QString& name, const QStringList& arguments) const {
    const QString program = m_BinDir + QLatin1Char('/') + name;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (RunningAsRoot())
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), QString::fromLatin1(kServerUser),
                                  QStringLiteral("--"), program} +
                          arguments);
    else
        process.start(program, arguments);
    const bool finished = process.waitForFinished(kToolTimeoutMs);
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        if (!finished)
            process.kill();
        throw std::runtime_error(name.toStdString() +
                                 " failed: " + process.readAll().toStdString());
    }
}

} // namespace pellix
