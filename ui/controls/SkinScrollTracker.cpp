#include "SkinScrollTracker.h"

#include "SkinScrollCommand.h"

namespace pellix {

using namespace SkinScroll;

namespace {

Qt::Orientation OrientationOf(int part) {
    return (part & kVerticalPart) != 0 ? Qt::Vertical : Qt::Horizontal;
}

int PartCode(Qt::Orientation orientation, int part) {
    if (part == kNoPart)
        return kNoPart;
    return orientation == Qt::Vertical ? (part | kVerticalPart) : part;
}

int RepeatedCode(int part) {
    switch (part & kPartMask) {
    case kFirstArrow:
        return kLineUp;
    case kSecondArrow:
        return kLineDown;
    case kPageBefore:
        return kPageUp;
    default:
        return kPageDown;
    }
}

} // namespace

SkinScrollTracker::SkinScrollTracker(ISkinScrollBars& bars, std::unique_ptr<ISkinScrollTimer> timer)
    : m_bars(bars), m_timer(std::move(timer)) {
    m_timer->SetTimeoutHandler([this] { OnTimeout(); });
}

int SkinScrollTracker::HitPart(Qt::Orientation orientation, QPoint point) const {
    return HitTest(m_bars.Layout(orientation), orientation, m_bars.BarSize(orientation), point,
                   m_bars.IsDisabled(orientation));
}

void SkinScrollTracker::MouseMove(Qt::Orientation orientation, QPoint point,
                                  Qt::MouseButtons buttons) {
    if (!m_pressed) {
        Hover(orientation, point);
        return;
    }
    if (!buttons.testFlag(Qt::LeftButton))
        return;
    m_mouseAlong = Along(orientation, point);
    if ((m_pressedPart & kPartMask) == kThumb)
        DragThumb(orientation, m_mouseAlong);
    else
        FollowPressedPart(orientation, point);
}

// Page parts become hot too (the repeat asks for it) but are painted as the track.
void SkinScrollTracker::Hover(Qt::Orientation orientation, QPoint point) {
    const int part = HitPart(orientation, point);
    if (!m_bars.Layout(orientation).HasThumb() || part == kNoPart)
        return;
    SetHot(PartCode(orientation, part));
}

// A held part shows pressed while the mouse is over it, and repeats only then.
void SkinScrollTracker::FollowPressedPart(Qt::Orientation orientation, QPoint point) {
    const bool over = PartCode(orientation, HitPart(orientation, point)) == m_pressedPart;
    SetHot(over ? m_pressedPart : kNoPart);
}

void SkinScrollTracker::DragThumb(Qt::Orientation orientation, int along) {
    const ScrollInfo info = m_bars.Info(orientation);
    const int position = DragPosition(m_bars.Layout(orientation), info, along, m_dragOffset);
    if (position == info.pos)
        return;
    m_dragPosition = position;
    m_bars.Send(orientation, m_bars.IsRichEdit() ? kThumbPosition : kThumbTrack, position);
}

void SkinScrollTracker::Press(Qt::Orientation orientation, QPoint point) {
    const BarLayout layout = m_bars.Layout(orientation);
    const int hit = HitPart(orientation, point);
    // A disabled bar's thumb is hit (it is still there) but not painted, so it is not grabbed.
    if (!layout.HasThumb() || hit == kNoPart || m_bars.IsDisabled(orientation))
        return;
    const int part = PartCode(orientation, hit);
    SetHot(part);
    m_mouseAlong = Along(orientation, point);
    if (hit == kThumb) {
        m_dragOffset = m_mouseAlong - layout.thumbStart;
        // Letting go without moving leaves the view where it is.
        m_dragPosition = m_bars.Info(orientation).pos;
    } else {
        m_repeatCode = RepeatedCode(part);
        m_bars.Send(orientation, m_repeatCode, 0);
        m_repeating = false;
        m_timer->Start(kRepeatDelayMs);
    }
    m_pressedPart = part;
    m_pressed = true;
    Repaint(part);
}

void SkinScrollTracker::Release(Qt::Orientation orientation, QPoint point) {
    if (!m_pressed)
        return;
    const Qt::Orientation pressedBar = OrientationOf(m_pressedPart);
    if ((m_pressedPart & kPartMask) == kThumb) {
        m_bars.Send(pressedBar, kThumbPosition, m_dragPosition);
        m_bars.Send(pressedBar, kEndScroll, 0);
        m_hotPart = PartCode(orientation, HitPart(orientation, point));
    } else {
        m_timer->Stop();
        m_bars.Send(pressedBar, kEndScroll, 0);
    }
    ClearPress();
    m_bars.RepaintBar(pressedBar);
    Repaint(m_hotPart);
}

void SkinScrollTracker::Leave() {
    if (!m_pressed)
        SetHot(kNoPart);
}

void SkinScrollTracker::Cancel(bool notify) {
    m_timer->Stop();
    if (!m_pressed)
        return;
    const int pressed = m_pressedPart;
    ClearPress();
    m_hotPart = kNoPart;
    if (notify)
        m_bars.Send(OrientationOf(pressed), kEndScroll, 0);
    Repaint(pressed);
}

void SkinScrollTracker::ClearPress() {
    m_dragOffset = 0;
    m_repeatCode = -1;
    m_pressedPart = kNoPart;
    m_pressed = false;
    m_dragPosition = 0;
}

// The first timeout ends the delay before repeating; every later one repeats.
void SkinScrollTracker::OnTimeout() {
    if (!m_repeating) {
        m_timer->Stop();
        m_timer->Start(kRepeatIntervalMs);
        m_repeating = true;
        return;
    }
    if (!m_pressed) {
        m_timer->Stop();
        return;
    }
    if (m_pressedPart != m_hotPart)
        return;
    RepeatPressedPart();
}

// Arrows repeat while held; page parts until the thumb reaches the mouse.
void SkinScrollTracker::RepeatPressedPart() {
    const Qt::Orientation orientation = OrientationOf(m_pressedPart);
    const int part = m_pressedPart & kPartMask;
    if (part == kPageBefore || part == kPageAfter) {
        const BarLayout layout = m_bars.Layout(orientation);
        const bool thumbShortOfMouse =
            part == kPageBefore ? m_mouseAlong < layout.thumbStart : m_mouseAlong > layout.thumbEnd;
        if (!thumbShortOfMouse || !layout.HasThumb()) {
            m_timer->Stop();
            return;
        }
    }
    m_bars.Send(orientation, m_repeatCode, 0);
}

int SkinScrollTracker::PartState(int part) const {
    if (m_bars.IsDisabled(OrientationOf(part)))
        return kDisabled;
    if (part == kNoPart || part != m_hotPart)
        return kNormal;
    return m_pressed ? kPressed : kHot;
}

void SkinScrollTracker::SetHot(int part) {
    if (part == m_hotPart)
        return;
    const int previous = m_hotPart;
    m_hotPart = part;
    Repaint(previous);
    Repaint(part);
}

void SkinScrollTracker::Repaint(int part) {
    if (part != kNoPart)
        m_bars.RepaintBar(OrientationOf(part));
}

} // namespace pellix
