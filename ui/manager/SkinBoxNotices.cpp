#include "SkinBoxNotices.h"

#include "ApplicationWindow.h"
#include "skin/SkinMessageBox.h"

void CSkinBoxNotices::Present(const UserNotice& notice) {
    QWidget* owner = notice.ownedByApplication ? ApplicationMainWindow() : nullptr;
    ShowSkinMessageBox(owner, notice.text, notice.caption, notice.style, notice.autoCloseSeconds);
}
