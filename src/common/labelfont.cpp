#include "common/labelfont.h"

#include "common/cp1251.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QResource>

#include <algorithm>
#include <array>
#include <cmath>
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
    // The advance of each printable character of the code page by its
    // byte, measured when first met (NaN until then).
    std::array<double, 256> advances;
    // Widths of the other texts: a project holds many labels with the same
    // text.
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

// Whether the character of the code page's byte is printable: not a
// control character and not the soft hyphen.
bool isPrintable(int byte)
{
    return byte >= 0x20 && byte != 0x7F && byte != 0x98 && byte != 0xAD;
}

// The advance of the character of the code page's byte, measured alone.
double advanceOf(FontCache &f, int byte, QChar c)
{
    double &advance = f.advances[std::size_t(byte)];
    if (std::isnan(advance))
        advance = f.metrics.horizontalAdvance(QString(c));
    return advance;
}

// The advance of a text made only of printable characters of the code page,
// or -1 when it holds any other. The bundled font substitutes or moves
// glyphs by what stands around them only for Hebrew, tone letters and
// combining marks (none of them in the code page), kerning is off, and of
// the code page's characters only a tab (not printable) measures by where
// it stands: so such a text measures as the sum of its characters, each
// measured alone (tst_textforms compares every pair with the font engine).
// The engine's advances are whole 64ths of a pixel, which a double adds up
// exactly, as the engine does in fixed point.
double printableAdvance(FontCache &f, QStringView text)
{
    double sum = 0;
    for (const QChar c : text) {
        const int byte = Cp1251Byte(c);
        if (byte < 0 || !isPrintable(byte))
            return -1;
        sum += advanceOf(f, byte, c);
    }
    return sum;
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
    c = std::make_unique<FontCache>(FontCache{f, QFontMetricsF(f), {}, {}, {}});
    c->advances.fill(std::numeric_limits<double>::quiet_NaN());
    // The font goes with the application that made it.
    qAddPostRoutine(dropCache);
    return *c;
}

int widthOf(double advance)
{
    return int(std::min<double>(qRound64(advance), std::numeric_limits<int>::max()));
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

void PrepareLabelFont()
{
    FontCache &f = fonts();
    for (int byte = 0; byte < 256; ++byte) {
        if (isPrintable(byte)) {
            const char c = char(byte);
            advanceOf(f, byte, DecodeCp1251(QByteArrayView(&c, 1)).front());
        }
    }
}

QFont LabelFont()
{
    return fonts().font;
}

QSize LabelSize(const QString &text)
{
    FontCache &f = fonts();
    const QString shown = text.isEmpty() ? QStringLiteral(" ") : text;
    if (const double advance = printableAdvance(f, shown); advance >= 0)
        return QSize(widthOf(advance), kLabelHeight);
    if (const auto it = f.widths.constFind(text); it != f.widths.cend())
        return QSize(*it, kLabelHeight);
    // The font engine measures in fixed point, which overflows past about
    // 33 million pixels: a very long text is measured piece by piece.
    double advance = 0;
    if (shown.size() <= kLongestMeasuredWhole) {
        advance = f.metrics.horizontalAdvance(shown);
    } else {
        for (const LabelPiece &p : cutIntoPieces(f.metrics, shown))
            advance += p.width;
    }
    const int width = widthOf(advance);
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
