#pragma once
// The chat window with one friend: the conversation view, the input box, sending, the send-key
// choice and the window shake. One per friend, owned by the window manager; closing only hides it.

#include "skin/RgnDialog.h"

#include <QFont>
#include <cstdint>
#include <memory>
#include <string>

class IFriendRequests;
class CSkinButton;
class CSkinEdit;
class CSkinRichEdit;
class QKeyEvent;
namespace Ui {
class FriendChatDlgTemplate;
}

class CFriendChatDlg : public CRgnDialog {
    Q_OBJECT
public:
    explicit CFriendChatDlg(IFriendRequests& service, QWidget* parent = nullptr);
    ~CFriendChatDlg() override;

    // Binds the window to a friend; a friend unknown to the contact list keeps the previous data.
    void SetFriend(int userID);
    // Shows one message: a header with the name and the local time, then the text.
    void AppendMessage(const std::string& name, const std::string& text, COLORREF bodyColor,
                       bool own);
    void SendChatMessage();
    void SendShake();
    // Hides the window and gives its placement slot back.
    void CancelChat() { OnCancel(); }
    void ShowSendKeyMenu();
    // The history button: the friend's chat history, modally; this window is active again after.
    void ShowHistory();
    // The send-key menu's commands.
    void OnSendKeyCommand(int command);

    int32_t FriendID() const { return m_nFriendID; }
    const std::string& FriendDisplayName() const { return m_strFriendName; }
    CSkinEdit* InputBox() const;
    CSkinRichEdit* DisplayView() const;
    CSkinButton* SendButton() const;

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
    IFriendRequests& m_service;
    void SetupButtons();
    void UpdateSendTip();
    void AppendLine(const std::string& markup);
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
    QFont m_chosenFont;
    COLORREF m_chosenColor = 0;
};
