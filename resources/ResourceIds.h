#pragma once

namespace pellix {

// Ids of the module's dialog templates, their controls and its icons.

// Dialog templates.
constexpr int IDD_FRIEND_MAIN = 291;
constexpr int IDD_FRIEND_CHAT = 292;
constexpr int IDD_FRIEND_ADD_REQUEST = 293;
constexpr int IDD_FRIEND_ADD_CONFIRM = 294;
constexpr int IDD_FRIEND_OPTION = 295;
constexpr int IDD_CHAT_HISTORY = 297;
constexpr int IDD_NOTE_NAME = 10000;

// Icons.
constexpr int IDI_FRIEND = 10005;
constexpr int IDI_FRIEND_OPTION = 10006;
constexpr int IDI_FRIEND_CHAT = 10007;

// Friend list window.
constexpr int IDC_FRIEND_LIST = 10000;
constexpr int IDC_MAIN_CLOSE = 1224;
constexpr int IDC_MAIN_OPTION = 1228;

// Friend settings window.
constexpr int IDC_OPTION_OK = 1;
constexpr int IDC_OPTION_CANCEL = 2;
constexpr int IDC_OPTION_CLOSE = 1229;
constexpr int IDC_OPTION_REFUSE_ADD_FRIEND = 1240;
constexpr int IDC_OPTION_REFUSE_ONLINE_TIPS = 1241;
constexpr int IDC_OPTION_SENT_CLOSE_WINDOW = 1242;
constexpr int IDC_OPTION_REFUSE_INVITE_GAME = 1243;
constexpr int IDC_OPTION_OPEN_FRIEND_SOUND = 1244;

// Chat window.
constexpr int IDC_CHAT_DISPLAY = 1201;
constexpr int IDC_CHAT_INPUT = 1203;
constexpr int IDC_CHAT_CLOSE_BUTTON = 1113;
constexpr int IDC_CHAT_EMOTION = 1214;
constexpr int IDC_CHAT_SEND = 1215;
constexpr int IDC_CHAT_MIN = 1218;
constexpr int IDC_CHAT_MAX = 1219;
constexpr int IDC_CHAT_CLOSE = 1223;
constexpr int IDC_CHAT_FONT = 1226;
constexpr int IDC_CHAT_HISTORY = 1227;
constexpr int IDC_CHAT_SEND_KEY = 1230;

// Chat history viewer.
constexpr int IDC_HISTORY_VIEW = 1202;
constexpr int IDC_HISTORY_PAGE = 1211;
constexpr int IDC_HISTORY_EXPORT = 1231;
constexpr int IDC_HISTORY_FIRST_PAGE = 1233;
constexpr int IDC_HISTORY_PREVIOUS_PAGE = 1234;
constexpr int IDC_HISTORY_NEXT_PAGE = 1235;
constexpr int IDC_HISTORY_LAST_PAGE = 1236;
constexpr int IDC_HISTORY_CLOSE = 1237;

// Add-friend request window.
constexpr int IDC_ADD_REQ_MESSAGE = 1204;
constexpr int IDC_ADD_REQ_PROMPT = 1210;
constexpr int IDC_ADD_REQ_CONFIRM = 1216;
constexpr int IDC_ADD_REQ_CANCEL = 1217;
constexpr int IDC_ADD_REQ_CLOSE = 1225;

// Add-friend confirmation window.
constexpr int IDC_ADD_CONFIRM_MESSAGE = 1205;
constexpr int IDC_ADD_CONFIRM_AGREE_CHOICE = 1207;
constexpr int IDC_ADD_CONFIRM_REFUSE_CHOICE = 1208;
constexpr int IDC_ADD_CONFIRM_WARNING = 1209;
constexpr int IDC_ADD_CONFIRM_VIEW_INFO = 1220;
constexpr int IDC_ADD_CONFIRM_AGREE = 1221;
constexpr int IDC_ADD_CONFIRM_REFUSE = 1222;
constexpr int IDC_ADD_CONFIRM_CLOSE = 1112;
constexpr int IDC_ADD_CONFIRM_REFUSE_FOREVER = 1239;

// Note-name window.
constexpr int IDC_NOTE_NAME_OK = 1;
constexpr int IDC_NOTE_NAME_CANCEL = 2;
constexpr int IDC_NOTE_NAME_EDIT = 10008;

// Commands of the friend list's context menu; 0 is its header, the contact's name.
constexpr int ID_FRIEND_MENU_HEADER = 0;
constexpr int ID_FRIEND_MENU_CHAT = 1124;
constexpr int ID_FRIEND_MENU_INVITE_GAME = 1125;
constexpr int ID_FRIEND_MENU_PROFILE = 1126;
constexpr int ID_FRIEND_MENU_ONLINE_TIPS = 1127;
constexpr int ID_FRIEND_MENU_NOTE_NAME = 1128;
constexpr int ID_FRIEND_MENU_VIEW_HISTORY = 1129;
constexpr int ID_FRIEND_MENU_DELETE_HISTORY = 1130;
constexpr int ID_FRIEND_MENU_DELETE_FRIEND = 1131;
constexpr int ID_FRIEND_MENU_TO_BLACKLIST = 1132;
constexpr int ID_FRIEND_MENU_ADD_FRIEND = 1133;
constexpr int ID_FRIEND_MENU_OFF_BLACKLIST = 1134;

// Commands of the chat window's send-key menu.
constexpr int ID_SEND_BY_ENTER = 1124;
constexpr int ID_SEND_BY_CTRL_ENTER = 1125;

// The property every template control carries its id in.
constexpr char CONTROL_ID_PROPERTY[] = "controlId";

} // namespace pellix
