#pragma once
// One painted piece of a skinned window's frame: the vertical bar, the horizontal bar or the
// size box between them. A child of the skinned window, lying in the margin the skin reserves
// beside the viewport; it paints from the state and hands the mouse to its tracker.

#include <QWidget>

namespace pellix {

class SkinScrollState;

class SkinScrollPart : public QWidget {
    Q_OBJECT
public:
    enum Kind { kVerticalBar, kHorizontalBar, kSizeBox };

    SkinScrollPart(QWidget& window, SkinScrollState& state, Kind kind);

    Kind GetKind() const { return m_kind; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    Qt::Orientation Orientation() const;
    bool IsBar() const { return m_kind != kSizeBox; }
    bool IsMirrored() const;
    // A mouse position in the bar's own terms: along x from its first arrow.
    QPoint BarPoint(const QMouseEvent& event) const;

    SkinScrollState& m_state;
    Kind m_kind;
};

} // namespace pellix
