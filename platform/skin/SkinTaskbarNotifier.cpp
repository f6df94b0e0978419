#include "SkinTaskbarNotifier.h"

#include "skin/NotifierWindow.h"
#include "skin/ScreenMetrics.h"
#include "skin/SkinImageManager.h"

#include <QFont>
#include <algorithm>

namespace {

constexpr int kScreenMargin = 2;

QFont MakeFont(const QString& face, int size, int style) {
    QFont font(face);
    font.setPointSizeF(size > 0 ? size / 10.0 : 9.0);
    font.setBold((style & CSkinTaskbarNotifier::StyleBold) != 0);
    font.setItalic((style & CSkinTaskbarNotifier::StyleItalic) != 0);
    font.setUnderline((style & CSkinTaskbarNotifier::StyleUnderline) != 0);
    font.setStrikeOut((style & CSkinTaskbarNotifier::StyleStrikeOut) != 0);
    return font;
}

} // namespace

CSkinTaskbarNotifier::CSkinTaskbarNotifier() {
    m_stayTimer.setSingleShot(true);
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(0);
    connect(&m_hideTimer, &QTimer::timeout, this, [this] {
        if (m_state == Hidden && m_pWindow)
            m_pWindow->hide();
    });
    connect(&m_slideTimer, &QTimer::timeout, this, &CSkinTaskbarNotifier::OnTick);
    connect(&m_stayTimer, &QTimer::timeout, this, &CSkinTaskbarNotifier::OnStayOver);
}

// The window may already be gone with its parent; a parentless one is ours to delete.
CSkinTaskbarNotifier::~CSkinTaskbarNotifier() {
    delete m_pWindow.data();
}

bool CSkinTaskbarNotifier::Create(QWidget* parent) {
    Hide();
    delete m_pWindow.data();
    m_pWindow = new NotifierWindow(parent);
    connect(m_pWindow.data(), &NotifierWindow::clicked, this, &CSkinTaskbarNotifier::clicked);
    SetTextFont(QString(), 90, 0, StyleUnderline);
    return true;
}

bool CSkinTaskbarNotifier::SetSkin(const QString& file, int red, int green, int blue) {
    const QPixmap skin =
        CSkinImageManager::Instance().GetImage(file, MakeColorRef(red, green, blue));
    if (m_pWindow)
        m_pWindow->SetSkin(skin);
    return !skin.isNull();
}

void CSkinTaskbarNotifier::SetTextFont(const QString& face, int size, int normalStyle,
                                       int highlightStyle) {
    if (m_pWindow)
        m_pWindow->SetTextFonts(MakeFont(face, size, normalStyle),
                                MakeFont(face, size, highlightStyle));
}

void CSkinTaskbarNotifier::SetTextColor(COLORREF normal, COLORREF highlight) {
    if (m_pWindow)
        m_pWindow->SetTextColors(ColorFromRef(normal), ColorFromRef(highlight));
}

QString CSkinTaskbarNotifier::Text() const {
    return m_pWindow ? m_pWindow->Text() : QString();
}

QWidget* CSkinTaskbarNotifier::Window() const {
    return m_pWindow.data();
}

void CSkinTaskbarNotifier::Show(const QString& text, int appearMs, int stayMs, int disappearMs,
                                int step) {
    if (!m_pWindow)
        return;
    m_nStep = std::max(step, 1);
    m_nAppearMs = std::max(appearMs, 0);
    m_nStayMs = std::max(stayMs, 0);
    m_nDisappearMs = std::max(disappearMs, 0);
    m_stayTimer.stop();
    m_hideTimer.stop();
    m_pWindow->SetText(text);
    SetState(Appearing);
    PlaceWindow();
    if (!m_pWindow->isVisible())
        m_pWindow->show();
    m_slideTimer.start(IntervalFor(m_nAppearMs));
}

void CSkinTaskbarNotifier::Hide() {
    Stop();
    if (m_pWindow && m_pWindow->isVisible())
        m_hideTimer.start();
}

void CSkinTaskbarNotifier::Stop() {
    m_slideTimer.stop();
    m_stayTimer.stop();
    m_nVisibleHeight = 0;
    SetState(Hidden);
}

void CSkinTaskbarNotifier::SetState(State state) {
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

// One slide takes duration: the full height in steps of m_nStep pixels.
int CSkinTaskbarNotifier::IntervalFor(int durationMs) const {
    const int height = m_pWindow ? m_pWindow->FullSize().height() : 1;
    const int steps = std::max(1, (height + m_nStep - 1) / m_nStep);
    return std::max(1, durationMs / steps);
}

void CSkinTaskbarNotifier::OnTick() {
    if (!m_pWindow) {
        Stop();
        return;
    }
    const int full = m_pWindow->FullSize().height();
    if (m_state == Appearing) {
        m_nVisibleHeight = std::min(full, m_nVisibleHeight + m_nStep);
        if (m_nVisibleHeight == full) {
            m_slideTimer.stop();
            SetState(Showing);
            m_stayTimer.start(m_nStayMs);
        }
    } else if (m_state == Disappearing) {
        m_nVisibleHeight = std::max(0, m_nVisibleHeight - m_nStep);
        if (m_nVisibleHeight == 0) {
            Stop();
            m_pWindow->hide();
            return;
        }
    }
    PlaceWindow();
}

void CSkinTaskbarNotifier::OnStayOver() {
    if (m_pWindow && m_pWindow->IsHovered()) {
        m_stayTimer.start(m_nStayMs);
        return;
    }
    SetState(Disappearing);
    m_slideTimer.start(IntervalFor(m_nDisappearMs));
}

// The tip rises out of the bottom edge of the work area at its right end.
void CSkinTaskbarNotifier::PlaceWindow() {
    const QRect area = ScreenMetrics::WorkArea();
    const QSize full = m_pWindow->FullSize();
    const int visible = std::max(m_nVisibleHeight, 1);
    m_pWindow->setGeometry(area.right() + 1 - kScreenMargin - full.width(),
                           area.bottom() + 1 - visible, full.width(), visible);
}
