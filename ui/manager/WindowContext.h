#pragma once

namespace pellix {

// What every window of the module works with, handed down by the window manager when it makes
// the window: the friend service's requests and environment, the contact model, the chat
// history, the options and the window manager itself. All belong to the friend service and
// outlive the windows; each manager may be absent, as a failed allocation leaves it.

class CChatHistoryManager;
class CContactManager;
class CFriendOptionManager;
class CFriendWindowManager;
class IFriendRequests;
class IWindowEnvironment;

struct WindowContext {
    IFriendRequests& requests;
    IWindowEnvironment& environment;
    CContactManager* contacts = nullptr;
    CChatHistoryManager* history = nullptr;
    CFriendOptionManager* options = nullptr;
    CFriendWindowManager* windows = nullptr;
};

} // namespace pellix
