#pragma once
// Presents the user notices of the model, the storage code and the command handlers in the
// skinned message box, owned by the host's main window or by no window.

#include "base/UserNotice.h"

class CSkinBoxNotices final : public IUserNoticePresenter {
public:
    void Present(const UserNotice& notice) override;
};
