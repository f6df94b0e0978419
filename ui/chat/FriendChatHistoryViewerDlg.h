#pragma once
// The stored conversation with one friend, 20 messages a page, with buttons for the first,
// previous, next and last page, an export of the whole conversation and a find box (Ctrl+F).
// A window of its own, without owner and with its own taskbar entry; it runs modally and lives
// on its opener's stack for one run.

#include "ChatComponent.h"
#include "ChatHistoryExporter.h"
#include "skin/RgnDialog.h"

#include <QPixmap>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CChatHistoryFindBox;
class CChatHistoryManager;
class CSkinButton;
class CSkinLabel;
class CSkinRichEdit;
struct ChatHistoryRecord;
struct WindowContext;
namespace Ui {
class FriendChatHistoryViewerDlgTemplate;
}

struct ChatHistoryExportTarget {
    QString path;
    ChatHistoryExportFormat format = ChatHistoryExportFormat::PlainText;
};

// Asks where to export; nothing when the user cancels. suggestedName is a file name alone.
using ChatHistoryExportPathSource = std::function<std::optional<ChatHistoryExportTarget>(
    QWidget* parent, const QString& suggestedName)>;

class CFriendChatHistoryViewerDlg : public CRgnDialog {
    Q_OBJECT
public:
    static constexpr int PAGE_SIZE = 20;

    // The viewer never has an owner window, whatever it is given.
    explicit CFriendChatHistoryViewerDlg(const WindowContext& context, QWidget* owner = nullptr);
    ~CFriendChatHistoryViewerDlg() override;

    // Shows friendID's history modally, made inside the module's resource scope; returns when
    // the user closes it.
    static void RunModal(const WindowContext& context, int friendID);

    // The friend whose history is shown; set before the viewer runs.
    void SetFriend(int userID);
    int32_t FriendID() const { return m_nFriendID; }

    // The page buttons. Each counts the stored messages first; a page without messages leaves
    // the view and the page text as they are.
    void ShowFirstPage();
    void ShowPreviousPage();
    void ShowNextPage();
    void ShowLastPage();
    int CurrentPage() const { return m_nCurrentPage; }
    int PageCount() const { return m_nPageCount; }
    // "page/pages", drawn beside the page buttons; "0/0" until a page is shown.
    const QString& PageText() const { return m_strPageText; }

    // Asks for a file and writes the whole conversation there, a part per turn of the event
    // loop; exportFinished tells the outcome, a failure is also shown with its reason.
    void ExportHistory();
    bool IsExporting() const { return m_pExporter != nullptr; }
    // Replaces the file dialog that asks where to export.
    void SetExportPathSource(ChatHistoryExportPathSource source);

    // Ctrl+F: the find box.
    void OpenFindBox();
    // Shows the page of the next older message holding text and selects the text there; from
    // the oldest message it goes on from the newest. False, and nothing changes but the find
    // box's note, when no message holds it.
    bool FindOlder(const QString& text);

    CSkinRichEdit* RecordView() const;
    CSkinLabel* PageLabel() const;
    CChatHistoryFindBox* FindBox() const { return m_pFindBox; }
    // The button with a control id of the template, or null.
    CSkinButton* ControlButton(int controlID) const;

Q_SIGNALS:
    void exportFinished(bool written);

protected:
    bool OnInitDialog() override;
    void RectifyControl(int cx, int cy) override;
    void DrawView(QPainter& painter) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct FindPosition {
        std::string strText; // GBK
        int64_t nRowID = 0;
        int nPage = 0;
    };

    void SetupButtons();
    void SetupRecordView();
    void CountPages();
    void ShowPage(int page);
    void ShowRecords(const std::vector<ChatHistoryRecord>& records);
    void SelectInRecord(std::size_t index, const QString& text);
    int64_t FindStartRow(CChatHistoryManager& history, const std::string& text) const;
    QString SuggestedExportName() const;
    void ContinueExport();

    const WindowContext& m_context;
    std::unique_ptr<Ui::FriendChatHistoryViewerDlgTemplate> m_pTemplate;
    CChatHistoryFindBox* m_pFindBox = nullptr;
    QPixmap m_scrollBitmap;
    QString m_strPageText = QStringLiteral("0/0");
    CMessageProxyComponent m_display;
    bool m_bDisplayReady = false;
    int32_t m_nFriendID = 0;
    std::string m_strFriendName;
    int32_t m_nPageCount = 0;
    int32_t m_nCurrentPage = 0;
    // Where each shown message's body starts and ends in the view.
    std::vector<std::pair<int, int>> m_bodyRanges;
    FindPosition m_lastFind;
    ChatHistoryExportPathSource m_exportPathSource;
    std::unique_ptr<CChatHistoryExporter> m_pExporter;
    QString m_exportPath;
    QTimer m_exportTimer;
};
