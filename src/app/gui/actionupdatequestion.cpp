#include "app/gui/actionupdatequestion.h"

#include "common/gui/dialogs.h"
#include "project/projectcommands.h"

#include <QStringList>

namespace vell {

namespace {

// Names for a message box: the first few, then how many more.
QString someNames(const QStringList &names)
{
    constexpr int kShown = 10;
    QString text = names.mid(0, kShown).join(QStringLiteral(", "));
    if (names.size() > kShown)
        text += QStringLiteral(" и еще %1").arg(names.size() - kShown);
    return text;
}

} // namespace

void UpdateActionFunctionsAsked(QWidget *parent, ProjectCommands &commands)
{
    const ActionFunctionScan scan = commands.scanActionFunctions();
    if (!scan.anythingToUpdate())
        return;
    const QString foreign =
        scan.foreign.isEmpty()
            ? QString()
            : QStringLiteral("\nКнопки, связанные с другими функциями, не меняются: %1.")
                  .arg(someNames(scan.foreign));
    if (!scan.stale.isEmpty()) {
        QStringList names;
        for (const ActionFunctionState &f : scan.stale)
            names.append(f.name);
        if (dialogs().ask(parent, QStringLiteral("Функции будут заменены тем, что пишут списки "
                                                 "действий; правки в них пропадут: %1.%2\n"
                                                 "Обновить функции действий?")
                                      .arg(someNames(names), foreign)) != Answer::Yes) {
            return;
        }
    } else if (!foreign.isEmpty()) {
        dialogs().message(parent, QStringLiteral("Недостающие функции действий будут добавлены.") +
                                      foreign);
    }
    commands.updateActionFunctions(scan);
}

} // namespace vell
