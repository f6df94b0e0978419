#pragma once
// The friend list's right-click menu: the contact's name as its header, the actions every tab
// offers, and the two that fit the open tab. Made by the friend list window each time it opens
// the menu, and by the snapshot tool.

#include <QString>

#include <memory>

class CSkinMenu;

namespace pellix {

// onlineTips is the check mark of "上下线提示", the contact's own presence tips.
std::unique_ptr<CSkinMenu> CreateFriendContextMenu(const QString& header, int tab, bool onlineTips);

} // namespace pellix
