#pragma once
// A throwaway PostgreSQL cluster for tests: initdb and pg_ctl of the newest server installed, in
// a temporary folder that also holds its socket, its only way in. PostgreSQL refuses to
// run as root, so a root test run starts it as the postgres user. One per test binary: made on
// first use, stopped and removed when the tests end.

#include <QString>
#include <QTemporaryDir>

#include <string>

namespace pellix {

class PostgresCluster {
public:
    // The test run's cluster, started on first use; throws std::runtime_error saying why it
    // cannot start (and again on every later call).
    static PostgresCluster& Shared();
    // Stops the shared cluster; the tests' end does it.
    static void StopShared();

    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // A new empty UTF-8 database of its own name; returns its libpq URI.
    std::string CreateDatabase();
    // A URI of the cluster's maintenance database, for looking at others from outside.
    std::string AdminUri() const { return UriOf("postgres"); }

private:
    PostgresCluster();
    void Start();
    std::string UriOf(const std::string& database) const;
    // Runs one of the server's programs as the user the cluster belongs to.
    void RunTool(const QString& name, const QStringList& arguments) const;

    QTemporaryDir m_Dir;
    QString m_BinDir;
    bool m_bStarted = false;
    int m_nDatabases = 0;
};

} // namespace pellix
