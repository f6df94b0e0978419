// Reading display markup: only a well-formed colour tag at the start colours a line, and only
// known emoticon codes are cut out of the text.

#include "DisplayMarkup.h"
#include "EmotionTable.h"
#include "kivra/IEmotionSelector.h"
#include "text/StringUtility.h"

#include <QSet>
#include <gtest/gtest.h>

using DisplayMarkup::Parse;
using DisplayMarkup::Split;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(DisplayMarkup, AWellFormedTagGivesTheColourAndTheRestIsText) {
    const DisplayMarkup::Line line = Parse(U("/<c=#FF8000>/<c=#00FF00>x<b>粗</b>"));
    EXPECT_EQ(line.color, QColor(0xFF, 0x80, 0x00));
    EXPECT_EQ(line.content, U("/<c=#00FF00>x<b>粗</b>"));
    EXPECT_EQ(Parse(U("/<c=#a0b0c0>")).color, QColor(0xA0, 0xB0, 0xC0));
    EXPECT_EQ(Parse(U("/<c=#a0b0c0>")).content, QString());
}

TEST(DisplayMarkup, ALineWithoutAValidTagIsShownWholeInBlack) {
    const char* lines[] = {"",
                           "plain",
                           "/<c=red>x",
                           "/<c=#FFF>x",
                           "/<c=#FF00GG>x",
                           "/<c=#FF0000 x",
                           "/<c=#FF00000>x",
                           " /<c=#FF0000>x",
                           "/<C=#FF0000>x",
                           "/<c=#+F0000>x"};
    for (const char* text : lines) {
        const DisplayMarkup::Line line = Parse(U(text));
        EXPECT_EQ(line.color, QColor(Qt::black)) << text;
        EXPECT_EQ(line.content, U(text)) << text;
    }
}

TEST(DisplayMarkup, KnownCodesBecomeEmoticonsAndEverythingElseStaysText) {
    const auto pieces = Split(U("你好[微笑]和[骰子]!"), true);
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(pieces[0].text, U("你好"));
    EXPECT_EQ(pieces[1].emotion, 0);
    EXPECT_EQ(pieces[1].text, U("[微笑]"));
    EXPECT_EQ(pieces[2].text, U("和"));
    EXPECT_EQ(pieces[3].emotion, EmotionTable::FindCode(U("[骰子]")));
    EXPECT_EQ(pieces[4].text, U("!"));

    for (const char* text : {"[笑笑]", "[微笑", "微笑]", "[]", "[[]]", "[ 微笑]", "[微笑 ]"}) {
        const auto kept = Split(U(text), true);
        ASSERT_EQ(kept.size(), 1u) << text;
        EXPECT_EQ(kept[0].emotion, -1) << text;
        EXPECT_EQ(kept[0].text, U(text)) << text;
    }
}

TEST(DisplayMarkup, ACodeRightAfterABracketOrAnotherCodeIsFound) {
    const auto pieces = Split(U("[[微笑][微笑]]"), true);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0].text, U("["));
    EXPECT_EQ(pieces[1].emotion, 0);
    EXPECT_EQ(pieces[2].emotion, 0);
    EXPECT_EQ(pieces[3].text, U("]"));
}

TEST(DisplayMarkup, TextOnlyLinesKeepTheirCodesAndLineBreaksStayInTheParagraph) {
    const auto textOnly = Split(U("[微笑]"), false);
    ASSERT_EQ(textOnly.size(), 1u);
    EXPECT_EQ(textOnly[0].emotion, -1);

    const auto broken = Split(U("a\r\nb\rc\nd"), true);
    ASSERT_EQ(broken.size(), 1u);
    const QChar separator(QChar::LineSeparator);
    EXPECT_EQ(broken[0].text,
              U("a") + separator + U("b") + separator + U("c") + separator + U("d"));
}

TEST(DisplayMarkup, ALineOfBracketsIsAllText) {
    const QString brackets(60000, QLatin1Char('['));
    const auto pieces = Split(brackets + U("[微笑]"), true);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].text, brackets);
    EXPECT_EQ(pieces[1].emotion, 0);
}

TEST(EmotionTable, NinetySixDistinctCodesThatGbkCarriesAndTheParserCanDelimit) {
    ASSERT_GE(EmotionTable::Count(), 96);
    ASSERT_GT(EmotionTable::Count(), EMOTION_FREE_COUNT);
    QSet<QString> codes;
    for (int i = 0; i < EmotionTable::Count(); ++i) {
        const QString name = QString::fromUtf8(EmotionTable::At(i).name);
        const QString code = EmotionTable::Code(i);
        EXPECT_FALSE(name.isEmpty()) << i;
        EXPECT_FALSE(name.contains(QLatin1Char('[')) || name.contains(QLatin1Char(']'))) << i;
        EXPECT_EQ(code, QLatin1Char('[') + name + QLatin1Char(']'));
        EXPECT_EQ(StringUtility::AnsiToQString(StringUtility::QStringToAnsi(code)), code) << i;
        EXPECT_EQ(EmotionTable::FindCode(code), i);
        EXPECT_LE(code.size(), EmotionTable::LongestCode());
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), EmotionTable::Count());
    EXPECT_EQ(EmotionTable::ImagePath(7), U("data/Emotion/007.png"));
}
