#include "project/actionupdate.h"

#include "codegen/userfunctions.h"
#include "project/project.h"

namespace vell {

namespace {

// Each side with actions and a bound function, in table order.
template <typename Visit>
void forEachBoundSide(const QList<const VellButton *> &buttons, Visit visit)
{
    for (const VellButton *b : buttons) {
        for (const ClickSide side : {ClickSide::Left, ClickSide::Right}) {
            const bool left = side == ClickSide::Left;
            if ((left ? b->LeftActions : b->RightActions).isEmpty())
                continue;
            const QString &bound = left ? b->LeftActionsFunction : b->RightActionsFunction;
            if (!bound.isEmpty())
                visit(*b, side, bound);
        }
    }
}

// Fills in what the side's list emits now and where the user code holds its
// function, which it defines; returns whether that function differs.
bool isStale(ActionFunctionState &state, const Settings &settings, const ObjectByName &find,
             const QStringList &userCode, const UserFunctions &functions)
{
    state.now = ActionsFunctionLines(*state.button, state.side, settings, find);
    // One the reader cannot end is stale: the update appends a whole one
    // and leaves it be.
    const auto range = functions.range(state.name);
    state.line = range ? range->first : functions.headerLine(state.name);
    return !range ||
           !SameCode(std::span(userCode).subspan(size_t(range->first), size_t(range->count)),
                     state.now.lines);
}

} // namespace

ActionFunctionScan ScanActionFunctions(const QList<const VellButton *> &buttons,
                                       const Settings &settings, const ObjectByName &find,
                                       const QStringList &userCode)
{
    const UserFunctions functions(userCode);
    ActionFunctionScan scan;
    forEachBoundSide(buttons, [&](const VellButton &b, ClickSide side, const QString &bound) {
        ActionFunctionState state{&b, side, ActionsFunctionName(b, side), {}, -1};
        if (bound != state.name)
            scan.foreign.append(b.Name + QStringLiteral(" (") + bound + u')');
        else if (!functions.defines(state.name))
            scan.missing.append(std::move(state));
        else if (isStale(state, settings, find, userCode, functions))
            scan.stale.append(std::move(state));
    });
    return scan;
}

QList<ActionFunctionState> StaleActionFunctions(const QList<const VellButton *> &buttons,
                                                const Settings &settings, const ObjectByName &find,
                                                const QStringList &userCode,
                                                const UserFunctions &functions)
{
    QList<ActionFunctionState> stale;
    forEachBoundSide(buttons, [&](const VellButton &b, ClickSide side, const QString &bound) {
        // Only a function of the user code can be stale: the bound name is
        // looked up before the side's own is put together.
        if (!functions.defines(bound))
            return;
        ActionFunctionState state{&b, side, ActionsFunctionName(b, side), {}, -1};
        if (bound == state.name && isStale(state, settings, find, userCode, functions))
            stale.append(std::move(state));
    });
    return stale;
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
