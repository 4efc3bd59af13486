#pragma once

#include <QString>

namespace vell {

// Action text: each action of a button is one line of a small command
// language. "ObjShow t \"Name\"" shows (t) or hides (any other flag) the
// object named Name; "echo \"text\"" displays a message to all players.

// The characters before the first space; the whole line without one.
QString FirstWord(const QString &line);
// Word n (from 0): spaces outside double quotes separate words, quotes only
// switch quoting and are never part of a word; two spaces in a row enclose
// an empty word. Empty when the line has fewer words.
QString WordAt(const QString &line, int n);
// Only exactly "t" shows.
bool IsShowFlag(const QString &word);

enum class ActionKind
{
    None, // skipped by every reader
    ShowHide,
    Message
};
// By the first word, exactly and case-sensitively: "ObjShow" or "echo".
ActionKind KindOfLine(const QString &line);

// `ObjShow flag "name"`. A flag that holds a space (it came quoted) is
// quoted again, so that the line keeps its flag and name when read back.
QString ShowHideLine(const QString &flag, const QString &name);
QString MessageLine(const QString &text);

// A line as the actions dialog shows and keeps it: its line rebuilt from its
// words, the caption of its tree node and the node's icon.
struct ActionView
{
    ActionKind kind = ActionKind::None;
    QString line;
    QString caption;
    int icon = 0;
};
ActionView ViewOfLine(const QString &line);
// The views of new actions, from their words as given.
ActionView ShowHideAction(const QString &flag, const QString &name);
ActionView MessageAction(const QString &text);

// The icons of the actions tree: the root node "Действие", a show or hide
// line, a message line.
constexpr int kRootIcon = 3;
constexpr int kShowHideIcon = 1;
constexpr int kMessageIcon = 5;

} // namespace vell
