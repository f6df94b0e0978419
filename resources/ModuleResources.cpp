#include "ModuleResources.h"

#include <QString>

// The resource initialisers generated for module.qrc, outside any namespace as rcc makes them.
int qInitResources_module();
int qCleanupResources_module();

namespace pellix {

void RegisterModuleResources() {
    qInitResources_module();
}

void UnregisterModuleResources() {
    qCleanupResources_module();
}

QIcon ModuleIcon(int iconID) {
    const QString path = QStringLiteral(":/pellix/icons/%1").arg(iconID);
    return QIcon(path);
}

} // namespace pellix
