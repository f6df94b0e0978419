#include "HandlerFixture.h"

#include "protocol/FriendCommandHandler.h"
#include "records/FriendCommands.h"

namespace pellix {

bool HandlerFixture::Receive(uint16_t sub, const std::vector<uint8_t>& body) {
    const FriendCommandContext context{m_requests, m_sounds,   &m_windows,    &m_contacts,
                                       &m_history, &m_options, m_tipFriendID, m_serverFlag};
    return CFriendCommandHandler(context).Dispatch({CMD_FRIEND, sub}, body.data(),
                                                   static_cast<unsigned short>(body.size()));
}

} // namespace pellix
