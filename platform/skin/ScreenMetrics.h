#pragma once
// Screen size and work area as window placement sees them: the primary screen's by default,
// replaceable so that placement can be tested against a known screen.

#include <QRect>

namespace ScreenMetrics {

// The whole primary screen (the screen size of the placement rules).
QRect ScreenGeometry();
// The part of the primary screen not taken by panels and docks.
QRect WorkArea();

// From now on report these rectangles instead of the real screen's.
void SetOverride(const QRect& screen, const QRect& workArea);
void ClearOverride();

} // namespace ScreenMetrics
