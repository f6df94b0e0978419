#pragma once
// CPU time (user and system) of a process, for benchmarks that run the server binary as a child
// process beside their own clients.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <sys/resource.h>
#include <unistd.h>

namespace pellix {

// From /proc; 0 when the process is not there.
inline double ProcessCpuMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return 0;
    // After the command name in parentheses: state is field 3, utime and stime 14 and 15.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    const double ticks = fields[11].toDouble() + fields[12].toDouble();
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

inline double OwnCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) * 1000.0 +
               static_cast<double>(time.tv_usec) / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace pellix
