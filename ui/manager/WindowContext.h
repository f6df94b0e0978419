#pragma once
// What every window of the module may act on. The friend service owns the one context and fills
// it in as it creates its managers; the window manager hands it to each window it makes. Each
// manager may be absent.

class CContactManager;
class CChatHistoryManager;
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
