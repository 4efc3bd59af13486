#include "model/vellobjects.h"

namespace vell {

QString *TextureOf(VellControl &object)
{
    switch (object.Kind) {
    case KindButton:
        return &static_cast<VellButton &>(object).TextureId;
    case KindPicture:
        return &static_cast<VellPicture &>(object).TextureId;
    default:
        return nullptr;
    }
}

const QString *TextureOf(const VellControl &object)
{
    return TextureOf(const_cast<VellControl &>(object));
}

QRect DrawnRect(const VellControl &object)
{
    const int w = std::clamp(object.Width, 0, kDrawnSizeLimit);
    const int h = std::clamp(object.Height, 0, kDrawnSizeLimit);
    const qint64 left = qint64(kPanelWidth / 2) + object.X - object.Width / 2;
    const qint64 top = qint64(kPanelHeight / 2) - object.Y - object.Height / 2;
    return QRect(PlaceOnAxis(left, w, kPanelWidth), PlaceOnAxis(top, h, kPanelHeight), w, h);
}

} // namespace vell
