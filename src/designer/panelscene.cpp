#include "designer/panelscene.h"

#include <algorithm>

namespace vell {

static_assert(sizeof(PanelElement) <= 88, "an element per object: keep it small");

PanelElement::PanelElement(PanelScene &scene, ElementShape shape, QRect rect)
    : m_scene(scene), m_stackOrder(scene.attach(this, rect)), m_rect(rect), m_shape(shape)
{
    invalidate();
}

PanelElement::PanelElement(PanelScene &scene, ElementShape shape, QRect rect, quint64 order)
    : m_scene(scene), m_stackOrder(order), m_rect(rect), m_shape(shape)
{
    scene.attachAt(this, rect, order);
    invalidate();
}

PanelElement::~PanelElement()
{
    invalidate();
    m_scene.detach(this);
}

void PanelElement::invalidate()
{
    if (m_visible)
        m_scene.invalidate(m_rect, this);
}

void PanelElement::setRect(QRect rect)
{
    if (rect == m_rect)
        return;
    invalidate();
    m_scene.moved(this, m_rect, rect);
    m_rect = rect;
    if (PanelScene::Slot *slot = m_scene.slotOf(this))
        slot->rect = rect;
    invalidate();
}

void PanelElement::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = true;
    invalidate();
    m_visible = visible;
    if (PanelScene::Slot *slot = m_scene.slotOf(this))
        slot->visible = visible;
}

void PanelElement::setFill(QColor color)
{
    if (color.rgba() == m_fill)
        return;
    m_fill = color.rgba();
    invalidate();
}

void PanelElement::setFillStyle(FillStyle style)
{
    if (style == m_fillStyle)
        return;
    m_fillStyle = style;
    invalidate();
}

void PanelElement::setPen(QColor color, int width)
{
    width = std::clamp(width, 0, 255);
    if (color.rgba() == m_penColor && width == m_penWidth)
        return;
    m_penColor = color.rgba();
    m_penWidth = quint8(width);
    invalidate();
}

void PanelElement::setDottedPen(bool dotted)
{
    if (dotted == m_dottedPen)
        return;
    m_dottedPen = dotted;
    invalidate();
}

void PanelElement::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    invalidate();
}

void PanelElement::setTextColor(QColor color)
{
    if (color.rgba() == m_textColor)
        return;
    m_textColor = color.rgba();
    invalidate();
}

namespace {

const QRect kPanelRect(0, 0, kPanelWidth, kPanelHeight);

// Where an element sorts in a bucket: by its place in the stack.
auto byOrder = [](const PanelElement *e, quint64 order) {
    return e->stackOrder() < order;
};

} // namespace

template <typename F> void PanelScene::forEachBucket(QRect rect, F f)
{
    if (rect.isEmpty())
        return;
    if (!kPanelRect.contains(rect))
        f(m_outside);
    const QRect inside = rect & kPanelRect;
    if (inside.isEmpty())
        return;
    for (int row = inside.top() / kCell; row <= inside.bottom() / kCell; ++row) {
        for (int column = inside.left() / kCell; column <= inside.right() / kCell; ++column)
            f(m_cells[row * kColumns + column]);
    }
}

void PanelScene::index(PanelElement *element, QRect rect, quint64 order)
{
    forEachBucket(rect, [&](Bucket &bucket) {
        bucket.insert(std::lower_bound(bucket.begin(), bucket.end(), order, byOrder), element);
    });
}

void PanelScene::unindex(PanelElement *element, QRect rect)
{
    const quint64 order = element->stackOrder();
    forEachBucket(rect, [&](Bucket &bucket) {
        const auto it = std::lower_bound(bucket.begin(), bucket.end(), order, byOrder);
        if (it != bucket.end() && *it == element)
            bucket.erase(it);
    });
}

void PanelScene::rebuildIndex()
{
    for (Bucket &bucket : m_cells)
        bucket.clear();
    m_outside.clear();
    for (const Slot &slot : m_slots)
        forEachBucket(slot.rect, [&](Bucket &bucket) { bucket.push_back(slot.element); });
}

namespace {

// The index cells a rectangle reaches, and whether it reaches outside the
// panel.
struct CellSpan
{
    int left = 0, top = 0, right = -1, bottom = -1;
    bool outside = false;
    bool operator==(const CellSpan &) const = default;
};

CellSpan cellSpan(QRect rect, int cell)
{
    CellSpan span;
    if (rect.isEmpty())
        return span;
    span.outside = !kPanelRect.contains(rect);
    const QRect inside = rect & kPanelRect;
    if (!inside.isEmpty())
        span = {inside.left() / cell, inside.top() / cell, inside.right() / cell,
                inside.bottom() / cell, span.outside};
    return span;
}

} // namespace

void PanelScene::moved(PanelElement *element, QRect from, QRect to)
{
    // An element's place in a cell's list is its stacking place, which a
    // move does not change: a move within the same cells leaves the index.
    if (cellSpan(from, kCell) == cellSpan(to, kCell))
        return;
    unindex(element, from);
    index(element, to, element->stackOrder());
}

quint64 PanelScene::attach(PanelElement *element, QRect rect)
{
    // Below the raised elements, if there are any.
    if (!m_slots.empty() && m_slots.back().order >= kRaisedOrders) {
        attachAt(element, rect, m_nextOrder);
        return m_nextOrder++;
    }
    m_slots.push_back(Slot{rect, true, m_nextOrder, element});
    // The newest element lies on top: last in every bucket.
    forEachBucket(rect, [&](Bucket &bucket) { bucket.push_back(element); });
    return m_nextOrder++;
}

std::vector<PanelScene::Slot>::iterator PanelScene::firstSlotFrom(quint64 order)
{
    // Slots are kept sorted by stacking order.
    return std::lower_bound(m_slots.begin(), m_slots.end(), order,
                            [](const Slot &s, quint64 o) { return s.order < o; });
}

void PanelScene::attachAt(PanelElement *element, QRect rect, quint64 order)
{
    m_slots.insert(firstSlotFrom(order), Slot{rect, true, order, element});
    index(element, rect, order);
}

PanelScene::Slot *PanelScene::slotOf(const PanelElement *element)
{
    const auto it = firstSlotFrom(element->stackOrder());
    return it != m_slots.end() && it->element == element ? &*it : nullptr;
}

void PanelScene::detach(PanelElement *element)
{
    if (m_bulk) {
        m_bulkRemoved.insert(element);
        return;
    }
    if (Slot *slot = slotOf(element)) {
        unindex(element, slot->rect);
        m_slots.erase(m_slots.begin() + (slot - m_slots.data()));
    }
}

void PanelScene::beginBulkRemoval()
{
    m_bulk = true;
}

void PanelScene::endBulkRemoval()
{
    m_bulk = false;
    // The removed elements are gone; only their addresses are compared.
    std::erase_if(m_slots, [this](const Slot &s) { return m_bulkRemoved.contains(s.element); });
    m_bulkRemoved.clear();
    rebuildIndex();
    invalidate(QRect(0, 0, kPanelWidth, kPanelHeight));
}

PanelElement *PanelScene::elementAt(QPoint point, const PanelElement *ignore, bool skipGhost,
                                    bool skipRaised) const
{
    const Bucket &bucket = kPanelRect.contains(point)
                               ? m_cells[point.y() / kCell * kColumns + point.x() / kCell]
                               : m_outside;
    for (auto it = bucket.rbegin(); it != bucket.rend(); ++it) {
        PanelElement *e = *it;
        if (!e->isVisible() || !e->rect().contains(point) || e->shape() == ElementShape::Outline)
            continue;
        if (e == ignore || (skipGhost && e->shape() == ElementShape::Ghost) ||
            (skipRaised && isRaised(*e)))
            continue;
        return e;
    }
    return nullptr;
}

std::vector<const PanelElement *> PanelScene::elementsIn(QRect area) const
{
    std::vector<const PanelElement *> found;
    area &= kPanelRect;
    if (area.isEmpty())
        return found;
    for (int row = area.top() / kCell; row <= area.bottom() / kCell; ++row) {
        for (int column = area.left() / kCell; column <= area.right() / kCell; ++column) {
            for (const PanelElement *e : m_cells[row * kColumns + column]) {
                if (e->isVisible() && e->rect().intersects(area))
                    found.push_back(e);
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const PanelElement *a, const PanelElement *b) {
        return a->stackOrder() < b->stackOrder();
    });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

} // namespace vell
