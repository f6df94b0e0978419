#include "ContactManager.h"

#include "ContactStore.h"
#include "ProfilePaths.h"

#include "base/AnsiText.h"
#include "base/UserNotice.h"
#include "records/FriendRecords.h"

#include <algorithm>

namespace pellix {

namespace {

// The id a ContactInfo starts with: a contact of CreateContact that its caller has not numbered.
constexpr int32_t UNNUMBERED_ID = -1;

void ShowFriendServiceNotice(const char* utf8Text, unsigned int style) {
    ShowServiceNotice(AnsiText(utf8Text), style, 0);
}

} // namespace

CContactManager::CContactManager() = default;

CContactManager::~CContactManager() = default;

ContactInfo* CContactManager::FindContact(int userID) {
    if (m_bIndexStale || HasNewlyNumberedContacts())
        RebuildIndex();
    auto found = m_Index.find(userID);
    // A record whose id was changed through its pointer makes the index stale.
    if (found != m_Index.end() && found->second->userID != userID) {
        RebuildIndex();
        found = m_Index.find(userID);
    }
    return found == m_Index.end() ? nullptr : found->second;
}

std::string CContactManager::GetNickName(int userID) {
    const ContactInfo* contact = FindContact(userID);
    return contact != nullptr ? contact->nickName : std::string();
}

uint8_t CContactManager::GetOnlineState(int userID) {
    const ContactInfo* contact = FindContact(userID);
    return contact != nullptr ? contact->onlineState : STATE_OFFLINE;
}

bool CContactManager::IsInBlacklist(int userID) {
    const ContactInfo* contact = FindContact(userID);
    return contact != nullptr && contact->groupID == GROUP_BLACKLIST;
}

int CContactManager::GetFriendCount() const {
    return static_cast<int>(std::count_if(m_Contacts.begin(), m_Contacts.end(), [](const auto& c) {
        return c->groupID == GROUP_FRIEND;
    }));
}

int CContactManager::GetOnlineFriendCount() const {
    return static_cast<int>(std::count_if(m_Contacts.begin(), m_Contacts.end(), [](const auto& c) {
        return c->groupID == GROUP_FRIEND && c->onlineState == STATE_ONLINE;
    }));
}

void CContactManager::Clear() {
    m_Contacts.clear();
    m_Contacts.shrink_to_fit();
    m_Index.clear();
    m_Unnumbered.clear();
    m_bIndexStale = false;
}

ContactInfo* CContactManager::CreateContact() {
    ContactInfo* contact = m_Contacts.emplace_back(std::make_unique<ContactInfo>()).get();
    // Indexed once the caller has numbered it, whenever that is.
    m_Unnumbered.push_back(contact);
    m_bIndexStale = true;
    return contact;
}

bool CContactManager::HasNewlyNumberedContacts() const {
    return std::any_of(m_Unnumbered.begin(), m_Unnumbered.end(),
                       [](const ContactInfo* contact) { return contact->userID != UNNUMBERED_ID; });
}

ContactInfo* CContactManager::AppendContact(int userID) {
    ContactInfo* contact = m_Contacts.emplace_back(std::make_unique<ContactInfo>()).get();
    contact->userID = userID;
    m_Index.try_emplace(userID, contact);
    return contact;
}

ContactInfo* CContactManager::FindOrAppend(int userID) {
    ContactInfo* contact = FindContact(userID);
    return contact != nullptr ? contact : AppendContact(userID);
}

void CContactManager::RebuildIndex() {
    m_Index.clear();
    m_Index.reserve(m_Contacts.size());
    for (const auto& contact : m_Contacts)
        m_Index.try_emplace(contact->userID, contact.get());
    std::erase_if(m_Unnumbered,
                  [](const ContactInfo* contact) { return contact->userID != UNNUMBERED_ID; });
    m_bIndexStale = false;
}

void CContactManager::NotifyChanged(ContactInfo* contact) {
    if (m_pListener != nullptr)
        m_pListener->OnContactChanged(contact);
}

void CContactManager::NotifyManyChanging() {
    if (m_pListener != nullptr)
        m_pListener->OnManyContactsChanging();
}

void CContactManager::NotifyCounts() {
    if (m_pListener != nullptr)
        m_pListener->OnContactCounts(GetFriendCount(), GetOnlineFriendCount());
}

ContactInfo* CContactManager::AddOrUpdateFriend(const FriendEntry& entry) {
    ContactInfo* contact = FindOrAppend(entry.userID);
    contact->sortID = 0;
    contact->groupID = GROUP_FRIEND;
    contact->userName = entry.userName;
    contact->nickName = entry.nickName;
    contact->showID = entry.showID;
    contact->onlineState = entry.online ? STATE_ONLINE : STATE_OFFLINE;
    contact->gender = entry.gender;
    if (m_pListener != nullptr)
        m_pListener->OnContactAdded(contact);
    return contact;
}

ContactInfo* CContactManager::AddOrUpdateContact(int userID, int showID, int online, uint8_t gender,
                                                 const std::string& userName,
                                                 const std::string& nickName, int groupID) {
    ContactInfo* contact = FindOrAppend(userID);
    contact->groupID = groupID;
    contact->onlineState = online != 0 ? STATE_ONLINE : STATE_OFFLINE;
    contact->gender = gender;
    contact->userName = userName;
    contact->nickName = nickName;
    contact->showID = showID;
    if (m_pListener != nullptr)
        m_pListener->OnContactAdded(contact);
    return contact;
}

void CContactManager::MergeFriendList(const std::vector<FriendEntry>& list) {
    NotifyManyChanging();
    for (const FriendEntry& entry : list)
        AddOrUpdateFriend(entry);
    NotifyCounts();
}

void CContactManager::ApplyOnlineStates(const std::vector<OnlineStateEntry>& list) {
    NotifyManyChanging();
    for (const auto& contact : m_Contacts)
        NotifyChanged(contact.get());
    for (const OnlineStateEntry& entry : list) {
        if (ContactInfo* contact = FindContact(entry.userID)) {
            contact->onlineState = entry.state;
            NotifyChanged(contact);
        }
    }
    NotifyCounts();
}

void CContactManager::SetOnlineState(int userID, uint8_t state) {
    if (ContactInfo* contact = FindContact(userID)) {
        contact->onlineState = state;
        NotifyChanged(contact);
    }
}

void CContactManager::SetAllOffline() {
    for (const auto& contact : m_Contacts) {
        if (contact->onlineState == STATE_OFFLINE)
            continue;
        contact->onlineState = STATE_OFFLINE;
        NotifyChanged(contact.get());
    }
    NotifyCounts();
}

void CContactManager::RefreshListener() {
    if (m_pListener == nullptr)
        return;
    m_pListener->OnContactsReset();
    for (const auto& contact : m_Contacts)
        m_pListener->OnContactChanged(contact.get());
    NotifyCounts();
}

bool CContactManager::MoveToStrangers(int userID) {
    return MoveToGroup(userID, GROUP_STRANGER);
}

bool CContactManager::MoveToBlacklist(int userID) {
    return MoveToGroup(userID, GROUP_BLACKLIST);
}

bool CContactManager::MoveToGroup(int userID, int32_t groupID) {
    ContactInfo* contact = FindContact(userID);
    const bool toStrangers = groupID == GROUP_STRANGER;
    if (contact == nullptr) {
        ShowFriendServiceNotice("列表中没有这个用户...", toStrangers ? NOTICE_ERROR : NOTICE_PLAIN);
        return false;
    }
    if (contact->groupID == groupID) {
        ShowFriendServiceNotice(toStrangers ? "该好友已经在陌生人列表中..."
                                            : "该用户已经在黑名单列表中...",
                                NOTICE_ERROR);
        return false;
    }
    contact->groupID = groupID;
    SaveContact(contact);
    NotifyChanged(contact);
    NotifyCounts();
    return true;
}

void CContactManager::RemoveContact(int userID) {
    ContactInfo* contact = FindContact(userID);
    if (contact == nullptr)
        return;
    if (m_pListener != nullptr)
        m_pListener->OnContactRemoved(contact);
    // A stranger or blacklisted user taken off the list must not come back with the stored
    // rows at the next sign-on.
    if (contact->groupID != GROUP_FRIEND && ContactStoreExists())
        CContactStore(m_Contacts).DeleteNonFriend(ContactDatabasePath(), userID);
    m_Index.erase(userID);
    std::erase(m_Unnumbered, contact);
    std::erase_if(m_Contacts, [contact](const auto& c) { return c.get() == contact; });
    // A second record with the same id becomes the first.
    const auto next = std::find_if(m_Contacts.begin(), m_Contacts.end(),
                                   [userID](const auto& c) { return c->userID == userID; });
    if (next != m_Contacts.end())
        m_Index.emplace(userID, next->get());
    NotifyCounts();
}

bool CContactManager::SaveContact(ContactInfo* contact) {
    if (contact == nullptr)
        return false;
    EnsureContactProfileDirectory();
    CContactStore(m_Contacts).SaveContact(ContactDatabasePath(), *contact);
    NotifyChanged(contact);
    return true;
}

void CContactManager::ReloadNonFriends(bool fromStore) {
    if (fromStore && ContactStoreExists()) {
        EnsureContactProfileDirectory();
        CContactStore(m_Contacts).LoadNonFriends(ContactDatabasePath());
        RebuildIndex();
    }
    NotifyManyChanging();
    for (const auto& contact : m_Contacts)
        NotifyChanged(contact.get());
}

bool CContactManager::ReloadAllFromStore() {
    if (!ContactStoreExists())
        return false;
    EnsureContactProfileDirectory();
    Clear();
    CContactStore(m_Contacts).LoadAll(ContactDatabasePath());
    RebuildIndex();
    return true;
}

void CContactManager::CommitFriendList(int friendCount, int version) {
    if (GetFriendCount() != friendCount)
        return;
    m_nVersion = version;
    m_nVerifyCode = friendCount;
    if (SaveFriendList())
        SaveVersion();
}

bool CContactManager::LoadVersion() {
    EnsureContactProfileDirectory();
    return CContactStore(m_Contacts).LoadVersion(ContactDatabasePath(), m_nVersion, m_nVerifyCode);
}

bool CContactManager::SaveFriendList() {
    EnsureContactProfileDirectory();
    std::vector<ContactInfo*> withoutNote;
    for (const auto& contact : m_Contacts) {
        if (contact->noteName.empty())
            withoutNote.push_back(contact.get());
    }
    const bool saved = CContactStore(m_Contacts).SaveFriendList(ContactDatabasePath());
    // Note names taken back from the store are shown like any other change.
    for (ContactInfo* contact : withoutNote) {
        if (!contact->noteName.empty())
            NotifyChanged(contact);
    }
    return saved;
}

bool CContactManager::SaveVersion() {
    EnsureContactProfileDirectory();
    CContactStore(m_Contacts).SaveVersion(ContactDatabasePath(), m_nVersion, m_nVerifyCode);
    return true;
}

} // namespace pellix
