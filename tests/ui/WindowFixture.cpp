#include "WindowFixture.h"

#include "protocol/FriendCommandHandler.h"
#include "skin/ScreenMetrics.h"

namespace pellix {

WindowFixture::WindowFixture() {
    ScreenMetrics::SetOverride(QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 728));
    SetUserNoticePresenter(&m_notices);
    m_context.windows = &m_windows;
    // As the service starts: the options read back, the friend list made (hidden).
    m_options.Load();
    m_windows.EnsureMainWindow();
}

WindowFixture::~WindowFixture() {
    m_windows.CloseAllWindows();
    SetUserNoticePresenter(nullptr);
    ScreenMetrics::ClearOverride();
}

bool WindowFixture::Receive(uint16_t sub, const std::vector<uint8_t>& body) {
    const FriendCommandContext context{m_requests,
                                       m_sounds,
                                       &m_windows,
                                       &m_contacts,
                                       &m_history,
                                       &m_options,
                                       m_environment.tipFriendID,
                                       m_serverFlag};
    return CFriendCommandHandler(context).Dispatch({CMD_FRIEND, sub}, body.data(),
                                                   static_cast<unsigned short>(body.size()));
}

} // namespace pellix
