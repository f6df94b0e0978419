#pragma once
// The skin of one scroll area's scroll bars: it hides the area's own bars, reserves 16 pixels
// beside and below the viewport, and paints bars from the skin bitmap there that drive the
// area's QScrollBars. Made by SkinScrollInstall as a child of the area, which owns it; found
// again through the area's "PROP_SkinSB" property.

#include "SkinScrollMath.h"
#include "SkinScrollTiles.h"
#include "SkinScrollTracker.h"

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <memory>

class QAbstractScrollArea;
class QScrollBar;

namespace pellix {

class SkinScrollPart;

class SkinScrollState : public QObject, private ISkinScrollBars {
    Q_OBJECT
public:
    // bitmap must fit the tile layout (SkinScrollTiles::Fits).
    SkinScrollState(QAbstractScrollArea& window, const QPixmap& bitmap,
                    std::unique_ptr<ISkinScrollTimer> timer);
    ~SkinScrollState() override;

    // Puts the window's own bars and margins back as they were before the skin.
    void Restore();

    QAbstractScrollArea& Window() const { return m_window; }
    SkinScrollTracker& Tracker() { return m_tracker; }
    const SkinScrollTracker& Tracker() const { return m_tracker; }
    bool IsLeftBar() const { return m_leftBar; }
    bool IsRichEdit() const override { return m_richEdit; }

    // Where the bars and the size box lie in the window; empty when not shown.
    QRect BarRect(Qt::Orientation orientation) const;
    QRect SizeBoxRect() const { return m_frame.sizeBox; }
    SkinScroll::BarLayout Layout(Qt::Orientation orientation) const override;
    SkinScroll::ScrollInfo Info(Qt::Orientation orientation) const override;
    bool IsDisabled(Qt::Orientation orientation) const override;

    void PaintBar(QPainter& painter, Qt::Orientation orientation);
    void PaintSizeBox(QPainter& painter) const;

Q_SIGNALS:
    // A scroll code was sent to the window's bar of this orientation.
    void scrollSent(Qt::Orientation orientation, int code, int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Frame {
        QMargins margins;
        QRect vertical;
        QRect horizontal;
        QRect sizeBox;
    };

    QSize BarSize(Qt::Orientation orientation) const override;
    void Send(Qt::Orientation orientation, int code, int position) override;
    void RepaintBar(Qt::Orientation orientation) override;

    QScrollBar& Slider(Qt::Orientation orientation) const;
    bool WantsBar(Qt::Orientation orientation) const;
    Frame ComputeFrame() const;
    void UpdateFrame();
    void UpdateFrameLater();
    void Watch(Qt::Orientation orientation);

    QAbstractScrollArea& m_window;
    SkinScrollTiles m_tiles;
    SkinScrollTracker m_tracker;
    Qt::ScrollBarPolicy m_verticalPolicy;
    Qt::ScrollBarPolicy m_horizontalPolicy;
    QMargins m_baseMargins;
    bool m_leftBar = false;
    bool m_richEdit = false;
    Frame m_frame;
    QPointer<SkinScrollPart> m_verticalBar;
    QPointer<SkinScrollPart> m_horizontalBar;
    QPointer<SkinScrollPart> m_sizeBox;
};

} // namespace pellix
