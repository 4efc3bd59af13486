#pragma once

#include "designer/designsurface.h"

#include <QFrame>
#include <QImage>
#include <QRegion>

#include <memory>
#include <span>

class QMenu;

namespace vell {

// The keys and clicks the panel handles itself, in the order the key list
// shows them; the handlers read this table, so the list names every key
// they take.
struct PanelInput
{
    enum class Job
    {
        Nudge,      // moves the selected object by `step` (Y grows upwards)
        Remove,     // removes the selected object, as the menu's Shift+Del
        Menu,       // opens the menu of the object picked by a right click
        Click,      // a click with `key`'s modifiers, named by `click`
        SelectAll,  // selects every object
        CancelBand, // gives up the band being drawn
    };
    QKeyCombination key;
    Job job;
    QPoint step;
    const char *what;
    const char *click = nullptr;
};
std::span<const PanelInput> PanelInputs();

// The design panel `Win`: paints the panel's elements from the model and
// turns mouse input into presses, drags and drops, and handle resizing. The
// drag is the panel's own: it starts once the pointer has moved a pixel with
// the left button held, and ends where the button is released.
class DesignPanel : public QFrame
{
    Q_OBJECT

public:
    DesignPanel(DesignSurface &surface, QWidget *parent = nullptr);

    // The popup menu the panel opens while one is attached.
    void setPopupMenu(QMenu *menu) { m_popup = menu; }
    QMenu *popupMenu() const { return m_popup; }

    // Whether a drag is in progress (for tests and the pointer shape).
    bool isDragging() const { return m_mode == Mode::Dragging; }
    // The band being drawn (empty when none).
    QRect band() const { return m_band; }
    // Gives up a drag or a resize in progress (see
    // DesignSurface::cancelPointerWork).
    void cancelPointerWork();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    enum class Mode
    {
        Idle,
        DragArmed,
        Dragging,
        Resizing,
        // A left press on the bare panel: a band follows the pointer.
        Band
    };

    void pressAt(QMouseEvent *event, bool doubleClick);
    // The band from the press to the pointer, on the panel; repaints where
    // it was and where it is.
    void setBand(const QRect &band);
    // Repaints where the guide lines were and where they are now.
    void guidesChanged();
    // Alt pressed or let go while dragging or resizing: the step is made
    // again as it now goes.
    void altChanged(bool held);
    void updateHoverCursor(QPoint pos);
    void openPopup(QPoint globalPos);

    // Brings the picture of the still elements up to date where it is stale.
    void refreshCache();
    // Visits the visible elements reaching into `area`, bottom to top; the
    // ghost outline, drawn over every picture, never.
    template <typename Visit> void forEachElementIn(QRect area, Visit visit) const;

    // While a handle is held, the elements below and above the object being
    // resized are kept as two pictures, made where first needed; the object
    // and its handles are drawn between them.
    struct ResizeLayers
    {
        const PanelElement *element;
        const VellResizeRect *frame;
        QImage below;
        QImage above;
        QRegion ready;
        // Where anything was drawn into `above` (elsewhere it is clear).
        QRect aboveDrawn;
        // Where the object and its handles have been while resized.
        QRect moved;
        bool moving(const PanelElement *e) const
        {
            return e && (e == element || ((e->shape() == ElementShape::Handle ||
                                           e->shape() == ElementShape::Outline) &&
                                          e->frame() == frame));
        }
    };
    void startLayers(const PanelElement *handle);
    // Drops the layers once the resize is over or its object is gone.
    void checkLayers();
    void dropLayers();
    void buildLayers(const QRegion &region);

    // While the panel handles a pointer move, the areas it changes are
    // gathered and handed to Qt's repaint once, at the end.
    class HeldUpdates
    {
    public:
        explicit HeldUpdates(DesignPanel &panel) : m_panel(panel) { ++panel.m_updatesHeld; }
        ~HeldUpdates();
        HeldUpdates(const HeldUpdates &) = delete;
        HeldUpdates &operator=(const HeldUpdates &) = delete;

    private:
        DesignPanel &m_panel;
    };
    int m_updatesHeld = 0;
    QRegion m_heldUpdate;
    // What was asked to be painted since the last paint.
    QRegion m_requested;

    DesignSurface &m_surface;
    QRect m_band;
    // The still elements as last drawn (everything but the ghost outline),
    // and where that picture no longer holds.
    QImage m_cache;
    QRegion m_stale;
    std::unique_ptr<ResizeLayers> m_layers;
    // The guide lines as last drawn: drawn over every picture, never into
    // them.
    QRegion m_guideArea;
    QMenu *m_popup = nullptr;
    Mode m_mode = Mode::Idle;
    QPoint m_pressPos;
    QPoint m_lastPointer{-1, -1};
    bool m_rightPressOnPanel = false;
    // The last key released and when (the event's time stamp, ms): a press
    // of the same key right after it is the key's auto-repeat, which some X
    // servers deliver as a release and a press without Qt's repeat flag.
    int m_releasedKey = 0;
    quint64 m_releasedAt = 0;
};

// Paints one element (also used by the benchmark).
void paintElement(class QPainter &painter, const PanelElement &element);
// The panel's own colour, under the elements.
inline const QColor kPanelFace(240, 240, 240);

} // namespace vell
