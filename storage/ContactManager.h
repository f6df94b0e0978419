#pragma once
// The signed-in user's contacts in memory (friends, strangers, blacklist): the single source of
// truth for the windows, kept in contacts.data through CContactStore. Owned by the friend
// service; reached through GetInstance(). Owns every ContactInfo.

#include "base/Singleton.h"
#include "storage/ContactInfo.h"
#include "storage/ContactListener.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace pellix {

struct FriendEntry;
struct OnlineStateEntry;

class CContactManager : public CSingleton<CContactManager> {
public:
    using ContactList = std::vector<std::unique_ptr<ContactInfo>>;

    CContactManager();
    ~CContactManager() override;

    // Lookups find the first contact with the id, in insertion order.
    ContactInfo* FindContact(int userID);
    std::string GetNickName(int userID);
    uint8_t GetOnlineState(int userID);
    bool IsInBlacklist(int userID);
    int GetFriendCount() const;
    int GetOnlineFriendCount() const;
    const ContactList& GetContacts() const { return m_Contacts; }
    int32_t GetVersion() const { return m_nVersion; }
    int32_t GetVerifyCode() const { return m_nVerifyCode; }

    void SetListener(IContactListener* listener) { m_pListener = listener; }
    // Deletes every contact; version and verify code stay.
    void Clear();
    // Appends a contact with the initial values for the caller to fill.
    ContactInfo* CreateContact();
    ContactInfo* AddOrUpdateFriend(const FriendEntry& entry);
    ContactInfo* AddOrUpdateContact(int userID, int showID, int online, uint8_t gender,
                                    const std::string& userName, const std::string& nickName,
                                    int groupID);
    void MergeFriendList(const std::vector<FriendEntry>& list);
    void ApplyOnlineStates(const std::vector<OnlineStateEntry>& list);
    void SetOnlineState(int userID, uint8_t state);
    // Every contact offline, as the next friend list would say after the connection was lost.
    void SetAllOffline();
    void RefreshListener();
    bool MoveToStrangers(int userID);
    bool MoveToBlacklist(int userID);
    // Takes the first contact with the id off the list; a stranger's or blacklisted user's
    // stored row goes too.
    void RemoveContact(int userID);

    // Storage of the list (contacts.data of the signed-in user).
    bool SaveContact(ContactInfo* contact);
    void ReloadNonFriends(bool fromStore);
    bool ReloadAllFromStore();
    void CommitFriendList(int friendCount, int version);
    bool LoadVersion();
    bool SaveFriendList();
    bool SaveVersion();

private:
    ContactInfo* FindOrAppend(int userID);
    ContactInfo* AppendContact(int userID);
    bool MoveToGroup(int userID, int32_t groupID);
    bool HasNewlyNumberedContacts() const;
    void RebuildIndex();
    void NotifyChanged(ContactInfo* contact);
    void NotifyCounts();
    void NotifyManyChanging();

    ContactList m_Contacts;
    IContactListener* m_pListener = nullptr;
    int32_t m_nVersion = -1;
    int32_t m_nVerifyCode = -1;
    // userID -> first contact with it. Rebuilt lazily when the store appended rows, when a
    // contact made by CreateContact has been given its id, or when a found contact's id changed.
    std::unordered_map<int32_t, ContactInfo*> m_Index;
    bool m_bIndexStale = false;
    // Contacts of CreateContact whose callers have not yet given them an id (-1).
    std::vector<ContactInfo*> m_Unnumbered;
};

} // namespace pellix
