#pragma once
// A popup tip that slides up at the bottom-right of the work area, stays a while and slides
// away. Its owner embeds it; its window is a child of the window given to Create and goes with
// it, so Create is called again for a new parent.

#include "skin/ColorRef.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class NotifierWindow;
class QWidget;

class CSkinTaskbarNotifier : public QObject {
    Q_OBJECT
public:
    enum State { Hidden, Appearing, Showing, Disappearing };
    // Font style bits of SetTextFont.
    enum FontStyle { StyleBold = 1, StyleItalic = 2, StyleUnderline = 4, StyleStrikeOut = 8 };

    CSkinTaskbarNotifier();
    ~CSkinTaskbarNotifier() override;

    // Makes the popup window (again) as a tool window of parent.
    bool Create(QWidget* parent);
    // The tip's image; pixels of colour (red, green, blue) are transparent.
    bool SetSkin(const QString& file, int red, int green, int blue);
    // size is in tenths of a point; the highlighted style applies while the mouse is over it.
    void SetTextFont(const QString& face, int size, int normalStyle, int highlightStyle);
    void SetTextColor(COLORREF normal, COLORREF highlight);
    // Slides the text in over appearMs, keeps it stayMs (longer while the mouse rests on it)
    // and slides it out over disappearMs, moving step pixels at a time. A new text replaces
    // the one shown.
    void Show(const QString& text, int appearMs, int stayMs, int disappearMs, int step);
    // Ends the tip at once; its window goes when control returns to the event loop, so that a
    // Show right after (a new tip replacing the old) reuses the window instead of hiding and
    // showing it again.
    void Hide();

    State GetState() const { return m_state; }
    QString Text() const;
    QWidget* Window() const;

Q_SIGNALS:
    void clicked();
    void stateChanged(int state);

private:
    // Ends the tip's animation and timers; the window stays as it is.
    void Stop();
    void SetState(State state);
    void OnTick();
    void OnStayOver();
    void PlaceWindow();
    int IntervalFor(int durationMs) const;

    QPointer<NotifierWindow> m_pWindow;
    QTimer m_slideTimer;
    QTimer m_stayTimer;
    QTimer m_hideTimer;
    State m_state = Hidden;
    int m_nVisibleHeight = 0;
    int m_nStep = 1;
    int m_nAppearMs = 0;
    int m_nStayMs = 0;
    int m_nDisappearMs = 0;
};
