#include "common/labelfont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QResource>

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
    // Widths by text: a project holds many labels with the same text.
    QHash<QString, int> widths;
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

FontCache &fonts()
{
    std::unique_ptr<FontCache> &c = cache();
    if (c)
        return *c;
    QFont f(BundledFontFamily(QStringLiteral("LiberationSans-Regular.ttf")));
    f.setPixelSize(11);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    f.setStyleStrategy(QFont::NoFontMerging);
    c = std::make_unique<FontCache>(FontCache{f, QFontMetricsF(f), {}});
    // The font goes with the application that made it.
    qAddPostRoutine(dropCache);
    return *c;
}

} // namespace

QString BundledFontFamily(const QString &file)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        throw NoFontSupport();
    initCoreResources();
    // The font is stored uncompressed in the program: the font database and
    // the rasteriser read it where it lies instead of each keeping a copy.
    const QResource resource(QStringLiteral(":/fonts/") + file);
    const int id =
        resource.compressionAlgorithm() == QResource::NoCompression && resource.data()
            ? QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
                  reinterpret_cast<const char *>(resource.data()), resource.size()))
            : QFontDatabase::addApplicationFont(resource.absoluteFilePath());
    return QFontDatabase::applicationFontFamilies(id).value(0);
}

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
    FontCache &f = fonts();
    if (const auto it = f.widths.constFind(text); it != f.widths.cend())
        return QSize(*it, kLabelHeight);
    const QString shown = text.isEmpty() ? QStringLiteral(" ") : text;
    const int width = qRound(f.metrics.horizontalAdvance(shown));
    // Bounded: a long session typing into many labels must not grow it forever.
    if (f.widths.size() >= 65536)
        f.widths.clear();
    f.widths.insert(text, width);
    return QSize(width, kLabelHeight);
}

qreal LabelAscent()
{
    return fonts().metrics.ascent();
}

} // namespace vell
