#include "designer/panelscene.h"

#include <algorithm>

namespace vell {

PanelElement::PanelElement(PanelScene &scene, ElementShape shape, QRect rect)
    : m_scene(scene), m_shape(shape), m_stackOrder(scene.attach(this, rect)), m_rect(rect)
{
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
        m_scene.invalidate(m_rect);
}

void PanelElement::setRect(QRect rect)
{
    if (rect == m_rect)
        return;
    invalidate();
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
    if (color == m_fill)
        return;
    m_fill = color;
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
    if (color == m_penColor && width == m_penWidth)
        return;
    m_penColor = color;
    m_penWidth = width;
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
    if (color == m_textColor)
        return;
    m_textColor = color;
    invalidate();
}

quint64 PanelScene::attach(PanelElement *element, QRect rect)
{
    m_slots.push_back(Slot{rect, true, m_nextOrder, element});
    return m_nextOrder++;
}

PanelScene::Slot *PanelScene::slotOf(const PanelElement *element)
{
    // Slots are kept sorted by stacking order.
    const auto it = std::lower_bound(m_slots.begin(), m_slots.end(), element->stackOrder(),
                                     [](const Slot &s, quint64 order) { return s.order < order; });
    return it != m_slots.end() && it->element == element ? &*it : nullptr;
}

void PanelScene::detach(PanelElement *element)
{
    if (m_bulk) {
        m_bulkRemoved.insert(element);
        return;
    }
    if (Slot *slot = slotOf(element))
        m_slots.erase(m_slots.begin() + (slot - m_slots.data()));
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
    invalidate(QRect(0, 0, kPanelWidth, kPanelHeight));
}

PanelElement *PanelScene::elementAt(QPoint point, const PanelElement *ignore, bool skipGhost) const
{
    for (auto it = m_slots.rbegin(); it != m_slots.rend(); ++it) {
        if (!it->visible || !it->rect.contains(point))
            continue;
        PanelElement *e = it->element;
        if (e == ignore || (skipGhost && e->shape() == ElementShape::Ghost))
            continue;
        return e;
    }
    return nullptr;
}

} // namespace vell
