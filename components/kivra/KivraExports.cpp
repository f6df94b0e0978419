// The library's only exports: the two factories, each making its object only for its own interface
// id and the version both sides speak.

#include "EmotionSelector.h"
#include "MessageProxy.h"
#include "kivra/KivraComponent.h"

#include <new>

#define KIVRA_EXPORT __attribute__((visibility("default")))

namespace {

bool Asks(const ComponentGUID* interfaceID, uint32_t version, const ComponentGUID& own) {
    return interfaceID != nullptr && *interfaceID == own && version == KIVRA_COMPONENT_VERSION;
}

} // namespace

extern "C" {

KIVRA_EXPORT void* CreateMessageProxy(const ComponentGUID* interfaceID, uint32_t version) {
    if (!Asks(interfaceID, version, IID_IMessageProxy))
        return nullptr;
    IMessageProxy* proxy = new (std::nothrow) CMessageProxy();
    return proxy;
}

KIVRA_EXPORT void* CreateEmotionSelector(const ComponentGUID* interfaceID, uint32_t version) {
    if (!Asks(interfaceID, version, IID_IEmotionSelector))
        return nullptr;
    IEmotionSelector* selector = new (std::nothrow) CEmotionSelector();
    return selector;
}
}
