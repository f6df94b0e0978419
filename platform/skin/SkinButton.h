#pragma once
// A push button painted from an image strip of equal slices, one per state: normal, hover,
// pressed, focus, disabled. Owned by its parent window.

#include "skin/ColorRef.h"

#include <QAbstractButton>
#include <QPixmap>

class CSkinButton : public QAbstractButton {
    Q_OBJECT
public:
    enum State { StateNormal, StateHover, StatePressed, StateFocus, StateDisabled, StateCount };

    explicit CSkinButton(QWidget* parent = nullptr);

    // The strip runs left to right, or top to bottom when vertical is set, and holds
    // stateCount slices; states beyond the strip use the normal slice.
    bool SetButtonImage(const QString& file, bool vertical, int stateCount, COLORREF transparent);
    // The state the button is drawn in now.
    State CurrentState() const;
    // The part of the strip drawn for a state; empty without an image.
    QRect SliceRect(State state) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap m_strip;
    bool m_bVertical = false;
    int m_nStateCount = 0;
    bool m_bHover = false;
};
