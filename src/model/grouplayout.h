#pragma once

#include "model/vellobjects.h"

#include <QPoint>
#include <QString>

#include <span>
#include <vector>

namespace vell {

// The arithmetic of several objects moved, aligned, distributed or pasted as
// one group. Positions are an object's X, Y (the centre, Y upwards); edges are
// those the panel draws the object with, in panel pixels with y downwards:
// left = kPanelWidth / 2 + X - Width / 2, top = kPanelHeight / 2 - Y -
// Height / 2, the size clamped to 0 .. kDrawnSizeLimit, exact however far off
// the panel. Moving the drawn rectangle by dx, dy moves the object to
// X + dx, Y - dy. Every resulting coordinate is clamped into int's range.

// The name of one history step done to a group: "перемещение 6 объектов",
// "удаление 21 объекта".
QString GroupStepName(const QString &what, qsizetype count);

// Where a group member's centre lands when the group is dragged by offset:
// on the panel, each coordinate clamped on its own as a duplicate's is.
QPoint DraggedCentre(QPoint centre, QPoint offset);

// The step an arrow key moves a whole group by: along each axis the largest
// step of the key's sign, at most the key's length, that takes no member's
// centre beyond the panel's bounds, nor one already beyond them further out.
// For a single member it is the step that member alone would take.
QPoint GroupNudgeStep(std::span<const QPoint> centres, QPoint by);

enum class GroupAlign
{
    Left,
    HorizontalCentre,
    Right,
    Top,
    VerticalCentre,
    Bottom
};

// The new X, Y of each member, in the order given, with the chosen edge or
// centre on the primary's; only that axis changes, and the primary stays.
std::vector<QPoint> AlignedCentres(std::span<const VellControl *const> group,
                                   const VellControl &primary, GroupAlign how);

// The new X, Y of each member, in the order given (the table order, which
// breaks ties), spread evenly along the axis (Qt::Vertical: top to bottom):
// ordered by their drawn centres, the first and the last stay, and the space
// between the members is split into equal gaps, the pixels left over going
// one each to the first gaps. Fewer than three members all stay.
std::vector<QPoint> DistributedCentres(std::span<const VellControl *const> group,
                                       Qt::Orientation axis);

// Where a copied group pastes: the member at index primary on the panel's
// centre, each other one at its offset from the primary as copied, on the
// panel or not.
std::vector<QPoint> PastedCentres(std::span<const QPoint> copied, qsizetype primary);

} // namespace vell
