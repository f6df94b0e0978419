// The friend list's rows after thousands of random changes of the model, against a plain
// reference: every change re-files its contact on the tab of its group, online friends at the
// top and everyone else at the end; a reset files every contact again in the model's order.

#include "WindowFixture.h"
#include "skin/SkinOutBarCtrlEx.h"
#include "storage/ContactManager.h"
#include "ui/friendlist/FriendMainDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace pellix {

namespace {

using Rows = std::array<std::vector<int>, 3>;

class FriendListOrder : public WindowFixture {
protected:
    CContactManager& Contacts() { return m_contacts; }
    CSkinOutBarCtrlEx& List() { return *m_windows.GetMainWindow()->ListControl(); }

    static int TabOf(const ContactInfo& contact) {
        switch (contact.groupID) {
        case GROUP_FRIEND:
            return 0;
        case GROUP_STRANGER:
            return 1;
        case GROUP_BLACKLIST:
            return 2;
        default:
            return -1;
        }
    }

    void Refile(int userID) {
        for (auto& tab : m_reference)
            std::erase(tab, userID);
        const ContactInfo* contact = Contacts().FindContact(userID);
        if (contact == nullptr)
            return;
        const int tab = TabOf(*contact);
        if (tab < 0)
            return;
        const bool onTop = tab == 0 && (contact->onlineState & STATE_ONLINE) != 0;
        auto& rows = m_reference[static_cast<std::size_t>(tab)];
        rows.insert(onTop ? rows.begin() : rows.end(), userID);
    }

    void ResetReference() {
        for (auto& tab : m_reference)
            tab.clear();
        for (const auto& contact : Contacts().GetContacts())
            Refile(contact->userID);
    }

    Rows Shown() {
        Rows shown;
        for (int tab = 0; tab < 3; ++tab) {
            for (int row = 0; row < List().GetItemCount(tab); ++row)
                shown[static_cast<std::size_t>(tab)].push_back(List().GetItemUserData(tab, row));
        }
        return shown;
    }

    Rows m_reference;
};

} // namespace

TEST_F(FriendListOrder, RandomChangesKeepTheRowsOfAPlainReference) {
    std::vector<FriendEntry> friends;
    for (int id = 1000; id < 1150; ++id)
        friends.push_back(Friend(id, "友", id % 3 == 0));
    SignOnWith(friends);
    m_windows.ShowMainWindow(false);
    ResetReference();
    ASSERT_EQ(Shown(), m_reference);

    std::mt19937 random(20261208);
    auto anyID = [&] { return 1000 + static_cast<int>(random() % 170); };
    int nextStranger = 2000;
    for (int step = 0; step < 3000; ++step) {
        const int userID = anyID();
        switch (random() % 10) {
        case 0:
        case 1:
        case 2:
        case 3:
            Contacts().SetOnlineState(userID, random() % 2 == 0 ? STATE_ONLINE : STATE_OFFLINE);
            Refile(userID);
            break;
        case 4:
            if (ContactInfo* contact = Contacts().FindContact(userID)) {
                contact->noteName = random() % 2 == 0 ? Gbk("备注") : std::string();
                Contacts().SaveContact(contact);
                Refile(userID);
            }
            break;
        case 5:
            if (Contacts().FindContact(userID) != nullptr &&
                (random() % 2 == 0 ? Contacts().MoveToStrangers(userID)
                                   : Contacts().MoveToBlacklist(userID)))
                Refile(userID);
            break;
        case 6:
            Contacts().RemoveContact(userID);
            Refile(userID);
            break;
        case 7:
            Contacts().AddOrUpdateContact(nextStranger, 1, static_cast<int>(random() % 2), 0, "s",
                                          Gbk("路人"), GROUP_STRANGER);
            Refile(nextStranger++);
            break;
        case 8:
            Contacts().AddOrUpdateFriend(Friend(userID, "回来", random() % 2 == 0));
            Refile(userID);
            break;
        default:
            // A reset in the middle of the changes, as a refresh of the whole list.
            Contacts().RefreshListener();
            ResetReference();
            break;
        }
        ASSERT_EQ(Shown(), m_reference) << "after step " << step;
        if (step % 97 == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(), m_reference);
    const QString caption = QStringLiteral("我的好友(%1/%2)")
                                .arg(Contacts().GetOnlineFriendCount())
                                .arg(Contacts().GetFriendCount());
    Contacts().RefreshListener();
    EXPECT_EQ(List().GetTabText(0), caption);
}

} // namespace pellix
