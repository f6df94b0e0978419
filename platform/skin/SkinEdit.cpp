#include "SkinEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>

CSkinEdit::CSkinEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setStyleSheet(QStringLiteral("CSkinEdit { border: 1px solid #7fa9d6; background: #ffffff; "
                                 "selection-background-color: #9cc8f0; }"));
    document()->setDocumentMargin(2);
    SetMultiLine(false);
    connect(document(), &QTextDocument::contentsChange, this, &CSkinEdit::OnContentsChange);
}

void CSkinEdit::SetMultiLine(bool multiLine) {
    m_bMultiLine = multiLine;
    setLineWrapMode(multiLine ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(multiLine ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

void CSkinEdit::LimitText(int maxChars) {
    m_nLimit = maxChars > 0 ? maxChars : 0;
    OnContentsChange(0, 0, document()->characterCount());
}

void CSkinEdit::ReplaceSel(const QString& text, bool) {
    QTextCursor cursor = textCursor();
    cursor.insertText(SingleLine(text));
    setTextCursor(cursor);
}

QString CSkinEdit::SingleLine(const QString& text) const {
    if (m_bMultiLine)
        return text;
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line;
}

void CSkinEdit::keyPressEvent(QKeyEvent* event) {
    // A one-line box leaves Enter to its window, which treats it as OK.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !m_bMultiLine) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CSkinEdit::insertFromMimeData(const QMimeData* source) {
    if (source != nullptr && source->hasText())
        textCursor().insertText(SingleLine(source->text()));
}

// Every way text gets in (typing, pasting, input methods, ReplaceSel) ends here, so the limit is
// kept by cutting what was just added beyond it.
void CSkinEdit::OnContentsChange(int position, int, int added) {
    if (m_nLimit == 0 || m_bTrimming)
        return;
    const int length = document()->characterCount() - 1;
    const int overflow = length - m_nLimit;
    if (overflow <= 0)
        return;
    const int end = std::min(position + added, length);
    const int start = std::max(end - overflow, 0);
    m_bTrimming = true;
    QTextCursor cursor(document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (document()->characterCount() - 1 > m_nLimit) {
        cursor.setPosition(m_nLimit);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    m_bTrimming = false;
}
