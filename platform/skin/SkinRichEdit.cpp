#include "SkinRichEdit.h"

#include <QFile>
#include <QFileDialog>
#include <QScrollBar>
#include <QTextBlock>

namespace {

constexpr qreal kBodyIndent = 12.0;

} // namespace

CSkinRichEdit::CSkinRichEdit(QWidget* parent) : QTextEdit(parent) {
    setStyleSheet(QStringLiteral("CSkinRichEdit { border: 1px solid #7fa9d6; }"));
    document()->setDocumentMargin(4);
    SetBackgroundColor(0x00FFFFFF);
    QScrollBar* bar = verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, &CSkinRichEdit::OnRangeChanged);
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { m_bAtEnd = value >= bar->maximum(); });
}

void CSkinRichEdit::SetBackgroundColor(COLORREF color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ColorFromRef(color));
    setPalette(pal);
}

QTextCursor CSkinRichEdit::AppendParagraph() {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    QTextBlockFormat format;
    format.setLeftMargin(m_nBodyDepth > 0 ? kBodyIndent : 0.0);
    if (document()->isEmpty())
        cursor.setBlockFormat(format);
    else
        cursor.insertBlock(format, QTextCharFormat());
    return cursor;
}

void CSkinRichEdit::AppendText(const QString& text, const QColor& color) {
    QTextCursor cursor = AppendParagraph();
    QTextCharFormat format;
    format.setForeground(color);
    cursor.insertText(text, format);
}

namespace {

constexpr int kTagProperty = QTextFormat::UserProperty + 1;

} // namespace

void CSkinRichEdit::AppendTaggedText(const QString& text, const QColor& color, quint64 tag) {
    AppendText(text, color);
    QTextCursor cursor(document()->lastBlock());
    QTextBlockFormat format = cursor.blockFormat();
    format.setProperty(kTagProperty, QVariant::fromValue(tag));
    cursor.setBlockFormat(format);
}

QTextBlock CSkinRichEdit::FindTagged(quint64 tag) const {
    // Tagged paragraphs are recent ones: the search runs from the end.
    for (QTextBlock block = document()->lastBlock(); block.isValid(); block = block.previous()) {
        const QVariant value = block.blockFormat().property(kTagProperty);
        if (value.isValid() && value.toULongLong() == tag)
            return block;
    }
    return {};
}

bool CSkinRichEdit::ReplaceTaggedText(quint64 tag, const QString& text, const QColor& color) {
    const QTextBlock block = FindTagged(tag);
    if (!block.isValid())
        return false;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setForeground(color);
    cursor.insertText(text, format);
    return true;
}

bool CSkinRichEdit::RemoveTaggedText(quint64 tag) {
    const QTextBlock block = FindTagged(tag);
    if (!block.isValid())
        return false;
    QTextCursor cursor(block);
    // With the separator in front of it, so no empty paragraph stays behind.
    if (block.previous().isValid())
        cursor.setPosition(block.position() - 1);
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    return true;
}

void CSkinRichEdit::BeginMessageBody() {
    ++m_nBodyDepth;
}

void CSkinRichEdit::EndMessageBody() {
    if (m_nBodyDepth > 0)
        --m_nBodyDepth;
}

void CSkinRichEdit::AddLine() {
    QTextCursor cursor = AppendParagraph();
    QTextBlockFormat format = cursor.blockFormat();
    format.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth, QTextLength());
    cursor.setBlockFormat(format);
}

void CSkinRichEdit::Clear() {
    clear();
    m_nBodyDepth = 0;
}

bool CSkinRichEdit::Save() {
    const QString path = QFileDialog::getSaveFileName(
        this, QString(), QString(), QStringLiteral("Text (*.txt);;HTML (*.html *.htm)"));
    return !path.isEmpty() && SaveToFile(path);
}

bool CSkinRichEdit::SaveToFile(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool html = path.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) ||
                      path.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);
    const QByteArray bytes = (html ? toHtml() : toPlainText()).toUtf8();
    return file.write(bytes) == bytes.size();
}

// A view at its end stays there when text is added, so new messages are seen at once; a
// reader who scrolled up is left alone.
void CSkinRichEdit::OnRangeChanged(int, int maximum) {
    if (!m_bNoAutoScroll && m_bAtEnd)
        verticalScrollBar()->setValue(maximum);
}
