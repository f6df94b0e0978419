#pragma once
// The chat window with one friend: the conversation view, drawn by the chat component library's
// display object, the input box, sending, emoticons from the library's picker, the send-key choice
// and the window shake. One per friend, owned by the window manager; closing only hides it.

#include "ChatComponent.h"
#include "kivra/IEmotionSelector.h"
#include "protocol/FriendRequests.h"
#include "skin/RgnDialog.h"
#include "ui/manager/WindowContext.h"

#include <QFont>
#include <QPixmap>
#include <cstdint>
#include <memory>
#include <string>

class CSkinButton;
class CSkinEdit;
class CSkinRichEdit;
class QKeyEvent;
namespace Ui {
class FriendChatDlgTemplate;
}

namespace pellix {

class CFriendChatDlg : public CRgnDialog, public IEmotionSink {
    Q_OBJECT
public:
    explicit CFriendChatDlg(const WindowContext& context, QWidget* parent = nullptr);
    ~CFriendChatDlg() override;

    // Binds the window to a friend; a friend unknown to the contact list keeps the previous data.
    void SetFriend(int userID);
    // Shows one message: a header with the name and the local time, then the text.
    void AppendMessage(const std::string& name, const std::string& text, COLORREF bodyColor,
                       bool own);
    void SendChatMessage();
    // The server confirmed the user's chat: its pending mark goes.
    void MarkDelivered(uint64_t messageID);
    // The user's chat will never be delivered: its mark says why; a chat not shown here is shown
    // with the reason.
    void MarkRefused(uint64_t messageID, uint32_t reason, const std::string& text);
    void SendShake();
    // Hides the window and gives its placement slot back.
    void CancelChat() { OnCancel(); }
    void ShowSendKeyMenu();
    // The history button: the friend's chat history, modally; this window is active again after.
    void ShowHistory();
    // The send-key menu's commands.
    void OnSendKeyCommand(int command);
    // The emoticon button: the picker pops up at the button's bottom-right corner.
    void ShowEmotionPicker();
    // A pick of the emoticon picker: free emoticons go into the input box at the caret.
    void OnEmotionSelected(int index, const char* text) override;

    int32_t FriendID() const { return m_nFriendID; }
    const std::string& FriendDisplayName() const { return m_strFriendName; }
    CSkinEdit* InputBox() const;
    CSkinRichEdit* DisplayView() const;
    CSkinButton* SendButton() const;
    CSkinButton* EmotionButton() const;
    // The chat components; null when their library, factory or object could not be had.
    IMessageProxy* MessageDisplay() const { return m_messageDisplay.GetObject(); }
    IEmotionSelector* EmotionSelector() const { return m_emotionSelector.GetObject(); }

    // Written by the window manager each time it shows the window.
    bool m_bCloseAfterSend = false;
    uint16_t m_wPlacementSlot = 0;

protected:
    bool OnInitDialog() override;
    void RectifyControl(int cx, int cy) override;
    void DrawView(QPainter& painter) override;
    void OnOK() override {}
    void OnCancel() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowContext m_context;
    // Loads the display and attaches it to the view, then the picker; false when initialisation
    // cannot go on.
    bool SetupComponents();
    void SetupViews();
    void SetupButtons();
    void SetupSkinImages();
    void UpdateSendTip();
    // The user's own chat, with the pending mark while the outbox keeps it.
    void AppendOwnMessage(const std::string& text, uint64_t pendingID);
    // The user's chats to this friend still in the outbox, each with its mark.
    void ShowPendingChats();
    // One line of display markup to the display object, with its four numbers.
    void AppendLine(const std::string& markup, int emoticons);
    // Inserts text at the caret of the input box, replacing the selection, when all of it fits
    // within the box's limit; otherwise nothing.
    void InsertIntoInput(const QString& text);
    // The keyboard rules of the window for a key sent to target; true when it was consumed.
    bool HandleKey(const QObject* target, const QKeyEvent& key);
    static bool IsChatKey(const QKeyEvent& key);
    void ChooseFont();

    std::unique_ptr<Ui::FriendChatDlgTemplate> m_pTemplate;
    int32_t m_nFriendID = 0;
    int32_t m_nFriendShowID = 0;
    uint8_t m_nFriendGender = 0;
    std::string m_strFriendName;
    std::string m_strFriendUserName;
    CMessageProxyComponent m_messageDisplay;
    CEmotionSelectorComponent m_emotionSelector;
    QPixmap m_buttonBar;
    QFont m_chosenFont;
    COLORREF m_chosenColor = 0;
    QPixmap m_scrollBitmap;
};

} // namespace pellix
