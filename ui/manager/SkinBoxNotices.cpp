#include "SkinBoxNotices.h"

#include "ApplicationWindow.h"
#include "skin/SkinMessageBox.h"

#include <algorithm>

namespace pellix {

CSkinBoxNotices::~CSkinBoxNotices() {
    for (const QPointer<QWidget>& box : m_OpenBoxes)
        delete box.data();
}

void CSkinBoxNotices::Present(const UserNotice& notice) {
    QWidget* owner = notice.ownedByApplication ? ApplicationMainWindow() : nullptr;
    QWidget* box =
        ShowSkinNotice(owner, notice.text, notice.caption, notice.style, notice.autoCloseSeconds);
    std::erase_if(m_OpenBoxes, [](const QPointer<QWidget>& open) { return open.isNull(); });
    if (box != nullptr)
        m_OpenBoxes.emplace_back(box);
}

} // namespace pellix
