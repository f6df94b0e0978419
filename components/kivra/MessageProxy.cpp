#include "MessageProxy.h"

#include "DisplayMarkup.h"
#include "EmotionTable.h"
#include "skin/SkinRichEdit.h"
#include "text/StringUtility.h"

#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace {

constexpr int kLargestPointSize = 72;

QTextCharFormat LineFormat(const QColor& color, int styleBits, int fontPoints) {
    QTextCharFormat format;
    format.setForeground(color);
    if ((styleBits & APPEND_STYLE_BOLD) != 0)
        format.setFontWeight(QFont::Bold);
    if ((styleBits & APPEND_STYLE_ITALIC) != 0)
        format.setFontItalic(true);
    if ((styleBits & APPEND_STYLE_UNDERLINE) != 0)
        format.setFontUnderline(true);
    if (fontPoints >= 1 && fontPoints <= kLargestPointSize)
        format.setFontPointSize(fontPoints);
    return format;
}

} // namespace

void CMessageProxy::Destroy() {
    delete this;
}

bool CMessageProxy::Attach(CSkinRichEdit* view) {
    if (view == nullptr)
        return false;
    m_pView = view;
    // Nobody edits a conversation: an undo history would only hold a copy of every line.
    view->document()->setUndoRedoEnabled(false);
    return true;
}

void CMessageProxy::SetupA(int followEnd) {
    if (m_pView != nullptr)
        m_pView->m_bNoAutoScroll = followEnd == 0;
}

void CMessageProxy::SetupB(int boundedHistory) {
    if (m_pView != nullptr)
        m_pView->document()->setMaximumBlockCount(boundedHistory != 0 ? MESSAGE_PROXY_MAX_PARAGRAPHS
                                                                      : 0);
}

void CMessageProxy::NotifyClosed() {
    if (m_pView == nullptr)
        return;
    QScrollBar* bar = m_pView->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void CMessageProxy::AppendText(const char* markupLine, int newParagraph, int styleBits,
                               int emoticons, int fontPoints) {
    if (m_pView == nullptr || markupLine == nullptr)
        return;
    const DisplayMarkup::Line line = DisplayMarkup::Parse(StringUtility::AnsiToQString(markupLine));
    const QTextCharFormat format = LineFormat(line.color, styleBits, fontPoints);
    // One edit: the view lays the new paragraph out once, not once per piece.
    QTextCursor edit(m_pView->document());
    edit.beginEditBlock();
    QTextCursor cursor = EndCursor(newParagraph != 0);
    for (const DisplayMarkup::Piece& piece : DisplayMarkup::Split(line.content, emoticons != 0)) {
        if (piece.emotion >= 0)
            InsertEmotion(cursor, piece.emotion, piece.text, format);
        else
            cursor.insertText(piece.text, format);
    }
    edit.endEditBlock();
}

QTextCursor CMessageProxy::EndCursor(bool newParagraph) {
    if (newParagraph)
        return m_pView->AppendParagraph();
    QTextCursor cursor(m_pView->document());
    cursor.movePosition(QTextCursor::End);
    return cursor;
}

void CMessageProxy::InsertEmotion(QTextCursor& cursor, int emotion, const QString& code,
                                  const QTextCharFormat& textFormat) {
    const QImage& image = m_images.Get(emotion);
    if (image.isNull()) {
        cursor.insertText(code, textFormat);
        return;
    }
    QTextImageFormat format;
    format.setName(ImageResourceName(emotion, image));
    format.setWidth(image.width());
    format.setHeight(image.height());
    format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    format.setToolTip(code);
    cursor.insertImage(format);
}

QString CMessageProxy::ImageResourceName(int emotion, const QImage& image) {
    const QString name = QStringLiteral("kivra-emotion:%1").arg(emotion);
    const QUrl url(name);
    QTextDocument* document = m_pView->document();
    // Clearing the view drops its resources, so the document is asked rather than remembered.
    if (!document->resource(QTextDocument::ImageResource, url).isValid())
        document->addResource(QTextDocument::ImageResource, url, image);
    return name;
}
