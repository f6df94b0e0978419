#include "FriendChatHistoryViewerDlg.h"

#include "ChatHistoryFindBox.h"
#include "ChatHistoryText.h"
#include "ChatLineMarkup.h"
#include "client/StringUtility.h"
#include "resources/ResourceIds.h"
#include "skin/SkinButton.h"
#include "skin/SkinLabel.h"
#include "skin/SkinMessageBox.h"
#include "skin/SkinRichEdit.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "ui/controls/SkinScrollBar.h"
#include "ui/controls/SkinScrollTimer.h"
#include "ui/manager/ModuleResourceScope.h"
#include "ui/manager/WindowContext.h"
#include "ui/manager/WindowEnvironment.h"
#include "ui/manager/WindowFrame.h"
#include "ui_FriendChatHistoryViewerDlg.h"

#include <QKeyEvent>
#include <QPainter>
#include <QShowEvent>
#include <algorithm>

namespace {

constexpr int kWidth = 336;
constexpr int kHeight = 368;
constexpr int kPageTextX = 64;
constexpr int kPageTextY = 342;
// The page text may use the room up to the first page button.
constexpr int kPageTextRoom = 106 - 2 - kPageTextX;
constexpr int kSmallestPageTextPixels = 10;
constexpr uint32_t kRecordViewEvents = 0x04030009;

void SetButton(CSkinButton* button, const QString& image, const QString& tip) {
    button->SetButtonImage(image, false, 5, SKIN_TRANSPARENT_COLOR);
    button->setToolTip(tip);
    button->show();
}

} // namespace

CFriendChatHistoryViewerDlg::CFriendChatHistoryViewerDlg(const WindowContext& context, QWidget*)
    : CRgnDialog(nullptr), m_context(context),
      m_pTemplate(std::make_unique<Ui::FriendChatHistoryViewerDlgTemplate>()) {
    m_pTemplate->setupUi(this);
    // A window of its own with a taskbar entry, not a tool window of another.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    m_pFindBox = new CChatHistoryFindBox(this);
    const auto& ui = *m_pTemplate;
    connect(ui.closeButton, &CSkinButton::clicked, this, [this] { OnCancel(); });
    connect(ui.exportButton, &CSkinButton::clicked, this,
            &CFriendChatHistoryViewerDlg::ExportHistory);
    connect(ui.firstPageButton, &CSkinButton::clicked, this,
            &CFriendChatHistoryViewerDlg::ShowFirstPage);
    connect(ui.previousPageButton, &CSkinButton::clicked, this,
            &CFriendChatHistoryViewerDlg::ShowPreviousPage);
    connect(ui.nextPageButton, &CSkinButton::clicked, this,
            &CFriendChatHistoryViewerDlg::ShowNextPage);
    connect(ui.lastPageButton, &CSkinButton::clicked, this,
            &CFriendChatHistoryViewerDlg::ShowLastPage);
    connect(m_pFindBox, &CChatHistoryFindBox::findRequested, this,
            &CFriendChatHistoryViewerDlg::FindOlder);
    connect(m_pFindBox, &CChatHistoryFindBox::closed, ui.recordView,
            [this] { RecordView()->setFocus(); });
    m_exportTimer.setInterval(0);
    connect(&m_exportTimer, &QTimer::timeout, this, &CFriendChatHistoryViewerDlg::ContinueExport);
}

CFriendChatHistoryViewerDlg::~CFriendChatHistoryViewerDlg() {
    SkinScrollRemove(RecordView());
}

void CFriendChatHistoryViewerDlg::RunModal(const WindowContext& context, int friendID) {
    ModuleResourceScope scope;
    CFriendChatHistoryViewerDlg viewer(context);
    viewer.SetFriend(friendID);
    viewer.exec();
}

void CFriendChatHistoryViewerDlg::SetFriend(int userID) {
    m_nFriendID = userID;
    auto* contacts = m_context.contacts;
    const ContactInfo* contact = contacts != nullptr ? contacts->FindContact(userID) : nullptr;
    if (contact != nullptr)
        m_strFriendName = contact->noteName.empty() ? contact->nickName : contact->noteName;
    else
        m_strFriendName = StringUtility::toString(static_cast<unsigned int>(userID));
}

CSkinRichEdit* CFriendChatHistoryViewerDlg::RecordView() const {
    return m_pTemplate->recordView;
}

CSkinLabel* CFriendChatHistoryViewerDlg::PageLabel() const {
    return m_pTemplate->pageLabel;
}

CSkinButton* CFriendChatHistoryViewerDlg::ControlButton(int controlID) const {
    for (CSkinButton* button : findChildren<CSkinButton*>()) {
        if (button->property(CONTROL_ID_PROPERTY).toInt() == controlID)
            return button;
    }
    return nullptr;
}

bool CFriendChatHistoryViewerDlg::OnInitDialog() {
    CRgnDialog::OnInitDialog();
    if (!m_display.Load() || !m_display->Attach(RecordView())) {
        // Without its display the viewer can show nothing: it says why and closes. The note
        // has no owner, so that it outlives the viewer.
        const std::string reason = m_display.GetErrorText().empty()
                                       ? StringUtility::UTF8ToAnsi("聊天记录无法显示。")
                                       : m_display.GetErrorText();
        ShowSkinNotice(nullptr, reason, StringUtility::UTF8ToAnsi("好友服务"), MB_STYLE_ERROR, 0);
        QMetaObject::invokeMethod(
            this, [this] { OnCancel(); }, Qt::QueuedConnection);
        return false;
    }
    m_display->SetupA(0);
    m_display->SetupB(0);
    m_bDisplayReady = true;
    ApplyWindowFrame(*this, {0x00FFFFE6, QStringLiteral("聊天记录"), IDI_FRIEND,
                             QStringLiteral("data/Friend/history_bk_"), true});
    PageLabel()->setText(m_strPageText);
    PageLabel()->hide();
    SetupRecordView();
    SetupButtons();
    m_scrollBitmap = SkinScrollLoadBitmap();
    if (!m_scrollBitmap.isNull())
        SkinScrollInstall(RecordView(), m_scrollBitmap);
    setGeometry(0, 0, kWidth, kHeight);
    CenterWindow();
    return true;
}

void CFriendChatHistoryViewerDlg::SetupRecordView() {
    CSkinRichEdit* view = RecordView();
    view->SetEventMask(view->GetEventMask() | kRecordViewEvents);
    view->SetBackgroundColor(CHAT_VIEW_BACKGROUND);
    view->setReadOnly(true);
    // Pages are read from the top: new lines never move the view.
    view->m_bNoAutoScroll = true;
    view->show();
}

void CFriendChatHistoryViewerDlg::SetupButtons() {
    const auto& ui = *m_pTemplate;
    SetButton(ui.closeButton, QStringLiteral("data/Friend/btn_sysClose.png"),
              QStringLiteral("关闭"));
    SetButton(ui.exportButton, QStringLiteral("data/Friend/history_btn_export.png"),
              QStringLiteral("导出"));
    SetButton(ui.firstPageButton, QStringLiteral("data/Friend/history_btn_top_page.png"),
              QStringLiteral("首页"));
    SetButton(ui.previousPageButton, QStringLiteral("data/Friend/history_btn_pre_page.png"),
              QStringLiteral("上一页"));
    SetButton(ui.nextPageButton, QStringLiteral("data/Friend/history_btn_next_page.png"),
              QStringLiteral("下一页"));
    SetButton(ui.lastPageButton, QStringLiteral("data/Friend/history_btn_end_page.png"),
              QStringLiteral("最后一页"));
}

void CFriendChatHistoryViewerDlg::RectifyControl(int cx, int) {
    const auto& ui = *m_pTemplate;
    ui.closeButton->setGeometry(cx - 25, 6, 15, 15);
    ui.exportButton->setGeometry(12, 342, 42, 17);
    ui.pageLabel->setGeometry(64, 342, 20, 20);
    ui.firstPageButton->setGeometry(106, 342, 42, 17);
    ui.previousPageButton->setGeometry(158, 342, 42, 17);
    ui.nextPageButton->setGeometry(210, 342, 42, 17);
    ui.lastPageButton->setGeometry(262, 342, 42, 17);
    ui.recordView->setGeometry(5, 35, 325, 302);
    // The find box sits in the top band, between the title and the close button.
    m_pFindBox->setGeometry(84, 6, cx - 25 - 6 - 84, 18);
}

void CFriendChatHistoryViewerDlg::showEvent(QShowEvent* event) {
    CRgnDialog::showEvent(event);
    // Each time the window is shown, not when the window system merely restores it.
    if (!event->spontaneous())
        ShowFirstPage();
}

void CFriendChatHistoryViewerDlg::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Find)) {
        OpenFindBox();
        return;
    }
    CRgnDialog::keyPressEvent(event);
}

void CFriendChatHistoryViewerDlg::CountPages() {
    auto* history = m_context.history;
    const int count = history != nullptr ? history->GetMessageCount(m_nFriendID) : 0;
    m_nPageCount = count > 0 ? (count - 1) / PAGE_SIZE + 1 : 0;
    if (count <= 0)
        m_nCurrentPage = 0;
}

void CFriendChatHistoryViewerDlg::ShowFirstPage() {
    CountPages();
    if (m_nCurrentPage != 1)
        ShowPage(1);
}

void CFriendChatHistoryViewerDlg::ShowPreviousPage() {
    CountPages();
    const int target = m_nCurrentPage >= 2 ? m_nCurrentPage - 1 : 1;
    if (target != m_nCurrentPage)
        ShowPage(target);
}

void CFriendChatHistoryViewerDlg::ShowNextPage() {
    CountPages();
    const int target = std::min(m_nCurrentPage + 1, m_nPageCount);
    if (target != m_nCurrentPage)
        ShowPage(target);
}

void CFriendChatHistoryViewerDlg::ShowLastPage() {
    CountPages();
    if (m_nPageCount != m_nCurrentPage)
        ShowPage(m_nPageCount);
}

void CFriendChatHistoryViewerDlg::ShowPage(int page) {
    m_nCurrentPage = page;
    auto* history = m_context.history;
    if (page < 1 || history == nullptr)
        return;
    const std::vector<ChatHistoryRecord>& records =
        history->GetMessages(m_nFriendID, PAGE_SIZE, (page - 1) * PAGE_SIZE);
    if (records.empty())
        return;
    m_strPageText = QStringLiteral("%1/%2").arg(page).arg(m_nPageCount);
    PageLabel()->setText(m_strPageText);
    update();
    ShowRecords(records);
}

void CFriendChatHistoryViewerDlg::ShowRecords(const std::vector<ChatHistoryRecord>& records) {
    CSkinRichEdit* view = RecordView();
    view->Clear();
    m_bodyRanges.clear();
    if (!m_bDisplayReady)
        return;
    const auto end = [view] { return view->document()->characterCount() - 1; };
    for (const ChatHistoryRecord& record : records) {
        m_display->AppendText(FormatHistoryHeaderLine(record).c_str(), APPEND_NEW_PARAGRAPH, 0,
                              APPEND_TEXT_ONLY, APPEND_VIEW_FONT_SIZE);
        view->BeginMessageBody();
        const int bodyStart = end();
        m_display->AppendText(FormatHistoryBodyLine(record).c_str(), APPEND_NEW_PARAGRAPH, 0,
                              APPEND_EMOTICONS, APPEND_VIEW_FONT_SIZE);
        view->EndMessageBody();
        m_bodyRanges.emplace_back(bodyStart, end());
    }
}

void CFriendChatHistoryViewerDlg::DrawView(QPainter& painter) {
    painter.save();
    QFont font = m_context.environment.GetFont();
    painter.setPen(Qt::black);
    // A long indicator ("5000/5000") is made smaller, then narrower, rather than drawn under the
    // first page button.
    int width = QFontMetrics(font).horizontalAdvance(m_strPageText);
    while (width > kPageTextRoom && font.pixelSize() > kSmallestPageTextPixels) {
        font.setPixelSize(font.pixelSize() - 1);
        width = QFontMetrics(font).horizontalAdvance(m_strPageText);
    }
    painter.setFont(font);
    painter.translate(kPageTextX, kPageTextY);
    if (width > kPageTextRoom)
        painter.scale(static_cast<qreal>(kPageTextRoom) / width, 1.0);
    painter.drawText(QRect(0, 0, std::max(width, kPageTextRoom), 17),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_strPageText);
    painter.restore();
}
