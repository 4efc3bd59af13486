#include "model/grouplayout.h"

#include <algorithm>
#include <climits>
#include <numeric>

namespace vell {

namespace {

int ToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

// Where an object is drawn along one axis of the panel (y downwards), exact
// however far off the panel it lies.
struct Extent
{
    qint64 start = 0;
    qint64 size = 0;

    qint64 centre() const { return start + size / 2; }
    qint64 end() const { return start + size; }
};

Extent ExtentOf(const VellControl &object, Qt::Orientation axis)
{
    if (axis == Qt::Horizontal)
        return {qint64(kPanelWidth / 2) + object.X - object.Width / 2,
                std::clamp(object.Width, 0, kDrawnSizeLimit)};
    return {qint64(kPanelHeight / 2) - object.Y - object.Height / 2,
            std::clamp(object.Height, 0, kDrawnSizeLimit)};
}

// The object's X, Y once its drawn rectangle moves by the given pixels along
// the axis; a move down the panel lowers Y.
QPoint Moved(const VellControl &object, Qt::Orientation axis, qint64 by)
{
    if (axis == Qt::Horizontal)
        return QPoint(ToInt(qint64(object.X) + by), object.Y);
    return QPoint(object.X, ToInt(qint64(object.Y) - by));
}

// One axis of an arrow step: every member may go up to the bound, and one
// already beyond it not at all further out.
int AxisStep(std::span<const QPoint> centres, int by, int bound, bool across)
{
    if (by == 0 || centres.empty())
        return 0;
    qint64 step = by > 0 ? qint64(by) : -qint64(by);
    for (const QPoint &centre : centres) {
        const qint64 from = across ? centre.x() : centre.y();
        const qint64 room = by > 0 ? bound - from : from + bound;
        step = std::min(step, std::max<qint64>(room, 0));
    }
    return int(by > 0 ? step : -step);
}

} // namespace

QString GroupStepName(const QString &what, qsizetype count)
{
    const bool one = count % 10 == 1 && count % 100 != 11;
    return what + u' ' + QString::number(count) + u' ' +
           (one ? QStringLiteral("объекта") : QStringLiteral("объектов"));
}

QPoint DraggedCentre(QPoint centre, QPoint offset)
{
    return QPoint(
        int(std::clamp<qint64>(qint64(centre.x()) + offset.x(), -kPanelWidth / 2, kPanelWidth / 2)),
        int(std::clamp<qint64>(qint64(centre.y()) + offset.y(), -kPanelHeight / 2,
                               kPanelHeight / 2)));
}

QPoint GroupNudgeStep(std::span<const QPoint> centres, QPoint by)
{
    return QPoint(AxisStep(centres, by.x(), kPanelWidth / 2, true),
                  AxisStep(centres, by.y(), kPanelHeight / 2, false));
}

std::vector<QPoint> AlignedCentres(std::span<const VellControl *const> group,
                                   const VellControl &primary, GroupAlign how)
{
    const bool across =
        how == GroupAlign::Left || how == GroupAlign::HorizontalCentre || how == GroupAlign::Right;
    const Qt::Orientation axis = across ? Qt::Horizontal : Qt::Vertical;
    // The edge or centre the members line up on.
    const auto mark = [how](const Extent &e) {
        switch (how) {
        case GroupAlign::Left:
        case GroupAlign::Top:
            return e.start;
        case GroupAlign::HorizontalCentre:
        case GroupAlign::VerticalCentre:
            return e.centre();
        case GroupAlign::Right:
        case GroupAlign::Bottom:
            break;
        }
        return e.end();
    };
    const qint64 target = mark(ExtentOf(primary, axis));
    std::vector<QPoint> centres;
    centres.reserve(group.size());
    for (const VellControl *object : group)
        centres.push_back(Moved(*object, axis, target - mark(ExtentOf(*object, axis))));
    return centres;
}

std::vector<QPoint> DistributedCentres(std::span<const VellControl *const> group,
                                       Qt::Orientation axis)
{
    std::vector<QPoint> centres;
    centres.reserve(group.size());
    for (const VellControl *object : group)
        centres.emplace_back(object->X, object->Y);
    const qint64 n = qint64(group.size());
    if (n < 3)
        return centres;

    std::vector<Extent> extents;
    extents.reserve(group.size());
    qint64 sizes = 0;
    for (const VellControl *object : group) {
        extents.push_back(ExtentOf(*object, axis));
        sizes += extents.back().size;
    }
    std::vector<std::size_t> order(group.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [&extents](std::size_t a, std::size_t b) {
        return extents[a].centre() < extents[b].centre();
    });

    // The space the members leave between the first start and the last
    // end, in n - 1 whole-pixel gaps; the first ones take a pixel more.
    const qint64 first = extents[order.front()].start;
    const qint64 space = extents[order.back()].end() - first - sizes;
    const qint64 gaps = n - 1;
    qint64 gap = space / gaps;
    if (space % gaps < 0)
        --gap;
    const qint64 leftover = space - gap * gaps;

    qint64 start = first;
    for (qint64 k = 0; k < n; ++k) {
        const std::size_t i = order[std::size_t(k)];
        centres[i] = Moved(*group[i], axis, start - extents[i].start);
        start += extents[i].size + gap + (k < leftover ? 1 : 0);
    }
    return centres;
}

std::vector<QPoint> PastedCentres(std::span<const QPoint> copied, qsizetype primary)
{
    // An index outside the group measures from the panel's centre.
    const QPoint origin = primary >= 0 && primary < qsizetype(copied.size())
                              ? copied[std::size_t(primary)]
                              : QPoint();
    std::vector<QPoint> centres;
    centres.reserve(copied.size());
    for (const QPoint &at : copied)
        centres.emplace_back(ToInt(qint64(at.x()) - origin.x()),
                             ToInt(qint64(at.y()) - origin.y()));
    return centres;
}

} // namespace vell
