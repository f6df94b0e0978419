#include "text/StringUtility.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
