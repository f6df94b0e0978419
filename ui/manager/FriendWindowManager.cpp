#include "FriendWindowManager.h"

#include "ApplicationWindow.h"
#include "ModuleResourceScope.h"
#include "base/SignedInUser.h"
#include "skin/ScreenMetrics.h"
#include "skin/UIModuleUtility.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "text/StringUtility.h"
#include "ui/addfriend/FriendAddConfirmDlg.h"
#include "ui/addfriend/FriendAddReqDlg.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/friendlist/FriendMainDlg.h"

#include <QTimer>

#include <ctime>

namespace pellix {

namespace {

// Finds the window of a user in one of the maps, or creates it hidden and files it there.
template <typename Dialog>
Dialog* FindOrCreate(std::map<int, std::unique_ptr<Dialog>>& windows, int userID,
                     const WindowContext& context) {
    auto found = windows.find(userID);
    if (found != windows.end())
        return found->second.get();
    ModuleResourceScope scope;
    auto dialog = std::make_unique<Dialog>(context);
    dialog->Create();
    return windows.emplace(userID, std::move(dialog)).first->second.get();
}

void MakeTopmost(QWidget* window) {
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window->show();
}

} // namespace

CFriendWindowManager::CFriendWindowManager(const WindowContext& context) : m_context(context) {}

CFriendWindowManager::~CFriendWindowManager() {
    CloseAllWindows();
}

CFriendMainDlg* CFriendWindowManager::EnsureMainWindow() {
    if (m_pMainWindow)
        return m_pMainWindow.get();
    ModuleResourceScope scope;
    m_pMainWindow = std::make_unique<CFriendMainDlg>(m_context);
    m_pMainWindow->Create();
    m_pMainWindow->SetConnecting(!m_bSignedOn);
    if (m_context.contacts != nullptr)
        m_context.contacts->SetListener(m_pMainWindow.get());
    ConfigureNotifier();
    return m_pMainWindow.get();
}

void CFriendWindowManager::ConfigureNotifier() {
    m_notifier.Create(m_pMainWindow.get());
    m_notifier.SetSkin(QStringLiteral("data/Friend/main_bk_poptips.png"), 255, 0, 255);
    m_notifier.SetTextFont(QStringLiteral("宋体"), 90, 0, 4);
    m_notifier.SetTextColor(0x00780803, 0x00C80000);
    QObject::connect(&m_notifier, &CSkinTaskbarNotifier::clicked, m_pMainWindow.get(),
                     &CFriendMainDlg::OnTipClicked, Qt::UniqueConnection);
}

void CFriendWindowManager::ShowMainWindow(bool toggle) {
    CFriendMainDlg* window = EnsureMainWindow();
    if (window == nullptr)
        return;
    if (window->isVisible()) {
        if (toggle)
            window->hide();
        return;
    }
    if (m_context.contacts != nullptr)
        m_context.contacts->RefreshListener();
    const QSize size = window->size();
    const QWidget* host = ApplicationMainWindow();
    QRect hostRect = host != nullptr ? host->frameGeometry() : QRect();
    if (hostRect.width() <= 100 || hostRect.height() <= 100) {
        const QRect work = ScreenMetrics::WorkArea();
        if (!toggle) {
            window->move(work.width() - size.width() - 243, 144);
            window->show();
            UIModuleUtility::BringWindowToTop(window);
            return;
        }
        hostRect = work;
    }
    const int x = hostRect.left() + hostRect.width() * 7 / 10 + 8;
    const int y = hostRect.top() + 112;
    if (toggle)
        window->setGeometry(x, y, size.width(), size.height());
    else
        window->move(x, y);
    window->show();
    UIModuleUtility::BringWindowToTop(window);
}

void CFriendWindowManager::HideMainWindow() {
    if (m_pMainWindow)
        m_pMainWindow->hide();
}

void CFriendWindowManager::CloseAllWindows() {
    if (m_context.contacts != nullptr)
        m_context.contacts->SetListener(nullptr);
    m_pMainWindow.reset();
    m_bRefreshPending = false;
    m_chatWindows.clear();
    m_addRequestWindows.clear();
    m_addConfirmWindows.clear();
}

void CFriendWindowManager::RefreshMainWindow() {
    if (!m_pMainWindow || !m_pMainWindow->isVisible() || m_bRefreshPending)
        return;
    // A burst of presence changes rebuilds the list once, when the burst has been handled; each
    // change has already re-filed its own contact.
    m_bRefreshPending = true;
    QTimer::singleShot(0, m_pMainWindow.get(), [this] {
        m_bRefreshPending = false;
        if (m_context.contacts != nullptr && m_pMainWindow && m_pMainWindow->isVisible())
            m_context.contacts->RefreshListener();
    });
}

void CFriendWindowManager::UpdateFriendCounts(int friendCount, int onlineFriendCount) {
    if (m_pMainWindow)
        m_pMainWindow->OnContactCounts(friendCount, onlineFriendCount);
}

CFriendChatDlg* CFriendWindowManager::GetChatWindow(int userID) {
    return FindOrCreate(m_chatWindows, userID, m_context);
}

CFriendAddReqDlg* CFriendWindowManager::GetAddRequestWindow(int userID) {
    return FindOrCreate(m_addRequestWindows, userID, m_context);
}

CFriendAddConfirmDlg* CFriendWindowManager::GetAddConfirmWindow(int userID) {
    return FindOrCreate(m_addConfirmWindows, userID, m_context);
}

CFriendChatDlg* CFriendWindowManager::OpenChatWindow(int userID) {
    CFriendChatDlg* chat = GetChatWindow(userID);
    if (chat != nullptr)
        ActivateChatWindow(chat, userID);
    return chat;
}

void CFriendWindowManager::ActivateChatWindow(CFriendChatDlg* chat, int userID) {
    chat->m_bCloseAfterSend =
        m_context.options != nullptr && m_context.options->GetFriendOption().bSentCloseWindow;
    if (chat->isVisible()) {
        UIModuleUtility::BringWindowToTop(chat);
        return;
    }
    chat->SetFriend(userID);
    PlaceChatWindow(chat);
}

void CFriendWindowManager::PlaceChatWindow(CFriendChatDlg* chat) {
    const QRect screen = ScreenMetrics::ScreenGeometry();
    const auto placement =
        m_placement.Place(chat->width(), chat->height(), screen.width(), screen.height());
    chat->m_wPlacementSlot = placement.slotIndex;
    chat->setGeometry(placement.rect.left, placement.rect.top, placement.rect.Width(),
                      placement.rect.Height());
    chat->show();
}

void CFriendWindowManager::ReleaseChatSlot(uint16_t slotIndex) {
    m_placement.Release(slotIndex);
}

void CFriendWindowManager::OpenAddRequestWindow(int userID, const std::string& name) {
    CFriendAddReqDlg* window = GetAddRequestWindow(userID);
    if (window == nullptr)
        return;
    window->SetTarget(userID, name);
    if (window->isVisible())
        return;
    window->show();
    window->CenterWindow();
    MakeTopmost(window);
}

void CFriendWindowManager::OpenAddConfirmWindow(int askerID, const std::string& userName,
                                                const std::string& nickName, uint8_t gender,
                                                int showID, const std::string& message) {
    CFriendAddConfirmDlg* window = GetAddConfirmWindow(askerID);
    if (window == nullptr)
        return;
    window->SetRequest(askerID, userName, nickName, gender, showID, message);
    if (window->isVisible())
        return;
    window->show();
    window->CenterWindow();
    window->raise();
    MakeTopmost(window);
}

void CFriendWindowManager::StoreReceivedMessage(int senderID, const std::string& name,
                                                const std::string& text) {
    if (m_context.history != nullptr)
        m_context.history->AddMessage(senderID, name, FieldText(GetUserInfo().nickName),
                                      static_cast<int64_t>(std::time(nullptr)), text);
}

void CFriendWindowManager::OnChatMessage(int senderID, const std::string& text) {
    CContactManager* contacts = m_context.contacts;
    const std::string name = contacts != nullptr ? contacts->GetNickName(senderID) : std::string();
    if (CFriendChatDlg* chat = GetChatWindow(senderID)) {
        ActivateChatWindow(chat, senderID);
        chat->AppendMessage(name, text, 0, false);
    }
    StoreReceivedMessage(senderID, name, text);
}

void CFriendWindowManager::OnOfflineMessages(const std::vector<OfflineMessageEntry>& list) {
    CContactManager* contacts = m_context.contacts;
    for (const OfflineMessageEntry& entry : list) {
        if (contacts != nullptr && contacts->IsInBlacklist(entry.userID))
            continue;
        const std::string name =
            contacts != nullptr ? contacts->GetNickName(entry.userID) : std::string();
        // Stored whether or not a window can show it.
        StoreReceivedMessage(entry.userID, name, entry.message);
        CFriendChatDlg* chat = GetChatWindow(entry.userID);
        if (chat == nullptr)
            continue;
        ActivateChatWindow(chat, entry.userID);
        chat->AppendMessage(name, entry.message, 0, false);
    }
}

void CFriendWindowManager::OnShake(int senderID) {
    CFriendChatDlg* chat = GetChatWindow(senderID);
    if (chat == nullptr)
        return;
    ActivateChatWindow(chat, senderID);
    UIModuleUtility::ShakeWindow(chat, 3, 3, 20, 5);
}

void CFriendWindowManager::OnChatDelivered(int friendID, uint64_t messageID) {
    const auto found = m_chatWindows.find(friendID);
    if (found != m_chatWindows.end())
        found->second->MarkDelivered(messageID);
}

void CFriendWindowManager::OnChatRefused(int friendID, uint64_t messageID, uint32_t reason,
                                         const std::string& text) {
    // Shown even when no window was open: nothing the user typed is dropped without a word.
    CFriendChatDlg* chat = GetChatWindow(friendID);
    if (chat == nullptr)
        return;
    ActivateChatWindow(chat, friendID);
    chat->MarkRefused(messageID, reason, text);
}

void CFriendWindowManager::OnConnectionChanged(bool signedOn) {
    m_bSignedOn = signedOn;
    if (m_pMainWindow)
        m_pMainWindow->SetConnecting(!signedOn);
}

void CFriendWindowManager::ShowTip(const std::string& text) {
    m_notifier.Hide();
    m_notifier.Show(StringUtility::AnsiToQString(text), 300, 2000, 300, 1);
}

} // namespace pellix
