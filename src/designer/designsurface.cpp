#include "designer/designsurface.h"

#include "common/textforms.h"
#include "project/designhistory.h"
#include "project/kindfacts.h"

#include <algorithm>

namespace vell {

DesignSurface::DesignSurface(Project &project, ProjectCommands &commands, QObject *parent)
    : QObject(parent), m_project(project), m_commands(commands),
      m_drawing(project.tables(), project.settings().buttonColor, project.settings().pictureColor)
{
    connect(&m_project, &Project::objectAboutToBeRemoved, this, &DesignSurface::forget);
}

DesignSurface::~DesignSurface() = default;

PanelElement *DesignSurface::CurrentSelection() const
{
    return m_selection ? m_drawing.element(*m_selection) : nullptr;
}

VellResizeRect *DesignSurface::ActiveFrame() const
{
    return m_resized ? m_drawing.frame(*m_resized) : nullptr;
}

PanelElement *DesignSurface::dragged() const
{
    return m_dragged ? m_drawing.element(*m_dragged) : nullptr;
}

void DesignSurface::setDragged(PanelElement *element)
{
    m_dragged = m_drawing.objectOf(element);
}

void DesignSurface::forget(const VellControl *object)
{
    const bool all = object == nullptr;
    if (all)
        destroyGhost();
    if (m_resized && (all || m_resized == object))
        setResized(nullptr);
    if (m_dragged && (all || m_dragged == object))
        m_dragged = nullptr;
    if (m_selection && (all || m_selection == object)) {
        // The ghost outline of a press on it goes with it.
        destroyGhost();
        m_selection = nullptr;
        emit objectInfoReset();
    }
}

VellControl *DesignSurface::create(ObjectKind kind)
{
    return m_commands.create(kind);
}

void DesignSurface::unhighlight(VellControl *object)
{
    if (!object)
        return;
    PanelElement *element = m_drawing.element(*object);
    if (object->Kind == KindText) {
        element->setFill(kButtonFace);
    } else {
        element->setPen(QColor(0, 0, 0), 1);
        // A frame being dragged stays (hidden) until its handle is let go.
        if (object == m_resized)
            m_drawing.frame(*object)->SetVisible(false);
        else
            m_drawing.dropFrame(*object);
    }
}

void DesignSurface::highlight(VellControl &object)
{
    const Settings &settings = m_project.settings();
    PanelElement *element = m_drawing.element(object);
    if (object.Kind == KindText) {
        element->setFill(settings.selectedTextColor);
        const auto &text = static_cast<VellText &>(object);
        if (!text.TextColor.isEmpty()) {
            if (const auto color = TryTextToColor(text.TextColor))
                m_colorTextPreset = *color;
        }
    } else {
        element->setPen(settings.selectionBorderColor, 2);
        m_drawing.frame(object)->SetVisible(true);
    }
}

void DesignSurface::press(PanelElement *element, PressState state)
{
    VellControl *object = m_drawing.objectOf(element);
    if (!object)
        return;
    unhighlight(m_selection);
    m_selection = object;
    if (state == PressState::LeftAlone && m_project.settings().borderMove) {
        destroyGhost();
        m_ghost =
            std::make_unique<PanelElement>(m_drawing.scene(), ElementShape::Ghost, element->rect());
        m_ghost->setFillStyle(FillStyle::Clear);
        m_ghost->setDottedPen(true);
        m_lastTickPointer = QPoint(INT_MIN, INT_MIN);
        emit moveTicksNeededChanged(true);
    }
    highlight(*object);
    emit propertiesShown(object);
    if (state == PressState::RightAlone)
        m_popupAttached = true;
}

void DesignSurface::Select(VellControl &object)
{
    press(m_drawing.element(object), PressState::Other);
}

void DesignSurface::pressBarePanel(PressState state)
{
    if (state == PressState::RightAlone)
        m_popupAttached = false;
}

bool DesignSurface::acceptsDrop(QPoint point, const PanelElement *dragged) const
{
    if (!m_drawing.objectOf(dragged))
        return false;
    if (!QRect(0, 0, kPanelWidth, kPanelHeight).contains(point))
        return false;
    const PanelElement *target = m_drawing.scene().elementAt(point);
    return !target || target == m_ghost.get();
}

void DesignSurface::drop(PanelElement *dragged, QPoint point)
{
    VellControl *object = m_drawing.objectOf(dragged);
    if (!object)
        return;
    m_commands.moveTo(*object, point.x() - kPanelWidth / 2 - 1, kPanelHeight / 2 - point.y() + 1);
    emit propertiesShown(object);
    destroyGhost();
}

void DesignSurface::RemoveSelected()
{
    destroyGhost();
    m_popupAttached = false;
    m_commands.remove(m_selection);
}

void DesignSurface::ClearAllObjects()
{
    m_commands.clear();
    destroyGhost();
    emit objectInfoReset();
}

void DesignSurface::nudge(int dx, int dy, bool held)
{
    if (VellControl *object = m_selection; object && m_commands.nudge(*object, dx, dy, held))
        emit propertiesShown(object);
}

void DesignSurface::destroyGhost()
{
    if (!m_ghost)
        return;
    m_ghost.reset();
    if (!needsMoveTicks())
        emit moveTicksNeededChanged(false);
}

void DesignSurface::pointerMovedOverGhost()
{
    destroyGhost();
}

void DesignSurface::setResized(VellControl *object, int handle)
{
    const bool before = needsMoveTicks();
    if (VellResizeRect *frame = ActiveFrame())
        frame->HandleMouseUp();
    m_resized = object;
    if (VellResizeRect *frame = ActiveFrame())
        frame->HandleMouseDown(handle);
    if (before != needsMoveTicks())
        emit moveTicksNeededChanged(needsMoveTicks());
}

void DesignSurface::handleDown(PanelElement *handle, QPoint pointer)
{
    if (!handle || !handle->frame() || !handle->frame()->Owner)
        return;
    m_resizedBefore = RecordOf(*handle->frame()->Owner);
    setResized(handle->frame()->Owner, handle->handleNumber());
    m_lastTickPointer = QPoint(INT_MIN, INT_MIN);
    moveTick(pointer);
}

void DesignSurface::handleUp()
{
    if (!m_resized)
        return;
    VellControl *object = m_resized;
    setResized(nullptr);
    m_commands.resized(*object, m_resizedBefore);
}

void DesignSurface::moveTick(QPoint pointer)
{
    // Nothing changes while the pointer stands still.
    if (pointer == m_lastTickPointer)
        return;
    m_lastTickPointer = pointer;
    if (m_ghost) {
        m_ghost->setLeftTop(pointer.x() - m_ghost->width() / 2,
                            pointer.y() - m_ghost->height() / 2);
    }
    if (m_resized) {
        ActiveFrame()->DragHandleTo(pointer.x(), pointer.y());
        m_drawing.ApplyFrame(*m_resized);
        emit propertiesShown(m_resized);
    }
}

void DesignSurface::recolourButtons()
{
    const QColor color = m_project.settings().buttonColor;
    ObjectTables &t = tables();
    for (int id = 1; id <= t.ButtonCount(); ++id)
        m_drawing.element(*t.button(id))->setFill(color);
    m_buttonsColour = color;
}

void DesignSurface::recolourTick()
{
    // Every button is made in the settings' colour and repainted when it
    // changes, so an idle tick has nothing to do.
    if (m_project.settings().buttonColor != m_buttonsColour)
        recolourButtons();
}

} // namespace vell
