// Renders every window of the module offscreen to PNG files, filled as a user would see them:
// the friend list with contacts on all three tabs and its context menu on each, the note-name
// window, a chat with emoticons, the emoticon picker, the chat history (a page, a found text, a
// text not found), a popup tip, the add-friend windows, the settings and a message box. Run from
// the build: window-snapshots --runtime <build>/runtime --out <folder>.

#include "client/CommandStream.h"
#include "client/StringUtility.h"
#include "module/FriendService.h"
#include "records/FriendCommands.h"
#include "records/FriendRecords.h"
#include "resources/ModuleResources.h"
#include "resources/ResourceIds.h"
#include "skin/ScreenMetrics.h"
#include "skin/SkinEdit.h"
#include "skin/SkinImageManager.h"
#include "skin/SkinMenu.h"
#include "skin/SkinMessageBoxDlg.h"
#include "skin/SkinOutBarCtrlEx.h"
#include "skin/SkinTaskbarNotifier.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/addfriend/FriendAddConfirmDlg.h"
#include "ui/addfriend/FriendAddReqDlg.h"
#include "ui/chat/ChatHistoryFindBox.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/chat/FriendChatHistoryViewerDlg.h"
#include "ui/friendlist/FriendEditNoteNameDlg.h"
#include "ui/friendlist/FriendMainDlg.h"
#include "ui/friendlist/FriendSystemOptionDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cstring>

namespace {

std::string Gbk(const char* utf8) {
    return StringUtility::UTF8ToAnsi(utf8);
}

FriendEntry Entry(int id, const char* nick, bool online) {
    return {id,        "user" + std::to_string(id),  Gbk(nick),
            9000 + id, static_cast<uint8_t>(id % 2), online};
}

void Deliver(CFriendService& service, uint16_t sub, const CCommandStream& body) {
    service.OnServiceCommand({CMD_FRIEND, sub}, body.SendBuffer(),
                             static_cast<unsigned short>(body.SendSize()));
}

void SignOn(CFriendService& service) {
    tagUserInfo info{};
    info.userID = 10001;
    const std::string nick = Gbk("小明");
    std::memcpy(info.nickName, nick.data(), nick.size());
    std::memcpy(info.userName, "alice", 5);
    service.SetUserInfo(info, "demo");
    tagProxyInfo proxy;
    service.StartFriendService("127.0.0.1:1", 0, proxy);
    service.StopService();
    const std::vector<FriendEntry> friends = {
        Entry(10002, "Bob", true),        Entry(10003, "小红", true),
        Entry(10004, "阿强", false),      Entry(10005, "王老师", true),
        Entry(10006, "Lily", false),      Entry(10007, "张三丰", false),
        Entry(10008, "快乐的小鱼", true), Entry(10009, "夜猫子", false)};
    CCommandStream body;
    body.WriteInt32(1);
    body.WriteInt32(static_cast<int32_t>(friends.size()));
    WriteList(body, friends, WriteFriendEntry);
    Deliver(service, SUB_S_FRIEND_LIST, body);
    auto& contacts = *CContactManager::GetInstance();
    contacts.FindContact(10005)->noteName = Gbk("班主任");
    contacts.AddOrUpdateContact(20001, 1, 1, 0, "s1", Gbk("路过的玩家"), GROUP_STRANGER);
    contacts.AddOrUpdateContact(20002, 2, 0, 1, "s2", Gbk("牌友老李"), GROUP_STRANGER);
    contacts.AddOrUpdateContact(30001, 3, 0, 1, "b1", Gbk("刷屏广告"), GROUP_BLACKLIST);
    contacts.AddOrUpdateContact(30002, 4, 0, 0, "b2", Gbk("骗子"), GROUP_BLACKLIST);
}

void WaitFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Save(QWidget* window, const QDir& out, const QString& name) {
    const bool saved = window->grab().save(out.filePath(name));
    QTextStream(stdout) << (saved ? "wrote " : "failed ") << out.filePath(name) << "\n";
    return saved;
}

bool SnapshotFriendList(CFriendWindowManager& windows, const QDir& out) {
    windows.ShowMainWindow(false);
    CFriendMainDlg* main = windows.GetMainWindow();
    bool ok = true;
    for (int tab = 0; tab < 3; ++tab) {
        main->ListControl()->SetSelTab(tab);
        // The list lays its rows out when the event loop next runs, as it would on screen.
        WaitFor(50);
        ok = Save(main, out, QStringLiteral("friendlist-tab%1.png").arg(tab)) && ok;
    }
    main->ListControl()->SetSelTab(0);
    return ok;
}

// The menu of one contact on each tab: a friend with a note name, a stranger, a blacklisted user.
bool SnapshotContextMenus(CFriendWindowManager& windows, const QDir& out) {
    CFriendMainDlg* main = windows.GetMainWindow();
    const int users[] = {10005, 20001, 30001};
    bool ok = true;
    for (int tab = 0; tab < 3; ++tab) {
        main->ListControl()->SetSelTab(tab);
        main->SelectItem(main->ListControl()->FindItemByUserData(tab, users[tab]));
        const auto menu = main->BuildContextMenu();
        menu->popup(main->mapToGlobal(QPoint(40, 120)));
        // One item under the mouse, to show the highlight's colours.
        menu->setActiveAction(menu->FindItem(ID_FRIEND_MENU_NOTE_NAME));
        WaitFor(50);
        ok = Save(menu.get(), out, QStringLiteral("menu-tab%1.png").arg(tab)) && ok;
        menu->hide();
    }
    main->ListControl()->SetSelTab(0);
    return ok;
}

bool SnapshotNoteName(CFriendService& service, const QDir& out) {
    CFriendEditNoteNameDlg window(service.GetFont());
    window.SetNoteName(Gbk("班主任"));
    window.show();
    const bool ok = Save(&window, out, QStringLiteral("note-name.png"));
    window.hide();
    return ok;
}

bool SnapshotChat(CFriendService& service, CFriendWindowManager& windows, const QDir& out) {
    CFriendChatDlg* chat = windows.OpenChatWindow(10003);
    for (const char* text : {"晚上一起打牌吗？[微笑]", "老地方，八点。", "我带[啤酒]，你带[骰子]",
                             "<b>别迟到</b> &amp; 别忘了叫上小王"}) {
        CCommandStream body;
        body.WriteInt32(10003);
        body.WriteString(Gbk(text));
        Deliver(service, SUB_S_CHAT_MESSAGE, body);
    }
    chat->InputBox()->ReplaceSel(QStringLiteral("好啊，八点见！"), false);
    chat->OnEmotionSelected(65, Gbk("[好的]").c_str());
    chat->SendChatMessage();
    chat->InputBox()->ReplaceSel(QStringLiteral("我先去吃饭"), false);
    chat->OnEmotionSelected(0, Gbk("[微笑]").c_str());
    // The skinned scroll bars show once the view's range has settled, as on screen.
    WaitFor(50);
    return Save(chat, out, QStringLiteral("chat.png"));
}

// A long conversation with 小红, so that the viewer's page needs its scroll bars.
void StoreHistory() {
    const char* lines[] = {"晚上一起打牌吗？", "好啊，几点？",
                           "八点，老地方见。上次输给你的那局我可记着呢，今天一定要赢回来！",
                           "哈哈，那你可要早点到，先练练手。", "好的"};
    auto& history = *CChatHistoryManager::GetInstance();
    const int64_t start = 1710502200; // 2024-03-15 11:30 UTC
    for (int i = 0; i < 65; ++i) {
        const bool own = i % 2 == 1;
        history.AddMessage(10003, Gbk(own ? "小明" : "小红"), Gbk(own ? "小红" : "小明"),
                           start + i * 97, Gbk(lines[i % 5]));
    }
}

// The second page, a text found on an earlier page, and a text that no message holds.
bool SnapshotHistory(const QDir& out) {
    StoreHistory();
    CFriendChatHistoryViewerDlg viewer(CFriendWindowManager::GetInstance()->Context());
    viewer.SetFriend(10003);
    viewer.show();
    viewer.ShowNextPage();
    WaitFor(50);
    bool ok = Save(&viewer, out, QStringLiteral("history.png"));
    viewer.OpenFindBox();
    viewer.FindBox()->Edit()->setText(QStringLiteral("老地方"));
    viewer.FindOlder(viewer.FindBox()->Text());
    WaitFor(50);
    ok = Save(&viewer, out, QStringLiteral("history-find.png")) && ok;
    viewer.FindBox()->Edit()->setText(QStringLiteral("麻将"));
    viewer.FindOlder(viewer.FindBox()->Text());
    WaitFor(50);
    ok = Save(&viewer, out, QStringLiteral("history-no-match.png")) && ok;
    return ok;
}

// The emoticon picker as the chat window's emoticon button opens it.
bool SnapshotEmotionPicker(CFriendWindowManager& windows, const QDir& out) {
    CFriendChatDlg* chat = windows.GetChatWindow(10003);
    chat->ShowEmotionPicker();
    QWidget* picker = QApplication::activePopupWidget();
    if (picker == nullptr) {
        QTextStream(stderr) << "window-snapshots: the emoticon picker did not open\n";
        return false;
    }
    const bool ok = Save(picker, out, QStringLiteral("emotion-picker.png"));
    picker->hide();
    return ok;
}

bool SnapshotTip(CFriendService& service, CFriendWindowManager& windows, const QDir& out) {
    CCommandStream body;
    body.WriteInt32(10008);
    body.WriteByte(2);
    Deliver(service, SUB_S_ONLINE_STATE, body);
    WaitFor(500);
    QWidget* tip = windows.Notifier().Window();
    return tip != nullptr && Save(tip, out, QStringLiteral("tip.png"));
}

bool SnapshotAddFriend(CFriendWindowManager& windows, const QDir& out) {
    windows.OpenAddRequestWindow(10010, Gbk("新来的玩家"));
    bool ok = Save(windows.GetAddRequestWindow(10010), out, QStringLiteral("add-request.png"));
    windows.OpenAddConfirmWindow(10011, "u10011", Gbk("棋友小王"), 1, 9011,
                                 Gbk("你好，我们昨天一起下过棋"));
    ok = Save(windows.GetAddConfirmWindow(10011), out, QStringLiteral("add-confirm.png")) && ok;
    return ok;
}

bool SnapshotOptions(const QDir& out) {
    CFriendSystemOptionDlg options(CFriendOptionManager::GetInstance());
    options.show();
    return Save(&options, out, QStringLiteral("options.png"));
}

bool SnapshotMessageBox(const QDir& out) {
    CSkinMessageBoxDlg box(nullptr, QStringLiteral("对方已经是您的好友了..."),
                           QStringLiteral("好友服务"), 48, 0);
    box.show();
    const bool ok = Save(&box, out, QStringLiteral("messagebox.png"));
    box.hide();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("runtime"), QStringLiteral("Runtime folder with data/."),
                      QStringLiteral("dir")});
    parser.addOption({QStringLiteral("out"), QStringLiteral("Folder for the PNG files."),
                      QStringLiteral("dir")});
    parser.process(app);
    const QDir out(parser.value(QStringLiteral("out")));
    if (!parser.isSet(QStringLiteral("out")) || !QDir().mkpath(out.path())) {
        QTextStream(stderr) << "window-snapshots: --out needs a folder that can be created\n";
        return 2;
    }
    // The module's profile goes to a fresh folder; the chat components read their pictures from
    // data/ of the working directory, as in a host's.
    const QString runtime = QDir(parser.value(QStringLiteral("runtime"))).absolutePath();
    QTemporaryDir profile;
    QDir::setCurrent(profile.path());
    QFile::link(runtime + QStringLiteral("/data"), QStringLiteral("data"));
    CSkinImageManager::Instance().SetResourceRoot(runtime);
    RegisterModuleResources();
    ScreenMetrics::SetOverride(QRect(0, 0, 1280, 800), QRect(0, 0, 1280, 760));

    CFriendService service;
    SignOn(service);
    auto& windows = *CFriendWindowManager::GetInstance();
    bool ok = SnapshotFriendList(windows, out);
    ok = SnapshotContextMenus(windows, out) && ok;
    ok = SnapshotNoteName(service, out) && ok;
    ok = SnapshotChat(service, windows, out) && ok;
    ok = SnapshotHistory(out) && ok;
    ok = SnapshotEmotionPicker(windows, out) && ok;
    ok = SnapshotTip(service, windows, out) && ok;
    ok = SnapshotAddFriend(windows, out) && ok;
    ok = SnapshotOptions(out) && ok;
    ok = SnapshotMessageBox(out) && ok;
    return ok ? 0 : 1;
}
