#pragma once
// A menu or dialog that waits for the user in a loop of its own, while the host may close the
// module's windows from a timer or a network event: it is closed, and its loop ends, when the
// window that opened it goes.

#include <QObject>
#include <QWidget>

namespace pellix {

inline void CloseWithOwner(QObject* owner, QWidget* window) {
    QObject::connect(owner, &QObject::destroyed, window, &QWidget::close);
}

} // namespace pellix
