#pragma once

#include "codegen/actionpreview.h"
#include "designer/paneldrawing.h"

#include <QPoint>

namespace vell {

// The interface as the game starts it, drawn apart from the design: only the
// objects whose visibility is true are shown (each as a visible one is
// drawn), and clicks on buttons run their actions on what is shown. The
// objects themselves never change.
class PreviewSession
{
public:
    // The objects of the design's tables lie as the generated code creates
    // them (a background picture over the buttons, as in the game), however
    // the design panel happens to stack them.
    PreviewSession(PanelDrawing &design, QColor buttonFill, QColor pictureFill);

    const PanelScene &scene() const { return m_drawing.scene(); }
    bool isShown(const VellControl &object) const;
    // The topmost shown button at the point (pictures and texts take no
    // clicks), or nullptr.
    const VellButton *buttonAt(QPoint point) const;
    // A click of that side at the point, `now` in milliseconds: the
    // button's actions show and hide objects and put their messages up.
    // Returns whether there was a button to click.
    bool click(QPoint point, ClickSide side, qint64 now);
    PreviewMessages &messages() { return m_messages; }
    const PreviewMessages &messages() const { return m_messages; }

private:
    PanelDrawing m_drawing;
    PreviewMessages m_messages;
};

} // namespace vell
