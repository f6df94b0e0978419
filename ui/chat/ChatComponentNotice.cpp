#include "ChatComponentNotice.h"

#include "base/AnsiText.h"
#include "skin/SkinMessageBox.h"

namespace pellix {

namespace {

bool g_bFailureShown = false;

} // namespace

bool ShowChatComponentFailure(QWidget* owner, const std::string& errorText) {
    if (g_bFailureShown)
        return false;
    g_bFailureShown = true;
    // A notice: the host and the friend service go on while it is open.
    ShowSkinNotice(owner, errorText, AnsiText("好友服务"), MB_STYLE_ERROR, 0);
    return true;
}

void ForgetChatComponentFailure() {
    g_bFailureShown = false;
}

} // namespace pellix
