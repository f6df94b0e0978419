// The host closes the module while a menu, a dialog or an export waits for the user: from a timer
// (as a network event would) it destroys the client or closes its windows. Nothing may crash and
// nothing may be written to a freed object; the sanitizer run of this suite watches for that.

#include "ServiceFixture.h"
#include "resources/ResourceIds.h"
#include "skin/SkinButton.h"
#include "skin/SkinOutBarCtrlEx.h"
#include "storage/ChatHistoryManager.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/chat/FriendChatHistoryViewerDlg.h"
#include "ui/friendlist/FriendMainDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace pellix {

namespace {

constexpr int kFriend = 502;

enum class Closing { DestroyClient, CloseWindows };

struct Opening {
    const char* name;
    // Opens the menu or dialog; returns when its loop has ended.
    std::function<void(CFriendWindowManager&)> open;
    // Once the loop is up, just before the host closes: what the user started inside it.
    std::function<void(QWidget& modal, const QString& exportPath)> inside;
};

void PrintTo(const Opening& opening, std::ostream* out) {
    *out << opening.name;
}

void Click(QWidget* window, const char* buttonName) {
    auto* button = window->findChild<CSkinButton*>(QString::fromLatin1(buttonName));
    ASSERT_NE(button, nullptr) << buttonName;
    button->click();
}

void OnChat(CFriendWindowManager& windows, const char* buttonName) {
    Click(windows.OpenChatWindow(kFriend), buttonName);
}

void OnFriendList(CFriendWindowManager& windows, int command) {
    CFriendMainDlg* list = windows.EnsureMainWindow();
    list->SelectItem(list->ListControl()->FindItemByUserData(0, kFriend));
    list->OnCommand(command);
}

void RightClickFriend(CFriendWindowManager& windows) {
    CSkinOutBarCtrlEx& list = *windows.EnsureMainWindow()->ListControl();
    list.SetSelTab(0);
    QWidget* viewport = list.ItemViewport();
    const QRect item = list.ItemRect(list.FindItemByUserData(0, kFriend));
    QTest::mouseClick(viewport, Qt::RightButton, Qt::NoModifier,
                      viewport->mapFrom(&list, item.center()));
}

void StartExport(QWidget& modal, const QString& path) {
    auto* viewer = qobject_cast<CFriendChatHistoryViewerDlg*>(&modal);
    ASSERT_NE(viewer, nullptr);
    viewer->SetExportPathSource([path](QWidget*, const QString&) {
        return std::optional<ChatHistoryExportTarget>(
            ChatHistoryExportTarget{path, ChatHistoryExportFormat::PlainText});
    });
    viewer->ExportHistory();
    ASSERT_TRUE(viewer->IsExporting());
}

void OpenFindBox(QWidget& modal, const QString&) {
    auto* viewer = qobject_cast<CFriendChatHistoryViewerDlg*>(&modal);
    ASSERT_NE(viewer, nullptr);
    viewer->OpenFindBox();
}

const Opening kOpenings[] = {
    {"SendKeyMenu", [](auto& w) { OnChat(w, "sendKeyButton"); }, {}},
    {"FontDialog", [](auto& w) { OnChat(w, "fontButton"); }, {}},
    {"ChatHistory", [](auto& w) { OnChat(w, "historyButton"); }, {}},
    {"ChatHistoryExport", [](auto& w) { OnChat(w, "historyButton"); }, StartExport},
    {"ChatHistoryFind", [](auto& w) { OnChat(w, "historyButton"); }, OpenFindBox},
    {"FriendMenu", RightClickFriend, {}},
    {"NoteName", [](auto& w) { OnFriendList(w, ID_FRIEND_MENU_NOTE_NAME); }, {}},
    {"ListHistoryExport", [](auto& w) { OnFriendList(w, ID_FRIEND_MENU_VIEW_HISTORY); },
     StartExport},
    {"Options", [](auto& w) { Click(w.EnsureMainWindow(), "optionButton"); }, {}},
};

QWidget* WaitingWindow() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::activeModalWidget();
}

class CloseInTheMiddle : public ServiceFixture,
                         public ::testing::WithParamInterface<std::tuple<Opening, Closing>> {
protected:
    void Close(Closing closing) {
        if (closing == Closing::DestroyClient)
            m_pService.reset();
        else
            m_pService->CloseFriendWindows();
    }
};

std::string CaseName(const ::testing::TestParamInfo<std::tuple<Opening, Closing>>& info) {
    const auto& [opening, closing] = info.param;
    return std::string(opening.name) +
           (closing == Closing::DestroyClient ? "_DestroyClient" : "_CloseWindows");
}

} // namespace

TEST_P(CloseInTheMiddle, EndsWhatWaitsForTheUserAndNothingOutlivesItsOwner) {
    const auto& [opening, closing] = GetParam();
    SignOnWith({Friend(kFriend, "小明", true)});
    for (int i = 0; i < 3; ++i)
        CChatHistoryManager::GetInstance()->AddMessage(kFriend, "a", "b", i, "hello");
    CFriendWindowManager& windows = *CFriendWindowManager::GetInstance();
    windows.ShowMainWindow(false);
    // The list shows the model once control returns to the event loop.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return windows.GetMainWindow()->ListControl()->FindItemByUserData(0, kFriend) >= 0;
    }));
    const QTemporaryDir exports;
    const QString exportPath = exports.filePath(QStringLiteral("history.txt"));

    // Polls for the nested loop; once it is up, the user starts something inside it and the host
    // closes.
    bool closed = false;
    QTimer host;
    host.setInterval(1);
    QObject::connect(&host, &QTimer::timeout, [&] {
        QWidget* waiting = WaitingWindow();
        if (waiting == nullptr)
            return;
        host.stop();
        if (opening.inside)
            opening.inside(*waiting, exportPath);
        Close(closing);
        closed = true;
    });
    host.start();
    opening.open(windows);
    // A right-click opens its menu once control is back in the event loop.
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }));
    EXPECT_EQ(WaitingWindow(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(exportPath)) << "an export cut short leaves no file";
    if (closing == Closing::CloseWindows) {
        // The service goes on, and its windows can be made again.
        ASSERT_NE(CFriendWindowManager::GetInstance(), nullptr);
        EXPECT_NE(CFriendWindowManager::GetInstance()->OpenChatWindow(kFriend), nullptr);
    }
    // Whatever the closed windows left queued runs now, on nothing freed.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

INSTANTIATE_TEST_SUITE_P(EveryWaitingWindow, CloseInTheMiddle,
                         ::testing::Combine(::testing::ValuesIn(kOpenings),
                                            ::testing::Values(Closing::DestroyClient,
                                                              Closing::CloseWindows)),
                         CaseName);

} // namespace pellix
