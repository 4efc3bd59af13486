#pragma once

#include <QByteArrayView>
#include <QColor>
#include <QString>

#include <optional>

namespace vell {

// Boolean text: written "true"/"false"; only exactly "true" reads as true.
QString BoolToText(bool value);
bool TextToBool(const QString &text);
// The same for a line's bytes.
bool TextBytesToBool(QByteArrayView bytes);

// Integer text: signed 32-bit decimal, "-" before negative values.
QString IntToText(int value);
// The form of a counted word for `count`: one (1, 21), few (2 to 4, 22)
// or many (5 to 20, 11 to 14 in any hundred).
QStringView CountedWord(int count, QStringView one, QStringView few, QStringView many);
// Strict: an optional "-", then one or more digits, nothing else, within
// 32 bits. Returns nothing for any other text.
std::optional<int> TryTextToInt(const QString &text);
// The same for a line's bytes in Windows-1251 (or any code page whose
// digits and "-" are those of ASCII).
std::optional<int> TryTextToInt(QByteArrayView bytes);
// As TryTextToInt, but throws VellError("'%s' is not a valid integer value").
int TextToInt(const QString &text);

// Colour text: one of the twenty colour names when the colour equals one,
// otherwise "$" + eight upper-case hex digits 00BBGGRR.
QString ColorToText(QColor color);
// Accepts the twenty names and the desktop's interface colour names in any
// letter case, "clNone", "clDefault", decimal integers and "$" hexadecimal
// (00BBGGRR). Throws VellError("'%s' is not a valid integer value") otherwise.
QColor TextToColor(const QString &text);
std::optional<QColor> TryTextToColor(const QString &text);

// The 24-bit value 00BBGGRR of a "$" colour text ("$" and one to eight hex
// digits, of which the last six count); nothing for any other text.
std::optional<quint32> TryDollarBgr(QStringView text);

// The 24-bit value 00BBGGRR of a colour, as the colour text stores it.
quint32 ColorToBgr(QColor color);
QColor BgrToColor(quint32 bgr);

// A character of a word: a letter or digit of any script, or an underscore.
constexpr bool IsWordChar(char32_t c)
{
    return QChar::isLetterOrNumber(c) || c == U'_';
}
// The same within ASCII, where the names of the code are written.
constexpr bool IsAsciiWordChar(char32_t c)
{
    return c < 128 && IsWordChar(c);
}

// Whether a line layout draws the text as it stands: no control characters
// and no line or paragraph separators.
bool IsPlainLine(QStringView text);

} // namespace vell
