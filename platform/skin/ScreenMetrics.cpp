#include "ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <optional>

namespace {

struct Override {
    QRect screen;
    QRect workArea;
};

std::optional<Override>& CurrentOverride() {
    static std::optional<Override> value;
    return value;
}

// Without a screen (no display at all) a common desktop size keeps placement sensible.
const QRect kFallbackScreen(0, 0, 1024, 768);

} // namespace

namespace ScreenMetrics {

QRect ScreenGeometry() {
    if (CurrentOverride())
        return CurrentOverride()->screen;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : kFallbackScreen;
}

QRect WorkArea() {
    if (CurrentOverride())
        return CurrentOverride()->workArea;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : kFallbackScreen;
}

void SetOverride(const QRect& screen, const QRect& workArea) {
    CurrentOverride() = Override{screen, workArea};
}

void ClearOverride() {
    CurrentOverride().reset();
}

} // namespace ScreenMetrics
