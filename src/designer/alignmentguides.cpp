#include "designer/alignmentguides.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace vell {

AlignmentGuides::AlignmentGuides(const PanelDrawing &drawing, const VellControl *moving)
    : AlignmentGuides(drawing, [moving](const VellControl &o) { return &o == moving; })
{}

AlignmentGuides::AlignmentGuides(const PanelDrawing &drawing,
                                 const std::function<bool(const VellControl &)> &moving)
{
    const auto add = [this](int owner, QRect r) {
        const int l = r.left(), t = r.top();
        m_x.insert(m_x.end(),
                   {{l, owner, 0}, {l + r.width() / 2, owner, 1}, {l + r.width(), owner, 2}});
        m_y.insert(m_y.end(),
                   {{t, owner, 0}, {t + r.height() / 2, owner, 1}, {t + r.height(), owner, 2}});
    };
    add(0, QRect(0, 0, kPanelWidth, kPanelHeight));
    const ObjectTables &tables = drawing.tables();
    int owner = 0;
    for (const ObjectKind kind : kObjectKinds) {
        for (int id = 1; id <= tables.count(kind); ++id) {
            ++owner;
            const VellControl *object = tables.object(kind, id);
            if (moving(*object))
                continue;
            if (const PanelElement *e = drawing.element(*object))
                add(owner, e->rect());
        }
    }
    std::sort(m_x.begin(), m_x.end());
    std::sort(m_y.begin(), m_y.end());
}

AlignmentGuides::Pull AlignmentGuides::snap(Qt::Orientation axis,
                                            const std::vector<qint64> &positions) const
{
    const std::vector<Line> &all = lines(axis);
    const auto firstAt = [&](qint64 at) {
        return std::lower_bound(all.begin(), all.end(), at,
                                [](const Line &l, qint64 a) { return l.at < a; });
    };
    // Distance, owner, which position, part: the smallest wins.
    using Rank = std::tuple<qint64, int, int, int>;
    Rank best{std::numeric_limits<qint64>::max(), 0, 0, 0};
    Pull pull;
    for (int i = 0; i < int(positions.size()); ++i) {
        const qint64 p = positions[i];
        // The nearest line at or below p and the nearest above it; of the
        // lines at one place the first is the one that wins.
        const auto above = std::upper_bound(all.begin(), all.end(), p,
                                            [](qint64 a, const Line &l) { return a < l.at; });
        const std::vector<Line>::const_iterator candidates[] = {
            above, above == all.begin() ? all.end() : firstAt(std::prev(above)->at)};
        for (const auto &c : candidates) {
            if (c == all.end())
                continue;
            const qint64 distance = c->at > p ? c->at - p : p - c->at;
            if (distance > kReach)
                continue;
            const Rank rank{distance, c->owner, i, c->part};
            if (rank < best) {
                best = rank;
                pull = {true, int(c->at - p), c->at};
            }
        }
    }
    return pull;
}

} // namespace vell
