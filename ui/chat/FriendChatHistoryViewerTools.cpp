// The history viewer's export of the whole conversation and its find box.

#include "ChatHistoryFindBox.h"
#include "FriendChatHistoryViewerDlg.h"
#include "base/AnsiText.h"
#include "client/StringUtility.h"
#include "resources/ResourceIds.h"
#include "skin/SkinButton.h"
#include "skin/SkinMessageBox.h"
#include "skin/SkinRichEdit.h"
#include "storage/ChatHistoryManager.h"
#include "ui/manager/WindowContext.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>
#include <limits>

namespace {

constexpr int64_t kAfterNewest = std::numeric_limits<int64_t>::max();

bool IsHtmlName(const QString& path) {
    return path.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) ||
           path.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);
}

// The system's file dialog: plain text or HTML, the format following the name or the filter.
std::optional<ChatHistoryExportTarget> AskExportTarget(QWidget* parent,
                                                       const QString& suggestedName) {
    const QString textFilter = QStringLiteral("文本文件 (*.txt)");
    const QString htmlFilter = QStringLiteral("网页文件 (*.html *.htm)");
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    QString chosenFilter = textFilter;
    QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("导出聊天记录"), QDir(folder).filePath(suggestedName),
        textFilter + QStringLiteral(";;") + htmlFilter, &chosenFilter);
    if (path.isEmpty())
        return std::nullopt;
    const bool html =
        IsHtmlName(path) || (chosenFilter == htmlFilter && QFileInfo(path).suffix().isEmpty());
    if (QFileInfo(path).suffix().isEmpty())
        path += html ? QStringLiteral(".html") : QStringLiteral(".txt");
    return ChatHistoryExportTarget{path, html ? ChatHistoryExportFormat::Html
                                              : ChatHistoryExportFormat::PlainText};
}

} // namespace

void CFriendChatHistoryViewerDlg::SetExportPathSource(ChatHistoryExportPathSource source) {
    m_exportPathSource = std::move(source);
}

QString CFriendChatHistoryViewerDlg::SuggestedExportName() const {
    // A name may hold anything; what a file name cannot hold becomes '_'.
    static const QRegularExpression unsafe(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]"));
    QString name = StringUtility::AnsiToQString(m_strFriendName);
    name.replace(unsafe, QStringLiteral("_"));
    return QStringLiteral("聊天记录-%1-%2.txt")
        .arg(name, QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
}

void CFriendChatHistoryViewerDlg::ExportHistory() {
    auto* history = m_context.history;
    if (history == nullptr || IsExporting())
        return;
    const ChatHistoryExportPathSource& ask =
        m_exportPathSource ? m_exportPathSource : ChatHistoryExportPathSource(AskExportTarget);
    const std::optional<ChatHistoryExportTarget> target = ask(this, SuggestedExportName());
    if (!target)
        return;
    m_exportPath = target->path;
    m_pExporter = std::make_unique<CChatHistoryExporter>(*history, m_nFriendID, m_strFriendName,
                                                         target->format, target->path);
    ControlButton(IDC_HISTORY_EXPORT)->setEnabled(false);
    m_exportTimer.start();
}

// One part per turn of the event loop, so the viewer stays responsive during a long export.
void CFriendChatHistoryViewerDlg::ContinueExport() {
    if (m_pExporter == nullptr || m_pExporter->Step() == CChatHistoryExporter::Status::Running)
        return;
    m_exportTimer.stop();
    const std::unique_ptr<CChatHistoryExporter> exporter = std::move(m_pExporter);
    ControlButton(IDC_HISTORY_EXPORT)->setEnabled(true);
    const bool written = exporter->GetStatus() == CChatHistoryExporter::Status::Finished;
    if (!written) {
        const QString text =
            QStringLiteral("聊天记录导出失败：%1\n%2")
                .arg(exporter->ErrorText(), QDir::toNativeSeparators(m_exportPath));
        ShowSkinMessageBox(this, StringUtility::QStringToAnsi(text), AnsiText("好友服务"),
                           MB_STYLE_ERROR, 0);
    }
    Q_EMIT exportFinished(written);
}

void CFriendChatHistoryViewerDlg::OpenFindBox() {
    m_pFindBox->Open();
}

bool CFriendChatHistoryViewerDlg::FindOlder(const QString& text) {
    auto* history = m_context.history;
    const std::string needle = StringUtility::QStringToAnsi(text);
    // Text that GBK cannot hold is in no stored message.
    const bool searchable = !text.isEmpty() && StringUtility::AnsiToQString(needle) == text;
    ChatHistoryMatch match;
    if (history != nullptr && searchable) {
        const int64_t start = FindStartRow(*history, needle);
        match = history->FindMessageBefore(m_nFriendID, needle, start);
        if (match.nRowID == 0 && start != kAfterNewest)
            match = history->FindMessageBefore(m_nFriendID, needle, kAfterNewest);
    }
    if (match.nRowID == 0) {
        m_pFindBox->ShowNoMatch();
        return false;
    }
    const int page = match.nIndex / PAGE_SIZE + 1;
    CountPages();
    ShowPage(page);
    m_lastFind = {needle, match.nRowID, page};
    SelectInRecord(static_cast<std::size_t>(match.nIndex % PAGE_SIZE), text);
    return true;
}

// The search goes on from the last match while its page is shown, else from the newest message
// of the page shown.
int64_t CFriendChatHistoryViewerDlg::FindStartRow(CChatHistoryManager& history,
                                                  const std::string& text) const {
    if (m_lastFind.nRowID != 0 && m_lastFind.strText == text && m_lastFind.nPage == m_nCurrentPage)
        return m_lastFind.nRowID;
    const int64_t nextPageStart =
        m_nCurrentPage > 0 ? history.RowAt(m_nFriendID, m_nCurrentPage * PAGE_SIZE) : 0;
    return nextPageStart != 0 ? nextPageStart : kAfterNewest;
}

void CFriendChatHistoryViewerDlg::SelectInRecord(std::size_t index, const QString& text) {
    if (index >= m_bodyRanges.size())
        return;
    const auto [start, end] = m_bodyRanges[index];
    CSkinRichEdit* view = RecordView();
    QTextCursor selection = view->document()->find(text, start);
    // Text drawn as an emoticon picture is not there as text: the whole message is marked.
    if (selection.isNull() || selection.selectionEnd() > end) {
        selection = QTextCursor(view->document());
        selection.setPosition(start + 1);
        selection.setPosition(end, QTextCursor::KeepAnchor);
    }
    view->setTextCursor(selection);
    // The match is brought to the middle of the view, with the lines around it in sight.
    QScrollBar* bar = view->verticalScrollBar();
    bar->setValue(bar->value() + view->cursorRect(selection).center().y() -
                  view->viewport()->height() / 2);
}
