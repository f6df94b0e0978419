#pragma once
// Shown when another user asks to become the user's friend: the asker's message, a warning
// against fraud, and the choice to agree or refuse (optionally for good). One per asker, owned by
// the window manager; closing only hides it.

#include "skin/RgnDialog.h"

#include <cstdint>
#include <memory>
#include <string>

struct WindowContext;
namespace Ui {
class FriendAddConfirmDlgTemplate;
}
class CSkinCheckBox;
class QRadioButton;

class CFriendAddConfirmDlg : public CRgnDialog {
    Q_OBJECT
public:
    struct Asker {
        int32_t userID = 0;
        std::string userName;
        std::string nickName;
        int32_t showID = 0;
        uint8_t gender = 0;
        uint8_t online = 0;
    };

    explicit CFriendAddConfirmDlg(const WindowContext& context, QWidget* parent = nullptr);
    ~CFriendAddConfirmDlg() override;

    // Fills the window with one request; names and message are GBK.
    void SetRequest(int askerID, const std::string& userName, const std::string& nickName,
                    uint8_t gender, int showID, const std::string& message);
    // Sends the chosen answer and hides the window.
    void ApplyChoice();
    // The asker's profile page in a browser window of this window's, replacing an earlier one.
    void ShowUserInfo();

    const Asker& GetAsker() const { return m_asker; }
    int32_t ReplyID() const { return m_nReplyID; }
    QRadioButton* AgreeChoice() const;
    QRadioButton* RefuseChoice() const;
    CSkinCheckBox* RefuseForeverBox() const;

protected:
    bool OnInitDialog() override;
    void RectifyControl(int cx, int cy) override;
    void OnOK() override { ApplyChoice(); }

private:
    const WindowContext& m_context;
    void UseWindowBrush();
    void UpdateRefuseForeverBox();
    void RefuseForGood();

    std::unique_ptr<Ui::FriendAddConfirmDlgTemplate> m_pTemplate;
    Asker m_asker;
    int32_t m_nReplyID = 0;
};
