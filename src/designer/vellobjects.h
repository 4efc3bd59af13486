#pragma once

#include "designer/panelscene.h"
#include "designer/vellresizerect.h"

#include <QStringList>

#include <algorithm>
#include <memory>

namespace vell {

enum ObjectKind
{
    KindNone = 0,
    KindButton = 1,
    KindPicture = 2,
    KindText = 3
};

// Common fields of the three kinds. X, Y: the centre relative to the panel
// centre, X rightwards and Y upwards. No virtual operations: code switches on
// Kind.
struct VellControl
{
    int X = 0;
    int Y = 0;
    int Kind = KindNone;
    bool Visible = true;
};

struct VellButton : VellControl
{
    std::unique_ptr<PanelElement> Element;
    std::unique_ptr<VellResizeRect> Frame;
    QString LeftActionsFunction;
    QString RightActionsFunction;
    QString TextureId = QStringLiteral("B000");
    QStringList LeftActions;
    QStringList RightActions;
};

struct VellPicture : VellControl
{
    std::unique_ptr<PanelElement> Element;
    QString TextureId = QStringLiteral("B000");
    std::unique_ptr<VellResizeRect> Frame;
};

struct VellText : VellControl
{
    std::unique_ptr<PanelElement> Element;
    QString Text = QStringLiteral("Текст");
    QString TextColor; // colour text; empty: the default colour
};

// The element and frame of any object (the frame is null for texts).
PanelElement *ownerElement(const VellControl &object);
VellResizeRect *ownerFrame(const VellControl &object);
QString ObjectName(const VellControl &object);
int ObjectId(const VellControl &object);

// Object operations.
void SetPosition(VellControl &object, int x, int y);
// Buttons and pictures: resize about the unchanged centre; an odd size loses
// a pixel (33 gives 32).
void SetSize(VellControl &object, int w, int h);
void SetCorners(VellControl &object, int left, int top, int right, int bottom);
void SetVisible(VellControl &object, bool visible);
// Texts: the label shows the text and fits itself to it, keeping its left and
// top edges.
void SetText(VellText &text, const QString &value);
void SetTextColor(VellText &text, QColor color);

// Where an element starts along one axis of the panel (0 .. panelSize) for
// its exact start. An element far off the panel is drawn nearer, still off
// the panel and with its exact size, so that no arithmetic on element
// coordinates can overflow; the object's X and Y keep their exact values.
constexpr int kFarOff = 1 << 28;
constexpr int kSizeLimit = 1 << 30;
inline int PlaceOnAxis(qint64 start, int size, int panelSize)
{
    if (start > panelSize)
        return int(std::min<qint64>(start, panelSize + kFarOff));
    if (start + size < 0)
        return int(std::max<qint64>(start, -qint64(kFarOff) - size));
    return int(start);
}

// Element position for an object centre (the panel mapping).
inline int ElementLeftFor(int x, int w)
{
    return PlaceOnAxis(qint64(kPanelWidth / 2) + x - w / 2, w, kPanelWidth);
}
inline int ElementTopFor(int y, int h)
{
    return PlaceOnAxis(qint64(kPanelHeight / 2) - y - h / 2, h, kPanelHeight);
}

} // namespace vell
