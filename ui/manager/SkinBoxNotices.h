#pragma once
// Presents the user notices of the model, the storage code and the command handlers in skinned
// message boxes that nobody waits for: the caller goes on at once, so a notice never holds up the
// friend service or re-enters the model. Boxes still open when the presenter goes are closed.

#include "base/UserNotice.h"

#include <QPointer>
#include <QWidget>

#include <vector>

namespace pellix {

class CSkinBoxNotices final : public IUserNoticePresenter {
public:
    CSkinBoxNotices() = default;
    ~CSkinBoxNotices();
    CSkinBoxNotices(const CSkinBoxNotices&) = delete;
    CSkinBoxNotices& operator=(const CSkinBoxNotices&) = delete;

    void Present(const UserNotice& notice) override;

private:
    std::vector<QPointer<QWidget>> m_OpenBoxes;
};

} // namespace pellix
