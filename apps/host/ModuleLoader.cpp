#include "ModuleLoader.h"

#include <QCoreApplication>
#include <QDir>

QString ModuleLoader::DefaultPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libpellix.so"));
}

bool ModuleLoader::Load(const QString& path) {
    m_library.setFileName(path);
    if (!m_library.load()) {
        m_error = m_library.errorString();
        return false;
    }
    m_create = reinterpret_cast<CreateFriendClientFn>(m_library.resolve("CreateFriendClient"));
    m_destroy = reinterpret_cast<DestroyFriendClientFn>(m_library.resolve("DestroyFriendClient"));
    m_exported = reinterpret_cast<IFriendClient**>(m_library.resolve("g_pIFriendClient"));
    if (m_create == nullptr || m_destroy == nullptr || m_exported == nullptr) {
        m_error = QStringLiteral("%1 lacks the friend module's exports").arg(path);
        m_library.unload();
        return false;
    }
    return true;
}
