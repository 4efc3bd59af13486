#pragma once

#include <QGlyphRun>
#include <QPointF>
#include <QRect>
#include <QStringView>

#include <vector>

class QPainter;

namespace vell {

// A label's text laid out as the glyphs the font engine draws for it, for a
// text made only of printable characters of the code page: the bundled font
// neither joins nor moves such characters, so the text is its characters'
// own glyphs one after another, each at its own advance (as LabelSize
// measures it). Drawing the glyphs gives the same pixels as drawing the
// text, without shaping it at every repaint; and the layout knows every
// pixel the glyphs touch, measured once per character from the glyphs
// themselves.
//
// For a painter on a QImage (RGB32 or premultiplied ARGB32) without a
// transformation, with the label font and the painter's default hints.
class LabelGlyphs
{
public:
    // Lays out `text` with the top left corner of its label at `topLeft`
    // (the baseline lies LabelAscent() below it). Returns false, and lays
    // out nothing, for a text holding any other character.
    bool layOut(QStringView text, QPoint topLeft);
    // Whether every pixel the glyphs touch lies inside `rect`.
    bool inside(const QRect &rect) const { return m_ink.isEmpty() || rect.contains(m_ink); }
    // Draws the glyphs laid out last with the painter's pen.
    void draw(QPainter &painter);

private:
    std::vector<quint32> m_glyphs;
    std::vector<QPointF> m_positions;
    // The pixels the glyphs touch.
    QRect m_ink;
    QGlyphRun m_run;
    bool m_runHasFont = false;
};

} // namespace vell
