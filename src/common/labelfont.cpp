#include "common/labelfont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <memory>

static void initCoreResources()
{
    Q_INIT_RESOURCE(core);
}

namespace vell {

namespace {

struct FontCache
{
    QFont font;
    QFontMetricsF metrics;
};

std::unique_ptr<FontCache> &cache()
{
    static std::unique_ptr<FontCache> instance;
    return instance;
}

void dropCache()
{
    cache().reset();
}

const FontCache &fonts()
{
    std::unique_ptr<FontCache> &c = cache();
    if (c)
        return *c;
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        throw NoFontSupport();
    initCoreResources();
    const int id =
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSans-Regular.ttf"));
    QFont f(QFontDatabase::applicationFontFamilies(id).value(0));
    f.setPixelSize(11);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    f.setStyleStrategy(QFont::NoFontMerging);
    c = std::make_unique<FontCache>(FontCache{f, QFontMetricsF(f)});
    // The font goes with the application that made it.
    qAddPostRoutine(dropCache);
    return *c;
}

} // namespace

NoFontSupport::NoFontSupport()
    : std::logic_error("text measurement needs a QGuiApplication (an offscreen one will do: "
                       "QT_QPA_PLATFORM=offscreen); a QCoreApplication has no fonts")
{}

QFont LabelFont()
{
    return fonts().font;
}

QSize LabelSize(const QString &text)
{
    const QString shown = text.isEmpty() ? QStringLiteral(" ") : text;
    return QSize(qRound(fonts().metrics.horizontalAdvance(shown)), kLabelHeight);
}

} // namespace vell
