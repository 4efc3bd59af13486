#pragma once

#include "designer/panelscene.h"

#include <array>
#include <memory>
#include <vector>

namespace vell {

struct VellControl;

// The selection frame of a button or picture: four 4 x 4 handles centred on
// the corners of the object's rectangle, by which the object is resized.
// A button or picture gets one when it is first asked for (usually on
// selection); the handles have their places in the stack right above their
// object (so objects made later cover them) and are drawn elements only
// while shown. A raised frame's handles lie above everything instead (the
// selected object's, so that it can be seen and resized when covered), over
// an outline that draws the object's border there again.
class VellResizeRect
{
public:
    // Handle numbers: 1 top-left, 2 top-right, 3 bottom-right, 4 bottom-left.
    VellResizeRect(PanelScene &scene, int cx, int cy, int w, int h, VellControl *owner);
    // The frame of an object drawn in `rect`, made as with the object (by
    // the rectangle's centre and size), the handles at the stacking places
    // from `firstOrder` on.
    VellResizeRect(PanelScene &scene, QRect rect, quint64 firstOrder, VellControl *owner);
    ~VellResizeRect();
    VellResizeRect(const VellResizeRect &) = delete;
    VellResizeRect &operator=(const VellResizeRect &) = delete;

    void MoveTo(int cx, int cy);
    void SetCorners(int left, int top, int right, int bottom);
    void SetVisible(bool visible);
    bool isVisible() const { return !m_handles.empty(); }
    void SetRaised(bool raised);
    bool isRaised() const { return m_raised; }
    // The colour of a raised frame's outline, the selected object's border.
    void SetOutlineColor(QColor color);
    // The drawn outline while the frame is shown raised, else nullptr.
    PanelElement *outlineElement() const { return m_outline.get(); }
    // The stacking place handle n has while the frame is not raised.
    quint64 ownOrder(int n) const { return m_firstOrder + n - 1; }

    void HandleMouseDown(int handle) { ActiveHandle = handle; }
    void HandleMouseUp() { ActiveHandle = 0; }
    // Moves the held handle's top-left to (x, y) and its two neighbours with it.
    void DragHandleTo(int x, int y);
    // The rectangle the handles frame: from the top-left handle's centre,
    // FrameWidth by FrameHeight.
    QRect FramedRect() const;

    // Where handle n (1..4) stands, shown or not.
    QRect handleRect(int n) const { return QRect(m_corners[n - 1], QSize(4, 4)); }
    // The drawn handle n while the frame is shown, else nullptr.
    PanelElement *handleElement(int n) const
    {
        return m_handles.empty() ? nullptr : m_handles[n - 1].get();
    }

    int FrameCentreX = 0;
    int FrameCentreY = 0;
    int FrameWidth = 0;
    int FrameHeight = 0;
    int ActiveHandle = 0;
    VellControl *Owner = nullptr;

private:
    VellResizeRect(PanelScene &scene, int cx, int cy, int w, int h, VellControl *owner,
                   quint64 firstOrder);
    void placeHandles();
    void setCorner(int n, int left, int top);
    void placeOutline();

    PanelScene &m_scene;
    // The stacking place of handle 1; the others follow it.
    quint64 m_firstOrder;
    std::array<QPoint, 4> m_corners{};
    std::vector<std::unique_ptr<PanelElement>> m_handles;
    std::unique_ptr<PanelElement> m_outline;
    QColor m_outlineColor{0, 0, 0};
    bool m_raised = false;
};

} // namespace vell
