#include "designer/panelscene.h"

#include <algorithm>

namespace vell {

PanelElement::PanelElement(PanelScene &scene, ElementShape shape, QRect rect)
    : m_scene(scene), m_shape(shape), m_stackOrder(scene.attach(this)), m_rect(rect)
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
    invalidate();
}

void PanelElement::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = true;
    invalidate();
    m_visible = visible;
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

quint64 PanelScene::attach(PanelElement *element)
{
    m_elements.push_back(element);
    return m_nextOrder++;
}

void PanelScene::detach(PanelElement *element)
{
    if (m_bulk) {
        m_bulkRemoved.insert(element);
        return;
    }
    // Elements are kept sorted by stacking order.
    const auto it = std::lower_bound(
        m_elements.begin(), m_elements.end(), element->stackOrder(),
        [](const PanelElement *e, quint64 order) { return e->stackOrder() < order; });
    if (it != m_elements.end() && *it == element)
        m_elements.erase(it);
}

void PanelScene::beginBulkRemoval()
{
    m_bulk = true;
}

void PanelScene::endBulkRemoval()
{
    m_bulk = false;
    // The removed elements are gone; only their addresses are compared.
    std::erase_if(m_elements, [this](const PanelElement *e) { return m_bulkRemoved.contains(e); });
    m_bulkRemoved.clear();
    invalidate(QRect(0, 0, kPanelWidth, kPanelHeight));
}

PanelElement *PanelScene::elementAt(QPoint point, const PanelElement *ignore, bool skipGhost) const
{
    for (auto it = m_elements.rbegin(); it != m_elements.rend(); ++it) {
        PanelElement *e = *it;
        if (!e->isVisible() || e == ignore)
            continue;
        if (skipGhost && e->shape() == ElementShape::Ghost)
            continue;
        if (e->rect().contains(point))
            return e;
    }
    return nullptr;
}

} // namespace vell
