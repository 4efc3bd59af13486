#pragma once

#include "designer/paneldrawing.h"

#include <functional>
#include <vector>

namespace vell {

// The lines a dragged or resized object aligns to: the left, right (left +
// width) and centre (left + width div 2) of the panel and of every other
// object as drawn, and the same vertically (top, bottom, centre). They are
// gathered and sorted once when a drag or resize starts; each step then
// finds its nearest line by binary search.
//
// Which line wins: the nearest; at equal distance the panel's before an
// object's, then the object higher in the tables (buttons in table order,
// then pictures, then texts); then the moving rectangle's start (left or
// top) before its centre before its end; then the line's start before
// centre before end.
class AlignmentGuides
{
public:
    // Lines within this many pixels pull.
    static constexpr int kReach = 5;

    // The lines of the panel and of every object of the drawing but
    // `moving`.
    AlignmentGuides(const PanelDrawing &drawing, const VellControl *moving);
    // The same but for every object `moving` says moves (a group).
    AlignmentGuides(const PanelDrawing &drawing,
                    const std::function<bool(const VellControl &)> &moving);

    // How far to move so that one of the positions (along Qt::Horizontal:
    // x, else y) lies on a line, and that line; `held` false (no shift)
    // when no line is near any of them. `positions` are the moving
    // rectangle's start, centre and end, or any part of them in that order.
    struct Pull
    {
        bool held = false;
        int shift = 0;
        int line = 0;
    };
    Pull snap(Qt::Orientation axis, const std::vector<qint64> &positions) const;

private:
    struct Line
    {
        int at;
        // 0 the panel, then each object by its place in the tables.
        int owner;
        // 0 start, 1 centre, 2 end.
        int part;
        bool operator<(const Line &o) const
        {
            return at != o.at ? at < o.at : owner != o.owner ? owner < o.owner : part < o.part;
        }
    };
    const std::vector<Line> &lines(Qt::Orientation axis) const
    {
        return axis == Qt::Horizontal ? m_x : m_y;
    }
    std::vector<Line> m_x, m_y;
};

} // namespace vell
