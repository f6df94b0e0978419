#include "SignedInUser.h"

#include <algorithm>
#include <cstring>

namespace pellix {

SignedInUser& GetUserInfo() {
    static SignedInUser user{};
    return user;
}

namespace {

void CopyText(char (&target)[32], const char (&source)[32]) {
    const auto* end = std::find(source, source + 32, '\0');
    const auto length = static_cast<std::size_t>(end - source);
    std::memcpy(target, source, length);
    std::memset(target + length, 0, 32 - length);
}

template <typename T, std::size_t N> void CopyArray(T (&target)[N], const T (&source)[N]) {
    std::copy(source, source + N, target);
}

} // namespace

void CopyUserInfo(tagUserInfo& target, const tagUserInfo& source) {
    target.hostWord0 = source.hostWord0;
    target.gender = source.gender;
    target.hostByte3 = source.hostByte3;
    target.userID = source.userID;
    CopyArray(target.hostInts8, source.hostInts8);
    CopyText(target.userName, source.userName);
    CopyText(target.hostText52, source.hostText52);
    CopyArray(target.hostInts88, source.hostInts88);
    CopyArray(target.hostWords116, source.hostWords116);
    target.hostByte122 = source.hostByte122;
    CopyText(target.nickName, source.nickName);
    CopyText(target.hostText155, source.hostText155);
    target.host188 = source.host188;
    target.showID = source.showID;
    CopyArray(target.hostInts196, source.hostInts196);
    target.host208 = source.host208;
    target.host212 = source.host212;
}

std::string FieldText(const char (&field)[32]) {
    return std::string(field, std::find(field, field + 32, '\0'));
}

} // namespace pellix
