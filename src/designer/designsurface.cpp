#include "designer/designsurface.h"

#include "common/textforms.h"
#include "model/kindfacts.h"
#include "project/designhistory.h"

#include <algorithm>

namespace vell {

DesignSurface::DesignSurface(Project &project, ProjectCommands &commands, QObject *parent)
    : QObject(parent), m_project(project), m_commands(commands),
      m_drawing(project.tables(), [&project](ObjectKind kind) {
          const Settings &s = project.settings();
          return kind == KindPicture ? s.pictureColor : s.buttonColor;
      })
{
    connect(&m_project, &Project::objectAboutToBeRemoved, this, &DesignSurface::forget);
    connect(&m_project, &Project::groupStepApplied, this, &DesignSurface::selectGroup);
    // A new object brings new lines.
    connect(&m_project, &Project::objectAdded, this, [this] { m_lines.reset(); });
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
    if (!m_dragged)
        m_draggedGroup.reset();
    stopAligning();
}

void DesignSurface::stopAligning()
{
    m_lines.reset();
    m_linesFor = nullptr;
    m_ghostShift = QPoint();
    showGuides({});
}

void DesignSurface::forget(const VellControl *object)
{
    const bool all = object == nullptr;
    stopAligning();
    if (all)
        destroyGhost();
    if (m_resized && (all || m_resized == object))
        setResized(nullptr);
    if (m_dragged && (all || m_dragged == object))
        m_dragged = nullptr;
    if (all) {
        m_draggedGroup.reset();
        if (!m_group.empty()) {
            m_group.clear();
            m_inGroup.clear();
            m_selection = nullptr;
            emit objectInfoReset();
        }
        return;
    }
    if (!m_inGroup.erase(object))
        return;
    // A group being dragged loses its drag with a member.
    if (m_draggedGroup) {
        m_draggedGroup.reset();
        m_dragged = nullptr;
        destroyGhost();
    }
    m_group.erase(std::find(m_group.rbegin(), m_group.rend(), object).base() - 1);
    if (m_selection == object) {
        // The ghost outline of a press on it goes with it.
        destroyGhost();
        m_selection = nullptr;
        if (m_group.empty()) {
            emit objectInfoReset();
        } else {
            m_selection = m_group.back();
            highlight(*m_selection);
            emit propertiesShown(m_selection);
        }
    }
}

void DesignSurface::clearSelection()
{
    for (VellControl *o : m_group)
        unhighlight(o);
    m_group.clear();
    m_inGroup.clear();
    m_selection = nullptr;
}

void DesignSurface::makePrimary(VellControl *object)
{
    if (m_selection == object)
        return;
    if (m_selection) {
        unhighlight(m_selection);
        highlightMember(*m_selection);
    }
    m_selection = object;
    highlight(*object);
    emit propertiesShown(object);
}

void DesignSurface::toggle(VellControl &object)
{
    destroyGhost();
    if (!isSelected(object)) {
        m_group.push_back(&object);
        m_inGroup.insert(&object);
        makePrimary(&object);
        return;
    }
    if (m_group.size() == 1) {
        clearSelection();
        emit objectInfoReset();
        return;
    }
    m_inGroup.erase(&object);
    m_group.erase(std::find(m_group.begin(), m_group.end(), &object));
    unhighlight(&object);
    if (m_selection == &object) {
        m_selection = nullptr;
        makePrimary(m_group.back());
    }
}

void DesignSurface::selectAll()
{
    const ObjectTables &t = tables();
    m_group.reserve(size_t(t.totalCount()));
    m_inGroup.reserve(size_t(t.totalCount()));
    for (const ObjectKind kind : kObjectKinds) {
        for (int id = 1; id <= t.count(kind); ++id) {
            VellControl *o = t.object(kind, id);
            if (m_inGroup.insert(o).second) {
                m_group.push_back(o);
                highlightMember(*o);
            }
        }
    }
    if (m_group.empty())
        return;
    VellControl *primary = m_selection;
    if (!primary) {
        for (const ObjectKind kind : kObjectKinds) {
            if (t.count(kind) > 0)
                primary = t.object(kind, t.count(kind));
        }
    }
    m_selection = nullptr;
    makePrimary(primary);
}

void DesignSurface::selectGroup(const QList<VellControl *> &members, VellControl *primary)
{
    destroyGhost();
    clearSelection();
    for (VellControl *o : members) {
        if (m_inGroup.insert(o).second) {
            m_group.push_back(o);
            highlightMember(*o);
        }
    }
    if (m_group.empty()) {
        emit objectInfoReset();
        return;
    }
    makePrimary(primary && isSelected(*primary) ? primary : m_group.back());
}

void DesignSurface::selectInBand(const QRect &band, bool add)
{
    const QRect panel(0, 0, kPanelWidth, kPanelHeight);
    std::vector<std::pair<ObjectPlace, VellControl *>> inside;
    VellControl *top = nullptr;
    quint64 topOrder = 0;
    bool primaryInside = false;
    for (const PanelElement *e : m_drawing.scene().elementsIn(band)) {
        VellControl *o = m_drawing.objectOf(e);
        const QRect part = e->rect() & panel;
        if (!o || part.isEmpty() || !band.contains(part))
            continue;
        inside.emplace_back(PlaceOf(*o), o);
        primaryInside |= o == m_selection;
        if (!top || e->stackOrder() > topOrder) {
            top = o;
            topOrder = e->stackOrder();
        }
    }
    if (inside.empty())
        return;
    std::sort(inside.begin(), inside.end());
    QList<VellControl *> members;
    if (add)
        members.append(QList<VellControl *>(m_group.cbegin(), m_group.cend()));
    for (const auto &[place, o] : inside)
        members.append(o);
    selectGroup(members, primaryInside ? m_selection : top);
}

void DesignSurface::alignSelected(GroupAlign how)
{
    if (m_group.size() < 2)
        return;
    m_commands.alignGroup(selectedGroup(), how);
    emit propertiesShown(m_selection);
}

void DesignSurface::distributeSelected(Qt::Orientation axis)
{
    if (m_group.size() < 3)
        return;
    m_commands.distributeGroup(selectedGroup(), axis);
    emit propertiesShown(m_selection);
}

void DesignSurface::releasedWithoutMove()
{
    if (m_draggedGroup && m_selection) {
        destroyGhost();
        Select(*m_selection);
    }
}

void DesignSurface::objectChanged(VellControl &object)
{
    if (&object != m_selection)
        return;
    highlight(object);
    emit propertiesShown(&object);
}

QRect DesignSurface::groupRect() const
{
    QRect r;
    for (const VellControl *o : m_group)
        r |= m_drawing.element(*o)->rect();
    return r;
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
        if (object == m_resized) {
            m_drawing.frame(*object)->SetVisible(false);
            m_drawing.frame(*object)->SetRaised(false);
        } else
            m_drawing.dropFrame(*object);
    }
}

void DesignSurface::highlightMember(VellControl &object)
{
    const Settings &settings = m_project.settings();
    PanelElement *element = m_drawing.element(object);
    if (object.Kind == KindText)
        element->setFill(settings.selectedTextColor);
    else
        element->setPen(settings.selectionBorderColor, 2);
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
        // Its border and handles lie above whatever covers it.
        m_drawing.frame(object)->SetOutlineColor(settings.selectionBorderColor);
        m_drawing.frame(object)->SetRaised(true);
        m_drawing.frame(object)->SetVisible(true);
    }
}

void DesignSurface::press(PanelElement *element, PressState state)
{
    VellControl *object = m_drawing.objectOf(element);
    if (!object)
        return;
    // A press alone on a member of a group keeps the group.
    const bool keepsGroup = m_group.size() > 1 && isSelected(*object) &&
                            (state == PressState::LeftAlone || state == PressState::RightAlone);
    if (keepsGroup) {
        if (m_selection != object) {
            unhighlight(m_selection);
            highlightMember(*m_selection);
        }
    } else {
        clearSelection();
        m_group.push_back(object);
        m_inGroup.insert(object);
    }
    m_selection = object;
    m_draggedGroup.reset();
    if (keepsGroup && state == PressState::LeftAlone)
        m_draggedGroup = groupRect();
    if (state == PressState::LeftAlone && m_project.settings().borderMove) {
        destroyGhost();
        m_ghost = std::make_unique<PanelElement>(m_drawing.scene(), ElementShape::Ghost,
                                                 m_draggedGroup.value_or(element->rect()));
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

PanelElement *DesignSurface::nextBelowSelected(QPoint point) const
{
    const VellControl *selected = selectedObject();
    const PanelElement *current = selected ? m_drawing.element(*selected) : nullptr;
    if (!current || !current->isVisible() || !current->rect().contains(point))
        return nullptr;
    // The objects there, bottom to top.
    std::vector<const PanelElement *> stack;
    for (const PanelElement *e : m_drawing.scene().elementsIn(QRect(point, QSize(1, 1)))) {
        if (m_drawing.objectOf(e))
            stack.push_back(e);
    }
    const auto at = std::find(stack.begin(), stack.end(), current);
    if (at == stack.end())
        return nullptr;
    const PanelElement *next = at == stack.begin() ? stack.back() : *(at - 1);
    return const_cast<PanelElement *>(next);
}

PanelElement *DesignSurface::leftPressTarget(QPoint point) const
{
    // Presses pass through the ghost outline.
    PanelElement *top = m_drawing.scene().elementAt(point, nullptr, true);
    PanelElement *selected =
        m_selection && m_selection->Kind != KindText ? m_drawing.element(*m_selection) : nullptr;
    if (!top || !selected || top == selected || !m_drawing.objectOf(top) ||
        !selected->isVisible() || !selected->rect().contains(point) ||
        !top->rect().contains(selected->rect()))
        return top;
    return selected;
}

PanelElement *DesignSurface::elementAsStacked(QPoint point, bool skipGhost) const
{
    PanelElement *top = m_drawing.scene().elementAt(point, nullptr, skipGhost, true);
    VellResizeRect *frame =
        m_selection && m_selection->Kind != KindText ? m_drawing.frame(*m_selection) : nullptr;
    if (!frame || !frame->isRaised())
        return top;
    quint64 topOrder = top ? top->stackOrder() : 0;
    for (int n = 1; n <= 4; ++n) {
        PanelElement *handle = frame->handleElement(n);
        if (handle && handle->rect().contains(point) && frame->ownOrder(n) > topOrder) {
            top = handle;
            topOrder = frame->ownOrder(n);
        }
    }
    return top;
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
    const PanelElement *target = elementAsStacked(point, false);
    if (!target || target == m_ghost.get())
        return true;
    // An aligned ghost outline stands a few pixels off the pointer: the drop
    // is on it where it would stand unaligned. (A raised handle there is the
    // dragged object's, made before the outline.)
    const quint64 order = PanelScene::isRaised(*target) ? 0 : target->stackOrder();
    return m_ghost && m_ghostShift != QPoint() && order < m_ghost->stackOrder() &&
           m_ghost->rect().translated(-m_ghostShift).contains(point);
}

void DesignSurface::drop(PanelElement *dragged, QPoint point, bool freely)
{
    VellControl *object = m_drawing.objectOf(dragged);
    if (!object)
        return;
    if (m_guidesOn && !freely)
        point += dropShift(*object, point, nullptr);
    const int x = point.x() - kPanelWidth / 2 - 1;
    const int y = kPanelHeight / 2 - point.y() + 1;
    if (m_draggedGroup && m_group.size() > 1 && isSelected(*object)) {
        // Every member moves by the offset the drop gives the primary.
        const auto offset = [](qint64 to, qint64 from) {
            return int(std::clamp<qint64>(to - from, INT_MIN, INT_MAX));
        };
        m_commands.moveGroup(selectedGroup(), QPoint(offset(x, object->X), offset(y, object->Y)));
    } else {
        m_commands.moveTo(*object, x, y);
    }
    emit propertiesShown(object);
    destroyGhost();
}

void DesignSurface::RemoveSelected()
{
    destroyGhost();
    m_popupAttached = false;
    if (m_group.size() > 1) {
        // The selection goes first, so that no member becomes the primary
        // on its way out.
        const ObjectGroup group = selectedGroup();
        clearSelection();
        emit objectInfoReset();
        m_commands.removeGroup(group);
        return;
    }
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
    VellControl *object = m_selection;
    if (!object)
        return;
    const bool moved = m_group.size() > 1 ? m_commands.nudgeGroup(selectedGroup(), dx, dy, held)
                                          : m_commands.nudge(*object, dx, dy, held);
    if (moved)
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
    stopAligning();
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

void DesignSurface::handleUp(bool freely)
{
    if (!m_resized)
        return;
    // The last step is made again when Alt changed since.
    if (m_guidesOn && freely != m_lastTickFreely)
        moveTick(m_lastTickPointer, freely);
    VellControl *object = m_resized;
    setResized(nullptr);
    m_commands.resized(*object, m_resizedBefore);
}

void DesignSurface::cancelPointerWork()
{
    if (VellControl *object = m_resized) {
        setResized(nullptr);
        m_commands.resizeGivenUp(*object, m_resizedBefore);
    }
    setDragged(nullptr);
    destroyGhost();
}

void DesignSurface::moveTick(QPoint pointer, bool freely)
{
    // Nothing changes while the pointer stands still (and Alt stays).
    if (pointer == m_lastTickPointer && (freely == m_lastTickFreely || !m_guidesOn))
        return;
    m_lastTickPointer = pointer;
    m_lastTickFreely = freely;
    const bool aligning = m_guidesOn && !freely;
    std::vector<Guide> held;
    m_ghostShift =
        aligning && m_dragged && !m_resized ? dropShift(*m_dragged, pointer, &held) : QPoint();
    if (m_ghost) {
        const QPoint at = pointer + m_ghostShift;
        const PanelElement *primary = m_dragged ? m_drawing.element(*m_dragged) : nullptr;
        if (m_draggedGroup && primary) {
            // The group's outline keeps the primary's place in it.
            const QRect p = primary->rect();
            m_ghost->setLeftTop(m_draggedGroup->left() - p.left() + at.x() - p.width() / 2,
                                m_draggedGroup->top() - p.top() + at.y() - p.height() / 2);
        } else {
            m_ghost->setLeftTop(at.x() - m_ghost->width() / 2, at.y() - m_ghost->height() / 2);
        }
    }
    if (m_resized) {
        const QPoint to = aligning ? aligned(pointer, held) : pointer;
        ActiveFrame()->DragHandleTo(to.x(), to.y());
        m_commands.resizeTo(*m_resized, ActiveFrame()->FramedRect());
        emit propertiesShown(m_resized);
    }
    showGuides(std::move(held));
}

void DesignSurface::setGuidesOn(bool on)
{
    m_guidesOn = on;
    if (!on)
        stopAligning();
}

const AlignmentGuides &DesignSurface::guideLines(const VellControl &object)
{
    if (!m_lines || m_linesFor != &object) {
        if (m_draggedGroup && isSelected(object)) {
            m_lines = std::make_unique<AlignmentGuides>(
                m_drawing, [this](const VellControl &o) { return isSelected(o); });
        } else {
            m_lines = std::make_unique<AlignmentGuides>(m_drawing, &object);
        }
        m_linesFor = &object;
    }
    return *m_lines;
}

QRect DesignSurface::dropRect(const VellControl &object, QPoint pointer) const
{
    VellControl placed = object;
    placed.X = pointer.x() - kPanelWidth / 2 - 1;
    placed.Y = kPanelHeight / 2 - pointer.y() + 1;
    const QRect single = DrawnRect(placed);
    if (!m_draggedGroup || !isSelected(object))
        return single;
    // The group's rectangle goes where the primary's goes.
    return m_draggedGroup->translated(single.topLeft() - DrawnRect(object).topLeft());
}

namespace {

// A rectangle's start, centre and end along one axis.
std::vector<qint64> parts(int start, int size)
{
    return {start, qint64(start) + size / 2, qint64(start) + size};
}

} // namespace

QPoint DesignSurface::dropShift(const VellControl &object, QPoint pointer, std::vector<Guide> *held)
{
    const AlignmentGuides &lines = guideLines(object);
    const QRect r = dropRect(object, pointer);
    const AlignmentGuides::Pull x = lines.snap(Qt::Horizontal, parts(r.left(), r.width()));
    const AlignmentGuides::Pull y = lines.snap(Qt::Vertical, parts(r.top(), r.height()));
    if (held && x.held)
        held->push_back({Qt::Horizontal, x.line});
    if (held && y.held)
        held->push_back({Qt::Vertical, y.line});
    return QPoint(x.shift, y.shift);
}

QPoint DesignSurface::aligned(QPoint pointer, std::vector<Guide> &held)
{
    const VellResizeRect &frame = *ActiveFrame();
    const AlignmentGuides &lines = guideLines(*m_resized);
    const int n = frame.ActiveHandle;
    const QPoint first = frame.handleRect(1).topLeft();
    // The edge a handle moves lies two pixels right of and below the
    // pointer: the left or top edge always, the right or bottom one while
    // the handle has not crossed the first (then nothing aligns).
    const auto align = [&](Qt::Orientation axis, int &at, bool moves) {
        if (!moves)
            return;
        const AlignmentGuides::Pull pull = lines.snap(axis, {qint64(at) + 2});
        at += pull.shift;
        if (pull.held)
            held.push_back({axis, pull.line});
    };
    align(Qt::Horizontal, pointer.rx(), n == 1 || n == 4 || pointer.x() >= first.x());
    align(Qt::Vertical, pointer.ry(), n == 1 || n == 2 || pointer.y() >= first.y());
    return pointer;
}

void DesignSurface::showGuides(std::vector<Guide> guides)
{
    if (guides == m_guides)
        return;
    m_guides = std::move(guides);
    emit guidesChanged();
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
