#pragma once
// The module's three exports, resolved by a host with dlopen/dlsym or QLibrary from libpellix.so.

#include "pellix/IFriendClient.h"

#define PELLIX_EXPORT __attribute__((visibility("default")))

extern "C" {
// The service's interface, null before the first create and after destroy.
PELLIX_EXPORT extern IFriendClient* g_pIFriendClient;
// Returns the one service object, building it on first call.
PELLIX_EXPORT IFriendClient* CreateFriendClient();
// Destroys the service (if any) and nulls g_pIFriendClient and *client.
PELLIX_EXPORT void DestroyFriendClient(IFriendClient** client);
}

using CreateFriendClientFn = IFriendClient* (*)();
using DestroyFriendClientFn = void (*)(IFriendClient**);
