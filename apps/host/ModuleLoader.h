#pragma once
// Loads the friend module from the host's own directory and resolves its three exports.

#include "pellix/FriendClient.h"

#include <QLibrary>
#include <QString>

class ModuleLoader {
public:
    // False with errorString() set when the library or an export cannot be had.
    bool Load(const QString& path);
    QString errorString() const { return m_error; }

    IFriendClient* Create() const { return m_create(); }
    // Destroys the service; call before the library is unloaded.
    void Destroy(IFriendClient** client) const { m_destroy(client); }
    IFriendClient* Exported() const { return *m_exported; }

    static QString DefaultPath();

private:
    QLibrary m_library;
    CreateFriendClientFn m_create = nullptr;
    DestroyFriendClientFn m_destroy = nullptr;
    IFriendClient** m_exported = nullptr;
    QString m_error;
};
