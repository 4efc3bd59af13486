#include "designer/gui/labelglyphs.h"

#include "common/cp1251.h"
#include "common/labelfont.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <array>
#include <cmath>
#include <memory>

namespace vell {

namespace {

// Glyph positions are whole 64ths of a pixel; a glyph's pixels depend on
// where within its pixel it starts.
constexpr int kPhases = 64;

// The pixels a glyph touches, from the pixel its origin lies in and the
// label's top; none when right < left.
struct Ink
{
    qint8 left = 1, right = 0, top = 0, bottom = 0;
};

struct Char
{
    bool known = false;
    // Whether the character is drawn as its own glyph (else the text is
    // drawn as text).
    bool alone = false;
    quint32 glyph = 0;
    int advance = 0; // 64ths of a pixel
    std::array<Ink, kPhases> ink;
};

struct GlyphFont
{
    QRawFont raw;
    QFontMetricsF metrics{LabelFont()};
    qreal ascent = LabelAscent();
    std::array<Char, 256> chars;
};

std::unique_ptr<GlyphFont> &glyphFont()
{
    static std::unique_ptr<GlyphFont> instance;
    return instance;
}

void dropGlyphFont()
{
    glyphFont().reset();
}

// The font goes with the application that made it.
GlyphFont &font()
{
    std::unique_ptr<GlyphFont> &f = glyphFont();
    if (!f) {
        f = std::make_unique<GlyphFont>();
        qAddPostRoutine(dropGlyphFont);
    }
    return *f;
}

// Whether a text of such characters measures as the sum of its characters
// (see LabelSize): the printable characters of the code page.
bool printable(int byte)
{
    return byte >= 0x20 && byte != 0x7F && byte != 0x98 && byte != 0xAD;
}

// Finds the pixels the glyph touches at each start within a pixel: the
// glyph drawn at every start, side by side, on the two kinds of picture
// the panel paints, and what changed looked at. Returns false when a glyph
// reaches too far for the test.
bool measureInk(const GlyphFont &f, Char &c)
{
    // Each start has a cell; its glyph's origin lies kLeft pixels into it,
    // on the baseline of a label kTop pixels below the cell's top.
    constexpr int kCell = 24, kLeft = 6, kTop = 8, kHeight = 28;
    std::array<QPointF, kPhases> positions;
    std::array<quint32, kPhases> glyphs;
    for (int phase = 0; phase < kPhases; ++phase) {
        positions[std::size_t(phase)] =
            QPointF(phase * kCell + kLeft + phase / double(kPhases), kTop + f.ascent);
        glyphs[std::size_t(phase)] = c.glyph;
    }
    QGlyphRun run;
    run.setRawFont(f.raw);
    run.setRawData(glyphs.data(), positions.data(), kPhases);
    constexpr int kWidth = kPhases * kCell;
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        QImage image(kWidth, kHeight, format);
        image.fill(format == QImage::Format_RGB32 ? Qt::black : Qt::transparent);
        const QRgb blank = image.pixel(0, 0);
        QPainter painter(&image);
        painter.setPen(Qt::white);
        painter.drawGlyphRun(QPointF(), run);
        painter.end();
        for (int y = 0; y < kHeight; ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < kWidth; ++x) {
                if (line[x] == blank)
                    continue;
                if (y == 0 || y == kHeight - 1 || x % kCell == 0 || x % kCell == kCell - 1)
                    return false;
                Ink &ink = c.ink[std::size_t(x / kCell)];
                const int dx = x % kCell - kLeft, dy = y - kTop;
                if (ink.right < ink.left) {
                    ink = Ink{qint8(dx), qint8(dx), qint8(dy), qint8(dy)};
                } else {
                    ink.left = qint8(std::min<int>(ink.left, dx));
                    ink.right = qint8(std::max<int>(ink.right, dx));
                    ink.top = qint8(std::min<int>(ink.top, dy));
                    ink.bottom = qint8(std::max<int>(ink.bottom, dy));
                }
            }
        }
    }
    return true;
}

// What a character alone is shaped into: one glyph of the label font.
void learn(GlyphFont &f, Char &c, QChar ch)
{
    c.known = true;
    QTextLayout layout(QString(ch), LabelFont());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1 || runs.front().glyphIndexes().size() != 1)
        return;
    if (!f.raw.isValid())
        f.raw = runs.front().rawFont();
    else if (!(runs.front().rawFont() == f.raw))
        return;
    const double advance = f.metrics.horizontalAdvance(QString(ch)) * 64;
    if (advance != std::round(advance))
        return;
    c.glyph = runs.front().glyphIndexes().front();
    c.advance = int(advance);
    c.alone = measureInk(f, c);
}

} // namespace

bool LabelGlyphs::layOut(QStringView text, QPoint topLeft)
{
    GlyphFont &f = font();
    m_glyphs.clear();
    m_positions.clear();
    m_ink = QRect();
    // Where the next glyph starts, in 64ths of a pixel.
    qint64 at = qint64(topLeft.x()) * 64;
    const qreal baseline = topLeft.y() + f.ascent;
    int inkLeft = 0, inkRight = -1, inkTop = 0, inkBottom = -1;
    for (const QChar ch : text) {
        const int byte = Cp1251Byte(ch);
        if (!printable(byte))
            return false;
        Char &c = f.chars[std::size_t(byte)];
        if (!c.known)
            learn(f, c, ch);
        if (!c.alone)
            return false;
        m_glyphs.push_back(c.glyph);
        m_positions.emplace_back(at / 64.0, baseline);
        const Ink &ink = c.ink[std::size_t(at & (kPhases - 1))];
        if (ink.left <= ink.right) {
            const int pixel = int(at >> 6);
            if (inkRight < inkLeft) {
                inkLeft = pixel + ink.left;
                inkRight = pixel + ink.right;
                inkTop = ink.top;
                inkBottom = ink.bottom;
            } else {
                inkLeft = std::min(inkLeft, pixel + ink.left);
                inkRight = std::max(inkRight, pixel + ink.right);
                inkTop = std::min<int>(inkTop, ink.top);
                inkBottom = std::max<int>(inkBottom, ink.bottom);
            }
        }
        at += c.advance;
    }
    if (inkLeft <= inkRight)
        m_ink =
            QRect(QPoint(inkLeft, topLeft.y() + inkTop), QPoint(inkRight, topLeft.y() + inkBottom));
    return true;
}

void LabelGlyphs::draw(QPainter &painter)
{
    if (m_glyphs.empty())
        return;
    // The font is the same for every label.
    if (!m_runHasFont) {
        m_run.setRawFont(font().raw);
        m_runHasFont = true;
    }
    m_run.setRawData(m_glyphs.data(), m_positions.data(), int(m_glyphs.size()));
    painter.drawGlyphRun(QPointF(), m_run);
}

} // namespace vell
