#pragma once
// The popup window of CSkinTaskbarNotifier: paints the skin and the text, highlights the text
// under the mouse and reports clicks. A child of the notifier's parent window, so it goes when
// that window goes.

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QWidget>

class NotifierWindow : public QWidget {
    Q_OBJECT
public:
    explicit NotifierWindow(QWidget* parent);

    void SetSkin(const QPixmap& skin);
    void SetTextFonts(const QFont& normal, const QFont& highlight);
    void SetTextColors(const QColor& normal, const QColor& highlight);
    void SetText(const QString& text);
    const QString& Text() const { return m_text; }
    // The full size of the tip; while it slides in only part of it is shown.
    QSize FullSize() const;
    bool IsHovered() const { return m_bHover; }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect TextRect() const;

    QPixmap m_skin;
    QFont m_normalFont;
    QFont m_highlightFont;
    QColor m_normalColor{0x03, 0x08, 0x78};
    QColor m_highlightColor{0x00, 0x00, 0xC8};
    QString m_text;
    bool m_bHover = false;
};
