#include "codegen/actionemission.h"

#include "common/textforms.h"
#include "model/actiontext.h"
#include "model/kindfacts.h"
#include "model/objecttables.h"
#include "model/settings.h"

#include <QStringBuilder>

namespace vell {

namespace {

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
    f.lines.reserve(actions.size() + 2);
    f.lines.append(QStringLiteral("function ") % ActionsFunctionName(button, side) %
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
            f.lines.append(QStringLiteral(" call ") % array % u'[' % IntToText(object->Id) %
                           QStringLiteral("].Show(") % BoolToText(IsShowFlag(WordAt(line, 1))) %
                           QStringLiteral(",-1)"));
            break;
        }
        case ActionKind::Message:
            f.callsEcho = true;
            f.lines.append(QStringLiteral(" call ECHO(\"") % WordAt(line, 1) %
                           QStringLiteral("\")"));
            break;
        case ActionKind::None:
            break;
        }
    }
    f.lines.append(QStringLiteral("endfunction"));
    return f;
}

} // namespace vell
