#pragma once
// Real input events for the scenario player: what the window system would deliver for a mouse
// click, a right click, a double-click and typing (keys for Latin text, input-method commits for
// Chinese).

#include <QPoint>
#include <QString>

class QWidget;

namespace UserInput {

// A left click at pos, in widget coordinates.
void Click(QWidget* widget, QPoint pos);
// A right click at pos: press and release of the right button.
void RightClick(QWidget* widget, QPoint pos);
// The event sequence of a left double-click at pos: press, release, double-click, release.
void DoubleClick(QWidget* widget, QPoint pos);
// Types text into widget: printable ASCII as key presses and releases, every other run of
// characters as one input-method commit, the way a Chinese input method hands over a phrase.
void Type(QWidget* widget, const QString& text);

} // namespace UserInput
