#include "actions/actionemission.h"

#include "actions/actiontext.h"
#include "common/textforms.h"
#include "project/kindfacts.h"
#include "project/project.h"

namespace vell {

namespace {

QStringList &listOf(VellButton &button, ClickSide side)
{
    return side == ClickSide::Left ? button.LeftActions : button.RightActions;
}

} // namespace

QString ActionsFunctionName(const VellButton &button, ClickSide side)
{
    return button.Name + (side == ClickSide::Left ? QStringLiteral("_Left_Actions")
                                                  : QStringLiteral("_Right_Actions"));
}

void EmitButtonActions(Project &project, const VellButton &button, ClickSide side)
{
    const QStringList &actions = side == ClickSide::Left ? button.LeftActions : button.RightActions;
    if (actions.isEmpty())
        return;
    const QString name = ActionsFunctionName(button, side);
    project.RemoveFunc(name);
    QStringList lines{QStringLiteral("function ") + name +
                      QStringLiteral(" takes nothing returns nothing")};
    for (const QString &line : actions) {
        switch (KindOfLine(line)) {
        case ActionKind::ShowHide: {
            const QString target = WordAt(line, 2);
            const ObjectKind kind = KindFromNamePrefix(target);
            const VellControl *object = project.tables().FindObjectByName(kind, target);
            if (!object)
                break;
            const QString &array = project.settings().*factsOf(kind).arrayVar;
            lines.append(QStringLiteral(" call ") + array + u'[' + IntToText(object->Id) +
                         QStringLiteral("].Show(") + BoolToText(IsShowFlag(WordAt(line, 1))) +
                         QStringLiteral(",-1)"));
            break;
        }
        case ActionKind::Message:
            project.OnMainFunc();
            lines.append(QStringLiteral(" call ECHO(\"") + WordAt(line, 1) + QStringLiteral("\")"));
            break;
        case ActionKind::None:
            break;
        }
    }
    lines.append(QStringLiteral("endfunction"));
    project.appendUserCodeLines(lines);
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
