#include "designer/designpanel.h"

#include "common/labelfont.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace vell {

namespace {

const QColor kPanelFace(240, 240, 240);

PressState pressState(const QMouseEvent *event, bool doubleClick)
{
    if (doubleClick)
        return PressState::Other;
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (mods != Qt::NoModifier || event->buttons() != event->button())
        return PressState::Other;
    if (event->button() == Qt::LeftButton)
        return PressState::LeftAlone;
    if (event->button() == Qt::RightButton)
        return PressState::RightAlone;
    return PressState::Other;
}

} // namespace

void paintElement(QPainter &painter, const PanelElement &e)
{
    const QRect r = e.rect();
    if (r.isEmpty())
        return;
    switch (e.fillStyle()) {
    case FillStyle::Solid:
        painter.fillRect(r, e.fill());
        break;
    case FillStyle::DiagCross:
        painter.fillRect(r, QBrush(e.fill(), Qt::DiagCrossPattern));
        break;
    case FillStyle::Clear:
        break;
    }
    if (e.shape() == ElementShape::Label) {
        painter.setPen(e.textColor());
        painter.setFont(LabelFont());
        painter.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, e.text());
        return;
    }
    // The border lies inside the element's rectangle.
    const int w = e.penWidth();
    QPen pen(e.penColor(), w, e.dottedPen() ? Qt::DotLine : Qt::SolidLine, Qt::SquareCap,
             Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal inset = w / 2.0;
    painter.drawRect(QRectF(r).adjusted(inset, inset, -inset, -inset));
}

DesignPanel::DesignPanel(DesignSurface &surface, QWidget *parent)
    : QFrame(parent), m_surface(surface)
{
    setObjectName(QStringLiteral("Win"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setFixedSize(kPanelWidth, kPanelHeight);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_cache = QImage(kPanelWidth, kPanelHeight, QImage::Format_RGB32);
    m_stale = QRegion(rect());
    surface.tables().scene().setRepaintHandler([this](const QRect &r, bool still) {
        if (still)
            m_stale += r;
        update(r);
    });
}

void DesignPanel::refreshCache()
{
    if (m_stale.isEmpty())
        return;
    QPainter painter(&m_cache);
    // Many small areas are drawn as one.
    const QRegion stale = m_stale.rectCount() > 8 ? QRegion(m_stale.boundingRect()) : m_stale;
    m_stale = QRegion();
    const auto &stack = m_surface.tables().scene().stack();
    for (const QRect &area : stale) {
        painter.setClipRect(area);
        painter.fillRect(area, kPanelFace);
        drawFrame(&painter);
        for (const PanelScene::Slot &slot : stack) {
            if (slot.visible && slot.rect.intersects(area) &&
                slot.element->shape() != ElementShape::Ghost)
                paintElement(painter, *slot.element);
        }
    }
}

void DesignPanel::paintEvent(QPaintEvent *event)
{
    refreshCache();
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.setClipRegion(event->region());
    painter.drawImage(dirty.topLeft(), m_cache, dirty);
    // What moves is drawn over the still picture.
    if (const PanelElement *ghost = m_surface.GhostFrame()) {
        if (ghost->isVisible() && ghost->rect().intersects(dirty))
            paintElement(painter, *ghost);
    }
}

void DesignPanel::pressAt(QMouseEvent *event, bool doubleClick)
{
    const QPoint pos = event->position().toPoint();
    m_lastPointer = pos;
    const PressState state = pressState(event, doubleClick);
    m_rightPressOnPanel = event->button() == Qt::RightButton;
    // Presses pass through the ghost outline to what lies beneath.
    PanelElement *target = m_surface.tables().scene().elementAt(pos, nullptr, true);
    if (target && target->shape() == ElementShape::Handle) {
        // A grid cell being edited stays open while its object is resized.
        m_mode = Mode::Resizing;
        m_surface.handleDown(target, pos);
        return;
    }
    // Any other press gives the panel the keyboard focus, for the arrow keys.
    setFocus(Qt::MouseFocusReason);
    if (target && m_surface.tables().objectOf(target)) {
        m_surface.press(target, state);
        if (state == PressState::LeftAlone) {
            m_mode = Mode::DragArmed;
            m_surface.setDragged(target);
            m_pressPos = pos;
        }
    } else {
        m_surface.pressBarePanel(state);
    }
}

void DesignPanel::mousePressEvent(QMouseEvent *event)
{
    if (m_mode != Mode::Idle)
        return;
    pressAt(event, false);
}

void DesignPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_mode != Mode::Idle)
        return;
    pressAt(event, true);
}

void DesignPanel::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const bool moved = pos != m_lastPointer;
    m_lastPointer = pos;
    switch (m_mode) {
    case Mode::Resizing:
        m_surface.moveTick(pos);
        return;
    case Mode::DragArmed:
        if (!(event->buttons() & Qt::LeftButton) || !m_surface.dragged()) {
            m_mode = Mode::Idle;
            break;
        }
        if ((pos - m_pressPos).manhattanLength() < 1)
            return;
        m_mode = Mode::Dragging;
        [[fallthrough]];
    case Mode::Dragging:
        m_surface.moveTick(pos);
        setCursor(m_surface.acceptsDrop(pos, m_surface.dragged()) ? Qt::DragMoveCursor
                                                                  : Qt::ForbiddenCursor);
        return;
    case Mode::Idle:
        break;
    }
    // The ghost outline, centred on the pointer, is under it as soon as the
    // pointer moves: it goes (also when it is too small to be hit).
    if (moved && m_surface.GhostFrame())
        m_surface.pointerMovedOverGhost();
    updateHoverCursor(pos);
}

void DesignPanel::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_lastPointer = pos;
    switch (m_mode) {
    case Mode::Resizing:
        if (event->buttons() == Qt::NoButton) {
            m_mode = Mode::Idle;
            m_surface.handleUp();
        }
        break;
    case Mode::Dragging:
        if (event->button() == Qt::LeftButton) {
            m_mode = Mode::Idle;
            if (m_surface.acceptsDrop(pos, m_surface.dragged()))
                m_surface.drop(m_surface.dragged(), pos);
            m_surface.setDragged(nullptr);
            unsetCursor();
        }
        break;
    case Mode::DragArmed:
        if (event->button() == Qt::LeftButton) {
            m_mode = Mode::Idle;
            m_surface.setDragged(nullptr);
        }
        break;
    case Mode::Idle:
        break;
    }
    if (event->button() == Qt::RightButton && m_rightPressOnPanel) {
        m_rightPressOnPanel = false;
        if (m_surface.popupAttached())
            openPopup(event->globalPosition().toPoint());
    }
    updateHoverCursor(pos);
}

void DesignPanel::contextMenuEvent(QContextMenuEvent *event)
{
    // Mouse requests are served on release of the right button; no other
    // menu opens over the panel.
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard && m_surface.popupAttached())
        openPopup(event->globalPos());
}

void DesignPanel::keyPressEvent(QKeyEvent *event)
{
    // The arrow keys move the selected object a pixel, ten with Shift.
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    const Qt::KeyboardModifiers other =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    int dx = 0;
    int dy = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dx = -step;
        break;
    case Qt::Key_Right:
        dx = step;
        break;
    case Qt::Key_Up:
        dy = step; // Y grows upwards
        break;
    case Qt::Key_Down:
        dy = -step;
        break;
    default:
        QFrame::keyPressEvent(event);
        return;
    }
    if (other || m_mode != Mode::Idle || !m_surface.selectedObject()) {
        QFrame::keyPressEvent(event);
        return;
    }
    m_surface.nudge(dx, dy, event->isAutoRepeat());
    event->accept();
}

void DesignPanel::leaveEvent(QEvent *event)
{
    // The ghost outline of a press without a move goes with the pointer.
    if (m_mode == Mode::Idle && m_surface.GhostFrame())
        m_surface.pointerMovedOverGhost();
    QFrame::leaveEvent(event);
}

void DesignPanel::openPopup(QPoint globalPos)
{
    if (m_popup)
        m_popup->popup(globalPos);
}

void DesignPanel::updateHoverCursor(QPoint pos)
{
    if (m_mode != Mode::Idle)
        return;
    const PanelElement *e = m_surface.tables().scene().elementAt(pos, nullptr, true);
    if (e && e->shape() == ElementShape::Handle) {
        const int n = e->handleNumber();
        setCursor(n == 1 || n == 3 ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
    } else {
        unsetCursor();
    }
}

} // namespace vell
