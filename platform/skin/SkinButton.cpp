#include "SkinButton.h"

#include "skin/SkinImageManager.h"

#include <QPainter>
#include <QStyle>

namespace {

const QColor kCaptionText(0x10, 0x3A, 0x6B);
const QColor kDisabledText(0x9A, 0xA4, 0xAE);

} // namespace

CSkinButton::CSkinButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::TabFocus);
}

bool CSkinButton::SetButtonImage(const QString& file, bool vertical, int stateCount,
                                 COLORREF transparent) {
    m_strip = CSkinImageManager::Instance().GetImage(file, transparent);
    m_bVertical = vertical;
    m_nStateCount = stateCount > 0 ? stateCount : 1;
    update();
    return !m_strip.isNull();
}

CSkinButton::State CSkinButton::CurrentState() const {
    if (!isEnabled())
        return StateDisabled;
    if (isDown())
        return StatePressed;
    if (m_bHover)
        return StateHover;
    if (hasFocus())
        return StateFocus;
    return StateNormal;
}

QRect CSkinButton::SliceRect(State state) const {
    if (m_strip.isNull())
        return {};
    const int index = state < m_nStateCount ? state : StateNormal;
    if (m_bVertical) {
        const int height = m_strip.height() / m_nStateCount;
        return QRect(0, index * height, m_strip.width(), height);
    }
    const int width = m_strip.width() / m_nStateCount;
    return QRect(index * width, 0, width, m_strip.height());
}

QSize CSkinButton::sizeHint() const {
    const QRect slice = SliceRect(StateNormal);
    return slice.isEmpty() ? QSize(49, 21) : slice.size();
}

void CSkinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const State state = CurrentState();
    if (!m_strip.isNull())
        painter.drawPixmap(rect(), m_strip, SliceRect(state));
    if (text().isEmpty())
        return;
    QFont textFont = font();
    textFont.setPixelSize(12);
    painter.setFont(textFont);
    painter.setPen(state == StateDisabled ? kDisabledText : kCaptionText);
    const QRect textRect = state == StatePressed ? rect().translated(1, 1) : rect();
    style()->drawItemText(&painter, textRect, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                          true, text());
}

void CSkinButton::enterEvent(QEnterEvent* event) {
    m_bHover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CSkinButton::leaveEvent(QEvent* event) {
    m_bHover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
