#include "ViewportMargins.h"

#include <QAbstractScrollArea>

namespace pellix {

namespace {

// Naming the protected members through a derived class yields pointers to members of the base,
// which may then be called on any scroll area.
struct Access : QAbstractScrollArea {
    using QAbstractScrollArea::setViewportMargins;
    using QAbstractScrollArea::viewportMargins;
};

} // namespace

namespace ViewportMargins {

QMargins Get(const QAbstractScrollArea& area) {
    QMargins (QAbstractScrollArea::*get)() const = &Access::viewportMargins;
    return (area.*get)();
}

void Set(QAbstractScrollArea& area, const QMargins& margins) {
    void (QAbstractScrollArea::*set)(const QMargins&) = &Access::setViewportMargins;
    (area.*set)(margins);
}

} // namespace ViewportMargins

} // namespace pellix
