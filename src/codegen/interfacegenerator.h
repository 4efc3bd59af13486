#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vell {

// What the generator needs of a button, in panel pixels: X and Y are the
// centre relative to the panel's centre (Y upwards), width and height the
// size of the on-panel element.
struct GenButton
{
    int x = 0, y = 0, width = 32, height = 32;
    bool visible = true;
    QString textureId, leftFunction, rightFunction;
};

struct GenPicture
{
    int x = 0, y = 0, width = 32, height = 32;
    bool visible = true;
    QString textureId;
};

// For a text, width and height are those of its label; textColor is colour
// text and empty when no colour was chosen.
struct GenText
{
    int x = 0, y = 0, width = 0, height = 13;
    bool visible = true;
    QString text, textColor;
};

// Everything one run reads. The lists are in table order: the object at
// position i is written with index i + 1.
struct GeneratorInput
{
    QList<GenButton> buttons;
    QList<GenPicture> pictures;
    QList<GenText> texts;
    QString buttonVar, pictureVar, textVar, unitVar;
    bool useUserCode = true;
    QStringList userCode;
    int panelWidth = 633, panelHeight = 353;
};

// What the generator writes: the text the code window shows, or the bytes of
// the code as a file holds it.
enum class GeneratorOutput
{
    Text,
    Cp1251
};

// The output as one text, its lines separated by a line feed (no line of the
// output holds one), or as bytes: Windows-1251, every line ended by CR LF.
// On failure, the output holds what was produced before the failing line and
// error the message to show; bytes fail also on a character the code page
// cannot store.
struct GeneratorResult
{
    QString text;
    QByteArray bytes;
    qsizetype lineCount = 0;
    QString error;
    // Where the parts stand (lines from 0): the first user code line, and
    // for buttons, pictures and texts the first line of each object and the
    // line after the last one's.
    int userCodeLine = 0;
    QList<int> objectLines[3];
    int objectLinesEnd[3] = {0, 0, 0};
    bool ok() const { return error.isEmpty(); }
    QStringList lines() const
    {
        return lineCount == 0 ? QStringList() : text.split(QLatin1Char('\n'));
    }
};

GeneratorResult GenerateInterfaceCode(const GeneratorInput &input,
                                      GeneratorOutput output = GeneratorOutput::Text);

// Fixed point with three decimals, rounded to nearest (halves away from
// zero), always a full stop, never "-0.000".
QString FormatReal3(double value);

} // namespace vell
