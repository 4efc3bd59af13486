#pragma once

#include "model/objectkind.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>
#include <vector>

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
    // Whether the result tells where each piece of every line comes from
    // (its `pieces`); those who only show or save the code need not pay for
    // it.
    bool mapPieces = false;
};

// What a piece of a generated line was written from. A column that no piece
// covers holds the generator's own text.
struct CodePiece
{
    enum class Source : std::uint8_t
    {
        Object,   // a field of an object of the input (`kind`, `index`)
        Setting,  // the name a setting gives
        UserCode, // a user code line (`index`), whole
    };
    // What of an object: `Place` is the "[i]" its array is indexed with.
    enum class Field : std::uint8_t
    {
        Place,
        Position,
        Size,
        Texture,
        Text,
        Colour,
        Visibility,
        LeftFunction,
        RightFunction,
    };
    enum class Setting : std::uint8_t
    {
        ButtonVar,
        PictureVar,
        TextVar,
        UnitVar,
    };

    // Columns from 0; `end` is the column after the piece (an empty texture
    // gives an empty piece).
    int start = 0;
    int end = 0;
    // An object's position in its list of the input (from 0), or the user
    // code line (from 0).
    int index = 0;
    Source source = Source::Object;
    Field field = Field::Place;           // of an object
    Setting setting = Setting::ButtonVar; // of a setting
    std::uint8_t kind = KindNone;         // of an object: its ObjectKind

    ObjectKind objectKind() const { return ObjectKind(kind); }
    bool operator==(const CodePiece &) const = default;
};

// The pieces of every line, in column order: one array for all of them and
// where each line's begin.
class CodePieces
{
public:
    std::span<const CodePiece> line(qsizetype line) const
    {
        if (line < 0 || line + 1 >= qsizetype(m_lineStarts.size()))
            return {};
        return std::span(m_pieces).subspan(m_lineStarts[size_t(line)],
                                           m_lineStarts[size_t(line) + 1] -
                                               m_lineStarts[size_t(line)]);
    }
    // The piece at the column of the line; nullptr on the generator's own
    // text.
    const CodePiece *at(qsizetype line, int column) const;
    bool operator==(const CodePieces &) const = default;

    // For the writer.
    void reserve(size_t lines, size_t pieces)
    {
        m_lineStarts.reserve(lines + 1);
        m_pieces.reserve(pieces);
    }
    void add(const CodePiece &piece) { m_pieces.push_back(piece); }
    void endLine()
    {
        if (m_lineStarts.empty())
            m_lineStarts.push_back(0);
        m_lineStarts.push_back(std::uint32_t(m_pieces.size()));
    }

private:
    std::vector<CodePiece> m_pieces;
    std::vector<std::uint32_t> m_lineStarts;
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
    // The first user code line (lines from 0).
    int userCodeLine = 0;
    // With the input's `mapPieces`, what each line written is made of.
    CodePieces pieces;
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
