// A chat component library whose factory never makes an object.

#include "kivra/KivraComponent.h"

extern "C" __attribute__((visibility("default"))) void* CreateMessageProxy(const ComponentGUID*,
                                                                           uint32_t) {
    return nullptr;
}
