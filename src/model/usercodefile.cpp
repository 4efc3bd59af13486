#include "model/usercodefile.h"

#include "common/textfile.h"
#include "common/vellerror.h"

namespace vell {

namespace {

const QString kExtension = QStringLiteral(".j");

QString nulByteMessage(const QString &path)
{
    return QStringLiteral("Файл \"%1\" содержит нулевой символ: его текст нельзя загрузить "
                          "без изменений.")
        .arg(ShortQuote(path));
}

} // namespace

QString withUserCodeExtension(const QString &name)
{
    return name.endsWith(kExtension, Qt::CaseSensitive) ? name : name + kExtension;
}

QStringList readUserCodeFile(const QString &path)
{
    const QByteArray bytes = ReadFileBytes(path);
    // The line splitter stops at a NUL byte, which would lose the rest.
    if (bytes.contains('\0'))
        throw VellError(nulByteMessage(path));
    return SplitTextLines(bytes);
}

void writeUserCodeFile(const QString &path, const QStringList &lines)
{
    WriteTextFile(path, lines);
}

} // namespace vell
