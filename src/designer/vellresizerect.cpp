#include "designer/vellresizerect.h"

#include <cstdlib>

namespace vell {

VellResizeRect::VellResizeRect(PanelScene &scene, int cx, int cy, int w, int h, VellControl *owner)
    : FrameCentreX(cx - 2), FrameCentreY(cy - 2), FrameWidth(w), FrameHeight(h), Owner(owner)
{
    for (int n = 1; n <= 4; ++n) {
        auto handle =
            std::make_unique<PanelElement>(scene, ElementShape::Handle, QRect(0, 0, 4, 4));
        handle->setFill(QColor(0, 0, 0));
        handle->setPen(QColor(0, 0, 0), 1);
        handle->setHandle(this, n);
        Handles[n - 1] = std::move(handle);
    }
    placeHandles();
}

void VellResizeRect::placeHandles()
{
    const int hw = FrameWidth / 2;
    const int hh = FrameHeight / 2;
    handle(1).setLeftTop(FrameCentreX - hw, FrameCentreY - hh);
    handle(2).setLeftTop(FrameCentreX + hw, FrameCentreY - hh);
    handle(3).setLeftTop(FrameCentreX + hw, FrameCentreY + hh);
    handle(4).setLeftTop(FrameCentreX - hw, FrameCentreY + hh);
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
    handle(1).setLeftTop(left - 2, top - 2);
    handle(2).setLeftTop(right - 2, top - 2);
    handle(3).setLeftTop(right - 2, bottom - 2);
    handle(4).setLeftTop(left - 2, bottom - 2);
}

void VellResizeRect::SetVisible(bool visible)
{
    for (auto &h : Handles)
        h->setVisible(visible);
}

bool VellResizeRect::isVisible() const
{
    return Handles[0]->isVisible();
}

void VellResizeRect::DragHandleTo(int x, int y)
{
    if (ActiveHandle < 1 || ActiveHandle > 4)
        return;
    handle(ActiveHandle).setLeftTop(x, y);
    switch (ActiveHandle) {
    case 1:
        handle(4).setLeftTop(x, handle(4).top());
        handle(2).setLeftTop(handle(2).left(), y);
        break;
    case 2:
        handle(3).setLeftTop(x, handle(3).top());
        handle(1).setLeftTop(handle(1).left(), y);
        break;
    case 3:
        handle(2).setLeftTop(x, handle(2).top());
        handle(4).setLeftTop(handle(4).left(), y);
        break;
    case 4:
        handle(1).setLeftTop(x, handle(1).top());
        handle(3).setLeftTop(handle(3).left(), y);
        break;
    }
    FrameWidth = std::abs(handle(1).left() - handle(2).left());
    FrameHeight = std::abs(handle(1).top() - handle(4).top());
    FrameCentreX = handle(1).left() + FrameWidth / 2;
    FrameCentreY = handle(1).top() + FrameHeight / 2;
}

QRect VellResizeRect::FramedRect() const
{
    return QRect(handle(1).left() + 2, handle(1).top() + 2, FrameWidth, FrameHeight);
}

} // namespace vell
