#include "designer/vellresizerect.h"

#include <cstdlib>

namespace vell {

VellResizeRect::VellResizeRect(PanelScene &scene, int cx, int cy, int w, int h, VellControl *owner)
    : VellResizeRect(scene, cx, cy, w, h, owner, scene.reserveOrders(4))
{}

VellResizeRect::VellResizeRect(PanelScene &scene, QRect rect, quint64 firstOrder,
                               VellControl *owner)
    : VellResizeRect(scene, rect.left() + rect.width() / 2, rect.top() + rect.height() / 2,
                     rect.width(), rect.height(), owner, firstOrder)
{}

VellResizeRect::VellResizeRect(PanelScene &scene, int cx, int cy, int w, int h, VellControl *owner,
                               quint64 firstOrder)
    : FrameCentreX(cx - 2), FrameCentreY(cy - 2), FrameWidth(w), FrameHeight(h), Owner(owner),
      m_scene(scene), m_firstOrder(firstOrder)
{
    placeHandles();
}

VellResizeRect::~VellResizeRect() = default;

void VellResizeRect::setCorner(int n, int left, int top)
{
    m_corners[n - 1] = QPoint(left, top);
    if (!m_handles.empty())
        m_handles[n - 1]->setLeftTop(left, top);
}

void VellResizeRect::placeHandles()
{
    const int hw = FrameWidth / 2;
    const int hh = FrameHeight / 2;
    setCorner(1, FrameCentreX - hw, FrameCentreY - hh);
    setCorner(2, FrameCentreX + hw, FrameCentreY - hh);
    setCorner(3, FrameCentreX + hw, FrameCentreY + hh);
    setCorner(4, FrameCentreX - hw, FrameCentreY + hh);
    placeOutline();
}

// The object's 2-pixel border, as its own element draws it while selected.
void VellResizeRect::placeOutline()
{
    if (m_outline)
        m_outline->setRect(FramedRect());
}

void VellResizeRect::SetOutlineColor(QColor color)
{
    m_outlineColor = color;
    if (m_outline)
        m_outline->setPen(color, 2);
}

void VellResizeRect::MoveTo(int cx, int cy)
{
    FrameCentreX = cx - 2;
    FrameCentreY = cy - 2;
    placeHandles();
}

void VellResizeRect::SetCorners(int left, int top, int right, int bottom)
{
    FrameWidth = std::abs(left - right);
    FrameHeight = std::abs(bottom - top);
    FrameCentreX = left + FrameWidth / 2 - 2;
    FrameCentreY = top + FrameHeight / 2 - 2;
    setCorner(1, left - 2, top - 2);
    setCorner(2, right - 2, top - 2);
    setCorner(3, right - 2, bottom - 2);
    setCorner(4, left - 2, bottom - 2);
    placeOutline();
}

void VellResizeRect::SetVisible(bool visible)
{
    if (visible == isVisible())
        return;
    if (!visible) {
        m_handles.clear();
        m_outline.reset();
        return;
    }
    m_handles.reserve(4);
    quint64 first = m_firstOrder;
    if (m_raised) {
        first = m_scene.reserveRaisedOrders(5);
        m_outline =
            std::make_unique<PanelElement>(m_scene, ElementShape::Outline, FramedRect(), first++);
        m_outline->setFillStyle(FillStyle::Clear);
        m_outline->setPen(m_outlineColor, 2);
        m_outline->setHandle(this, 0);
    }
    for (int n = 1; n <= 4; ++n) {
        auto handle = std::make_unique<PanelElement>(m_scene, ElementShape::Handle, handleRect(n),
                                                     first + n - 1);
        handle->setFill(QColor(0, 0, 0));
        handle->setPen(QColor(0, 0, 0), 1);
        handle->setHandle(this, n);
        m_handles.push_back(std::move(handle));
    }
}

void VellResizeRect::SetRaised(bool raised)
{
    if (raised == m_raised)
        return;
    m_raised = raised;
    // Shown handles are made anew at their new places in the stack.
    if (isVisible()) {
        SetVisible(false);
        SetVisible(true);
    }
}

void VellResizeRect::DragHandleTo(int x, int y)
{
    if (ActiveHandle < 1 || ActiveHandle > 4)
        return;
    setCorner(ActiveHandle, x, y);
    const auto corner = [this](int n) {
        return m_corners[n - 1];
    };
    switch (ActiveHandle) {
    case 1:
        setCorner(4, x, corner(4).y());
        setCorner(2, corner(2).x(), y);
        break;
    case 2:
        setCorner(3, x, corner(3).y());
        setCorner(1, corner(1).x(), y);
        break;
    case 3:
        setCorner(2, x, corner(2).y());
        setCorner(4, corner(4).x(), y);
        break;
    case 4:
        setCorner(1, x, corner(1).y());
        setCorner(3, corner(3).x(), y);
        break;
    }
    FrameWidth = std::abs(corner(1).x() - corner(2).x());
    FrameHeight = std::abs(corner(1).y() - corner(4).y());
    FrameCentreX = corner(1).x() + FrameWidth / 2;
    FrameCentreY = corner(1).y() + FrameHeight / 2;
    placeOutline();
}

QRect VellResizeRect::FramedRect() const
{
    return QRect(m_corners[0].x() + 2, m_corners[0].y() + 2, FrameWidth, FrameHeight);
}

} // namespace vell
