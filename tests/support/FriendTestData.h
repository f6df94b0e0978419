#pragma once
// What the tests of every layer build their input from: GBK texts, command bodies, friend entries
// and a signed-in user in a fresh working directory.

#include "ScopedWorkingDirectory.h"
#include "base/SignedInUser.h"
#include "client/CommandStream.h"
#include "records/FriendRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellix {

// GBK text of a UTF-8 literal.
std::string Gbk(const char* utf8);
// The little-endian bytes of a 32-bit value followed by extra bytes.
std::vector<uint8_t> IdBody(int32_t id, std::vector<uint8_t> tail = {});
// The bytes a writer puts into a command stream.
template <typename Write> std::vector<uint8_t> WrittenBody(Write write) {
    CCommandStream stream;
    write(stream);
    return {stream.SendBuffer(), stream.SendBuffer() + stream.SendSize()};
}
// A friend entry with a GBK nickname made from the given UTF-8 text.
FriendEntry MakeFriend(int userID, const char* utf8NickName, bool online);
// The body of a first sign-on's friend list: these friends, version 1.
std::vector<uint8_t> SignOnListBody(const std::vector<FriendEntry>& friends);

// User 501 ("我自己", "me501") signed in, in a fresh working directory, with the SQLite connector
// registered; the previous user comes back afterwards.
class SignedInProfile {
public:
    static constexpr int kOwnID = 501;

    SignedInProfile();
    ~SignedInProfile();
    SignedInProfile(const SignedInProfile&) = delete;
    SignedInProfile& operator=(const SignedInProfile&) = delete;

    QString Path() const { return m_workDir.Path(); }
    std::string HistoryPath(int peerID) const;

private:
    ScopedWorkingDirectory m_workDir;
    tagUserInfo m_previous{};
};

} // namespace pellix
