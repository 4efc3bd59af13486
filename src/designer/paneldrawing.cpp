#include "designer/paneldrawing.h"

#include "common/textforms.h"
#include "model/kindfacts.h"

namespace vell {

PanelDrawing::PanelDrawing(ObjectTables &tables, FillOf fillOf)
    : m_tables(tables), m_fillOf(std::move(fillOf))
{
    for (const ObjectKind kind : kObjectKinds) {
        for (int id = 1; id <= tables.count(kind); ++id)
            drawings(kind).push_back(makeDrawing(*tables.object(kind, id)));
    }
    m_tables.addObserver(this);
}

PanelDrawing::~PanelDrawing()
{
    m_tables.removeObserver(this);
    m_scene.setRepaintHandler({});
    m_scene.beginBulkRemoval();
    for (auto &d : m_drawings)
        d.clear();
    m_scene.endBulkRemoval();
}

PanelDrawing::Drawing PanelDrawing::makeDrawing(const VellControl &object)
{
    Drawing d;
    const bool label = object.Kind == KindText;
    const QRect rect = DrawnRect(object);
    d.element = std::make_unique<PanelElement>(
        m_scene, label ? ElementShape::Label : ElementShape::Rectangle, rect);
    PanelElement &e = *d.element;
    e.setTag(object.Id);
    e.setObjectKind(object.Kind);
    if (label) {
        const auto &text = static_cast<const VellText &>(object);
        e.setFill(kButtonFace);
        e.setText(text.Text);
        if (const auto color = TryTextToColor(text.TextColor))
            e.setTextColor(*color);
    } else {
        e.setFill(m_fillOf ? m_fillOf(object.Kind) : QColor(255, 255, 255));
        e.setPen(QColor(0, 0, 0), 1);
        e.setFillStyle(object.Visible ? FillStyle::Solid : FillStyle::DiagCross);
        // The frame's handles lie right above the element.
        m_scene.reserveOrders(4);
    }
    return d;
}

const PanelDrawing::Drawing *PanelDrawing::drawing(const VellControl &object) const
{
    if (object.Kind < KindButton || object.Kind > KindText || object.Id < 1 ||
        object.Id > int(drawings(object.Kind).size()))
        return nullptr;
    return &drawings(object.Kind)[object.Id - 1];
}

VellControl *PanelDrawing::objectOf(const PanelElement *element) const
{
    if (!element)
        return nullptr;
    VellControl *object = m_tables.object(element->objectKind(), element->tag());
    return object && this->element(*object) == element ? object : nullptr;
}

PanelElement *PanelDrawing::element(const VellControl &object) const
{
    const Drawing *d = drawing(object);
    return d ? d->element.get() : nullptr;
}

VellResizeRect *PanelDrawing::frame(const VellControl &object) const
{
    const Drawing *d = drawing(object);
    if (!d || object.Kind == KindText)
        return nullptr;
    if (!d->frame) {
        const PanelElement &e = *d->element;
        d->frame = std::make_unique<VellResizeRect>(const_cast<PanelScene &>(m_scene), e.rect(),
                                                    e.stackOrder() + 1,
                                                    m_tables.object(object.Kind, object.Id));
    }
    return d->frame.get();
}

VellResizeRect *PanelDrawing::madeFrame(const VellControl &object) const
{
    const Drawing *d = drawing(object);
    return d ? d->frame.get() : nullptr;
}

void PanelDrawing::dropFrame(const VellControl &object)
{
    if (const Drawing *d = drawing(object))
        d->frame.reset();
}

void PanelDrawing::objectAdded(const VellControl &object)
{
    auto &d = drawings(object.Kind);
    const int at = object.Id - 1;
    d.insert(d.begin() + at, makeDrawing(object));
    for (int i = at + 1; i < int(d.size()); ++i)
        d[i].element->setTag(i + 1);
}

void PanelDrawing::objectChanged(const VellControl &object, ObjectAspect aspect)
{
    PanelElement *e = element(object);
    if (!e)
        return;
    const bool label = object.Kind == KindText;
    switch (aspect) {
    case ObjectAspect::Place: {
        const QRect rect = DrawnRect(object);
        e->setRect(rect);
        if (VellResizeRect *f = madeFrame(object))
            f->MoveTo(rect.left() + rect.width() / 2, rect.top() + rect.height() / 2);
        return;
    }
    case ObjectAspect::Size: {
        const QRect rect = DrawnRect(object);
        if (VellResizeRect *f = madeFrame(object))
            f->SetCorners(rect.left(), rect.top(), rect.left() + rect.width(),
                          rect.top() + rect.height());
        e->setRect(rect);
        return;
    }
    case ObjectAspect::Framed:
        // Exactly where the dragged frame says; the frame itself stays.
        if (VellResizeRect *f = madeFrame(object))
            e->setRect(f->FramedRect());
        else
            e->setRect(DrawnRect(object));
        return;
    case ObjectAspect::Visible:
        if (!label)
            e->setFillStyle(object.Visible ? FillStyle::Solid : FillStyle::DiagCross);
        return;
    case ObjectAspect::Text:
        if (label) {
            // The label fits its new text and stays centred on X and Y.
            e->setText(static_cast<const VellText &>(object).Text);
            e->setRect(DrawnRect(object));
        }
        return;
    case ObjectAspect::TextColor:
        if (label) {
            if (const auto color = TryTextToColor(static_cast<const VellText &>(object).TextColor))
                e->setTextColor(*color);
        }
        return;
    case ObjectAspect::All:
        break;
    }
    if (label) {
        const auto &text = static_cast<const VellText &>(object);
        e->setText(text.Text);
        e->setTextColor(TryTextToColor(text.TextColor).value_or(QColor(0, 0, 0)));
    }
    const QRect rect = DrawnRect(object);
    e->setRect(rect);
    if (label)
        return;
    e->setFillStyle(object.Visible ? FillStyle::Solid : FillStyle::DiagCross);
    if (VellResizeRect *f = madeFrame(object))
        f->SetCorners(rect.left(), rect.top(), rect.left() + rect.width(),
                      rect.top() + rect.height());
}

void PanelDrawing::objectRemoved(ObjectKind kind, int id)
{
    auto &d = drawings(kind);
    if (id < 1 || id > int(d.size()))
        return;
    d.erase(d.begin() + (id - 1));
    for (int i = id - 1; i < int(d.size()); ++i)
        d[i].element->setTag(i + 1);
}

void PanelDrawing::objectsCleared()
{
    m_scene.beginBulkRemoval();
    for (auto &d : m_drawings)
        d.clear();
    m_scene.endBulkRemoval();
}

} // namespace vell
