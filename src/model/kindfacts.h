#pragma once

#include "model/objectkind.h"

#include <QColor>
#include <QString>
#include <QStringView>

namespace vell {

struct Settings;

// What the designer, the actions and the generated code say of each kind of
// object, written down once so that no two places can disagree.
struct KindFacts
{
    ObjectKind kind;
    // A new object's name is this and its counter's value: "Button_7".
    QStringView namePrefix;
    // The prefix's first three letters: an action line names an object of
    // the kind by a name starting with them ("But").
    QStringView shortPrefix;
    // The kind's name in the kind box ("Кнопка").
    QStringView kindText;
    // The setting that names the generated array of the kind's objects.
    QString Settings::*arrayVar;
    // The type the generated code makes the kind's objects of ("BUTTON").
    QStringView codeType;
    // Told when the kind's table is full; %1 stands for the capacity.
    QStringView fullTableMessage;
};

// The facts of a kind; for KindNone or any other number, a row of empty
// texts whose arrayVar is nullptr.
const KindFacts &factsOf(ObjectKind kind);

// The system's button-face colour, behind unselected labels.
inline constexpr QColor kButtonFace(240, 240, 240);

} // namespace vell
