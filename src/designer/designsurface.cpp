#include "designer/designsurface.h"

#include "common/textforms.h"

#include <climits>

namespace vell {

namespace {
const QColor kButtonFace(240, 240, 240);
}

DesignSurface::DesignSurface(ObjectTables &tables, ProjectState &project,
                             std::function<Settings()> settings, QObject *parent)
    : QObject(parent), m_tables(tables), m_project(project), m_settings(std::move(settings))
{}

DesignSurface::~DesignSurface() = default;

VellControl *DesignSurface::create(int kind)
{
    VellControl *object = nullptr;
    switch (kind) {
    case KindButton:
        object = m_tables.createButton(m_settings().buttonColor);
        break;
    case KindPicture:
        object = m_tables.createPicture(m_settings().pictureColor);
        break;
    case KindText:
        object = m_tables.createText();
        break;
    default:
        break;
    }
    if (!object)
        return nullptr;
    setModified();
    emit objectsChanged();
    return object;
}

void DesignSurface::unhighlight(PanelElement *element)
{
    if (!element)
        return;
    VellControl *old = m_tables.objectOf(element);
    if (!old)
        return;
    if (old->Kind == KindText) {
        element->setFill(kButtonFace);
    } else {
        element->setPen(QColor(0, 0, 0), 1);
        ownerFrame(*old)->SetVisible(false);
    }
}

void DesignSurface::highlight(VellControl &object)
{
    const Settings settings = m_settings();
    PanelElement *element = ownerElement(object);
    if (object.Kind == KindText) {
        element->setFill(settings.selectedTextColor);
        const auto &text = static_cast<VellText &>(object);
        if (!text.TextColor.isEmpty()) {
            if (const auto color = TryTextToColor(text.TextColor))
                m_colorTextPreset = *color;
        }
    } else {
        element->setPen(settings.selectionBorderColor, 2);
        ownerFrame(object)->SetVisible(true);
    }
}

void DesignSurface::press(PanelElement *element, PressState state)
{
    VellControl *object = m_tables.objectOf(element);
    if (!object)
        return;
    unhighlight(m_selection);
    m_selection = element;
    if (state == PressState::LeftAlone && m_settings().borderMove) {
        destroyGhost();
        m_ghost =
            std::make_unique<PanelElement>(m_tables.scene(), ElementShape::Ghost, element->rect());
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
    press(ownerElement(object), PressState::Other);
}

void DesignSurface::pressBarePanel(PressState state)
{
    if (state == PressState::RightAlone)
        m_popupAttached = false;
}

bool DesignSurface::acceptsDrop(QPoint point, const PanelElement *dragged) const
{
    if (!m_tables.objectOf(dragged))
        return false;
    if (!QRect(0, 0, kPanelWidth, kPanelHeight).contains(point))
        return false;
    const PanelElement *target = m_tables.scene().elementAt(point);
    return !target || target == m_ghost.get();
}

void DesignSurface::drop(PanelElement *dragged, QPoint point)
{
    VellControl *object = m_tables.objectOf(dragged);
    if (!object)
        return;
    SetPosition(*object, point.x() - kPanelWidth / 2 - 1, kPanelHeight / 2 - point.y() + 1);
    emit propertiesShown(object);
    destroyGhost();
    setModified();
}

void DesignSurface::removeObject(int kind, int id)
{
    VellControl *object = m_tables.object(kind, id);
    if (!object)
        return;
    PanelElement *element = ownerElement(*object);
    if (m_activeFrame && m_activeFrame == ownerFrame(*object))
        setActiveFrame(nullptr);
    if (element == m_selection)
        m_selection = nullptr;
    if (element == m_dragged)
        m_dragged = nullptr;
    m_tables.remove(kind, id);
    emit objectInfoReset();
}

void DesignSurface::RemoveSelected()
{
    if (VellControl *object = selectedObject())
        removeObject(object->Kind, ObjectId(*object));
    m_selection = nullptr;
    destroyGhost();
    m_popupAttached = false;
    setModified();
}

void DesignSurface::ClearAllObjects()
{
    setActiveFrame(nullptr);
    m_tables.clearAll();
    m_selection = nullptr;
    m_dragged = nullptr;
    emit objectInfoReset();
    setModified();
    emit objectsChanged();
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

void DesignSurface::setActiveFrame(VellResizeRect *frame)
{
    const bool before = needsMoveTicks();
    if (m_activeFrame)
        m_activeFrame->HandleMouseUp();
    m_activeFrame = frame;
    if (before != needsMoveTicks())
        emit moveTicksNeededChanged(needsMoveTicks());
}

void DesignSurface::handleDown(PanelElement *handle, QPoint pointer)
{
    if (!handle || !handle->frame())
        return;
    setActiveFrame(handle->frame());
    m_activeFrame->HandleMouseDown(handle->handleNumber());
    m_lastTickPointer = QPoint(INT_MIN, INT_MIN);
    moveTick(pointer);
}

void DesignSurface::handleUp()
{
    if (!m_activeFrame)
        return;
    setActiveFrame(nullptr);
    // The new size would otherwise be lost without a question on closing.
    setModified();
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
    if (m_activeFrame) {
        m_activeFrame->DragHandleTo(pointer.x(), pointer.y());
        m_activeFrame->ApplyToOwner();
        if (m_activeFrame->Owner)
            emit propertiesShown(m_activeFrame->Owner);
    }
}

void DesignSurface::recolourButtons()
{
    const QColor color = m_settings().buttonColor;
    for (int id = 1; id <= m_tables.ButtonCount(); ++id)
        m_tables.button(id)->Element->setFill(color);
}

} // namespace vell
