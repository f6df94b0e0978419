#pragma once
// The chat display object of the chat component library: renders lines of display markup,
// "/<c=#RRGGBB>text", at the end of a rich view. Made by CreateMessageProxy, released by Destroy.

class CSkinRichEdit;

// The numbers of AppendText, in their order.
// First: 1 starts a new paragraph at the end of the view; 0 continues the last paragraph.
inline constexpr int APPEND_CONTINUE = 0;
inline constexpr int APPEND_NEW_PARAGRAPH = 1;
// Second: style bits for the whole line; 0 is plain.
inline constexpr int APPEND_STYLE_BOLD = 1;
inline constexpr int APPEND_STYLE_ITALIC = 2;
inline constexpr int APPEND_STYLE_UNDERLINE = 4;
// Third: 1 shows the known emoticon codes in the text as their pictures; 0 shows it all as text.
inline constexpr int APPEND_TEXT_ONLY = 0;
inline constexpr int APPEND_EMOTICONS = 1;
// Fourth: the font size in points, 1 to 72; 0 (or anything else) keeps the view's own size.
inline constexpr int APPEND_VIEW_FONT_SIZE = 0;

// How many paragraphs a view with bounded history keeps (SetupB(1)).
inline constexpr int MESSAGE_PROXY_MAX_PARAGRAPHS = 20000;

class IMessageProxy {
public:
    virtual void Destroy() = 0;
    // Renders into view from now on; false (and nothing changes) for a null view.
    virtual bool Attach(CSkinRichEdit* view) = 0;
    // 1: the view follows its end as lines arrive (a conversation); 0: lines are added without
    // moving the view (a page read from the top).
    virtual void SetupA(int followEnd) = 0;
    // 1: the view keeps the newest MESSAGE_PROXY_MAX_PARAGRAPHS paragraphs and drops older ones
    // (a window that stays open for a whole session); 0: it keeps everything.
    virtual void SetupB(int boundedHistory) = 0;
    // The window of the view was closed: the view goes back to following its end, so that the
    // newest lines are in sight when it opens again.
    virtual void NotifyClosed() = 0;
    // Shows one line of display markup (GBK) at the end of the view, with the numbers above.
    // The colour tag colours the line; everything after it is text, shown as it stands.
    virtual void AppendText(const char* markupLine, int newParagraph, int styleBits, int emoticons,
                            int fontPoints) = 0;

protected:
    ~IMessageProxy() = default;
};
