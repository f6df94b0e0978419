#include "client/StringUtility.h"

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
