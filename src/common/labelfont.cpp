#include "common/labelfont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QResource>

#include <algorithm>
#include <limits>
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
    // The pieces of the long texts last drawn, newest last.
    std::vector<std::pair<QString, std::vector<LabelPiece>>> pieces;
};

// Where a long text may be cut without parting a character from the marks
// that go with it or a surrogate pair.
bool cutsCleanly(const QString &text, qsizetype at)
{
    return at >= text.size() || !(text[at].isLowSurrogate() || text[at].isMark());
}

// A long text in pieces of about kLabelPieceLength characters, each with its
// distance from the text's start. The font measures without kerning, so the
// pieces' widths add up to the whole text's.
std::vector<LabelPiece> cutIntoPieces(const QFontMetricsF &metrics, const QString &text)
{
    std::vector<LabelPiece> pieces;
    double left = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = std::min(text.size(), start + kLabelPieceLength);
        while (end < text.size() && end - start < 2 * kLabelPieceLength && !cutsCleanly(text, end))
            ++end;
        const double width = metrics.horizontalAdvance(text.mid(start, end - start));
        pieces.push_back(LabelPiece{start, end - start, left, width});
        left += width;
        start = end;
    }
    return pieces;
}

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
    c = std::make_unique<FontCache>(FontCache{f, QFontMetricsF(f), {}, {}});
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
    const int id = resource.compressionAlgorithm() == QResource::NoCompression && resource.data()
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
    // The font engine measures in fixed point, which overflows past about
    // 33 million pixels: a very long text is measured piece by piece.
    double advance = 0;
    if (shown.size() <= kLongestMeasuredWhole) {
        advance = f.metrics.horizontalAdvance(shown);
    } else {
        for (const LabelPiece &p : cutIntoPieces(f.metrics, shown))
            advance += p.width;
    }
    const int width = int(std::min<double>(qRound64(advance), std::numeric_limits<int>::max()));
    // Bounded: a long session typing into many labels must not grow it forever.
    if (f.widths.size() >= 65536)
        f.widths.clear();
    f.widths.insert(text, width);
    return QSize(width, kLabelHeight);
}

const std::vector<LabelPiece> &LabelPieces(const QString &text)
{
    FontCache &f = fonts();
    // The label's own text is the very string kept (no characters compared)
    // as a rule; an equal copy is found too.
    for (const auto &[kept, pieces] : f.pieces) {
        if (kept.constData() == text.constData() && kept.size() == text.size())
            return pieces;
    }
    for (const auto &[kept, pieces] : f.pieces) {
        if (kept == text)
            return pieces;
    }
    // A few texts are kept: those on the panel now, as a rule.
    if (f.pieces.size() >= 16)
        f.pieces.erase(f.pieces.begin());
    f.pieces.emplace_back(text, cutIntoPieces(f.metrics, text));
    return f.pieces.back().second;
}

qreal LabelAscent()
{
    return fonts().metrics.ascent();
}

} // namespace vell
