#pragma once
// Reads and sets the margins a scroll area keeps around its viewport. Qt lets only the area's
// own class do it; a decorator of someone else's view (the skinned scroll bar) needs it too.

#include <QMargins>

class QAbstractScrollArea;

namespace pellix {

namespace ViewportMargins {

QMargins Get(const QAbstractScrollArea& area);
void Set(QAbstractScrollArea& area, const QMargins& margins);

} // namespace ViewportMargins

} // namespace pellix
