// The module's exports: the one service object is built on demand and destroyed on request.

#include "FriendService.h"
#include "pellix/FriendClient.h"
#include "resources/ModuleResources.h"
#include "ui/chat/ChatComponentLibraries.h"

#include <QCoreApplication>

extern "C" {
IFriendClient* g_pIFriendClient = nullptr;
}

namespace pellix {
namespace {

void DestroyService() {
    delete GetFriendService();
    g_pIFriendClient = nullptr;
}

// Attach and detach of the module: its resources join the process while it is loaded.
__attribute__((constructor)) void AttachModule() {
    RegisterModuleResources();
}
__attribute__((destructor)) void DetachModule() {
    // A host that unloads the module without DestroyFriendClient leaves windows whose code goes
    // with the module; while its application runs they go first.
    if (GetFriendService() != nullptr && QCoreApplication::instance() != nullptr)
        DestroyService();
    // The chat windows held the only objects of the chat component libraries.
    ChatComponentLibraries::Release();
    UnregisterModuleResources();
}

} // namespace
} // namespace pellix

extern "C" {

IFriendClient* CreateFriendClient() {
    if (g_pIFriendClient != nullptr)
        return g_pIFriendClient;
    // No exception crosses into the host: a service that cannot be built is no service.
    try {
        g_pIFriendClient = new pellix::CFriendService();
    } catch (...) {
        g_pIFriendClient = nullptr;
    }
    return g_pIFriendClient;
}

void DestroyFriendClient(IFriendClient** client) {
    pellix::DestroyService();
    if (client != nullptr)
        *client = nullptr;
}
}
