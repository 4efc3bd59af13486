#include "actions/actionemission.h"

#include "actions/actiontext.h"
#include "common/textforms.h"
#include "project/kindfacts.h"
#include "project/project.h"
#include "settings/settings.h"

namespace vell {

namespace {

QStringList &listOf(VellButton &button, ClickSide side)
{
    return side == ClickSide::Left ? button.LeftActions : button.RightActions;
}

// What follows the button's name in the name of a side's function.
QLatin1String functionTail(ClickSide side)
{
    return side == ClickSide::Left ? QLatin1String("_Left_Actions")
                                   : QLatin1String("_Right_Actions");
}

} // namespace

QString ActionsFunctionName(const VellButton &button, ClickSide side)
{
    return button.Name + functionTail(side);
}

std::optional<ActionsFunctionOwner> ActionsFunctionOwnerOf(const QString &function)
{
    for (const ClickSide side : {ClickSide::Left, ClickSide::Right}) {
        const QLatin1String tail = functionTail(side);
        if (function.endsWith(tail))
            return ActionsFunctionOwner{function.chopped(tail.size()), side};
    }
    return std::nullopt;
}

EmittedFunction ActionsFunctionLines(const VellButton &button, ClickSide side,
                                     const Settings &settings, const ObjectByName &find)
{
    const QStringList &actions = side == ClickSide::Left ? button.LeftActions : button.RightActions;
    EmittedFunction f;
    if (actions.isEmpty())
        return f;
    f.lines.append(QStringLiteral("function ") + ActionsFunctionName(button, side) +
                   QStringLiteral(" takes nothing returns nothing"));
    for (const QString &line : actions) {
        switch (KindOfLine(line)) {
        case ActionKind::ShowHide: {
            const QString target = WordAt(line, 2);
            const ObjectKind kind = KindFromNamePrefix(target);
            const VellControl *object = kind == KindNone ? nullptr : find(kind, target);
            if (!object)
                break;
            const QString &array = settings.*factsOf(kind).arrayVar;
            f.lines.append(QStringLiteral(" call ") + array + u'[' + IntToText(object->Id) +
                           QStringLiteral("].Show(") + BoolToText(IsShowFlag(WordAt(line, 1))) +
                           QStringLiteral(",-1)"));
            break;
        }
        case ActionKind::Message:
            f.callsEcho = true;
            f.lines.append(QStringLiteral(" call ECHO(\"") + WordAt(line, 1) +
                           QStringLiteral("\")"));
            break;
        case ActionKind::None:
            break;
        }
    }
    f.lines.append(QStringLiteral("endfunction"));
    return f;
}

void EmitButtonActions(Project &project, const VellButton &button, ClickSide side)
{
    const ObjectTables &tables = project.tables();
    const EmittedFunction f = ActionsFunctionLines(button, side, project.settings(),
                                                   [&tables](ObjectKind kind, const QString &name) {
                                                       return tables.FindObjectByName(kind, name);
                                                   });
    if (f.lines.isEmpty())
        return;
    project.RemoveFunc(ActionsFunctionName(button, side));
    if (f.callsEcho)
        project.OnMainFunc();
    project.appendUserCodeLines(f.lines);
}

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
