#include "SkinMenu.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

QString CssColor(COLORREF color) {
    return ColorFromRef(color).name();
}

} // namespace

CSkinMenu::CSkinMenu(QWidget* parent) : QMenu(parent) {
    ApplyStyle();
}

void CSkinMenu::SetMenuColors(COLORREF sideBar, COLORREF highlight, COLORREF highlightBorder,
                              COLORREF border) {
    m_sideBarColor = sideBar;
    m_highlightColor = highlight;
    m_highlightBorderColor = highlightBorder;
    m_borderColor = border;
    ApplyStyle();
}

void CSkinMenu::AddSideBar(const CSkinMenuSideBar& sideBar) {
    m_sideBar = sideBar;
    ApplyStyle();
}

QAction* CSkinMenu::AppendODMenu(int id, const CSkinMenuText& item) {
    QAction* action = addAction(item.Text());
    action->setData(id);
    if (!item.Icon().isNull())
        action->setIcon(QIcon(item.Icon()));
    if (m_textColor != item.Color()) {
        m_textColor = item.Color();
        ApplyStyle();
    }
    return action;
}

void CSkinMenu::CheckMenuItem(int id, bool checked) {
    if (QAction* action = FindItem(id)) {
        action->setCheckable(true);
        action->setChecked(checked);
    }
}

QAction* CSkinMenu::FindItem(int id) const {
    for (QAction* action : actions()) {
        if (!action->isSeparator() && action->data().toInt() == id)
            return action;
    }
    return nullptr;
}

int CSkinMenu::TrackPopupMenu(const QPoint& globalPos) {
    const QAction* chosen = exec(globalPos);
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

void CSkinMenu::ApplyStyle() {
    const int sideBarWidth = m_sideBar ? m_sideBar->Width() : 0;
    setStyleSheet(QStringLiteral("QMenu { background: #ffffff; border: 1px solid %1; "
                                 "padding: 2px 2px 2px %2px; }"
                                 "QMenu::item { color: %3; padding: 4px 22px 4px 20px; "
                                 "border: 1px solid transparent; }"
                                 "QMenu::item:selected { background: %4; border: 1px solid %5; }"
                                 "QMenu::item:disabled { color: #a0a0a0; }"
                                 "QMenu::separator { height: 1px; background: %1; "
                                 "margin: 3px 6px; }")
                      .arg(CssColor(m_borderColor))
                      .arg(sideBarWidth + 3)
                      .arg(CssColor(m_textColor), CssColor(m_highlightColor),
                           CssColor(m_highlightBorderColor)));
}

void CSkinMenu::paintEvent(QPaintEvent* event) {
    QMenu::paintEvent(event);
    if (!m_sideBar)
        return;
    QPainter painter(this);
    const QRect bar(1, 1, m_sideBar->Width(), height() - 2);
    const COLORREF top = m_sideBar->StartColor() != 0 ? m_sideBar->StartColor() : m_sideBarColor;
    const COLORREF bottom = m_sideBar->EndColor() != 0 ? m_sideBar->EndColor() : m_borderColor;
    QLinearGradient gradient(bar.topLeft(), bar.bottomLeft());
    gradient.setColorAt(0, ColorFromRef(top));
    gradient.setColorAt(1, ColorFromRef(bottom));
    painter.fillRect(bar, gradient);
    if (!m_sideBar->Image().isNull()) {
        painter.drawPixmap(bar, m_sideBar->Image());
        return;
    }
    // The text reads bottom to top along the bar.
    QFont font = painter.font();
    font.setPixelSize(std::max(8, m_sideBar->Width() - 2));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.translate(bar.left(), bar.bottom());
    painter.rotate(-90);
    painter.drawText(QRect(4, 0, bar.height() - 8, bar.width()), Qt::AlignLeft | Qt::AlignVCenter,
                     m_sideBar->Text());
}
