#pragma once
// The window in which the user types a verification message before asking another user to
// become a friend. One per target user, owned by the window manager; closing only hides it.

#include "skin/RgnDialog.h"

#include <cstdint>
#include <memory>
#include <string>

struct WindowContext;
namespace Ui {
class FriendAddReqDlgTemplate;
}
class CSkinEdit;

class CFriendAddReqDlg : public CRgnDialog {
    Q_OBJECT
public:
    explicit CFriendAddReqDlg(const WindowContext& context, QWidget* parent = nullptr);
    ~CFriendAddReqDlg() override;

    // Names the target (GBK) in the title and remembers whom to ask.
    void SetTarget(int userID, const std::string& name);
    // Sends the request with the message as typed, empties the box and hides the window. When the
    // request cannot go out, the text stays, a box over the window says why, and it is false.
    bool Send();
    // Empties the box and hides the window without sending.
    void CancelRequest();

    int32_t TargetID() const { return m_nTargetID; }
    CSkinEdit* MessageBox() const;

protected:
    bool OnInitDialog() override;
    void OnOK() override { Send(); }

private:
    void ReportNotSent(const std::string& text);

    const WindowContext& m_context;
    std::unique_ptr<Ui::FriendAddReqDlgTemplate> m_pTemplate;
    int32_t m_nTargetID = 0;
};
