#include "project/actionupdate.h"

#include "codegen/userfunctions.h"
#include "project/project.h"

namespace vell {

ActionFunctionScan ScanActionFunctions(const QList<const VellButton *> &buttons,
                                       const Settings &settings, const ObjectByName &find,
                                       const QStringList &userCode)
{
    ActionFunctionScan scan;
    const UserFunctions functions(userCode);
    for (const VellButton *b : buttons) {
        for (const ClickSide side : {ClickSide::Left, ClickSide::Right}) {
            const bool left = side == ClickSide::Left;
            if ((left ? b->LeftActions : b->RightActions).isEmpty())
                continue;
            const QString &bound = left ? b->LeftActionsFunction : b->RightActionsFunction;
            if (bound.isEmpty())
                continue;
            ActionFunctionState state{b, side, ActionsFunctionName(*b, side), {}, -1};
            if (bound != state.name) {
                scan.foreign.append(b->Name + QStringLiteral(" (") + bound + u')');
                continue;
            }
            if (!functions.defines(state.name)) {
                scan.missing.append(state);
                continue;
            }
            state.now = ActionsFunctionLines(*b, side, settings, find);
            // One the reader cannot end is stale: the update appends a whole
            // one and leaves it be.
            const auto range = functions.range(state.name);
            state.line = range ? range->first : functions.headerLine(state.name);
            if (!range || !SameCode(userCode.mid(range->first, range->count), state.now.lines))
                scan.stale.append(state);
        }
    }
    return scan;
}

void EmitButtonActions(Project &project, const VellButton &button, ClickSide side)
{
    const EmittedFunction f =
        ActionsFunctionLines(button, side, project.settings(), project.tables().finder());
    if (f.lines.isEmpty())
        return;
    project.RemoveFunc(ActionsFunctionName(button, side));
    if (f.callsEcho)
        project.OnMainFunc();
    project.appendUserCodeLines(f.lines);
}

namespace {

QStringList &listOf(VellButton &button, ClickSide side)
{
    return side == ClickSide::Left ? button.LeftActions : button.RightActions;
}

} // namespace

bool ApplyActionResult(Project &project, VellButton &button, ClickSide side,
                       const QStringList &result)
{
    QStringList &list = listOf(button, side);
    if (result.isEmpty()) {
        list.clear();
        return false;
    }
    list = result;
    EmitButtonActions(project, button, side);
    (side == ClickSide::Left ? button.LeftActionsFunction : button.RightActionsFunction) =
        ActionsFunctionName(button, side);
    project.setProjectModified(true);
    return true;
}

} // namespace vell
