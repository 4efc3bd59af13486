#include "designer/gui/designpanel.h"

#include "common/labelfont.h"
#include "common/textforms.h"
#include "designer/gui/labelglyphs.h"
#include "designer/vellresizerect.h"

#include <algorithm>
#include <optional>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace vell {

std::span<const PanelInput> PanelInputs()
{
    using enum PanelInput::Job;
    static constexpr PanelInput inputs[] = {
        {Qt::Key_Left, Nudge, {-1, 0}, "Панель: сдвинуть выбранный объект на точку влево"},
        {Qt::Key_Right, Nudge, {1, 0}, "Панель: сдвинуть выбранный объект на точку вправо"},
        {Qt::Key_Up, Nudge, {0, 1}, "Панель: сдвинуть выбранный объект на точку вверх"},
        {Qt::Key_Down, Nudge, {0, -1}, "Панель: сдвинуть выбранный объект на точку вниз"},
        {Qt::SHIFT | Qt::Key_Left,
         Nudge,
         {-10, 0},
         "Панель: сдвинуть выбранный объект на 10 точек влево"},
        {Qt::SHIFT | Qt::Key_Right,
         Nudge,
         {10, 0},
         "Панель: сдвинуть выбранный объект на 10 точек вправо"},
        {Qt::SHIFT | Qt::Key_Up,
         Nudge,
         {0, 10},
         "Панель: сдвинуть выбранный объект на 10 точек вверх"},
        {Qt::SHIFT | Qt::Key_Down,
         Nudge,
         {0, -10},
         "Панель: сдвинуть выбранный объект на 10 точек вниз"},
        {Qt::Key_Delete, Remove, {}, "Панель: удалить выбранные объекты"},
        {Qt::CTRL | Qt::Key_A, SelectAll, {}, "Панель: выбрать все объекты"},
        {Qt::Key_Escape, CancelBand, {}, "Панель: отменить рамку выбора, как F9"},
        {Qt::Key_Menu, Menu, {}, "Панель: меню объекта, выбранного правым щелчком"},
        {QKeyCombination(Qt::AltModifier),
         Click,
         {},
         "Панель: выбрать только этот объект, не перетаскивая его (так же с Shift); по "
         "выбранному объекту - объект под ним; Alt при перетаскивании - без выравнивания по "
         "объектам",
         "Alt+щелчок"},
        {QKeyCombination(Qt::ControlModifier),
         Click,
         {},
         "Панель: добавить объект к выбранным или убрать его из них, не перетаскивая",
         "Ctrl+щелчок"},
        {QKeyCombination(Qt::NoModifier),
         Click,
         {},
         "Панель: выбрать объекты, лежащие в рамке целиком (с Ctrl - добавить к выбранным); "
         "перетащить выбранный объект - переместить все выбранные",
         "Перетаскивание по пустой панели"},
    };
    return inputs;
}

namespace {

const QColor kGuideColour(230, 0, 180);
const QColor kBandColour(0, 0, 0);

// A press of a key this soon after its release continues the hold.
constexpr quint64 kRepeatGapMs = 20;

bool altHeld(const QInputEvent *event)
{
    return event->modifiers() & Qt::AltModifier;
}

// Where a guide line is drawn: across the panel, a line on its far edge on
// the last pixel; none for a line off the panel.
QRect guideRect(const DesignSurface::Guide &guide)
{
    const bool vertical = guide.axis == Qt::Horizontal;
    const int size = vertical ? kPanelWidth : kPanelHeight;
    if (guide.at < 0 || guide.at > size)
        return QRect();
    const int at = std::min(guide.at, size - 1);
    return vertical ? QRect(at, 0, 1, kPanelHeight) : QRect(0, at, kPanelWidth, 1);
}

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

// Many small areas are kept as one; an area already inside one of them
// changes nothing (thousands of objects changing at once ask for the same
// areas again and again).
QRegion addArea(const QRegion &region, const QRect &area)
{
    for (const QRect &held : region) {
        if (held.contains(area))
            return region;
    }
    return region.rectCount() >= 8 ? QRegion(region.boundingRect() | area) : region + area;
}

// The picture the painter paints, when it is one the panel keeps (an RGB32
// or premultiplied ARGB32 image) painted plainly: clipped, without a
// transformation, each colour laid over what lies under it.
QImage *paintedPicture(const QPainter &painter)
{
    if (!painter.hasClipping() || painter.deviceTransform().type() != QTransform::TxNone ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
        painter.opacity() != 1.0 || painter.device()->devType() != QInternal::Image)
        return nullptr;
    auto *image = static_cast<QImage *>(painter.device());
    const QImage::Format format = image->format();
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied
               ? image
               : nullptr;
}

// Paints elements one after another with one painter. A full panel holds
// thousands of labels in one font, most of them in one colour: the painter
// is given the font and the pen only when they change, and, where the
// painter's clip is a known rectangle, a label is cut to its own rectangle
// by narrowing that clip rather than by saving and restoring the painter's
// whole state. There, an opaque colour is written straight into the
// picture's pixels: the very pixels the painter would write (an opaque
// colour replaces what lies under it), without its cost for each of tens
// of thousands of rectangles. Nothing else may change the painter while it
// paints.
class ElementPainter
{
public:
    // `clip`, when given, is the painter's clip: a rectangle of a picture
    // the panel keeps (see paintedPicture). The painter has it again at the
    // end.
    explicit ElementPainter(QPainter &painter, std::optional<QRect> clip = std::nullopt)
        : m_painter(painter)
    {
        if (QImage *picture = clip ? paintedPicture(painter) : nullptr) {
            m_clip = *clip & picture->rect();
            // The painter draws into these very pixels as it goes.
            m_pixels = picture->bits();
            m_lineBytes = picture->bytesPerLine();
        }
    }
    ~ElementPainter() { widenClip(); }
    ElementPainter(const ElementPainter &) = delete;
    ElementPainter &operator=(const ElementPainter &) = delete;

    void paint(const PanelElement &e);

private:
    void fill(const PanelElement &e);
    void paintLabel(const PanelElement &e);
    void paintBorder(const PanelElement &e);
    void setLabelLooks(QRgb color);
    void widenClip();
    // Fills the rectangle with an opaque colour.
    void fillOpaque(const QRect &r, QRgb color);
    // Fills the rectangle with an opaque colour inside an opaque border `w`
    // pixels wide, lying inside the rectangle; it is wider and higher than
    // two borders.
    void fillFramed(const QRect &r, int w, QRgb border, QRgb inside);

    QPainter &m_painter;
    std::optional<QRect> m_clip;
    uchar *m_pixels = nullptr;
    qsizetype m_lineBytes = 0;
    // Whether the clip is cut to a label's rectangle.
    bool m_narrowed = false;
    bool m_fontSet = false;
    std::optional<QRgb> m_pen;
    LabelGlyphs m_glyphs;
};

void ElementPainter::widenClip()
{
    if (m_narrowed) {
        m_painter.setClipRect(*m_clip);
        m_narrowed = false;
    }
}

void ElementPainter::setLabelLooks(QRgb color)
{
    if (!m_fontSet) {
        m_painter.setFont(LabelFont());
        m_fontSet = true;
    }
    if (m_pen != color) {
        m_painter.setPen(QColor::fromRgba(color));
        m_pen = color;
    }
}

void ElementPainter::fillOpaque(const QRect &r, QRgb color)
{
    if (!m_pixels) {
        m_painter.fillRect(r, QColor::fromRgba(color));
        return;
    }
    const QRect shown = r & *m_clip;
    for (int y = shown.top(); y <= shown.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_pixels + y * m_lineBytes);
        std::fill_n(line + shown.left(), shown.width(), color);
    }
}

void ElementPainter::fillFramed(const QRect &r, int w, QRgb border, QRgb inside)
{
    if (!m_pixels) {
        m_painter.fillRect(r, QColor::fromRgba(border));
        m_painter.fillRect(r.adjusted(w, w, -w, -w), QColor::fromRgba(inside));
        return;
    }
    // Each pixel is written once, line by line.
    const QRect shown = r & *m_clip;
    if (shown.isEmpty())
        return;
    const auto span = [&](QRgb *line, int from, int to, QRgb color) {
        from = std::max(from, shown.left());
        to = std::min(to, shown.right());
        if (from <= to)
            std::fill_n(line + from, to - from + 1, color);
    };
    for (int y = shown.top(); y <= shown.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_pixels + y * m_lineBytes);
        if (y < r.top() + w || y > r.bottom() - w) {
            std::fill_n(line + shown.left(), shown.width(), border);
            continue;
        }
        span(line, r.left(), r.left() + w - 1, border);
        span(line, r.left() + w, r.right() - w, inside);
        span(line, r.right() - w + 1, r.right(), border);
    }
}

void ElementPainter::fill(const PanelElement &e)
{
    switch (e.fillStyle()) {
    case FillStyle::Solid:
        if (const QColor fill = e.fill(); fill.alpha() == 255)
            fillOpaque(e.rect(), fill.rgba());
        else
            m_painter.fillRect(e.rect(), fill);
        break;
    case FillStyle::DiagCross:
        m_painter.fillRect(e.rect(), QBrush(e.fill(), Qt::DiagCrossPattern));
        break;
    case FillStyle::Clear:
        break;
    }
}

void ElementPainter::paint(const PanelElement &e)
{
    if (e.rect().isEmpty())
        return;
    if (e.shape() == ElementShape::Label)
        paintLabel(e);
    else
        paintBorder(e);
}

void ElementPainter::paintLabel(const PanelElement &e)
{
    const QRect r = e.rect();
    const QString &text = e.text();
    // Plain text is drawn at its baseline, without laying it out in the
    // rectangle first (the label fits its text), and cut to the rectangle.
    // In a picture its glyphs are laid out from the characters' own, and a
    // label whose glyphs stay inside its rectangle needs no cut.
    if (text.size() <= 4 * kLabelPieceLength && IsPlainLine(text)) {
        const bool laidOut = m_clip && m_glyphs.layOut(text, r.topLeft());
        if (laidOut && m_glyphs.inside(r)) {
            widenClip();
        } else if (m_clip) {
            // Cut first: the fill lies inside the rectangle anyway.
            m_painter.setClipRect(r & *m_clip);
            m_narrowed = true;
        }
        fill(e);
        setLabelLooks(e.textColor().rgba());
        if (laidOut) {
            m_glyphs.draw(m_painter);
            return;
        }
        const QPointF baseline(r.left(), r.top() + LabelAscent());
        if (m_clip) {
            m_painter.drawText(baseline, text);
            return;
        }
        m_painter.save();
        m_painter.setClipRect(r, Qt::IntersectClip);
        m_painter.drawText(baseline, text);
        m_painter.restore();
        return;
    }
    widenClip();
    fill(e);
    setLabelLooks(e.textColor().rgba());
    // A long text: only the pieces in sight.
    if (text.size() > 4 * kLabelPieceLength) {
        // What can show: the clip (which may reach far past the picture)
        // within the picture.
        QRectF clip = QRectF(m_painter.viewport());
        if (m_painter.hasClipping())
            clip &= m_painter.clipBoundingRect();
        const double from = clip.left() - r.left();
        const double to = clip.right() + 1 - r.left();
        const std::vector<LabelPiece> &pieces = LabelPieces(text);
        auto piece = std::partition_point(pieces.begin(), pieces.end(), [&](const LabelPiece &p) {
            return p.left + p.width < from;
        });
        m_painter.save();
        m_painter.setClipRect(r, Qt::IntersectClip);
        for (; piece != pieces.end() && piece->left <= to; ++piece)
            m_painter.drawText(QPointF(r.left() + piece->left, r.top() + LabelAscent()),
                               text.mid(piece->start, piece->length));
        m_painter.restore();
        return;
    }
    // Anything a line layout treats specially goes the long way.
    m_painter.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void ElementPainter::paintBorder(const PanelElement &e)
{
    // The border lies inside the element's rectangle and nothing is drawn
    // outside it (the panel repaints only elements' rectangles): a rectangle
    // too narrow for an inside is all border. A solid border is four filled
    // strips: the same pixels as stroking it at a fraction of the cost, and
    // without the stroker's habit of leaving out a corner pixel when the
    // rectangle reaches past the clip.
    const QRect r = e.rect();
    const int w = e.penWidth();
    const QColor c = e.penColor();
    if (w > 0 && !e.dottedPen() && c.alpha() == 255) {
        // An opaque border hides the fill it covers: the fill is drawn
        // only inside it.
        if (r.width() <= 2 * w || r.height() <= 2 * w) {
            fillOpaque(r, c.rgba());
            return;
        }
        if (e.fillStyle() == FillStyle::Solid && e.fill().alpha() == 255) {
            fillFramed(r, w, c.rgba(), e.fill().rgba());
            return;
        }
    }
    widenClip();
    fill(e);
    if (w <= 0)
        return;
    if (!e.dottedPen()) {
        if (r.width() <= 2 * w || r.height() <= 2 * w) {
            m_painter.fillRect(r, c);
            return;
        }
        m_painter.fillRect(QRect(r.left(), r.top(), r.width(), w), c);
        m_painter.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), c);
        m_painter.fillRect(QRect(r.left(), r.top() + w, w, r.height() - 2 * w), c);
        m_painter.fillRect(QRect(r.right() - w + 1, r.top() + w, w, r.height() - 2 * w), c);
        return;
    }
    // A dotted outline is stroked dot by dot: only the part of it near the
    // panel is drawn (the ghost of a label millions of pixels wide would
    // take seconds). The cut edges lie outside the panel.
    const int margin = 2 * w + 8;
    const QRect near =
        r & QRect(-margin, -margin, kPanelWidth + 2 * margin, kPanelHeight + 2 * margin);
    if (near.isEmpty())
        return;
    m_painter.save();
    m_painter.setClipRect(r, Qt::IntersectClip);
    m_painter.setPen(QPen(c, w, Qt::DotLine, Qt::SquareCap, Qt::MiterJoin));
    m_painter.setBrush(Qt::NoBrush);
    const qreal inset = w / 2.0;
    m_painter.drawRect(QRectF(near).adjusted(inset, inset, -inset, -inset));
    m_painter.restore();
}

} // namespace

void paintElement(QPainter &painter, const PanelElement &e)
{
    ElementPainter(painter).paint(e);
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
    surface.drawing().scene().setRepaintHandler([this](const QRect &r, const PanelElement *source) {
        // The ghost outline is drawn over the pictures, never into them.
        if (!source || source->shape() != ElementShape::Ghost) {
            if (m_layers && m_layers->moving(source)) {
                // Drawn between the layers; the still picture learns of
                // the whole way once the resize is over.
                m_layers->moved |= r;
            } else {
                m_stale = addArea(m_stale, r);
                if (m_layers)
                    m_layers->ready -= r;
            }
        }
        if (m_updatesHeld) {
            m_heldUpdate = addArea(m_heldUpdate, r);
        } else {
            // Asked for once until the next paint: the window system merges
            // each request into its own region, at a cost.
            QRegion requested = addArea(m_requested, r);
            if (requested != m_requested) {
                m_requested = std::move(requested);
                // Kept as one rectangle: all of it is asked for.
                update(m_requested.rectCount() == 1 ? m_requested.boundingRect() : r);
            }
        }
    });
    connect(&surface, &DesignSurface::guidesChanged, this, &DesignPanel::guidesChanged);
}

void DesignPanel::guidesChanged()
{
    QRegion area;
    for (const DesignSurface::Guide &guide : m_surface.guides())
        area += guideRect(guide);
    // A line that stays needs no repaint.
    const QRegion changed = area.xored(m_guideArea);
    m_guideArea = area;
    if (m_updatesHeld)
        m_heldUpdate += changed;
    else
        update(changed);
}

void DesignPanel::altChanged(bool held)
{
    if (m_mode != Mode::Dragging && m_mode != Mode::Resizing)
        return;
    const HeldUpdates updates(*this);
    m_surface.moveTick(m_lastPointer, held);
}

DesignPanel::HeldUpdates::~HeldUpdates()
{
    if (--m_panel.m_updatesHeld == 0 && !m_panel.m_heldUpdate.isEmpty())
        m_panel.update(std::exchange(m_panel.m_heldUpdate, QRegion()));
}

template <typename Visit> void DesignPanel::forEachElementIn(QRect area, Visit visit) const
{
    const PanelScene &scene = m_surface.drawing().scene();
    const auto still = [&](const PanelElement &e) {
        if (e.shape() != ElementShape::Ghost)
            visit(e);
    };
    // A small area asks the index; a large one looks at every element.
    if (qint64(area.width()) * area.height() < qint64(kPanelWidth) * kPanelHeight / 4) {
        for (const PanelElement *e : scene.elementsIn(area))
            still(*e);
        return;
    }
    for (const PanelScene::Slot &slot : scene.stack()) {
        if (slot.visible && slot.rect.intersects(area))
            still(*slot.element);
    }
}

void DesignPanel::refreshCache()
{
    if (m_stale.isEmpty())
        return;
    QPainter painter(&m_cache);
    const QRegion stale = m_stale;
    m_stale = QRegion();
    for (const QRect &staleArea : stale) {
        const QRect area = staleArea & rect();
        if (area.isEmpty())
            continue;
        painter.setClipRect(area);
        painter.fillRect(area, kPanelFace);
        drawFrame(&painter);
        ElementPainter elements(painter, area);
        forEachElementIn(area, [&](const PanelElement &e) { elements.paint(e); });
    }
}

void DesignPanel::startLayers(const PanelElement *handle)
{
    const VellResizeRect *frame = handle->frame();
    const PanelElement *element =
        frame && frame->Owner ? m_surface.drawing().element(*frame->Owner) : nullptr;
    if (!element)
        return;
    m_layers = std::make_unique<ResizeLayers>(ResizeLayers{
        element, frame, QImage(size(), QImage::Format_RGB32),
        QImage(size(), QImage::Format_ARGB32_Premultiplied), QRegion(), QRect(), QRect()});
}

void DesignPanel::checkLayers()
{
    if (!m_layers)
        return;
    const VellControl *resized = m_surface.ActiveFrame() ? m_surface.ActiveFrame()->Owner : nullptr;
    if (m_mode != Mode::Resizing || !resized ||
        m_surface.drawing().element(*resized) != m_layers->element ||
        m_surface.ActiveFrame() != m_layers->frame)
        dropLayers();
}

void DesignPanel::dropLayers()
{
    if (!m_layers)
        return;
    m_stale = addArea(m_stale, m_layers->moved);
    m_layers.reset();
}

void DesignPanel::buildLayers(const QRegion &region)
{
    ResizeLayers &layers = *m_layers;
    QRegion missing = region - layers.ready;
    if (missing.isEmpty())
        return;
    // The pictures are made in few large areas rather than many small ones.
    if (missing.rectCount() > 4 || layers.ready.rectCount() > 16) {
        const QRect whole = (layers.ready.boundingRect() | region.boundingRect()) & rect();
        missing = QRegion(whole) - layers.ready;
        layers.ready = QRegion(whole);
    } else {
        layers.ready += missing;
    }
    const quint64 split = layers.element->stackOrder();
    QPainter below(&layers.below);
    QPainter above(&layers.above);
    for (const QRect &area : missing) {
        below.setClipRect(area);
        below.fillRect(area, kPanelFace);
        drawFrame(&below);
        above.setClipRect(area);
        above.setCompositionMode(QPainter::CompositionMode_Source);
        above.fillRect(area, Qt::transparent);
        above.setCompositionMode(QPainter::CompositionMode_SourceOver);
        ElementPainter belowElements(below, area);
        ElementPainter aboveElements(above, area);
        forEachElementIn(area, [&](const PanelElement &e) {
            if (layers.moving(&e))
                return;
            if (e.stackOrder() < split) {
                belowElements.paint(e);
            } else {
                aboveElements.paint(e);
                layers.aboveDrawn |= e.rect() & area;
            }
        });
    }
}

void DesignPanel::paintEvent(QPaintEvent *event)
{
    m_requested = QRegion();
    checkLayers();
    QPainter painter(this);
    const QRegion &region = event->region();
    if (m_layers)
        buildLayers(region);
    else
        refreshCache();
    const auto paintArea = [&](const QRect &dirty) {
        if (m_layers) {
            painter.drawImage(dirty.topLeft(), m_layers->below, dirty);
            const auto drawMoving = [&](const PanelElement *e) {
                if (e && e->isVisible() && e->rect().intersects(dirty))
                    paintElement(painter, *e);
            };
            drawMoving(m_layers->element);
            // Raised handles lie above every other element.
            const bool raised = m_layers->frame->isRaised();
            for (int n = 1; n <= 4 && !raised; ++n)
                drawMoving(m_layers->frame->handleElement(n));
            if (const QRect over = dirty & m_layers->aboveDrawn; !over.isEmpty())
                painter.drawImage(over.topLeft(), m_layers->above, over);
            drawMoving(m_layers->frame->outlineElement());
            for (int n = 1; n <= 4 && raised; ++n)
                drawMoving(m_layers->frame->handleElement(n));
        } else {
            painter.drawImage(dirty.topLeft(), m_cache, dirty);
        }
        // What moves is drawn over the still picture.
        if (const PanelElement *ghost = m_surface.GhostFrame()) {
            if (ghost->isVisible() && ghost->rect().intersects(dirty))
                paintElement(painter, *ghost);
        }
        for (const DesignSurface::Guide &guide : m_surface.guides()) {
            if (const QRect line = guideRect(guide) & dirty; !line.isEmpty())
                painter.fillRect(line, kGuideColour);
        }
        if (!m_band.isEmpty() && m_band.intersects(dirty)) {
            painter.save();
            painter.setPen(QPen(kBandColour, 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(m_band.adjusted(0, 0, -1, -1));
            painter.restore();
        }
    };
    // Guide lines reach across the panel: their areas are painted one by
    // one, each clipped to a plain rectangle, rather than the whole panel
    // through a clip of many pieces.
    if (m_surface.guidesOn() && region.rectCount() > 1) {
        for (const QRect &area : region) {
            painter.setClipRect(area);
            paintArea(area);
        }
        return;
    }
    painter.setClipRegion(region);
    paintArea(event->rect());
}

void DesignPanel::pressAt(QMouseEvent *event, bool doubleClick)
{
    const QPoint pos = event->position().toPoint();
    m_lastPointer = pos;
    const PressState state = pressState(event, doubleClick);
    m_rightPressOnPanel = event->button() == Qt::RightButton;
    // Presses pass through the ghost outline to what lies beneath; the
    // selected object's handles lie above everything, but an Alt+click sees
    // them at their own places. A left press keeps a selected object that
    // another covers whole, to drag it out from under.
    PanelElement *target = nullptr;
    if (event->modifiers() == Qt::AltModifier)
        target = m_surface.elementAsStacked(pos, true);
    else if (event->button() == Qt::LeftButton && !altHeld(event))
        target = m_surface.leftPressTarget(pos);
    else
        target = m_surface.drawing().scene().elementAt(pos, nullptr, true);
    if (target && target->shape() == ElementShape::Handle) {
        // A grid cell being edited stays open while its object is resized.
        m_mode = Mode::Resizing;
        m_surface.handleDown(target, pos);
        startLayers(target);
        return;
    }
    // Any other press gives the panel the keyboard focus, for the arrow keys.
    setFocus(Qt::MouseFocusReason);
    // Alt+click on the selected object reaches the one below it.
    if (target && event->button() == Qt::LeftButton && event->modifiers() == Qt::AltModifier) {
        if (PanelElement *below = m_surface.nextBelowSelected(pos))
            target = below;
    }
    const bool ctrlLeft = event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton &&
                          event->modifiers() == Qt::ControlModifier;
    VellControl *object = m_surface.drawing().objectOf(target);
    if (object && ctrlLeft) {
        // Ctrl+click adds or takes out, and never drags.
        m_surface.toggle(*object);
        return;
    }
    if (!object && event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton &&
        !doubleClick && (state == PressState::LeftAlone || ctrlLeft)) {
        m_surface.pressBarePanel(state);
        m_mode = Mode::Band;
        m_pressPos = pos;
        return;
    }
    if (object) {
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

void DesignPanel::setBand(const QRect &band)
{
    if (band == m_band)
        return;
    // The band's outline is drawn inside its rectangle.
    update(QRegion(m_band) + QRegion(band));
    m_band = band;
}

void DesignPanel::mouseMoveEvent(QMouseEvent *event)
{
    const HeldUpdates held(*this);
    const QPoint pos = event->position().toPoint();
    const bool moved = pos != m_lastPointer;
    m_lastPointer = pos;
    switch (m_mode) {
    case Mode::Band:
        if (!(event->buttons() & Qt::LeftButton)) {
            m_mode = Mode::Idle;
            setBand(QRect());
            break;
        }
        setBand(QRect(m_pressPos, pos).normalized() & rect());
        return;
    case Mode::Resizing:
        m_surface.moveTick(pos, altHeld(event));
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
        m_surface.moveTick(pos, altHeld(event));
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
            dropLayers();
            m_surface.handleUp(altHeld(event));
        }
        break;
    case Mode::Dragging:
        if (event->button() == Qt::LeftButton) {
            m_mode = Mode::Idle;
            if (m_surface.acceptsDrop(pos, m_surface.dragged()))
                m_surface.drop(m_surface.dragged(), pos, altHeld(event));
            m_surface.setDragged(nullptr);
            unsetCursor();
        }
        break;
    case Mode::DragArmed:
        if (event->button() == Qt::LeftButton) {
            m_mode = Mode::Idle;
            // A press on a member of a group let go where it was: that
            // object alone stays selected.
            m_surface.releasedWithoutMove();
            m_surface.setDragged(nullptr);
        }
        break;
    case Mode::Band:
        if (event->button() == Qt::LeftButton) {
            m_mode = Mode::Idle;
            const QRect band = m_band;
            setBand(QRect());
            if (!band.isEmpty())
                m_surface.selectInBand(band, event->modifiers() & Qt::ControlModifier);
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

void DesignPanel::cancelPointerWork()
{
    m_mode = Mode::Idle;
    setBand(QRect());
    dropLayers();
    m_surface.cancelPointerWork();
    unsetCursor();
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
    if (event->key() == Qt::Key_Alt)
        altChanged(true);
    // Keys with other modifiers, and every key during a drag or a resize,
    // go on to the window.
    const QKeyCombination pressed(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(event->key()));
    const std::span<const PanelInput> inputs = PanelInputs();
    const auto input = std::find_if(inputs.begin(), inputs.end(),
                                    [pressed](const PanelInput &i) { return i.key == pressed; });
    if (input != inputs.end() && input->job == PanelInput::Job::CancelBand &&
        m_mode == Mode::Band) {
        cancelPointerWork();
        event->accept();
        return;
    }
    if (input == inputs.end() || m_mode != Mode::Idle) {
        QFrame::keyPressEvent(event);
        return;
    }
    switch (input->job) {
    case PanelInput::Job::SelectAll:
        m_surface.selectAll();
        event->accept();
        return;
    case PanelInput::Job::CancelBand:
        QFrame::keyPressEvent(event);
        return;
    case PanelInput::Job::Nudge:
        break;
    case PanelInput::Job::Remove:
        m_surface.RemoveSelected();
        event->accept();
        return;
    case PanelInput::Job::Menu: // the system makes a context menu event of it
    case PanelInput::Job::Click:
        QFrame::keyPressEvent(event);
        return;
    }
    if (!m_surface.selectedObject()) {
        QFrame::keyPressEvent(event);
        return;
    }
    // A release without a time stamp (made by a program) tells nothing.
    const bool repeat =
        event->isAutoRepeat() ||
        (event->key() == m_releasedKey && m_releasedAt != 0 && event->timestamp() >= m_releasedAt &&
         event->timestamp() - m_releasedAt <= kRepeatGapMs);
    m_releasedKey = 0;
    m_surface.nudge(input->step.x(), input->step.y(), repeat);
    event->accept();
}

void DesignPanel::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Alt)
        altChanged(false);
    m_releasedKey = event->key();
    m_releasedAt = event->timestamp();
    QFrame::keyReleaseEvent(event);
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
    const PanelElement *e = m_surface.drawing().scene().elementAt(pos, nullptr, true);
    if (e && e->shape() == ElementShape::Handle) {
        const int n = e->handleNumber();
        setCursor(n == 1 || n == 3 ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
    } else {
        unsetCursor();
    }
}

} // namespace vell
