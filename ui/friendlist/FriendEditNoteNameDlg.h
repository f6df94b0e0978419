#pragma once
// The modal "修改备注姓名" window: one box for the note name the user gives a contact, kept only on
// this computer. Made by the friend list window for one run, with no parent window.

#include "skin/RgnDialog.h"

#include <QFont>

#include <memory>
#include <string>

class CSkinButton;
class CSkinEdit;
namespace Ui {
class FriendEditNoteNameDlgTemplate;
}

namespace pellix {

class CFriendEditNoteNameDlg : public CRgnDialog {
    Q_OBJECT
public:
    // The prompt is drawn with promptFont, the friend service's shared font.
    explicit CFriendEditNoteNameDlg(const QFont& promptFont, QWidget* parent = nullptr);
    ~CFriendEditNoteNameDlg() override;

    // GBK. Set before the run; after it, what the user confirmed with OK (unchanged otherwise).
    void SetNoteName(const std::string& noteName);
    const std::string& GetNoteName() const { return m_strNoteName; }

    CSkinEdit* NoteNameEdit() const;
    CSkinButton* OkButton() const;
    CSkinButton* CancelButton() const;

protected:
    bool OnInitDialog() override;
    void RectifyControl(int cx, int cy) override;
    void DrawView(QPainter& painter) override;
    void OnOK() override;
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::FriendEditNoteNameDlgTemplate> m_pTemplate;
    QFont m_promptFont;
    std::string m_strNoteName;
};

} // namespace pellix
