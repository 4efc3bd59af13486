#include "designer/vellobjects.h"

#include "common/labelfont.h"
#include "common/textforms.h"

namespace vell {

PanelElement *ownerElement(const VellControl &object)
{
    switch (object.Kind) {
    case KindButton:
        return static_cast<const VellButton &>(object).Element.get();
    case KindPicture:
        return static_cast<const VellPicture &>(object).Element.get();
    case KindText:
        return static_cast<const VellText &>(object).Element.get();
    default:
        return nullptr;
    }
}

VellResizeRect *ownerFrame(const VellControl &object)
{
    switch (object.Kind) {
    case KindButton:
        return static_cast<const VellButton &>(object).Frame.get();
    case KindPicture:
        return static_cast<const VellPicture &>(object).Frame.get();
    default:
        return nullptr;
    }
}

QString ObjectName(const VellControl &object)
{
    const PanelElement *e = ownerElement(object);
    return e ? e->name() : QString();
}

int ObjectId(const VellControl &object)
{
    const PanelElement *e = ownerElement(object);
    return e ? e->tag() : 0;
}

void SetPosition(VellControl &object, int x, int y)
{
    object.X = x;
    object.Y = y;
    PanelElement *e = ownerElement(object);
    if (!e)
        return;
    e->setLeftTop(ElementLeftFor(x, e->width()), ElementTopFor(y, e->height()));
    if (VellResizeRect *frame = ownerFrame(object))
        frame->MoveTo(e->left() + e->width() / 2, e->top() + e->height() / 2);
}

void SetSize(VellControl &object, int w, int h)
{
    if (object.Kind != KindButton && object.Kind != KindPicture)
        return;
    const qint64 cx = qint64(object.X) + kPanelWidth / 2;
    const qint64 cy = kPanelHeight / 2 - qint64(object.Y);
    const int hw = std::min(w, kSizeLimit) / 2;
    const int hh = std::min(h, kSizeLimit) / 2;
    const int left = PlaceOnAxis(cx - hw, 2 * hw, kPanelWidth);
    const int top = PlaceOnAxis(cy - hh, 2 * hh, kPanelHeight);
    SetCorners(object, left, top, left + 2 * hw, top + 2 * hh);
}

void SetCorners(VellControl &object, int left, int top, int right, int bottom)
{
    VellResizeRect *frame = ownerFrame(object);
    PanelElement *e = ownerElement(object);
    if (!frame || !e)
        return;
    frame->SetCorners(left, top, right, bottom);
    e->setRect(QRect(left, top, frame->FrameWidth, frame->FrameHeight));
}

void SetVisible(VellControl &object, bool visible)
{
    object.Visible = visible;
    if (object.Kind == KindButton || object.Kind == KindPicture)
        ownerElement(object)->setFillStyle(visible ? FillStyle::Solid : FillStyle::DiagCross);
}

void SetText(VellText &text, const QString &value)
{
    text.Text = value;
    text.Element->setText(value);
    const QSize size = LabelSize(value);
    text.Element->setSize(size.width(), size.height());
}

void SetTextColor(VellText &text, QColor color)
{
    text.TextColor = ColorToText(color);
    text.Element->setTextColor(color);
}

} // namespace vell
