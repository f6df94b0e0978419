// Commands received from the friend server.

#include "FriendCommands.h"
#include "module/FriendService.h"

bool CFriendService::OnServiceCommand(CMD_Command command, const void*, unsigned short) {
    if (command.wMainCmdID != CMD_FRIEND)
        return false;
    return false;
}
