#include "SkinScrollState.h"

#include "SkinScrollCommand.h"
#include "SkinScrollPart.h"
#include "ViewportMargins.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextEdit>

namespace pellix {

using namespace SkinScroll;

SkinScrollState::SkinScrollState(QAbstractScrollArea& window, const QPixmap& bitmap,
                                 std::unique_ptr<ISkinScrollTimer> timer)
    : QObject(&window), m_window(window), m_tiles(bitmap), m_tracker(*this, std::move(timer)),
      m_verticalPolicy(window.verticalScrollBarPolicy()),
      m_horizontalPolicy(window.horizontalScrollBarPolicy()),
      m_baseMargins(ViewportMargins::Get(window)),
      m_leftBar(window.layoutDirection() == Qt::RightToLeft),
      m_richEdit(qobject_cast<QTextEdit*>(&window) != nullptr) {
    window.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    window.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_verticalBar = new SkinScrollPart(window, *this, SkinScrollPart::kVerticalBar);
    m_horizontalBar = new SkinScrollPart(window, *this, SkinScrollPart::kHorizontalBar);
    m_sizeBox = new SkinScrollPart(window, *this, SkinScrollPart::kSizeBox);
    window.installEventFilter(this);
    Watch(Qt::Vertical);
    Watch(Qt::Horizontal);
    UpdateFrame();
}

// The window may be going away with its children: touch nothing of it but the pieces.
SkinScrollState::~SkinScrollState() {
    delete m_verticalBar.data();
    delete m_horizontalBar.data();
    delete m_sizeBox.data();
}

void SkinScrollState::Watch(Qt::Orientation orientation) {
    QScrollBar* slider = &Slider(orientation);
    slider->installEventFilter(this);
    // The window shows a bar as needed only once its range settles, as Qt's own bars do.
    connect(slider, &QAbstractSlider::rangeChanged, this, &SkinScrollState::UpdateFrame,
            Qt::QueuedConnection);
    const auto repaint = [this, orientation] { RepaintBar(orientation); };
    connect(slider, &QAbstractSlider::rangeChanged, this, repaint);
    connect(slider, &QAbstractSlider::valueChanged, this, repaint);
    connect(slider, &QAbstractSlider::sliderMoved, this, repaint);
}

void SkinScrollState::Restore() {
    m_tracker.Cancel(true);
    m_window.removeEventFilter(this);
    for (Qt::Orientation orientation : {Qt::Vertical, Qt::Horizontal}) {
        QScrollBar* slider = &Slider(orientation);
        slider->removeEventFilter(this);
        disconnect(slider, nullptr, this, nullptr);
    }
    delete m_verticalBar.data();
    delete m_horizontalBar.data();
    delete m_sizeBox.data();
    ViewportMargins::Set(m_window, m_baseMargins);
    m_window.setVerticalScrollBarPolicy(m_verticalPolicy);
    m_window.setHorizontalScrollBarPolicy(m_horizontalPolicy);
}

QScrollBar& SkinScrollState::Slider(Qt::Orientation orientation) const {
    return *(orientation == Qt::Vertical ? m_window.verticalScrollBar()
                                         : m_window.horizontalScrollBar());
}

// A bar shows when the window's own bar would: always, never, or while there is a range.
bool SkinScrollState::WantsBar(Qt::Orientation orientation) const {
    const Qt::ScrollBarPolicy policy =
        orientation == Qt::Vertical ? m_verticalPolicy : m_horizontalPolicy;
    const QScrollBar& slider = Slider(orientation);
    return policy == Qt::ScrollBarAlwaysOn ||
           (policy == Qt::ScrollBarAsNeeded && slider.maximum() > slider.minimum());
}

// The bars take 16 pixels off the bottom and the right (the left for right-to-left windows) of
// the viewport, each only where the viewport is larger than that.
SkinScrollState::Frame SkinScrollState::ComputeFrame() const {
    Frame frame;
    frame.margins = m_baseMargins;
    QRect client = m_window.contentsRect().marginsRemoved(m_baseMargins);
    const bool horizontal = WantsBar(Qt::Horizontal) && client.height() > kBarWidth;
    const bool vertical = WantsBar(Qt::Vertical) && client.width() > kBarWidth;
    if (horizontal) {
        frame.margins.setBottom(frame.margins.bottom() + kBarWidth);
        client.setBottom(client.bottom() - kBarWidth);
    }
    if (vertical && m_leftBar) {
        frame.margins.setLeft(frame.margins.left() + kBarWidth);
        client.setLeft(client.left() + kBarWidth);
        frame.vertical = QRect(client.left() - kBarWidth, client.top(), kBarWidth, client.height());
    } else if (vertical) {
        frame.margins.setRight(frame.margins.right() + kBarWidth);
        client.setRight(client.right() - kBarWidth);
        frame.vertical = QRect(client.right() + 1, client.top(), kBarWidth, client.height());
    }
    if (horizontal)
        frame.horizontal = QRect(client.left(), client.bottom() + 1, client.width(), kBarWidth);
    if (vertical && horizontal)
        frame.sizeBox = QRect(frame.vertical.left(), frame.horizontal.top(), kBarWidth, kBarWidth);
    return frame;
}

void SkinScrollState::UpdateFrame() {
    m_frame = ComputeFrame();
    if (ViewportMargins::Get(m_window) != m_frame.margins)
        ViewportMargins::Set(m_window, m_frame.margins);
    const auto place = [](SkinScrollPart* part, const QRect& rect) {
        if (part == nullptr)
            return;
        part->setGeometry(rect);
        part->setVisible(!rect.isEmpty());
        part->raise();
    };
    place(m_verticalBar, m_frame.vertical);
    place(m_horizontalBar, m_frame.horizontal);
    place(m_sizeBox, m_frame.sizeBox);
}

void SkinScrollState::UpdateFrameLater() {
    QMetaObject::invokeMethod(this, &SkinScrollState::UpdateFrame, Qt::QueuedConnection);
}

bool SkinScrollState::eventFilter(QObject* watched, QEvent* event) {
    // A window being destroyed is a scroll area no more (its hide comes from ~QWidget): leave it.
    if (qobject_cast<QAbstractScrollArea*>(&m_window) == nullptr)
        return false;
    if (watched != &m_window) {
        if (event->type() == QEvent::EnabledChange)
            RepaintBar(watched == &Slider(Qt::Vertical) ? Qt::Vertical : Qt::Horizontal);
        return false;
    }
    switch (event->type()) {
    case QEvent::LayoutDirectionChange:
        m_leftBar = m_window.layoutDirection() == Qt::RightToLeft;
        UpdateFrame();
        break;
    case QEvent::Resize:
    case QEvent::Show:
        UpdateFrame();
        break;
    // The frame's width changes only once the window has handled these.
    case QEvent::StyleChange:
    case QEvent::ContentsRectChange:
        UpdateFrameLater();
        break;
    case QEvent::Hide:
        m_tracker.Cancel(true);
        break;
    default:
        break;
    }
    return false;
}

QRect SkinScrollState::BarRect(Qt::Orientation orientation) const {
    return orientation == Qt::Vertical ? m_frame.vertical : m_frame.horizontal;
}

QSize SkinScrollState::BarSize(Qt::Orientation orientation) const {
    return BarRect(orientation).size();
}

SkinScroll::BarLayout SkinScrollState::Layout(Qt::Orientation orientation) const {
    const QRect bar = BarRect(orientation);
    if (bar.isEmpty())
        return {};
    return LayoutBar(orientation == Qt::Vertical ? bar.height() : bar.width(), Info(orientation));
}

SkinScroll::ScrollInfo SkinScrollState::Info(Qt::Orientation orientation) const {
    return InfoFromSlider(Slider(orientation));
}

bool SkinScrollState::IsDisabled(Qt::Orientation orientation) const {
    return !Slider(orientation).isEnabled();
}

void SkinScrollState::Send(Qt::Orientation orientation, int code, int position) {
    ApplyScrollCode(Slider(orientation), code, position);
    Q_EMIT scrollSent(orientation, code, position);
}

void SkinScrollState::RepaintBar(Qt::Orientation orientation) {
    SkinScrollPart* bar = orientation == Qt::Vertical ? m_verticalBar : m_horizontalBar;
    if (bar != nullptr)
        bar->update();
}

void SkinScrollState::PaintBar(QPainter& painter, Qt::Orientation orientation) {
    const int bar = orientation == Qt::Vertical ? kVerticalPart : 0;
    m_tiles.PaintBar(painter, orientation, QPoint(0, 0), Layout(orientation),
                     m_tracker.PartState(bar | kFirstArrow),
                     m_tracker.PartState(bar | kSecondArrow), m_tracker.PartState(bar | kThumb));
}

void SkinScrollState::PaintSizeBox(QPainter& painter) const {
    m_tiles.PaintSizeBox(painter, QPoint(0, 0), m_leftBar);
}

} // namespace pellix
