#include "FriendContextMenu.h"

#include "resources/ResourceIds.h"
#include "skin/SkinMenu.h"

namespace pellix {

namespace {

constexpr COLORREF kItemColor = 0x00811E07;

struct MenuItem {
    int id;
    const char* text;
};

// The separator between two groups of items.
constexpr MenuItem kSeparator{-1, nullptr};

constexpr MenuItem kCommonItems[] = {
    {ID_FRIEND_MENU_CHAT, "发送消息"},
    kSeparator,
    {ID_FRIEND_MENU_INVITE_GAME, "邀请游戏"},
    {ID_FRIEND_MENU_PROFILE, "查看好友资料"},
    {ID_FRIEND_MENU_ONLINE_TIPS, "上下线提示"},
    {ID_FRIEND_MENU_NOTE_NAME, "修改备注姓名"},
    kSeparator,
    {ID_FRIEND_MENU_VIEW_HISTORY, "查看聊天记录"},
    {ID_FRIEND_MENU_DELETE_HISTORY, "删除聊天记录"},
    kSeparator,
};

constexpr MenuItem kFriendsTabItems[] = {{ID_FRIEND_MENU_DELETE_FRIEND, "删除好友"},
                                         {ID_FRIEND_MENU_TO_BLACKLIST, "扔进黑名单"}};
constexpr MenuItem kStrangersTabItems[] = {{ID_FRIEND_MENU_ADD_FRIEND, "加为好友"},
                                           {ID_FRIEND_MENU_TO_BLACKLIST, "扔进黑名单"}};
constexpr MenuItem kBlacklistTabItems[] = {{ID_FRIEND_MENU_ADD_FRIEND, "加为好友"},
                                           {ID_FRIEND_MENU_OFF_BLACKLIST, "从黑名单中删除"}};

template <std::size_t N> void Append(CSkinMenu& menu, const MenuItem (&items)[N]) {
    for (const MenuItem& item : items) {
        if (item.text == nullptr)
            menu.AppendSeparator();
        else
            menu.AppendODMenu(item.id, CSkinMenuText(QString::fromUtf8(item.text), kItemColor));
    }
}

} // namespace

std::unique_ptr<CSkinMenu> CreateFriendContextMenu(const QString& header, int tab,
                                                   bool onlineTips) {
    auto menu = std::make_unique<CSkinMenu>();
    menu->SetMenuColors(0x00FF9966, 0x00FCE4C6, 0x00DEC040, 0x00CD8607);
    menu->AddSideBar(CSkinMenuSideBar(12, QStringLiteral("Brimo游戏")));
    menu->AppendODMenu(ID_FRIEND_MENU_HEADER, CSkinMenuText(header, kItemColor));
    Append(*menu, kCommonItems);
    switch (tab) {
    case 0:
        Append(*menu, kFriendsTabItems);
        break;
    case 1:
        Append(*menu, kStrangersTabItems);
        break;
    case 2:
        Append(*menu, kBlacklistTabItems);
        break;
    default:
        break;
    }
    menu->CheckMenuItem(ID_FRIEND_MENU_ONLINE_TIPS, onlineTips);
    return menu;
}

} // namespace pellix
