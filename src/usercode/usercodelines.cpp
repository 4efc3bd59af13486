#include "usercode/usercodelines.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace vell {

namespace {

const QString kHeaderWord = QStringLiteral("function");
const QString kClosingLine = QStringLiteral("endfunction");

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// QString::trimmed() would also drop line feeds, form feeds and other
// white space that the closing line must not be mistaken for.
QString trimSpacesAndTabs(const QString &line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isBlank(line[begin]))
        ++begin;
    while (end > begin && isBlank(line[end - 1]))
        --end;
    return line.mid(begin, end - begin);
}

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

std::optional<LineRange> FunctionLineRange(const QStringList &lines, const QString &name)
{
    const int header = FindFunctionLine(lines, name);
    if (header < 0)
        return std::nullopt;
    for (int i = header + 1; i < lines.size(); ++i) {
        if (trimSpacesAndTabs(lines[i]) == kClosingLine)
            return LineRange{header, i - header + 1};
    }
    return std::nullopt;
}

QHash<QString, LineRange> FunctionLineRanges(const QStringList &lines)
{
    QHash<QString, LineRange> ranges;
    // Headers whose closing line has not come yet; a closing line ends all
    // of them, each at its first one.
    QList<std::pair<QString, int>> open;
    QSet<QString> seen;
    for (int i = 0; i < int(lines.size()); ++i) {
        const QString &line = lines[i];
        if (IsFunctionLine(line)) {
            QString name = FunctionNameOfLine(line);
            // Only a name's first header counts, closed or not.
            if (!seen.contains(name)) {
                seen.insert(name);
                open.append({std::move(name), i});
            }
        } else if (!open.isEmpty() && trimSpacesAndTabs(line) == kClosingLine) {
            for (const auto &[name, header] : open)
                ranges.insert(name, LineRange{header, i - header + 1});
            open.clear();
        }
    }
    return ranges;
}

QStringList ReplaceFunctions(QStringList lines, const QList<FunctionText> &functions)
{
    const QHash<QString, LineRange> ranges = FunctionLineRanges(lines);
    struct Put
    {
        LineRange range;
        const FunctionText *function;
    };
    std::vector<Put> inPlace;
    QList<const FunctionText *> later;
    QStringList appended;
    for (const FunctionText &f : functions) {
        const auto range = ranges.constFind(f.name);
        if (range == ranges.cend())
            appended += f.lines;
        else
            inPlace.push_back(Put{*range, &f});
    }
    std::sort(inPlace.begin(), inPlace.end(),
              [](const Put &a, const Put &b) { return a.range.first < b.range.first; });
    QStringList out;
    out.reserve(lines.size() + appended.size());
    int next = 0;
    for (const Put &p : inPlace) {
        if (p.range.first < next) {
            later.append(p.function);
            continue;
        }
        for (; next < p.range.first; ++next)
            out.append(std::move(lines[next]));
        out += p.function->lines;
        next = p.range.first + p.range.count;
    }
    for (; next < int(lines.size()); ++next)
        out.append(std::move(lines[next]));
    for (const FunctionText *f : later) {
        if (const auto range = FunctionLineRange(out, f->name)) {
            out.remove(range->first, range->count);
            for (int k = 0; k < int(f->lines.size()); ++k)
                out.insert(range->first + k, f->lines[k]);
        } else {
            // Its header went with the function replaced around it.
            out += f->lines;
        }
    }
    out += appended;
    return out;
}

bool RemoveFunc(QStringList &lines, const QString &name)
{
    const auto range = FunctionLineRange(lines, name);
    if (!range)
        return false;
    lines.remove(range->first, range->count);
    return true;
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
