#pragma once
// The chat display object: renders lines of display markup at the end of the rich view it is
// attached to. It does not own the view; a view destroyed first is noticed and left alone.

#include "EmotionImages.h"
#include "kivra/IMessageProxy.h"

#include <QPointer>
#include <QTextCharFormat>

class QTextCursor;
class QString;

class CMessageProxy final : public IMessageProxy {
public:
    void Destroy() override;
    bool Attach(CSkinRichEdit* view) override;
    void SetupA(int followEnd) override;
    void SetupB(int boundedHistory) override;
    void NotifyClosed() override;
    void AppendText(const char* markupLine, int newParagraph, int styleBits, int emoticons,
                    int fontPoints) override;

private:
    // The cursor the line goes in at: a new paragraph, or the end of the last one.
    QTextCursor EndCursor(bool newParagraph);
    // Inserts the picture of the emoticon, or its code as text when the picture is missing.
    void InsertEmotion(QTextCursor& cursor, int emotion, const QString& code,
                       const QTextCharFormat& textFormat);
    // Registers the picture with the view's document, once per document.
    QString ImageResourceName(int emotion, const QImage& image);

    QPointer<CSkinRichEdit> m_pView;
    EmotionImages m_images;
};
