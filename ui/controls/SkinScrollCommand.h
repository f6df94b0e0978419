#pragma once
// The scroll codes a scroll bar sends its view, and what each does to the view's QScrollBar:
// the skinned bars drive the view through the same slider the view scrolls by wheel and keys,
// so the view and the painted thumb always agree.

#include "SkinScrollMath.h"

class QAbstractSlider;

namespace pellix {

namespace SkinScroll {

enum ScrollCode : int {
    kLineUp = 0,   // also line left
    kLineDown = 1, // also line right
    kPageUp = 2,
    kPageDown = 3,
    kThumbPosition = 4, // the thumb ends at position: the value moves there
    kThumbTrack = 5,    // the thumb is being dragged through position
    kTop = 6,
    kBottom = 7,
    kEndScroll = 8, // the user let go
};

// One bar's state read from the slider. An empty range has no thumb; otherwise max counts
// the last page in, as system scroll bars do.
ScrollInfo InfoFromSlider(const QAbstractSlider& slider);

// Applies a scroll code to the slider; position matters for the thumb codes only. Unknown codes
// do nothing.
void ApplyScrollCode(QAbstractSlider& slider, int code, int position);

} // namespace SkinScroll

} // namespace pellix
