#pragma once

#include <QFont>

namespace vell {

// The monospace font code is shown and edited in. It is bundled with the
// program, so code looks and lines up the same on every machine whatever
// fonts are installed.
//
// Needs a QGuiApplication like LabelFont (throws NoFontSupport without one);
// the font is dropped when the application ends.
QFont CodeFont();

} // namespace vell
