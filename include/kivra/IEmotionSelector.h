#pragma once
// The emoticon picker of the chat component library, and the sink that hears its picks. Made by
// CreateEmotionSelector, released by Destroy.

class QWidget;

// Emoticons 0 to EMOTION_FREE_COUNT - 1 are free for everyone; the rest are VIP emoticons.
inline constexpr int EMOTION_FREE_COUNT = 66;

class IEmotionSink {
public:
    // The user picked emoticon index; text is its code (GBK) to insert into the input box.
    virtual void OnEmotionSelected(int index, const char* text) = 0;

protected:
    ~IEmotionSink() = default;
};

class IEmotionSelector {
public:
    virtual void Destroy() = 0;
    // Picks go to sink from now on; null drops them.
    virtual void SetSink(IEmotionSink* sink) = 0;
    // Pops the picker up with its top-left corner at the screen point, moved as little as needed
    // to keep it inside the available area of that screen. A click on an emoticon reports it and
    // closes the picker; Esc or a click elsewhere closes it without a pick.
    virtual void Show(QWidget* parent, int screenX, int screenY) = 0;

protected:
    ~IEmotionSelector() = default;
};
