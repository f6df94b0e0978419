#include "ScopedWorkingDirectory.h"
#include "base/SignedInUser.h"
#include "module/FriendService.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pellix {

namespace {

tagUserInfo FilledWith(uint8_t byte) {
    tagUserInfo info;
    std::memset(&info, byte, sizeof info);
    return info;
}

} // namespace

TEST(UserInfo, ShortTextsAreZeroFilledToTheFieldEnd) {
    tagUserInfo target = FilledWith(0xEE);
    tagUserInfo source = FilledWith(0x11);
    std::memset(source.nickName, 0, sizeof source.nickName);
    std::memcpy(source.nickName, "abcde", 5);
    // Bytes after the terminator must not be copied.
    source.nickName[10] = 'z';
    CopyUserInfo(target, source);
    EXPECT_EQ(std::memcmp(target.nickName, "abcde", 5), 0);
    for (int i = 5; i < 32; ++i)
        EXPECT_EQ(target.nickName[i], 0) << i;
    EXPECT_EQ(FieldText(target.nickName), "abcde");
}

TEST(UserInfo, FullTextsStayUnterminatedAndReadersStopAtTheFieldEnd) {
    tagUserInfo target = FilledWith(0);
    tagUserInfo source = FilledWith(0);
    std::memset(source.userName, 'u', 32);
    source.hostText52[0] = 'X';
    CopyUserInfo(target, source);
    EXPECT_EQ(FieldText(target.userName), std::string(32, 'u'));
    EXPECT_EQ(target.hostText52[0], 'X');
}

TEST(UserInfo, UncopiedRangesKeepTheirValuesAndEverythingElseIsCopied) {
    tagUserInfo target = FilledWith(0xEE);
    const tagUserInfo source = FilledWith(0x41);
    CopyUserInfo(target, source);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&target);
    for (std::size_t offset = 0; offset < sizeof target; ++offset) {
        const bool uncopied = (offset >= 84 && offset < 88) || offset == 187;
        EXPECT_EQ(bytes[offset], uncopied ? 0xEE : 0x41) << offset;
    }
}

TEST(UserInfo, SetUserInfoFillsTheProcessRecordAndToken) {
    ScopedWorkingDirectory workDir;
    CFriendService service;
    tagUserInfo info = FilledWith(0);
    info.userID = 501;
    info.showID = 9501;
    info.gender = 1;
    std::memcpy(info.nickName, "\xD0\xA1\xC3\xF7", 4);
    service.SetUserInfo(info, "token-1");
    EXPECT_EQ(GetUserInfo().userID, 501);
    EXPECT_EQ(GetUserInfo().showID, 9501);
    EXPECT_EQ(GetUserInfo().gender, 1);
    EXPECT_EQ(FieldText(GetUserInfo().nickName), "\xD0\xA1\xC3\xF7");
    EXPECT_EQ(GetUserInfo().logonToken, "token-1");
}

} // namespace pellix
