#pragma once
// A scenario: the user actions a demo host plays against the friend windows, one per line of a
// small text file. Parsed before the host signs on; the player owns the steps.

#include <QString>

#include <optional>
#include <vector>

enum class ScenarioCommand {
    WaitWindow,    // wait-window TITLE: a visible window with that title
    ShowFriends,   // show-friends: the host's friend-list button, until the list is visible
    WaitFriend,    // wait-friend NAME: the friend list shows NAME
    WaitOnline,    // wait-online NAME: ... shows NAME online
    WaitOffline,   // wait-offline NAME: ... shows NAME offline
    WaitTip,       // wait-tip: a popup tip has risen fully
    OpenChat,      // open-chat NAME: double-click NAME in the list, until the chat is visible
    WaitChat,      // wait-chat NAME: the chat with NAME is visible (opened by the other side)
    Type,          // type TEXT: typed into the current chat's input box
    Send,          // send: a click on the current chat's send button
    OpenEmoticons, // open-emoticons: the current chat's emoticon button, until the picker shows
    PickEmoticon,  // pick-emoticon INDEX: a click on that cell of the picker shown
    WaitEmoticons, // wait-emoticons COUNT: the current chat's view shows at least COUNT pictures
    WaitMessage,   // wait-message TEXT: the current chat's view shows TEXT
    OpenHistory,   // open-history: the current chat's history button, until the history shows
    CloseHistory,  // close-history: the history window's close button, until it is gone
    RightClick,    // right-click NAME: right-click NAME in the list, until a menu is shown
    Choose,        // choose TEXT: a click on the item TEXT of the menu shown
    TypeIn,        // type-in TITLE TEXT: TEXT typed into the text box of the window TITLE
    Press,         // press TITLE BUTTON: a click on the button BUTTON of the window TITLE
    WaitText,      // wait-text TITLE TEXT: a text view of the window TITLE shows TEXT
    Screenshot,    // screenshot NAME: every visible window and menu to NAME-<window>.png
    PrintMemory,   // print-memory: the resident memory of this host, in kB
    Quit,          // quit: ends the scenario here
};

struct ScenarioStep {
    int line = 0;
    ScenarioCommand command = ScenarioCommand::Quit;
    QString argument;
    // For type-in, press and wait-text: the window's title (the argument's first word) and the
    // rest.
    QString window;
    QString text;
    // The line as written, trimmed, for messages.
    QString source;
};

// Parses a whole script; blank lines and lines starting with # are skipped. On a bad line
// returns nothing and sets error to "line N: ...".
std::optional<std::vector<ScenarioStep>> ParseScenario(const QString& text, QString& error);
// Reads a UTF-8 script file and parses it.
std::optional<std::vector<ScenarioStep>> ReadScenarioFile(const QString& path, QString& error);
