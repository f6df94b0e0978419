#pragma once
// Keeps the contact list in contacts.data between sign-ins: the friend list with its version,
// and the strangers, blacklist and note names that the server does not send. Built on the stack
// by one CContactManager operation over the model's vector; each operation opens its own session.

#include "storage/ContactInfo.h"

#include "data/Session.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pellix {

class CContactStore {
public:
    using ContactList = std::vector<std::unique_ptr<ContactInfo>>;

    explicit CContactStore(ContactList& contacts);

    // Creates the tables (adding noteName to an old contact_list) and the version row (-1, -1).
    static void EnsureSchema(QxDataModule::Session& session);

    // False after a reported failure.
    bool SaveVersion(const std::string& path, int32_t version, int32_t verifyCode);
    // Version -1 when no valid list is stored (verify code -1, or the read failed).
    bool LoadVersion(const std::string& path, int32_t& version, int32_t& verifyCode);
    bool SaveContact(const std::string& path, const ContactInfo& contact);
    // Removes the stored row of one stranger or blacklisted user; friends stay, since they
    // belong to the stored list's version. False after a reported failure.
    bool DeleteNonFriend(const std::string& path, int32_t userID);
    // Replaces the stored friends by the model's contacts in one transaction, keeping stored note
    // names of contacts that have none; false (and the file unchanged) after a failure.
    bool SaveFriendList(const std::string& path);
    // Appends every stored contact to the (empty) model.
    bool LoadAll(const std::string& path);
    // Appends the stored strangers and blacklist, except users the model already holds.
    bool LoadNonFriends(const std::string& path);

private:
    void ReadRows(QxDataModule::Session& session, const char* countSql, const char* selectSql);
    void AppendScratchRows(bool skipKnownUsers);

    ContactList& m_contacts;
    std::vector<ContactInfo> m_scratch;
};

} // namespace pellix
