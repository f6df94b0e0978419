#pragma once
// What the skinned scroll bar tests share: a repeat timer stepped by hand, a skin bitmap whose
// tiles are flat colours that tell them apart, and a shown text view skinned with both.

#include "ui/controls/SkinScrollBar.h"
#include "ui/controls/SkinScrollPart.h"
#include "ui/controls/SkinScrollState.h"
#include "ui/controls/SkinScrollTimer.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

namespace pellix {

class ManualScrollTimer : public ISkinScrollTimer {
public:
    void SetTimeoutHandler(std::function<void()> handler) override {
        m_handler = std::move(handler);
    }
    void Start(int intervalMs) override {
        m_active = true;
        m_starts.push_back(intervalMs);
    }
    void Stop() override { m_active = false; }
    bool IsActive() const override { return m_active; }

    // One timeout, as the clock would give it.
    void Fire() {
        if (m_active && m_handler)
            m_handler();
    }
    int LastInterval() const { return m_starts.empty() ? 0 : m_starts.back(); }

private:
    std::function<void()> m_handler;
    bool m_active = false;
    std::vector<int> m_starts;
};

// The colour of the tile at column, row of the test bitmap.
inline QColor TileColor(int column, int row) {
    return QColor(10 + column * 16, 40 + row * 60, 99);
}

inline QPixmap ColouredTiles() {
    QImage image(240, 48, QImage::Format_RGB32);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 15; ++column)
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    image.setPixelColor(column * 16 + x, row * 16 + y, TileColor(column, row));
    return QPixmap::fromImage(image);
}

inline QString LongText(int lines) {
    QString text;
    for (int line = 0; line < lines; ++line)
        text += QStringLiteral("line %1\n").arg(line);
    return text;
}

inline SkinScrollPart* VerticalBar(const QWidget& view) {
    return view.findChild<SkinScrollPart*>(QStringLiteral("SkinScrollVertical"));
}

inline SkinScrollPart* HorizontalBar(const QWidget& view) {
    return view.findChild<SkinScrollPart*>(QStringLiteral("SkinScrollHorizontal"));
}

// A mouse move straight to a widget, with the buttons held; QTest's moves go through the window
// system, which drops a move to where the previous test left the cursor.
inline void MoveMouse(QWidget* widget, QPoint point, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent move(QEvent::MouseMove, point, widget->mapToGlobal(point), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// Skins a shown view with the coloured tiles and a hand-stepped timer.
inline ManualScrollTimer* SkinForTest(QAbstractScrollArea& view) {
    auto timer = std::make_unique<ManualScrollTimer>();
    ManualScrollTimer* stepped = timer.get();
    if (!SkinScrollInstall(&view, ColouredTiles(), std::move(timer)))
        return nullptr;
    return stepped;
}

} // namespace pellix
