#pragma once

#include "codegen/actionemission.h"

#include <QHash>
#include <QList>
#include <QStringList>

namespace vell {

class Project;
class UserFunctions;

// A button's click function bound to its own name (Button_1_Left_Actions),
// as the user code holds it, against what its list emits now.
struct ActionFunctionState
{
    const VellButton *button = nullptr;
    ClickSide side = ClickSide::Left;
    QString name;
    // What the list writes now; not filled in for a missing function.
    EmittedFunction now;
    // The header's index in the user code; -1 when the user code lacks it.
    int line = -1;
};

struct ActionFunctionScan
{
    // In the user code, other than emitted now.
    QList<ActionFunctionState> stale;
    // Bound but not in the user code.
    QList<ActionFunctionState> missing;
    // "Button_3 (MyClick)": buttons with actions whose side is bound to
    // another function; the program leaves those alone.
    QStringList foreign;
    bool anythingToUpdate() const { return !stale.isEmpty() || !missing.isEmpty(); }
};

// Looks at every side with actions of the buttons (in table order), the
// objects found through `find`.
ActionFunctionScan ScanActionFunctions(const QList<const VellButton *> &buttons,
                                       const Settings &settings, const ObjectByName &find,
                                       const QStringList &userCode);
// Its stale functions alone, with the functions of the user code found
// already.
QList<ActionFunctionState> StaleActionFunctions(const QList<const VellButton *> &buttons,
                                                const Settings &settings, const ObjectByName &find,
                                                const QStringList &userCode,
                                                const UserFunctions &functions);

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
