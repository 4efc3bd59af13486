#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vell {

// Splits file bytes into lines: a NUL byte ends the text; CR LF, a lone CR
// and a lone LF each end a line; a final line break adds no empty line.
QStringList SplitTextLines(const QByteArray &bytes);

// Joins lines with CR LF after every line, the last one included. Throws
// VellError naming the characters when a line holds one that Windows-1251
// cannot store (the text is never altered silently).
QByteArray JoinTextLines(const QStringList &lines);

// Reads a whole file's bytes. Throws VellError with
// "Cannot open file \"%s\". %s" when it cannot be read.
QByteArray ReadFileBytes(const QString &path);

// Reads a whole Windows-1251 text file. Throws VellError with
// "Cannot open file \"%s\". %s" when it cannot be read.
QStringList ReadTextFile(const QString &path);

// Writes a whole Windows-1251 text file with CR LF line ends. The old file is
// replaced only once the new one is complete. Throws VellError with
// "Cannot create file \"%s\". %s" when it cannot be written.
void WriteTextFile(const QString &path, const QStringList &lines);

// Message for text that holds characters Windows-1251 cannot store; quotes
// them through ShortQuote.
QString unencodableMessage(const QString &badChars);

} // namespace vell
