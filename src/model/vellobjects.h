#pragma once

// Names in this code base: the names the program has always used (the
// windows TForm1 to TForm5 and TAboutBox, controls such as InfoList and
// ObjList, handlers such as MMSaveClick and InfoListKeyUp, the records'
// fields such as TextureId, and ButtonTable, RemoveFunc, ShowProperties …)
// keep their spelling. The project's own types and free functions are
// PascalCase (ObjectTables, ReadProjectBytes), its methods and members
// camelCase (ObjectTables::insert, Project::userCodeLines); members take the
// m_ prefix. The sources lie in layers, each folder including only its own
// and those below: common → model (this folder) → codegen → project → the
// views (designer and each gui/ folder) → app. Everything below the views
// needs no widgets; windows only bind it to controls.

#include "model/objectkind.h"
#include "model/panelsize.h"

#include <QRect>
#include <QStringList>

#include <algorithm>

namespace vell {

// Common fields of the three kinds: plain values that can be copied and
// compared; what the panel draws is derived from them. X, Y: the centre
// relative to the panel centre, X rightwards and Y upwards. Id: the 1-based
// place in the kind's table. No virtual operations: code switches on Kind.
struct VellControl
{
    ObjectKind Kind = KindNone;
    QString Name;
    int Id = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    bool Visible = true;

    bool operator==(const VellControl &) const = default;
};

struct VellButton : VellControl
{
    QString TextureId = QStringLiteral("B000");
    QStringList LeftActions;
    QStringList RightActions;
    QString LeftActionsFunction;
    QString RightActionsFunction;

    bool operator==(const VellButton &) const = default;
};

struct VellPicture : VellControl
{
    QString TextureId = QStringLiteral("B000");

    bool operator==(const VellPicture &) const = default;
};

struct VellText : VellControl
{
    QString Text = QStringLiteral("Текст");
    QString TextColor; // colour text; empty: the default colour

    bool operator==(const VellText &) const = default;
};

// The texture of a button or picture (nullptr for texts).
QString *TextureOf(VellControl &object);
const QString *TextureOf(const VellControl &object);

// Where an element starts along one axis of the panel (0 .. panelSize) for
// its exact start. An element far off the panel is drawn nearer, still off
// the panel, so that no arithmetic on element coordinates can overflow; the
// object's fields keep their exact values.
constexpr int kFarOff = 1 << 28;
// The largest size an element is drawn with; the object keeps its own.
constexpr int kDrawnSizeLimit = 1 << 30;
inline int PlaceOnAxis(qint64 start, int size, int panelSize)
{
    if (start > panelSize)
        return int(std::min<qint64>(start, panelSize + kFarOff));
    if (start + size < 0)
        return int(std::max<qint64>(start, -qint64(kFarOff) - size));
    return int(start);
}

// The panel rectangle an object is drawn in: centred on X, Y (the left and
// top edges at centre minus half the size), the size clamped for drawing.
QRect DrawnRect(const VellControl &object);

} // namespace vell
