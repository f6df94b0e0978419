#pragma once
// The friend list window: three tabs (friends with online/total counts, strangers, blacklist) kept
// in step with the contact list model through IContactListener. Owned by the window manager;
// closing only hides it.

#include "skin/RgnDialog.h"
#include "storage/ContactListener.h"

#include <cstdint>
#include <memory>

class IFriendRequests;
class CSkinOutBarCtrlEx;
class CSkinButton;
namespace Ui {
class FriendMainDlgTemplate;
}

class CFriendMainDlg : public CRgnDialog, public IContactListener {
    Q_OBJECT
public:
    enum Tab { TabFriends = 0, TabStrangers = 1, TabBlacklist = 2 };

    explicit CFriendMainDlg(IFriendRequests& service, QWidget* parent = nullptr);
    ~CFriendMainDlg() override;

    void OnContactsReset() override;
    void OnContactCounts(int friendCount, int onlineFriendCount) override;
    void OnContactChanged(ContactInfo* contact) override;
    void OnContactAdded(ContactInfo* contact) override;
    void OnContactRemoved(ContactInfo* contact) override;

    // The list control's notification: event 2 right-click, 3 double-click on item.
    int OnListNotify(int event, int item);
    // A click on the popup tip: 1 when handled (or nothing to open), -1 when the friend named by
    // the last online tip has left the contact list.
    int OnTipClicked();

    CSkinOutBarCtrlEx* ListControl() const { return m_pListCtrl; }
    CSkinButton* CloseButton() const;
    CSkinButton* OptionButton() const;
    int32_t SelectedUser() const { return m_nSelectedUser; }

protected:
    bool OnInitDialog() override;
    void RectifyControl(int cx, int cy) override;
    void OnOK() override {}

private:
    IFriendRequests& m_service;
    void RemoveUser(int tab, int userID);
    // Files the contact on the tab of its group, at its place there, and off the other tabs.
    void RefileContact(const ContactInfo& contact);
    void FileContact(int tab, const ContactInfo& contact);
    // The tab of a group, -1 for none.
    static int TabOfGroup(int32_t groupID);
    void OpenOptionWindow();

    std::unique_ptr<Ui::FriendMainDlgTemplate> m_pTemplate;
    CSkinOutBarCtrlEx* m_pListCtrl = nullptr;
    // A refill after a reset is under way and reaches the view as one reset.
    bool m_bRefilling = false;
    int32_t m_nSelectedUser = 0;
};
