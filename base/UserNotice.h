#pragma once
// Notices for the user that the model, the storage code and the command handlers raise without
// knowing how they are shown. The window layer presents them; until a presenter is set they go
// nowhere. Texts are GBK.

#include <string>

namespace pellix {

// Styles of a notice, as the skinned message box takes them.
constexpr unsigned int NOTICE_PLAIN = 0;
constexpr unsigned int NOTICE_ERROR = 16;

struct UserNotice {
    std::string text;
    std::string caption;
    unsigned int style = NOTICE_PLAIN;
    // 0: the notice stays until the user closes it.
    unsigned int autoCloseSeconds = 0;
    // False for notices that belong to no window (storage failures), true for those owned by the
    // host's main window.
    bool ownedByApplication = true;
};

class IUserNoticePresenter {
public:
    virtual void Present(const UserNotice& notice) = 0;

protected:
    ~IUserNoticePresenter() = default;
};

// The presenter of the process (not owned); null drops notices.
void SetUserNoticePresenter(IUserNoticePresenter* presenter);
IUserNoticePresenter* GetUserNoticePresenter();
void ShowUserNotice(const UserNotice& notice);
// A notice of the friend service: caption "好友服务", owned by the host's main window.
void ShowServiceNotice(const std::string& text, unsigned int style, unsigned int autoCloseSeconds);

} // namespace pellix
