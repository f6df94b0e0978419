#include "UIModuleUtility.h"

#include "skin/WindowShaker.h"
#include "text/StringUtility.h"

#include <QPainter>
#include <QWidget>
#include <cstdio>

namespace UIModuleUtility {

void BringWindowToTop(QWidget* window) {
    if (window == nullptr)
        return;
    window->raise();
    window->activateWindow();
}

void ShakeWindow(QWidget* window, int dx, int dy, int intervalMs, int cycles) {
    if (window == nullptr)
        return;
    auto* running = window->findChild<WindowShaker*>(QString(), Qt::FindDirectChildrenOnly);
    if (running != nullptr)
        running->Restart(dx, dy, intervalMs, cycles);
    else
        new WindowShaker(window, dx, dy, intervalMs, cycles);
}

std::string RGBToHex(COLORREF color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", static_cast<unsigned>(color & 0xFF),
                  static_cast<unsigned>((color >> 8) & 0xFF),
                  static_cast<unsigned>((color >> 16) & 0xFF));
    return text;
}

int DrawTextExA(QPainter& painter, const std::string& text, const QRect& rect,
                unsigned int format) {
    int flags = 0;
    flags |= (format & DT_CENTER)  ? Qt::AlignHCenter
             : (format & DT_RIGHT) ? Qt::AlignRight
                                   : Qt::AlignLeft;
    // Windows centres or bottom-aligns only single lines.
    const bool singleLine = (format & DT_SINGLELINE) != 0;
    flags |= singleLine && (format & DT_VCENTER)  ? Qt::AlignVCenter
             : singleLine && (format & DT_BOTTOM) ? Qt::AlignBottom
                                                  : Qt::AlignTop;
    if ((format & DT_WORDBREAK) && !singleLine)
        flags |= Qt::TextWordWrap;
    if (!(format & DT_NOPREFIX))
        flags |= Qt::TextShowMnemonic;
    QString line = StringUtility::AnsiToQString(text);
    if (singleLine)
        line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (format & DT_END_ELLIPSIS)
        line = painter.fontMetrics().elidedText(line, Qt::ElideRight, rect.width());
    QRect drawn;
    painter.drawText(rect, flags, line, &drawn);
    return drawn.height();
}

} // namespace UIModuleUtility
