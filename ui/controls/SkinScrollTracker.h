#pragma once
// The mouse on a skinned window's scroll bars: which part is hot, which is held, the repeat of
// a held arrow or page part, and the drag of a thumb. It turns them into scroll codes sent
// through the bars it serves. Owned by the skinned window's state, one per window.

#include "SkinScrollMath.h"
#include "SkinScrollTimer.h"

#include <QPoint>
#include <memory>

namespace pellix {

// What the tracker needs of the bars it serves.
class ISkinScrollBars {
public:
    virtual ~ISkinScrollBars() = default;
    virtual QSize BarSize(Qt::Orientation orientation) const = 0;
    virtual SkinScroll::BarLayout Layout(Qt::Orientation orientation) const = 0;
    virtual SkinScroll::ScrollInfo Info(Qt::Orientation orientation) const = 0;
    virtual bool IsDisabled(Qt::Orientation orientation) const = 0;
    // Rich text views take the thumb's position while it is dragged, other views its track.
    virtual bool IsRichEdit() const = 0;
    virtual void Send(Qt::Orientation orientation, int code, int position) = 0;
    virtual void RepaintBar(Qt::Orientation orientation) = 0;
};

class SkinScrollTracker {
public:
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 50;

    SkinScrollTracker(ISkinScrollBars& bars, std::unique_ptr<ISkinScrollTimer> timer);

    // Points are in the coordinates of the bar of the given orientation.
    void MouseMove(Qt::Orientation orientation, QPoint point, Qt::MouseButtons buttons);
    void Press(Qt::Orientation orientation, QPoint point);
    void Release(Qt::Orientation orientation, QPoint point);
    // The mouse left the bars; the hot part is cleared unless a part is held.
    void Leave();
    void ClearHot() { SetHot(SkinScroll::kNoPart); }
    // Lets go of a held part without a release of the button (the window hides, the skin is
    // removed); notify tells the view that scrolling ended.
    void Cancel(bool notify);

    int HotPart() const { return m_hotPart; }
    int PressedPart() const { return m_pressedPart; }
    bool IsPressed() const { return m_pressed; }
    // How a part (with kVerticalPart for the vertical bar) is painted now.
    int PartState(int part) const;

private:
    void Hover(Qt::Orientation orientation, QPoint point);
    void FollowPressedPart(Qt::Orientation orientation, QPoint point);
    void DragThumb(Qt::Orientation orientation, int along);
    void OnTimeout();
    void RepeatPressedPart();
    int HitPart(Qt::Orientation orientation, QPoint point) const;
    void SetHot(int part);
    void Repaint(int part);
    void ClearPress();

    ISkinScrollBars& m_bars;
    std::unique_ptr<ISkinScrollTimer> m_timer;
    bool m_repeating = false;
    int m_hotPart = SkinScroll::kNoPart;
    int m_pressedPart = SkinScroll::kNoPart;
    bool m_pressed = false;
    int m_dragOffset = 0;
    int m_dragPosition = 0;
    int m_repeatCode = -1;
    // Where the mouse was last seen along the held bar, for the page repeat.
    int m_mouseAlong = 0;
};

} // namespace pellix
