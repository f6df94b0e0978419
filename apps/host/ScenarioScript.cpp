#include "ScenarioScript.h"

#include <QFile>
#include <QRegularExpression>

#include <array>
#include <utility>

namespace {

enum class Argument { None, Text, FileName, Number, WindowAndText };

struct CommandSpec {
    const char* name;
    ScenarioCommand command;
    Argument argument;
};

constexpr std::array kCommands = {
    CommandSpec{"wait-window", ScenarioCommand::WaitWindow, Argument::Text},
    CommandSpec{"show-friends", ScenarioCommand::ShowFriends, Argument::None},
    CommandSpec{"wait-friend", ScenarioCommand::WaitFriend, Argument::Text},
    CommandSpec{"wait-online", ScenarioCommand::WaitOnline, Argument::Text},
    CommandSpec{"wait-offline", ScenarioCommand::WaitOffline, Argument::Text},
    CommandSpec{"wait-tip", ScenarioCommand::WaitTip, Argument::None},
    CommandSpec{"open-chat", ScenarioCommand::OpenChat, Argument::Text},
    CommandSpec{"wait-chat", ScenarioCommand::WaitChat, Argument::Text},
    CommandSpec{"type", ScenarioCommand::Type, Argument::Text},
    CommandSpec{"send", ScenarioCommand::Send, Argument::None},
    CommandSpec{"open-emoticons", ScenarioCommand::OpenEmoticons, Argument::None},
    CommandSpec{"pick-emoticon", ScenarioCommand::PickEmoticon, Argument::Number},
    CommandSpec{"wait-emoticons", ScenarioCommand::WaitEmoticons, Argument::Number},
    CommandSpec{"wait-message", ScenarioCommand::WaitMessage, Argument::Text},
    CommandSpec{"open-history", ScenarioCommand::OpenHistory, Argument::None},
    CommandSpec{"close-history", ScenarioCommand::CloseHistory, Argument::None},
    CommandSpec{"right-click", ScenarioCommand::RightClick, Argument::Text},
    CommandSpec{"choose", ScenarioCommand::Choose, Argument::Text},
    CommandSpec{"type-in", ScenarioCommand::TypeIn, Argument::WindowAndText},
    CommandSpec{"press", ScenarioCommand::Press, Argument::WindowAndText},
    CommandSpec{"wait-text", ScenarioCommand::WaitText, Argument::WindowAndText},
    CommandSpec{"screenshot", ScenarioCommand::Screenshot, Argument::FileName},
    CommandSpec{"print-memory", ScenarioCommand::PrintMemory, Argument::None},
    CommandSpec{"quit", ScenarioCommand::Quit, Argument::None},
};

// The first word of text and the rest, trimmed; the rest is empty when there is one word.
std::pair<QString, QString> SplitFirstWord(const QString& text) {
    const qsizetype blank = text.indexOf(QRegularExpression(QStringLiteral("\\s")));
    if (blank < 0)
        return {text, QString()};
    return {text.left(blank), text.mid(blank).trimmed()};
}

const CommandSpec* FindCommand(const QString& word) {
    for (const CommandSpec& entry : kCommands) {
        if (word == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

// Screenshot names become file names: no separators, nothing a shell would trip over.
bool IsPlainFileName(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]*$"));
    return plain.match(name).hasMatch();
}

bool IsCount(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,4}$"));
    return digits.match(text).hasMatch();
}

QString CheckArgument(const CommandSpec& entry, const QString& argument) {
    if (entry.argument == Argument::None && !argument.isEmpty())
        return QStringLiteral("%1 takes no argument").arg(QLatin1String(entry.name));
    if (entry.argument != Argument::None && argument.isEmpty())
        return QStringLiteral("%1 needs an argument").arg(QLatin1String(entry.name));
    if (entry.argument == Argument::WindowAndText && SplitFirstWord(argument).second.isEmpty())
        return QStringLiteral("%1 needs a window title and a text").arg(QLatin1String(entry.name));
    if (entry.argument == Argument::FileName && !IsPlainFileName(argument))
        return QStringLiteral("screenshot name \"%1\" may hold only letters, digits, . _ -")
            .arg(argument);
    if (entry.argument == Argument::Number && !IsCount(argument))
        return QStringLiteral("%1 takes a number, not \"%2\"")
            .arg(QLatin1String(entry.name), argument);
    return {};
}

} // namespace

std::optional<std::vector<ScenarioStep>> ParseScenario(const QString& text, QString& error) {
    std::vector<ScenarioStep> steps;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int index = 0; index < lines.size(); ++index) {
        const QString source = lines[index].trimmed();
        if (source.isEmpty() || source.startsWith(QLatin1Char('#')))
            continue;
        const auto [word, argument] = SplitFirstWord(source);
        const CommandSpec* entry = FindCommand(word);
        QString problem = entry == nullptr ? QStringLiteral("unknown command \"%1\"").arg(word)
                                           : CheckArgument(*entry, argument);
        if (!problem.isEmpty()) {
            error = QStringLiteral("line %1: %2").arg(index + 1).arg(problem);
            return std::nullopt;
        }
        const auto [window, text] = entry->argument == Argument::WindowAndText
                                        ? SplitFirstWord(argument)
                                        : std::pair<QString, QString>();
        steps.push_back({index + 1, entry->command, argument, window, text, source});
    }
    return steps;
}

std::optional<std::vector<ScenarioStep>> ReadScenarioFile(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QString parseError;
    auto steps = ParseScenario(QString::fromUtf8(file.readAll()), parseError);
    if (!steps)
        error = QStringLiteral("%1: %2").arg(path, parseError);
    return steps;
}
