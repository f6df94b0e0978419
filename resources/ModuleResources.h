#pragma once
// The module's own resources (icons) in Qt's resource system, registered while the module is
// loaded.

#include <QIcon>

namespace pellix {

void RegisterModuleResources();
void UnregisterModuleResources();
// Icon resource id (10005 to 10007) of the module; a null icon for any other id.
QIcon ModuleIcon(int iconID);

} // namespace pellix
