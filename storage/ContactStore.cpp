#include "ContactStore.h"

#include "DatabaseAccess.h"
#include "RecordColumns.h"

#include "data/Binding.h"
#include "data/Extraction.h"
#include "data/Statement.h"
#include "text/StringUtility.h"

#include <unordered_map>
#include <unordered_set>

namespace pellix {

using namespace QxDataModule;

namespace {

void ConvertTextsToAnsi(ContactInfo& contact) {
    contact.userName = StringUtility::UTF8ToAnsi(contact.userName);
    contact.nickName = StringUtility::UTF8ToAnsi(contact.nickName);
    contact.noteName = StringUtility::UTF8ToAnsi(contact.noteName);
}

// Marks a contact whose texts are UTF-8 already, as read from the file.
struct TextsAsStored {};

// The eight columns of contact_list, texts in UTF-8, ready to bind.
struct ContactRow {
    ContactRow() = default;
    explicit ContactRow(const ContactInfo& contact) { Take(contact); }
    ContactRow(const ContactInfo& stored, TextsAsStored)
        : userID(stored.userID), showID(stored.showID), sortID(stored.sortID),
          groupID(stored.groupID), gender(stored.gender), userName(stored.userName),
          nickName(stored.nickName), noteName(stored.noteName) {}
    bool operator==(const ContactRow&) const = default;

    void Take(const ContactInfo& contact) {
        userID = contact.userID;
        showID = contact.showID;
        sortID = contact.sortID;
        groupID = contact.groupID;
        gender = contact.gender;
        userName = StringUtility::AnsiToUTF8(contact.userName);
        nickName = StringUtility::AnsiToUTF8(contact.nickName);
        noteName = StringUtility::AnsiToUTF8(contact.noteName);
    }
    // Binds the columns by reference: the statement writes whatever the row holds when it runs.
    void BindTo(Statement& statement, const char* sql) const {
        statement << sql, use(userID), use(showID), use(sortID), use(groupID), use(gender),
            use(userName), use(nickName), use(noteName);
    }
    void Write(Session& session, const char* sql) const {
        Statement statement(session);
        BindTo(statement, sql);
        statement.execute();
    }

    int32_t userID = 0, showID = 0, sortID = 0, groupID = 0;
    uint8_t gender = 0;
    std::string userName, nickName, noteName;
};

int32_t CountRows(Session& session, const char* sql) {
    int32_t count = 0;
    session << sql, into(count), now;
    return count;
}

} // namespace

CContactStore::CContactStore(ContactList& contacts) : m_contacts(contacts) {}

void CContactStore::EnsureSchema(Session& session) {
    session << "CREATE TABLE IF NOT EXISTS [contact_list] (userID INTEGER PRIMARY KEY NOT NULL, "
               "showID INTEGER default 0, sortID INTEGER default 0, groupID INTEGER default 0, "
               "gender INTEGER default 0, userName VARCHAR(32), nickName VARCHAR(32), noteName "
               "VARCHAR(32) )",
        now;
    try {
        // Tables made before note names existed gain the column; on a current table it fails.
        session << "ALTER TABLE [contact_list] ADD COLUMN noteName VARCHAR(32) NOT NULL DEFAULT ''",
            now;
    } catch (const QxBaseModule::Exception&) {
    }
    session << "CREATE TABLE IF NOT EXISTS [contact_version] (Version INTEGER PRIMARY KEY default "
               "0, VerifyCode INTEGER default 0)",
        now;
    if (CountRows(session, "SELECT COUNT(*) FROM [contact_version]") < 1) {
        const int32_t version = -1;
        const int32_t verifyCode = -1;
        session << "INSERT INTO [contact_version] VALUES( :Version, :VerifyCode )", use(version),
            use(verifyCode), now;
    }
}

bool CContactStore::SaveVersion(const std::string& path, int32_t version, int32_t verifyCode) {
    return WithDatabase(path, [&](Session& session) {
        EnsureSchema(session);
        Transaction transaction(session);
        session << "UPDATE [contact_version] SET [Version] = ?", use(version), now;
        session << "UPDATE [contact_version] SET [VerifyCode] = ?", use(verifyCode), now;
        transaction.commit();
    });
}

bool CContactStore::LoadVersion(const std::string& path, int32_t& version, int32_t& verifyCode) {
    // Whatever was held before belongs to an earlier sign-in; a failed read must not send it.
    version = -1;
    verifyCode = -1;
    WithDatabase(path, [&](Session& session) {
        EnsureSchema(session);
        Statement select(session);
        select << "SELECT [contact_version].* FROM [contact_version]", into(version, -1),
            into(verifyCode, -1), Limit(1, false, false);
        select.execute();
    });
    if (verifyCode == -1)
        version = -1;
    return true;
}

bool CContactStore::SaveContact(const std::string& path, const ContactInfo& contact) {
    WithDatabase(path, [&](Session& session) {
        EnsureSchema(session);
        ContactRow(contact).Write(session,
                                  "REPLACE INTO [contact_list] (userID, showID, sortID, groupID, "
                                  "gender, userName, nickName, noteName) VALUES (?,?,?,?,?,?,?,?)");
    });
    return true;
}

bool CContactStore::DeleteNonFriend(const std::string& path, int32_t userID) {
    return WithDatabase(path, [&](Session& session) {
        EnsureSchema(session);
        const int32_t friendGroup = GROUP_FRIEND;
        session << "DELETE FROM [contact_list] WHERE userID = ? AND groupID != ?", use(userID),
            use(friendGroup), now;
    });
}

void CContactStore::ReadRows(Session& session, const char* countSql, const char* selectSql) {
    const int32_t count = CountRows(session, countSql);
    m_scratch.clear();
    if (count > 0)
        m_scratch.reserve(static_cast<std::size_t>(count));
    Statement select(session);
    select << selectSql, intoRecords(m_scratch);
    select.execute();
}

bool CContactStore::SaveFriendList(const std::string& path) {
    return WithDatabase(path, [&](Session& session) {
        EnsureSchema(session);
        // The stored rows (user ids are the key): the note names the download does not carry,
        // and what is stored already, which a list downloaded again mostly is.
        ReadRows(session, "SELECT COUNT(*) FROM [contact_list]",
                 "SELECT [contact_list].* FROM [contact_list]");
        std::unordered_map<int32_t, const std::string*> notes;
        std::unordered_map<int32_t, ContactRow> current;
        for (const ContactInfo& stored : m_scratch) {
            notes.try_emplace(stored.userID, &stored.noteName);
            current.try_emplace(stored.userID, stored, TextsAsStored{});
        }

        // The rows the list replaces: every friend row, and a row for every contact. Only what
        // differs is written, in one transaction, so that a failed save leaves the stored list
        // exactly as it was.
        Transaction transaction(session);
        std::unordered_set<int32_t> listed;
        for (const auto& contact : m_contacts)
            listed.insert(contact->userID);
        int32_t gone = 0;
        Statement remove(session);
        remove << "DELETE FROM [contact_list] WHERE userID = ?", use(gone);
        for (const auto& [userID, stored] : current) {
            if (stored.groupID == GROUP_FRIEND && !listed.contains(userID)) {
                gone = userID;
                remove.execute();
            }
        }
        ContactRow row;
        Statement replace(session);
        row.BindTo(replace, "REPLACE INTO [contact_list] VALUES (?,?,?,?,?,?,?,?)");
        for (const auto& contact : m_contacts) {
            row.Take(*contact);
            const auto found =
                contact->noteName.empty() ? notes.find(contact->userID) : notes.end();
            if (found != notes.end()) {
                row.noteName = *found->second;
                contact->noteName = StringUtility::UTF8ToAnsi(row.noteName);
            }
            const auto stored = current.find(row.userID);
            if (stored != current.end() && stored->second == row)
                continue;
            replace.execute();
            current.insert_or_assign(row.userID, row);
        }
        transaction.commit();
    });
}

void CContactStore::AppendScratchRows(bool skipKnownUsers) {
    std::unordered_set<int32_t> known;
    if (skipKnownUsers) {
        for (const auto& contact : m_contacts)
            known.insert(contact->userID);
    }
    m_contacts.reserve(m_contacts.size() + m_scratch.size());
    for (ContactInfo& row : m_scratch) {
        if (known.contains(row.userID))
            continue;
        ConvertTextsToAnsi(row);
        row.onlineState = STATE_OFFLINE;
        m_contacts.push_back(std::make_unique<ContactInfo>(row));
    }
}

bool CContactStore::LoadAll(const std::string& path) {
    WithDatabase(path, [&](Session& session) {
        EnsureSchema(session);
        m_contacts.clear();
        m_contacts.shrink_to_fit();
        ReadRows(session, "SELECT COUNT(*) FROM [contact_list]",
                 "SELECT [contact_list].* FROM [contact_list]");
        AppendScratchRows(false);
    });
    return true;
}

bool CContactStore::LoadNonFriends(const std::string& path) {
    WithDatabase(path, [&](Session& session) {
        EnsureSchema(session);
        ReadRows(session, "SELECT COUNT(*) FROM [contact_list] WHERE groupID != 2",
                 "SELECT [contact_list].* FROM [contact_list] WHERE groupID != 2");
        AppendScratchRows(true);
    });
    return true;
}

} // namespace pellix
