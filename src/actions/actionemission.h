#pragma once

#include "project/vellobjects.h"

#include <QStringList>

#include <functional>
#include <optional>

namespace vell {

class Project;
struct Settings;

enum class ClickSide
{
    Left,
    Right
};

// The function name of a button's side: its name + "_Left_Actions" or
// "_Right_Actions".
QString ActionsFunctionName(const VellButton &button, ClickSide side);
// What such a name is built of: the button's name and the side; nothing for
// a name that ends with neither.
struct ActionsFunctionOwner
{
    QString buttonName;
    ClickSide side = ClickSide::Left;
};
std::optional<ActionsFunctionOwner> ActionsFunctionOwnerOf(const QString &function);

// The object an action line names: the first of the kind with that name.
using ObjectByName = std::function<const VellControl *(ObjectKind, const QString &)>;

// The side's click function as its list emits it now (see below): its
// lines, none for an empty list, and whether it calls ECHO.
struct EmittedFunction
{
    QStringList lines;
    bool callsEcho = false;
};
EmittedFunction ActionsFunctionLines(const VellButton &button, ClickSide side,
                                     const Settings &settings, const ObjectByName &find);

// Writes the side's click function into the user code, replacing the one of
// that name: a show or hide line becomes a Show call on the target's array
// (from the settings) at its table place now, a message an ECHO call (the
// ECHO function is put at the top when the user code has none); targets
// that are missing or have no kind, and lines without a kind, give nothing.
// Nothing is written for an empty list.
void EmitButtonActions(Project &project, const VellButton &button, ClickSide side);

// What the actions dialog handed back for a button's side. An empty result
// leaves the list empty (of the lines without a kind it may have held) and
// changes nothing else. Otherwise the list becomes the result, the function
// is emitted, the side's function name set and the project marked modified.
// Returns whether the result was applied.
bool ApplyActionResult(Project &project, VellButton &button, ClickSide side,
                       const QStringList &result);

} // namespace vell
