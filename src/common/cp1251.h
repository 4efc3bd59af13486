#pragma once

#include <QByteArray>
#include <QString>

namespace vell {

// The Windows-1251 code page, in which every file of the program is written.
// Each of the 256 byte values decodes to one character (0x98, which the code
// page leaves unassigned, to U+0098), so decoding then encoding any bytes
// gives them back unchanged.
QString DecodeCp1251(const QByteArray &bytes);

// Encodes text; returns false (and leaves `out` incomplete) when the text
// holds a character that the code page cannot store.
bool EncodeCp1251(const QString &text, QByteArray &out);

// Whether the code page can store the character.
bool IsCp1251Char(QChar c);

// The characters of the text that the code page cannot store, each once, in
// order of first appearance.
QString NonCp1251Chars(const QString &text);

} // namespace vell
