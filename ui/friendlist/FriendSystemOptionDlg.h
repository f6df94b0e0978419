#pragma once
// The modal friend settings window: five of the friend options as check boxes, written back and
// saved on OK. Built on the stack by the friend list window for one run.

#include "skin/RgnDialog.h"

#include <array>
#include <memory>

class CFriendOptionManager;
class CSkinCheckBox;
namespace Ui {
class FriendSystemOptionDlgTemplate;
}

class CFriendSystemOptionDlg : public CRgnDialog {
    Q_OBJECT
public:
    // Shows and saves the options of this manager; nothing to show or save without one.
    explicit CFriendSystemOptionDlg(CFriendOptionManager* options, QWidget* parent = nullptr);
    ~CFriendSystemOptionDlg() override;

    // The boxes in option order: refuse add friend, refuse online tips, close after sending,
    // refuse game invitations, friend sounds.
    std::array<CSkinCheckBox*, 5> CheckBoxes() const;

protected:
    bool OnInitDialog() override;
    void RectifyControl(int cx, int cy) override;
    void OnOK() override;

private:
    CFriendOptionManager* m_pOptions;
    std::unique_ptr<Ui::FriendSystemOptionDlgTemplate> m_pTemplate;
};
