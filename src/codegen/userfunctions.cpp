#include "codegen/userfunctions.h"

#include "codegen/vjasslexer.h"
#include "codegen/vjassreader.h"

#include <algorithm>
#include <vector>

namespace vell {

UserFunctions::UserFunctions(const QStringList &lines)
{
    const VjassReadResult read = ReadVjass(lines);
    for (const VjassFunction &f : read.functions) {
        if (!m_headers.contains(f.name))
            m_headers.insert(f.name, f.line);
        if (f.closed && !m_ranges.contains(f.name))
            m_ranges.insert(f.name, LineRange{f.line, f.endLine - f.line + 1});
    }
}

std::optional<LineRange> UserFunctions::range(const QString &name) const
{
    const auto it = m_ranges.constFind(name);
    if (it == m_ranges.cend())
        return std::nullopt;
    return *it;
}

QStringList ReplaceUserFunctions(QStringList lines, const QList<FunctionText> &functions)
{
    const UserFunctions known(lines);
    struct Put
    {
        LineRange range;
        const FunctionText *function;
    };
    std::vector<Put> inPlace;
    QStringList appended;
    for (const FunctionText &f : functions) {
        const auto range = known.range(f.name);
        // A name given twice takes its range once; the second is appended.
        const bool taken = range && std::any_of(inPlace.begin(), inPlace.end(), [&](const Put &p) {
                               return p.range.first == range->first;
                           });
        if (!range || taken)
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
        for (; next < p.range.first; ++next)
            out.append(std::move(lines[next]));
        out += p.function->lines;
        next = p.range.first + p.range.count;
    }
    for (; next < int(lines.size()); ++next)
        out.append(std::move(lines[next]));
    out += appended;
    return out;
}

bool RemoveUserFunction(QStringList &lines, const QString &name)
{
    const auto range = UserFunctions(lines).range(name);
    if (!range)
        return false;
    lines.remove(range->first, range->count);
    return true;
}

QString IndentationOf(const QString &line)
{
    qsizetype n = 0;
    while (n < line.size() && (line[n] == u' ' || line[n] == u'\t'))
        ++n;
    return line.left(n);
}

QStringList Indented(QStringList lines, const QString &indentation)
{
    if (indentation.isEmpty())
        return lines;
    for (QString &line : lines) {
        if (!line.isEmpty())
            line.prepend(indentation);
    }
    return lines;
}

namespace {

// The code's tokens as text, a line's end marked by an empty entry; lines
// with nothing but comments and spacing give nothing.
QStringList codeTokens(const QStringList &lines)
{
    QStringList out;
    VjassLineState state;
    std::vector<VjassToken> tokens;
    for (const QString &line : lines) {
        tokens.clear();
        LexVjassLine(line, state, tokens);
        bool any = false;
        for (const VjassToken &t : tokens) {
            if (t.kind == VjassTokenKind::Comment)
                continue;
            out.append(line.mid(t.start, t.length));
            any = true;
        }
        if (any)
            out.append(QString());
    }
    return out;
}

} // namespace

bool SameCode(const QStringList &a, const QStringList &b)
{
    return codeTokens(a) == codeTokens(b);
}

} // namespace vell
