#include "FriendTestData.h"

#include "data/SQLite/Connector.h"
#include "text/StringUtility.h"

#include <cstring>

namespace pellix {

std::string Gbk(const char* utf8) {
    return StringUtility::UTF8ToAnsi(utf8);
}

std::vector<uint8_t> IdBody(int32_t id, std::vector<uint8_t> tail) {
    return WrittenBody([&](CCommandStream& stream) {
        stream.WriteInt32(id);
        stream.Append(tail.data(), tail.size());
    });
}

FriendEntry MakeFriend(int userID, const char* utf8NickName, bool online) {
    FriendEntry entry;
    entry.userID = userID;
    entry.userName = "user" + std::to_string(userID);
    entry.nickName = Gbk(utf8NickName);
    entry.showID = 9000 + userID;
    entry.gender = static_cast<uint8_t>(userID % 2);
    entry.online = online;
    return entry;
}

std::vector<uint8_t> SignOnListBody(const std::vector<FriendEntry>& friends) {
    return WrittenBody([&](CCommandStream& stream) {
        stream.WriteInt32(1);
        stream.WriteInt32(static_cast<int32_t>(friends.size()));
        WriteList(stream, friends, WriteFriendEntry);
    });
}

SignedInProfile::SignedInProfile() {
    QxDataModule::SQLite::Connector::registerConnector();
    CopyUserInfo(m_previous, GetUserInfo());
    tagUserInfo info{};
    info.userID = kOwnID;
    const std::string nick = Gbk("我自己");
    std::memcpy(info.nickName, nick.data(), nick.size());
    std::memcpy(info.userName, "me501", 5);
    CopyUserInfo(GetUserInfo(), info);
}

SignedInProfile::~SignedInProfile() {
    CopyUserInfo(GetUserInfo(), m_previous);
}

std::string SignedInProfile::HistoryPath(int peerID) const {
    return (Path() + QStringLiteral("/Profile/%1/ChatHistory/%2.data").arg(kOwnID).arg(peerID))
        .toStdString();
}

} // namespace pellix
