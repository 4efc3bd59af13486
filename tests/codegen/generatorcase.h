#pragma once

#include "codegen/interfacegenerator.h"

#include <QString>
#include <QStringList>

// Case files for the generator tests.
//
// An input file lists sections, each opened by a line "[settings]",
// "[usercode]", "[button]", "[picture]" or "[text]"; every object section
// adds one object in file order. Outside the user code, lines are Key=Value
// with the value taken exactly as it stands (spaces included), and lines
// starting with "#" and blank lines are skipped. Inside "[usercode]" every
// line is user code until the next section line. Settings not given keep the
// program's defaults (ButtonVar, PictureVar, TextVar, UnitVar, user code on).
//
// Keys: settings ButtonVar, PictureVar, TextVar, UnitVar, UseUserCode,
// PanelWidth, PanelHeight; objects X, Y, Width, Height, Visible, TextureId
// (buttons, pictures), Left, Right (buttons), Text, TextColor (texts).
struct GeneratorCase
{
    vell::GeneratorInput input;
    QString error; // empty when the file was understood
};

GeneratorCase readGeneratorCase(const QString &path);

namespace vell {
class Project;
}
// Puts the case's design into an empty project as the designer would hold
// it: the objects with their fields (an odd size of a button or picture
// loses a pixel, a text takes the size of its label), the variable names
// and the user code switch in the settings, and the user code. Texts need
// a QGuiApplication.
void fillProject(const GeneratorCase &c, vell::Project &project);

// The lines of a UTF-8 text file with LF line ends; a final line end does
// not start a further line. Sets ok to false when the file cannot be read.
QStringList readExpectedLines(const QString &path, bool *ok);

// Empty when equal; otherwise the first differing line number with the
// expected and actual text and a few lines of context from both.
QString describeLineDifference(const QStringList &expected, const QStringList &actual);
