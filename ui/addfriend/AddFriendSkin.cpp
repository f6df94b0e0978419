#include "AddFriendSkin.h"

#include "resources/ModuleResources.h"
#include "resources/ResourceIds.h"
#include "skin/RgnDialog.h"

void ApplyAddFriendSkin(CRgnDialog& window, const QString& title) {
    window.SetColorAttribute(0x00FFF9F9);
    window.setWindowTitle(title);
    window.setWindowIcon(ModuleIcon(IDI_FRIEND));
    window.LoadBorderImage(QStringLiteral("data/Friend/bk_top_left.png"),
                           QStringLiteral("data/Friend/bk_top_mid.png"),
                           QStringLiteral("data/Friend/bk_top_right.png"), QString(), QString(),
                           QString(), QString(), QString(), QString(), SKIN_TRANSPARENT_COLOR);
}
