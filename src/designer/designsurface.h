#pragma once

#include "designer/alignmentguides.h"
#include "designer/paneldrawing.h"
#include "project/designhistory.h"
#include "project/project.h"
#include "project/projectcommands.h"

#include <QObject>

#include <climits>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

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
// selection knows its own objects, so every command acts on them whatever
// the kind box shows. Several objects may be selected; one of them, the
// primary, has the frame and fills the grid, and a command for one object
// acts on it. The objects it refers to (the selection, the one being
// dragged, the one whose handle is held) are forgotten the moment the
// project announces their removal.
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

    // The selected object's element (the primary's), or nullptr.
    PanelElement *CurrentSelection() const;
    // The primary, or nullptr.
    VellControl *selectedObject() const { return m_selection; }
    // Every selected object in the order they were added, the primary among
    // them; empty when nothing is selected.
    const std::vector<VellControl *> &selectedObjects() const { return m_group; }
    bool isSelected(const VellControl &object) const { return m_inGroup.contains(&object); }
    ObjectGroup selectedGroup() const { return {m_group, m_selection}; }
    // Ctrl+click: an unselected object joins as the primary; a selected one
    // leaves, and the most recently added of the rest becomes the primary.
    void toggle(VellControl &object);
    // Every object; the primary stays, or else is the last object of the
    // last kind that has any.
    void selectAll();
    // These objects alone, `primary` (else the last of them) foremost.
    void selectGroup(const QList<VellControl *> &members, VellControl *primary);
    // A band drawn on the panel: the objects whose part on the panel lies
    // wholly inside it (a text's label) become the selection, or join it
    // (`add`). The primary stays if it is inside, else the topmost object
    // inside leads. A band that takes in nothing changes nothing.
    void selectInBand(const QRect &band, bool add);
    // The left press on a member of a group was let go without a move: that
    // object alone stays selected.
    void releasedWithoutMove();
    // The object's fields were set back or forth: the primary shows them.
    void objectChanged(VellControl &object);
    PanelElement *GhostFrame() const { return m_ghost.get(); }
    VellResizeRect *ActiveFrame() const;
    bool popupAttached() const { return m_popupAttached; }
    // The colour the text colour dialog starts from.
    QColor colorTextPreset() const { return m_colorTextPreset; }
    void setColorTextPreset(QColor color) { m_colorTextPreset = color; }

    // Create: a new object at the panel centre, unselected; nullptr (and
    // nothing changed) when its table is full.
    VellControl *create(ObjectKind kind);

    // A press on an object's element. A left or right press alone on a
    // member of a group keeps the group and makes the object its primary.
    void press(PanelElement *element, PressState state);
    // Selects as a press in state Other would (no drag, no popup change).
    void Select(VellControl &object);
    // The element a drag is armed for or moving; nullptr once its object is
    // removed meanwhile.
    PanelElement *dragged() const;
    void setDragged(PanelElement *element);

    // For an Alt+click at the panel point: when the selected object lies
    // under it, the element of the next object below it there (the topmost
    // after the lowest); otherwise nullptr.
    PanelElement *nextBelowSelected(QPoint point) const;

    // What a left press (without Alt) at the panel point reaches: the
    // topmost element there, except where the selected button or picture
    // lies under an object whose rectangle holds its whole rectangle; the
    // press then reaches the selected object, which stays selected and can
    // be dragged out from under.
    PanelElement *leftPressTarget(QPoint point) const;

    // The topmost element at the panel point as the stack would have it
    // with the selected object's handles right above their object, not
    // raised above everything (as before the selection raised them).
    PanelElement *elementAsStacked(QPoint point, bool skipGhost) const;

    // A press on the bare panel.
    void pressBarePanel(PressState state);

    // Whether a dragged element may be dropped at the panel point: only on
    // the bare panel or the ghost outline.
    bool acceptsDrop(QPoint point, const PanelElement *dragged) const;
    // Drops the dragged element at the panel point: its centre lands one
    // pixel left of and above it; with the guides on (and `freely` false)
    // moved so that the rectangle it takes aligns, as the move tick showed.
    void drop(PanelElement *dragged, QPoint point, bool freely = false);

    // The selected objects lined up with the primary, or spread with equal
    // gaps (see ProjectCommands).
    void alignSelected(GroupAlign how);
    void distributeSelected(Qt::Orientation axis);
    // Removes the selected objects (nothing when none is selected).
    void RemoveSelected();
    void ClearAllObjects();
    // Moves the selected objects by the offset (arrow keys); a held key's
    // repeats make one step with its first press.
    void nudge(int dx, int dy, bool held);

    // The pointer moved over the ghost outline while not dragging, or left
    // the panel: the outline goes.
    void pointerMovedOverGhost();

    // A handle went down (any button) / the button went up again; `freely`
    // tells whether the last step is made without the guides.
    void handleDown(PanelElement *handle, QPoint pointer);
    void handleUp(bool freely = false);
    // A drag or a resize given up: the object stays or goes back to its
    // size and place before the press, no step is made, the ghost outline
    // and the guide lines go.
    void cancelPointerWork();

    // The move tick: the ghost outline follows the pointer, a held handle
    // resizes its object. `pointer` is in panel coordinates. With the
    // guides on, the rectangle a drop there would give (or the edges the
    // held handle moves) aligns to the nearest line within reach, unless
    // `freely` (Alt held).
    void moveTick(QPoint pointer, bool freely = false);

    // Alignment guides while dragging and resizing; off unless chosen.
    bool guidesOn() const { return m_guidesOn; }
    void setGuidesOn(bool on);
    // A guide line shown across the panel: along Qt::Horizontal at that x
    // (a vertical line), along Qt::Vertical at that y.
    struct Guide
    {
        Qt::Orientation axis;
        int at;
        bool operator==(const Guide &) const = default;
    };
    // The lines an aligned drag or resize holds to now.
    const std::vector<Guide> &guides() const { return m_guides; }
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
    // The guide lines shown changed.
    void guidesChanged();

private:
    void forget(const VellControl *object);
    void unhighlight(VellControl *object);
    void highlight(VellControl &object);
    // A selected object that is not the primary: the selection border (a
    // text, its selection background), no frame.
    void highlightMember(VellControl &object);
    // Makes the object (a member) the primary.
    void makePrimary(VellControl *object);
    void clearSelection();
    // The rectangle the selected objects take on the panel.
    QRect groupRect() const;
    void destroyGhost();
    void setResized(VellControl *object, int handle = 0);
    // The lines for moving `object`, gathered once per drag or resize.
    const AlignmentGuides &guideLines(const VellControl &object);
    // Where the object's drop at the pointer would put its rectangle (for a
    // group being dragged, the group's).
    QRect dropRect(const VellControl &object, QPoint pointer) const;
    // How far the pointer moves for the drop's rectangle to align; the
    // lines it then holds to (one at most along each axis) are added to
    // `held`.
    QPoint dropShift(const VellControl &object, QPoint pointer, std::vector<Guide> *held);
    // The pointer the held handle moves to for its edges to align.
    QPoint aligned(QPoint pointer, std::vector<Guide> &held);
    void showGuides(std::vector<Guide> guides);
    void stopAligning();

    Project &m_project;
    ProjectCommands &m_commands;
    // Before the ghost outline, which lies in its scene.
    PanelDrawing m_drawing;
    VellControl *m_selection = nullptr;
    std::vector<VellControl *> m_group;
    std::unordered_set<const VellControl *> m_inGroup;
    // The group being dragged: its rectangle when the drag began.
    std::optional<QRect> m_draggedGroup;
    VellControl *m_dragged = nullptr;
    // The object whose frame handle is held.
    VellControl *m_resized = nullptr;
    ObjectRecord m_resizedBefore;
    std::unique_ptr<PanelElement> m_ghost;
    bool m_popupAttached = false;
    QColor m_colorTextPreset{0, 0, 0};
    QColor m_buttonsColour = Settings().buttonColor;
    QPoint m_lastTickPointer{INT_MIN, INT_MIN};
    bool m_lastTickFreely = false;
    bool m_guidesOn = false;
    std::unique_ptr<AlignmentGuides> m_lines;
    const VellControl *m_linesFor = nullptr;
    std::vector<Guide> m_guides;
    // How far the ghost outline stands from the pointer-centred place.
    QPoint m_ghostShift;
};

} // namespace vell
