#pragma once

#include <QString>
#include <QStringList>

namespace vell {

// User code files (".j"): the user code editor saves and loads the code as
// Windows-1251 lines with CR LF after each.

// The name with ".j" added unless its last two characters are exactly ".j"
// (so "a.J" becomes "a.J.j").
QString withUserCodeExtension(const QString &name);

// The lines of the file: CR LF, a lone CR and a lone LF each end a line, and
// a final line break adds no empty line. Throws VellError ("Cannot open file
// ...") when the file cannot be read, and when it holds a NUL byte: the text
// after it could not be loaded as it is.
QStringList readUserCodeFile(const QString &path);

// Replaces the file with the lines, only once the new one is complete.
// Throws VellError when a line holds a character Windows-1251 cannot store
// or the file cannot be written; the old file then stays as it was.
void writeUserCodeFile(const QString &path, const QStringList &lines);

} // namespace vell
