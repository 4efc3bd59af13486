#include "common/codefont.h"

#include "common/labelfont.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <optional>

static void initCoreResources()
{
    Q_INIT_RESOURCE(core);
}

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
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        throw NoFontSupport();
    initCoreResources();
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSansMono.ttf"));
    QFont f(QFontDatabase::applicationFontFamilies(id).value(0, QStringLiteral("monospace")));
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
