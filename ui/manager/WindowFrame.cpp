#include "WindowFrame.h"

#include "resources/ModuleResources.h"
#include "skin/RgnDialog.h"

namespace pellix {

namespace {

QString Part(const WindowFrame& frame, const char* name, bool onTop) {
    if (frame.topBorderOnly && !onTop)
        return QString();
    return frame.borderPrefix + QLatin1String(name) + QStringLiteral(".png");
}

} // namespace

void ApplyWindowFrame(CRgnDialog& window, const WindowFrame& frame) {
    ApplyWindowIdentity(window, frame);
    ApplyBorderImages(window, frame);
}

void ApplyWindowIdentity(CRgnDialog& window, const WindowFrame& frame) {
    window.SetColorAttribute(frame.color);
    window.setWindowTitle(frame.title);
    window.setWindowIcon(ModuleIcon(frame.iconID));
}

void ApplyBorderImages(CRgnDialog& window, const WindowFrame& frame) {
    window.LoadBorderImage(Part(frame, "top_left", true), Part(frame, "top_mid", true),
                           Part(frame, "top_right", true), Part(frame, "middle_left", false),
                           Part(frame, "client", false), Part(frame, "middle_right", false),
                           Part(frame, "bottom_left", false), Part(frame, "bottom_mid", false),
                           Part(frame, "bottom_right", false), SKIN_TRANSPARENT_COLOR);
}

} // namespace pellix
