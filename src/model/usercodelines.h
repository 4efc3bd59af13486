#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace vell {

// A header is a line whose first eight characters are "function"; a longer
// word that starts with them counts too. Case-sensitive, nothing trimmed.
bool IsFunctionLine(const QString &line);

// The characters after the first space up to the next space or the end of
// the line. Only the space separates (a tab does not); empty when the line
// has no space, ends with it, or has a second space right after it.
QString FunctionNameOfLine(const QString &line);

// The names of the headers that have a non-empty name, in text order,
// duplicates included.
QStringList ListFunctionNames(const QStringList &lines);
// The same for the lines of a text (lineBreak between them), without making
// a string of each line: the editor asks on every key.
QStringList ListFunctionNamesInText(QStringView text, QChar lineBreak = QLatin1Char('\n'));

// Index of the first header whose name equals `name` exactly; -1 if none.
int FindFunctionLine(const QStringList &lines, const QString &name);

// The three lines of the ECHO function, in the order they go at the top.
QStringList EchoFunctionLines();

// Editor text (lines separated by '\n') as lines: a final line break does
// not start a further line, and an empty text has no lines.
QStringList TextToLines(const QString &text);
// The inverse: every line followed by '\n', so an empty last line survives.
QString LinesToText(const QStringList &lines);

} // namespace vell
