#include "text/StringUtility.h"

#include <gtest/gtest.h>

#include <iconv.h>
#include <string>

namespace {

// The text converted whole by iconv itself; empty when iconv fails on any of it.
std::string IconvWhole(const char* to, const char* from, std::string text) {
    const iconv_t cd = iconv_open(to, from);
    std::string out(text.size() * 4 + 4, '\0');
    char* src = text.data();
    std::size_t srcLeft = text.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    const bool whole = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return whole ? out : std::string();
}

// "好友" in GBK and in UTF-8.
const std::string kFriendGbk = "\xBA\xC3\xD3\xD1";
const std::string kFriendUtf8 = "\xE5\xA5\xBD\xE5\x8F\x8B";

} // namespace

TEST(StringUtility, ChineseTextRoundTripsBetweenGbkAndUtf8) {
    EXPECT_EQ(StringUtility::AnsiToUTF8(kFriendGbk), kFriendUtf8);
    EXPECT_EQ(StringUtility::UTF8ToAnsi(kFriendUtf8), kFriendGbk);
    const std::string mixed = "id 42: " + kFriendGbk + " ok";
    EXPECT_EQ(StringUtility::UTF8ToAnsi(StringUtility::AnsiToUTF8(mixed)), mixed);
    EXPECT_EQ(StringUtility::AnsiToUTF8("plain ascii"), "plain ascii");
    EXPECT_EQ(StringUtility::AnsiToUTF8(""), "");
}

// Every two-byte code between ASCII, both ways, as iconv converts it.
TEST(StringUtility, EveryTwoByteCharacterConvertsAsIconvDoes) {
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string gbk = {'a', static_cast<char>(lead), static_cast<char>(trail), 'b'};
            const std::string utf8 = IconvWhole("UTF-8", "GBK", gbk);
            if (utf8.empty())
                continue;
            ++characters;
            ASSERT_EQ(StringUtility::AnsiToUTF8(gbk), utf8) << lead << ' ' << trail;
            ASSERT_EQ(StringUtility::UTF8ToAnsi(utf8), IconvWhole("GBK", "UTF-8", utf8))
                << lead << ' ' << trail;
        }
    }
    EXPECT_GT(characters, 20000);
}

TEST(StringUtility, InvalidGbkBytesAreReplacedAndTheRestKept) {
    // 0xFF never starts a GBK character; 0xBA at the end lacks its second byte.
    const std::string bad = "a\xFF" + kFriendGbk + "b\xBA";
    EXPECT_EQ(StringUtility::AnsiToUTF8(bad), "a\xEF\xBF\xBD" + kFriendUtf8 + "b\xEF\xBF\xBD");
}

TEST(StringUtility, TextGbkCannotHoldBecomesQuestionMarks) {
    // An emoji and a lone continuation byte between Chinese characters.
    const std::string utf8 = kFriendUtf8 + "\xF0\x9F\x98\x80" + "x\x80y" + kFriendUtf8;
    EXPECT_EQ(StringUtility::UTF8ToAnsi(utf8), kFriendGbk + "?x?y" + kFriendGbk);
    // A sequence cut at the end of the text.
    EXPECT_EQ(StringUtility::UTF8ToAnsi("ab\xE5\xA5"), "ab?");
    // A run of one unencodable character, then a lead byte whose twin right after it starts a
    // good character.
    const std::string emoji = "\xF0\x9F\x98\x80";
    EXPECT_EQ(StringUtility::UTF8ToAnsi(emoji + emoji + emoji + "\xE5" + kFriendUtf8),
              "????" + kFriendGbk);
}

// Conversion time must not grow with the square of the bad bytes: at that rate these 4 MiB texts
// would take hours and the test would run into its time limit.
TEST(StringUtility, LongTextsMadeOfBadUnitsConvertWholeWithEveryUnitReplaced) {
    constexpr std::size_t kUnits = 4 * 1024 * 1024;
    const std::string notGbk(kUnits, '\xFF');
    const std::string utf8 = StringUtility::AnsiToUTF8(notGbk);
    ASSERT_EQ(utf8.size(), kUnits * 3);
    EXPECT_EQ(utf8.find_first_not_of("\xEF\xBF\xBD"), std::string::npos);

    // U+FFFD has no GBK form: what the first conversion made of bad bytes comes back as '?'.
    EXPECT_EQ(StringUtility::UTF8ToAnsi(utf8), std::string(kUnits, '?'));
    // Bad units among good ones: every good character is kept, in place.
    std::string mixed;
    for (std::size_t i = 0; i < kUnits / 8; ++i)
        mixed += kFriendUtf8 + "\x80";
    std::string expected;
    for (std::size_t i = 0; i < kUnits / 8; ++i)
        expected += kFriendGbk + "?";
    EXPECT_EQ(StringUtility::UTF8ToAnsi(mixed), expected);
}

TEST(StringUtility, QtBoundaryKeepsChinese) {
    const QString text = StringUtility::AnsiToQString(kFriendGbk);
    EXPECT_EQ(text, QString::fromUtf8("好友"));
    EXPECT_EQ(StringUtility::QStringToAnsi(QString::fromUtf8("我的好友(1/2)")),
              "\xCE\xD2\xB5\xC4" + kFriendGbk + "(1/2)");
}

TEST(StringUtility, IdsAreWrittenAsUnsignedDecimal) {
    EXPECT_EQ(StringUtility::toString(501u), "501");
    EXPECT_EQ(StringUtility::toString(static_cast<unsigned int>(-1)), "4294967295");
}
