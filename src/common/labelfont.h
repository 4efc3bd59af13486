#pragma once

#include <QFont>
#include <QSize>
#include <QString>

#include <stdexcept>
#include <vector>

namespace vell {

// The font the design panel draws and measures text labels with. It is
// bundled with the program, so label sizes (and the generated code computed
// from them) are the same on every machine.
//
// Fonts need a QGuiApplication (an offscreen one is enough, as in a program
// without windows started with QT_QPA_PLATFORM=offscreen). Without one these
// functions throw NoFontSupport instead of crashing. The font is dropped when
// the application ends.
QFont LabelFont();

// The family of a font file bundled under resources/fonts, loaded into the
// application (again loading the same file gives the same family).
QString BundledFontFamily(const QString &file);

class NoFontSupport : public std::logic_error
{
public:
    NoFontSupport();
};

// Loads the font and measures in advance what LabelSize needs for any text
// of printable characters of the code page, which it then measures without
// the font engine. It may run on a thread of its own while no other thread
// uses the label font.
void PrepareLabelFont();

// Height of a one-line label in panel pixels.
constexpr int kLabelHeight = 13;

// Size of an auto-sized label showing the text. An empty text measures as a
// single space, so the label stays visible and can be pressed.
QSize LabelSize(const QString &text);

// Where a label's first line stands below its top edge.
qreal LabelAscent();

// Texts up to this length are measured whole; longer ones piece by piece
// (the font engine's own sums overflow past about 33 million pixels).
constexpr qsizetype kLongestMeasuredWhole = 1 << 18;

// A long label is drawn piece by piece, only the pieces in sight: drawing
// its whole text for every repaint would take the panel seconds.
constexpr qsizetype kLabelPieceLength = 1024;
struct LabelPiece
{
    qsizetype start;  // where in the text
    qsizetype length; // characters
    double left;      // distance from the label's left edge
    double width;
};
// The text in pieces of about kLabelPieceLength characters, never parting
// a character from its marks or a surrogate pair. Kept for the texts last
// asked for: the list holds until the next call.
const std::vector<LabelPiece> &LabelPieces(const QString &text);

} // namespace vell
