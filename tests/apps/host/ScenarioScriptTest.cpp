#include "ScenarioScript.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::vector<ScenarioStep> Parse(const QString& text) {
    QString error;
    auto steps = ParseScenario(text, error);
    EXPECT_TRUE(steps.has_value()) << error.toStdString();
    return steps.value_or(std::vector<ScenarioStep>{});
}

QString ParseError(const QString& text) {
    QString error;
    EXPECT_FALSE(ParseScenario(text, error).has_value());
    return error;
}

} // namespace

TEST(ScenarioScript, ReadsCommandsWithTheirLinesAndSkipsCommentsAndBlanks) {
    const auto steps = Parse(QStringLiteral("# greeting\n\n  show-friends  \nopen-chat 小 明\n"
                                            "type   你好， Bob !  \r\nsend\nscreenshot end-1\n"));
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].command, ScenarioCommand::ShowFriends);
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[1].command, ScenarioCommand::OpenChat);
    EXPECT_EQ(steps[1].argument, QStringLiteral("小 明"));
    // Inner blanks of typed text stay; the line's ends (and a CR) do not.
    EXPECT_EQ(steps[2].argument, QStringLiteral("你好， Bob !"));
    EXPECT_EQ(steps[2].source, QStringLiteral("type   你好， Bob !"));
    EXPECT_EQ(steps[3].command, ScenarioCommand::Send);
    EXPECT_EQ(steps[4].argument, QStringLiteral("end-1"));
    EXPECT_EQ(steps[4].line, 7);
}

TEST(ScenarioScript, RejectsBadLinesNamingThem) {
    EXPECT_EQ(ParseError(QStringLiteral("send\n\nwave Bob\n")),
              QStringLiteral("line 3: unknown command \"wave\""));
    EXPECT_EQ(ParseError(QStringLiteral("wait-online\n")),
              QStringLiteral("line 1: wait-online needs an argument"));
    EXPECT_EQ(ParseError(QStringLiteral("send now\n")),
              QStringLiteral("line 1: send takes no argument"));
    // A screenshot name never leaves the screenshot folder.
    EXPECT_TRUE(ParseError(QStringLiteral("screenshot ../x")).startsWith(QStringLiteral("line 1")));
    ParseError(QStringLiteral("screenshot a/b"));
    ParseError(QStringLiteral("screenshot 聊天"));
    EXPECT_EQ(ParseError(QStringLiteral("pick-emoticon two\n")),
              QStringLiteral("line 1: pick-emoticon takes a number, not \"two\""));
    ParseError(QStringLiteral("wait-emoticons -1\n"));
    ParseError(QStringLiteral("open-emoticons 3\n"));
}

TEST(ScenarioScript, ReadsTheEmoticonStepsWithTheirNumbers) {
    const auto steps =
        Parse(QStringLiteral("open-emoticons\npick-emoticon 65\nwait-emoticons 2\n"));
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].command, ScenarioCommand::OpenEmoticons);
    EXPECT_EQ(steps[1].command, ScenarioCommand::PickEmoticon);
    EXPECT_EQ(steps[1].argument, QStringLiteral("65"));
    EXPECT_EQ(steps[2].command, ScenarioCommand::WaitEmoticons);
    EXPECT_EQ(steps[2].argument, QStringLiteral("2"));
}

TEST(ScenarioScript, ReadsUtf8FilesAndNamesAMissingOne) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("s.scenario")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("wait-chat 小明\n").toUtf8());
    file.close();
    QString error;
    const auto steps = ReadScenarioFile(file.fileName(), error);
    ASSERT_TRUE(steps.has_value());
    EXPECT_EQ(steps->at(0).argument, QStringLiteral("小明"));

    EXPECT_FALSE(ReadScenarioFile(dir.filePath(QStringLiteral("none")), error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("none"))) << error.toStdString();
}

TEST(ScenarioScript, TheDemoScenariosParse) {
    for (const char* name : {"alice.scenario", "bob.scenario"}) {
        QString error;
        const auto steps = ReadScenarioFile(
            QStringLiteral(PELLIX_SCENARIO_DIR "/%1").arg(QLatin1String(name)), error);
        ASSERT_TRUE(steps.has_value()) << error.toStdString();
        EXPECT_GE(steps->size(), 5u);
    }
}

TEST(ScenarioScript, WindowStepsTakeATitleAndTheRestOfTheLine) {
    const auto steps = Parse(QStringLiteral("right-click 小 明\nchoose 修改备注姓名\n"
                                            "type-in 修改备注姓名 老同学 Bob\npress 改名 确定\n"));
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].command, ScenarioCommand::RightClick);
    EXPECT_EQ(steps[0].argument, QStringLiteral("小 明"));
    EXPECT_EQ(steps[1].command, ScenarioCommand::Choose);
    EXPECT_EQ(steps[2].command, ScenarioCommand::TypeIn);
    EXPECT_EQ(steps[2].window, QStringLiteral("修改备注姓名"));
    EXPECT_EQ(steps[2].text, QStringLiteral("老同学 Bob"));
    EXPECT_EQ(steps[3].window, QStringLiteral("改名"));
    EXPECT_EQ(steps[3].text, QStringLiteral("确定"));
    EXPECT_EQ(ParseError(QStringLiteral("press 改名\n")),
              QStringLiteral("line 1: press needs a window title and a text"));
    EXPECT_EQ(ParseError(QStringLiteral("choose\n")),
              QStringLiteral("line 1: choose needs an argument"));
}
