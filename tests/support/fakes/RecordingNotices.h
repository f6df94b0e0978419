#pragma once
// Records the user notices of the layers below the windows for as long as it lives.

#include "base/UserNotice.h"
#include "text/StringUtility.h"

#include <QString>
#include <vector>

namespace pellix {

struct RecordedNotice {
    QString text;
    QString caption;
    unsigned int style = 0;
    unsigned int autoCloseSeconds = 0;
    bool ownedByApplication = false;
};

class RecordingNotices final : public IUserNoticePresenter {
public:
    RecordingNotices() : m_previous(GetUserNoticePresenter()) { SetUserNoticePresenter(this); }
    ~RecordingNotices() { SetUserNoticePresenter(m_previous); }
    RecordingNotices(const RecordingNotices&) = delete;
    RecordingNotices& operator=(const RecordingNotices&) = delete;

    void Present(const UserNotice& notice) override {
        notices.push_back({StringUtility::AnsiToQString(notice.text),
                           StringUtility::AnsiToQString(notice.caption), notice.style,
                           notice.autoCloseSeconds, notice.ownedByApplication});
    }

    std::vector<RecordedNotice> notices;

private:
    IUserNoticePresenter* m_previous;
};

} // namespace pellix
