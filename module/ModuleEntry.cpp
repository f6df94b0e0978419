// The module's exports: the one service object is built on demand and destroyed on request.

#include "FriendService.h"
#include "pellix/FriendClient.h"
#include "resources/ModuleResources.h"

namespace {

// Attach and detach of the module: its resources join the process while it is loaded.
__attribute__((constructor)) void AttachModule() {
    RegisterModuleResources();
}
__attribute__((destructor)) void DetachModule() {
    UnregisterModuleResources();
}

} // namespace

extern "C" {

IFriendClient* g_pIFriendClient = nullptr;

IFriendClient* CreateFriendClient() {
    if (g_pIFriendClient != nullptr)
        return g_pIFriendClient;
    // No exception crosses into the host: a service that cannot be built is no service.
    try {
        g_pIFriendClient = new CFriendService();
    } catch (...) {
        g_pIFriendClient = nullptr;
    }
    return g_pIFriendClient;
}

void DestroyFriendClient(IFriendClient** client) {
    delete GetFriendService();
    g_pIFriendClient = nullptr;
    *client = nullptr;
}
}
