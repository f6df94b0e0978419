#pragma once
// Runs a test in a fresh, empty working directory and goes back to the previous one afterwards, so
// that profiles the module writes never land in the build tree.

#include <QDir>
#include <QTemporaryDir>

class ScopedWorkingDirectory {
public:
    ScopedWorkingDirectory() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~ScopedWorkingDirectory() { QDir::setCurrent(m_previous); }
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
