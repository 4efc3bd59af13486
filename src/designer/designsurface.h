#pragma once

#include "designer/paneldrawing.h"
#include "project/designhistory.h"
#include "project/project.h"
#include "project/projectcommands.h"

#include <QObject>

#include <climits>
#include <memory>

namespace vell {

// How a press was made. LeftAlone/RightAlone: that button only, no Shift,
// Ctrl or Alt, not the second press of a double-click. Anything else
// (modifiers, double-click, middle button, a selection by name) is Other.
enum class PressState
{
    LeftAlone,
    RightAlone,
    Other
};

// What the user does on the design panel: selecting, moving with the ghost
// outline, resizing by the frame handles, deleting and clearing. The
// selection knows its own object, so every command acts on the selected
// object itself whatever the kind box shows. The objects it refers to (the
// selection, the one being dragged, the one whose handle is held) are
// forgotten the moment the project announces their removal.
class DesignSurface : public QObject
{
    Q_OBJECT

public:
    // Every change it makes goes through `commands`.
    DesignSurface(Project &project, ProjectCommands &commands, QObject *parent = nullptr);
    ~DesignSurface() override;

    Project &project() { return m_project; }
    ObjectTables &tables() { return m_project.tables(); }
    // What the panel shows of the objects.
    PanelDrawing &drawing() { return m_drawing; }

    // The selected object's element, or nullptr.
    PanelElement *CurrentSelection() const;
    VellControl *selectedObject() const { return m_selection; }
    PanelElement *GhostFrame() const { return m_ghost.get(); }
    VellResizeRect *ActiveFrame() const;
    bool popupAttached() const { return m_popupAttached; }
    // The colour the text colour dialog starts from.
    QColor colorTextPreset() const { return m_colorTextPreset; }
    void setColorTextPreset(QColor color) { m_colorTextPreset = color; }

    // Create: a new object at the panel centre, unselected; nullptr (and
    // nothing changed) when its table is full.
    VellControl *create(ObjectKind kind);

    // A press on an object's element.
    void press(PanelElement *element, PressState state);
    // Selects as a press in state Other would (no drag, no popup change).
    void Select(VellControl &object);
    // The element a drag is armed for or moving; nullptr once its object is
    // removed meanwhile.
    PanelElement *dragged() const;
    void setDragged(PanelElement *element);

    // A press on the bare panel.
    void pressBarePanel(PressState state);

    // Whether a dragged element may be dropped at the panel point: only on
    // the bare panel or the ghost outline.
    bool acceptsDrop(QPoint point, const PanelElement *dragged) const;
    // Drops the dragged element at the panel point: its centre lands one
    // pixel left of and above it.
    void drop(PanelElement *dragged, QPoint point);

    // Removes the selected object (nothing when none is selected).
    void RemoveSelected();
    void ClearAllObjects();
    // Moves the selected object by the offset (arrow keys); a held key's
    // repeats make one step with its first press.
    void nudge(int dx, int dy, bool held);

    // The pointer moved over the ghost outline while not dragging, or left
    // the panel: the outline goes.
    void pointerMovedOverGhost();

    // A handle went down (any button) / the button went up again.
    void handleDown(PanelElement *handle, QPoint pointer);
    void handleUp();

    // The move tick: the ghost outline follows the pointer, a held handle
    // resizes its object. `pointer` is in panel coordinates.
    void moveTick(QPoint pointer);
    bool needsMoveTicks() const { return m_ghost || m_resized; }

    // Every button in the current button colour.
    void recolourButtons();
    // The recolour tick: the same, when the colour is not the one they have.
    void recolourTick();

signals:
    // ShowProperties of the object: kind box, object box, grid, ID label.
    void propertiesShown(vell::VellControl *object);
    // ResetObjectInfo: object box, grid and ID label show no object.
    void objectInfoReset();
    // The ghost outline or a held handle appeared or went away.
    void moveTicksNeededChanged(bool needed);

private:
    void forget(const VellControl *object);
    void unhighlight(VellControl *object);
    void highlight(VellControl &object);
    void destroyGhost();
    void setResized(VellControl *object, int handle = 0);

    Project &m_project;
    ProjectCommands &m_commands;
    // Before the ghost outline, which lies in its scene.
    PanelDrawing m_drawing;
    VellControl *m_selection = nullptr;
    VellControl *m_dragged = nullptr;
    // The object whose frame handle is held.
    VellControl *m_resized = nullptr;
    ObjectRecord m_resizedBefore;
    std::unique_ptr<PanelElement> m_ghost;
    bool m_popupAttached = false;
    QColor m_colorTextPreset{0, 0, 0};
    QColor m_buttonsColour = Settings().buttonColor;
    QPoint m_lastTickPointer{INT_MIN, INT_MIN};
};

} // namespace vell
