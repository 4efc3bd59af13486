#pragma once

#include "designer/panelscene.h"

#include <array>
#include <memory>

namespace vell {

struct VellControl;

// The selection frame of a button or picture: four 4 x 4 handles centred on
// the corners of the object's rectangle, by which the object is resized.
class VellResizeRect
{
public:
    // Handle numbers: 1 top-left, 2 top-right, 3 bottom-right, 4 bottom-left.
    VellResizeRect(PanelScene &scene, int cx, int cy, int w, int h, VellControl *owner);
    VellResizeRect(const VellResizeRect &) = delete;
    VellResizeRect &operator=(const VellResizeRect &) = delete;

    void MoveTo(int cx, int cy);
    void SetCorners(int left, int top, int right, int bottom);
    void SetVisible(bool visible);
    bool isVisible() const;

    void HandleMouseDown(int handle) { ActiveHandle = handle; }
    void HandleMouseUp() { ActiveHandle = 0; }
    // Moves the held handle's top-left to (x, y) and its two neighbours with it.
    void DragHandleTo(int x, int y);
    // The rectangle the handles frame: from the top-left handle's centre,
    // FrameWidth by FrameHeight.
    QRect FramedRect() const;

    // Handle n (1..4).
    PanelElement &handle(int n) const { return *Handles[n - 1]; }

    std::array<std::unique_ptr<PanelElement>, 4> Handles;
    int FrameCentreX = 0;
    int FrameCentreY = 0;
    int FrameWidth = 0;
    int FrameHeight = 0;
    int ActiveHandle = 0;
    VellControl *Owner = nullptr;

private:
    void placeHandles();
};

} // namespace vell
