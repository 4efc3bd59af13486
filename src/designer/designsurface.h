#pragma once

#include "designer/objecttables.h"
#include "project/projectstate.h"
#include "settings/settings.h"

#include <QObject>

#include <functional>
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
// object itself whatever the kind box shows.
class DesignSurface : public QObject
{
    Q_OBJECT

public:
    DesignSurface(ObjectTables &tables, ProjectState &project, std::function<Settings()> settings,
                  QObject *parent = nullptr);
    ~DesignSurface() override;

    ObjectTables &tables() { return m_tables; }
    ProjectState &project() { return m_project; }

    PanelElement *CurrentSelection() const { return m_selection; }
    VellControl *selectedObject() const { return m_tables.objectOf(m_selection); }
    PanelElement *GhostFrame() const { return m_ghost.get(); }
    VellResizeRect *ActiveFrame() const { return m_activeFrame; }
    bool popupAttached() const { return m_popupAttached; }
    // The colour the text colour dialog starts from.
    QColor colorTextPreset() const { return m_colorTextPreset; }
    void setColorTextPreset(QColor color) { m_colorTextPreset = color; }

    // Create: a new object at the panel centre, unselected; nullptr (and
    // nothing changed) when its table is full.
    VellControl *create(int kind);

    // A press on an object's element.
    void press(PanelElement *element, PressState state);
    // Selects as a press in state Other would (no drag, no popup change).
    void Select(VellControl &object);
    // The element a drag is armed for or moving; forgotten when its object
    // is removed meanwhile.
    PanelElement *dragged() const { return m_dragged; }
    void setDragged(PanelElement *element) { m_dragged = element; }

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
    // Removes an object wherever it is, keeping selection, ghost and held
    // handle consistent (no ProjectModified, no name refresh).
    void removeObject(int kind, int id);

    // The pointer moved over the ghost outline while not dragging.
    void pointerMovedOverGhost();

    // A handle went down (any button) / the button went up again.
    void handleDown(PanelElement *handle, QPoint pointer);
    void handleUp();

    // The move tick: the ghost outline follows the pointer, a held handle
    // resizes its object. `pointer` is in panel coordinates.
    void moveTick(QPoint pointer);
    bool needsMoveTicks() const { return m_ghost || m_activeFrame; }

    // The recolour tick: every button in the current button colour.
    void recolourButtons();

    void setModified() { m_project.ProjectModified = true; }

signals:
    // ShowProperties of the object: kind box, object box, grid, ID label.
    void propertiesShown(vell::VellControl *object);
    // ResetObjectInfo: object box, grid and ID label show no object.
    void objectInfoReset();
    // An object was added or removed (the name lists may need a refresh).
    void objectsChanged();
    // The ghost outline or a held handle appeared or went away.
    void moveTicksNeededChanged(bool needed);

private:
    void unhighlight(PanelElement *element);
    void highlight(VellControl &object);
    void destroyGhost();
    void setActiveFrame(VellResizeRect *frame);

    ObjectTables &m_tables;
    ProjectState &m_project;
    std::function<Settings()> m_settings;
    PanelElement *m_selection = nullptr;
    PanelElement *m_dragged = nullptr;
    std::unique_ptr<PanelElement> m_ghost;
    VellResizeRect *m_activeFrame = nullptr;
    bool m_popupAttached = false;
    QColor m_colorTextPreset{0, 0, 0};
    QPoint m_lastTickPointer{INT_MIN, INT_MIN};
};

} // namespace vell
