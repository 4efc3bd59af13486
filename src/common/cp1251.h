#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vell {

// The Windows-1251 code page, in which every file of the program is written.
// Each of the 256 byte values decodes to one character (0x98, which the code
// page leaves unassigned, to U+0098), so decoding then encoding any bytes
// gives them back unchanged.
QString DecodeCp1251(QByteArrayView bytes);
// The same into `out`, which has room for bytes.size() characters.
void DecodeCp1251(QByteArrayView bytes, QChar *out);

// Encodes text; returns false (and leaves `out` incomplete) when the text
// holds a character that the code page cannot store.
bool EncodeCp1251(const QString &text, QByteArray &out);
// The same into `out`, which has room for text.size() bytes. Returns -1, or
// where the first character the code page cannot store stands (the bytes
// before it are written).
qsizetype EncodeCp1251(QStringView text, char *out);

// Whether the code page can store the character.
bool IsCp1251Char(QChar c);
// The character's byte in the code page, or -1 when it has none.
int Cp1251Byte(QChar c);

// The characters of the text that the code page cannot store, each once, in
// order of first appearance.
QString NonCp1251Chars(QStringView text);

} // namespace vell
