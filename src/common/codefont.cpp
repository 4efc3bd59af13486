#include "common/codefont.h"

#include "common/labelfont.h"

#include <QCoreApplication>

#include <optional>

namespace vell {

namespace {

std::optional<QFont> &cache()
{
    static std::optional<QFont> instance;
    return instance;
}

void dropCache()
{
    cache().reset();
}

} // namespace

QFont CodeFont()
{
    std::optional<QFont> &c = cache();
    if (c)
        return *c;
    QFont f(BundledFontFamily(QStringLiteral("DejaVuSansMono.ttf")));
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    // Pixels rather than points: the same size whatever the screen's DPI
    // setting.
    f.setPixelSize(13);
    f.setKerning(false);
    c = f;
    // The font goes with the application that made it.
    qAddPostRoutine(dropCache);
    return *c;
}

} // namespace vell
