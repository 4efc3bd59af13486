#pragma once

#include <QFont>
#include <QSize>
#include <QString>

#include <stdexcept>

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

// Height of a one-line label in panel pixels.
constexpr int kLabelHeight = 13;

// Size of an auto-sized label showing the text. An empty text measures as a
// single space, so the label stays visible and can be pressed.
QSize LabelSize(const QString &text);

// Where a label's first line stands below its top edge.
qreal LabelAscent();

} // namespace vell
