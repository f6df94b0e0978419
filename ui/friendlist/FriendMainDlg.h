#pragma once
// The friend list window: three tabs (friends with online/total counts, strangers, blacklist) kept
// in step with the contact list model through IContactListener. Owned by the window manager;
// closing only hides it.

#include "skin/RgnDialog.h"
#include "storage/ContactListener.h"
#include "ui/manager/WindowContext.h"

#include <QString>

#include <cstdint>
#include <memory>

class CSkinOutBarCtrlEx;
class QLabel;
class CSkinButton;
class CSkinMenu;
namespace Ui {
class FriendMainDlgTemplate;
}

namespace pellix {

class CFriendMainDlg : public CRgnDialog, public IContactListener {
    Q_OBJECT
public:
    enum Tab { TabFriends = 0, TabStrangers = 1, TabBlacklist = 2 };

    explicit CFriendMainDlg(const WindowContext& context, QWidget* parent = nullptr);
    ~CFriendMainDlg() override;

    void OnContactsReset() override;
    void OnManyContactsChanging() override;
    void OnContactCounts(int friendCount, int onlineFriendCount) override;
    void OnContactChanged(ContactInfo* contact) override;
    void OnContactAdded(ContactInfo* contact) override;
    void OnContactRemoved(ContactInfo* contact) override;

    // The list control's notification: event 2 right-click (selects the item's user and opens
    // the context menu once control is back in the event loop), 3 double-click on item.
    int OnListNotify(int event, int item);
    // Makes the user of an item of the open tab the one the context menu acts on.
    void SelectItem(int item);
    // The context menu for the selected user: header, items of the open tab, tip check mark.
    std::unique_ptr<CSkinMenu> BuildContextMenu() const;
    // Runs a context menu command (1124 to 1134; anything else does nothing) on the selected
    // user. A command that opens a window or a box returns when it closes.
    void OnCommand(int commandID);
    // A click on the popup tip: 1 when handled (or nothing to open), -1 when the friend named by
    // the last online tip has left the contact list.
    int OnTipClicked();

    CSkinOutBarCtrlEx* ListControl() const { return m_pListCtrl; }
    CSkinButton* CloseButton() const;
    CSkinButton* OptionButton() const;
    int32_t SelectedUser() const { return m_nSelectedUser; }
    // While the friend service is not signed on, a line at the top of the list says it is
    // connecting; the list makes room for it.
    void SetConnecting(bool connecting);
    bool IsConnecting() const;

protected:
    bool OnInitDialog() override;
    void RectifyControl(int cx, int cy) override;
    void OnOK() override {}

private:
    WindowContext m_context;
    void RemoveUser(int tab, int userID);
    // Files the contact on the tab of its group, at its place there, and off the other tabs.
    void RefileContact(const ContactInfo& contact);
    void FileContact(int tab, const ContactInfo& contact);
    // The tab of a group, -1 for none.
    static int TabOfGroup(int32_t groupID);
    void OpenOptionWindow();
    void OpenContextMenu();
    // The commands that need more than a line.
    void OpenChat();
    void ToggleOnlineTips();
    void EditNoteName();
    void DeleteHistory();
    void MoveToStrangers();
    void MoveToBlacklist();
    void AddAsFriend();
    void RemoveFromBlacklist();
    void ShowFriendServiceBox(const char* utf8Text, unsigned int style, unsigned int autoClose);

    std::unique_ptr<Ui::FriendMainDlgTemplate> m_pTemplate;
    CSkinOutBarCtrlEx* m_pListCtrl = nullptr;
    QLabel* m_pConnectingLine = nullptr;
    // A refill after a reset is under way and reaches the view as one reset.
    bool m_bRefilling = false;
    int32_t m_nSelectedUser = 0;
    // What the selected item showed, the menu's header for a user the model no longer holds.
    QString m_strSelectedName;
};

} // namespace pellix
