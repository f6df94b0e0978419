#pragma once
// The emoticon picker's popup: a grid of the emoticon pictures with the hovered cell highlighted
// and the emoticon's name as tool-tip. A click on a cell closes the popup and reports the index;
// Esc or a click outside closes it without a pick. Owned by its selector object.

#include "EmotionImages.h"

#include <QWidget>
#include <functional>

class CEmotionPicker : public QWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 12;
    static constexpr int kCellSize = 28;

    explicit CEmotionPicker(std::function<void(int)> onPicked);

    // Shows the popup with its top-left corner at the screen point, inside the available area of
    // the screen there (or of the parent's screen when no screen holds the point).
    void PopUp(const QWidget* parent, const QPoint& screenPoint);
    // The cell of an emoticon in the popup's coordinates.
    QRect CellRect(int index) const;
    // The emoticon under a point of the popup, or -1.
    int IndexAt(const QPoint& point) const;
    int HoveredIndex() const { return m_nHovered; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetHovered(int index);
    void DrawCell(QPainter& painter, int index);

    std::function<void(int)> m_onPicked;
    EmotionImages m_images;
    int m_nHovered = -1;
};
