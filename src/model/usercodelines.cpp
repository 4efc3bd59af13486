#include "model/usercodelines.h"

namespace vell {

namespace {

const QString kHeaderWord = QStringLiteral("function");

} // namespace

bool IsFunctionLine(const QString &line)
{
    return line.startsWith(kHeaderWord);
}

QString FunctionNameOfLine(const QString &line)
{
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    if (space < 0)
        return {};
    const qsizetype start = space + 1;
    const qsizetype next = line.indexOf(QLatin1Char(' '), start);
    return next < 0 ? line.mid(start) : line.mid(start, next - start);
}

QStringList ListFunctionNames(const QStringList &lines)
{
    QStringList names;
    for (const QString &line : lines) {
        if (!IsFunctionLine(line))
            continue;
        QString name = FunctionNameOfLine(line);
        if (!name.isEmpty())
            names.append(std::move(name));
    }
    return names;
}

QStringList ListFunctionNamesInText(QStringView text, QChar lineBreak)
{
    QStringList names;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(lineBreak, start);
        if (end < 0)
            end = text.size();
        const QStringView line = text.mid(start, end - start);
        if (line.startsWith(kHeaderWord)) {
            QString name = FunctionNameOfLine(line.toString());
            if (!name.isEmpty())
                names.append(std::move(name));
        }
        start = end + 1;
    }
    return names;
}

int FindFunctionLine(const QStringList &lines, const QString &name)
{
    for (int i = 0; i < lines.size(); ++i) {
        if (IsFunctionLine(lines[i]) && FunctionNameOfLine(lines[i]) == name)
            return i;
    }
    return -1;
}

QStringList EchoFunctionLines()
{
    return {QStringLiteral("function ECHO takes string msg returns nothing"),
            QStringLiteral(" call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)"),
            QStringLiteral("endfunction")};
}

QStringList TextToLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString LinesToText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace vell
