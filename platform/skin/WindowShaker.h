#pragma once
// Moves a window through the rounds of a shake and puts it back where it was. A child of the
// window it shakes; it deletes itself when done.

#include <QObject>
#include <QPoint>
#include <QTimer>

class QWidget;

class WindowShaker : public QObject {
    Q_OBJECT
public:
    WindowShaker(QWidget* window, int dx, int dy, int intervalMs, int cycles);

    // Starts again from the original position with a fresh number of rounds.
    void Restart(int dx, int dy, int intervalMs, int cycles);

private:
    void OnTick();

    QWidget* m_pWindow;
    QPoint m_origin;
    QTimer m_timer;
    int m_nDx = 0;
    int m_nDy = 0;
    int m_nMovesLeft = 0;
    int m_nMove = 0;
};
