#include "UserInput.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace UserInput {

namespace {

void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons,
               Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

bool IsTypedAsKey(QChar c) {
    return c.unicode() >= 0x20 && c.unicode() < 0x7F;
}

void SendKey(QWidget* widget, QChar c) {
    // For printable ASCII the key code is the upper-case character.
    const int key = c.toUpper().unicode();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(widget, &release);
}

void Commit(QWidget* widget, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

void Click(QWidget* widget, QPoint pos) {
    SendMouse(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

void RightClick(QWidget* widget, QPoint pos) {
    SendMouse(widget, QEvent::MouseButtonPress, pos, Qt::RightButton, Qt::RightButton);
    SendMouse(widget, QEvent::MouseButtonRelease, pos, Qt::NoButton, Qt::RightButton);
}

void DoubleClick(QWidget* widget, QPoint pos) {
    Click(widget, pos);
    SendMouse(widget, QEvent::MouseButtonDblClick, pos, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

void Type(QWidget* widget, const QString& text) {
    QString run;
    for (const QChar c : text) {
        if (!IsTypedAsKey(c)) {
            run += c;
            continue;
        }
        if (!run.isEmpty()) {
            Commit(widget, run);
            run.clear();
        }
        SendKey(widget, c);
    }
    if (!run.isEmpty())
        Commit(widget, run);
}

} // namespace UserInput
