#pragma once
// A rich text view and editor of a skinned window. Renderers append paragraphs at its end; it
// follows the end as text arrives unless told to hold its position. Owned by its parent window.

#include "skin/ColorRef.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <cstdint>

class CSkinRichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit CSkinRichEdit(QWidget* parent = nullptr);

    // Set: appending keeps the view where it is (pages that are read from the top).
    bool m_bNoAutoScroll = false;

    void SetBackgroundColor(COLORREF color);
    // Notifications the owner asked for; kept for the renderers that consult them.
    uint32_t GetEventMask() const { return m_nEventMask; }
    void SetEventMask(uint32_t mask) { m_nEventMask = mask; }

    // A cursor at the start of a new paragraph at the end, indented inside a message body.
    QTextCursor AppendParagraph();
    // A new paragraph holding text in one colour.
    void AppendText(const QString& text, const QColor& color);
    // A paragraph like AppendText's that can be found again by its tag (not 0), to be replaced or
    // removed later; the newest paragraph with the tag is the one meant.
    void AppendTaggedText(const QString& text, const QColor& color, quint64 tag);
    // False when no paragraph carries the tag (any more).
    bool ReplaceTaggedText(quint64 tag, const QString& text, const QColor& color);
    bool RemoveTaggedText(quint64 tag);
    // Paragraphs appended between these two are indented as a message body.
    void BeginMessageBody();
    void EndMessageBody();
    // A thin rule under everything appended so far.
    void AddLine();
    void Clear();
    // Asks for a file and writes the text there; false when cancelled or not written.
    bool Save();
    // Writes the text as UTF-8, or as HTML when the name ends in .htm or .html.
    bool SaveToFile(const QString& path) const;

private:
    void OnRangeChanged(int minimum, int maximum);
    QTextBlock FindTagged(quint64 tag) const;

    uint32_t m_nEventMask = 0;
    int m_nBodyDepth = 0;
    bool m_bAtEnd = true;
};
