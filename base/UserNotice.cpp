#include "UserNotice.h"

#include "AnsiText.h"

namespace pellix {

namespace {

IUserNoticePresenter* g_pPresenter = nullptr;

} // namespace

void SetUserNoticePresenter(IUserNoticePresenter* presenter) {
    g_pPresenter = presenter;
}

IUserNoticePresenter* GetUserNoticePresenter() {
    return g_pPresenter;
}

void ShowUserNotice(const UserNotice& notice) {
    if (g_pPresenter != nullptr)
        g_pPresenter->Present(notice);
}

void ShowServiceNotice(const std::string& text, unsigned int style, unsigned int autoCloseSeconds) {
    ShowUserNotice({text, AnsiText("好友服务"), style, autoCloseSeconds, true});
}

} // namespace pellix
