#include "codegen/userfunctions.h"

#include "codegen/vjasslexer.h"
#include "codegen/vjassreader.h"

#include <algorithm>
#include <vector>

namespace vell {

UserFunctions::UserFunctions(const QStringList &lines) : UserFunctions(ReadVjass(lines)) {}

UserFunctions::UserFunctions(const VjassReadResult &read)
{
    m_functions.reserve(read.functions.size());
    for (const VjassFunction &f : read.functions) {
        Named &named = m_functions[f.name];
        if (named.header < 0)
            named.header = f.line;
        if (f.closed && !named.range)
            named.range = LineRange{f.line, f.endLine - f.line + 1};
    }
}

std::optional<LineRange> UserFunctions::range(const QString &name) const
{
    const auto it = m_functions.constFind(name);
    if (it == m_functions.cend())
        return std::nullopt;
    return it->range;
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

// The code's tokens one by one, a line's end given as an empty token;
// lines with nothing but comments and spacing give nothing.
class CodeTokens
{
public:
    // `tokens`: room for a line's tokens, kept from call to call.
    CodeTokens(std::span<const QString> lines, std::vector<VjassToken> &tokens)
        : m_lines(lines), m_tokens(tokens)
    {
        m_tokens.clear();
    }

    // The next token; nothing past the last.
    std::optional<QStringView> next()
    {
        for (;;) {
            while (m_token < m_tokens.size()) {
                const VjassToken &t = m_tokens[m_token++];
                if (t.kind != VjassTokenKind::Comment) {
                    m_lineHasCode = true;
                    return QStringView(m_lines[m_line - 1]).mid(t.start, t.length);
                }
            }
            if (m_lineHasCode) {
                m_lineHasCode = false;
                return QStringView();
            }
            if (m_line == m_lines.size())
                return std::nullopt;
            m_tokens.clear();
            m_token = 0;
            LexVjassLine(m_lines[m_line++], m_state, m_tokens);
        }
    }

private:
    std::span<const QString> m_lines;
    size_t m_line = 0;
    VjassLineState m_state;
    std::vector<VjassToken> &m_tokens;
    size_t m_token = 0;
    bool m_lineHasCode = false;
};

} // namespace

namespace {

// Whether a line may hold a comment, a string or a rawcode: the only text
// whose tokens are not simply its runs of non-spacing characters.
bool mayQuoteOrComment(const QString &line)
{
    for (const QChar c : line) {
        if (c == u'/' || c == u'"' || c == u'\'')
            return true;
    }
    return false;
}

bool isSpacing(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

// The line without its spacing equals the other's: as long as neither
// quotes nor comments, lines that differ here differ in their tokens.
bool sameWithoutSpacing(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    for (;;) {
        while (i < a.size() && isSpacing(a[i]))
            ++i;
        while (j < b.size() && isSpacing(b[j]))
            ++j;
        if (i == a.size() || j == b.size())
            return i == a.size() && j == b.size();
        if (a[i++] != b[j++])
            return false;
    }
}

bool isBlank(const QString &line)
{
    return std::all_of(line.cbegin(), line.cend(), isSpacing);
}

// Whether the lines, read side by side while none of them may quote or
// comment, show a difference of tokens: a quick answer for the lines that
// differ early, as a stale click function does.
bool differsPlainly(std::span<const QString> a, std::span<const QString> b)
{
    size_t i = 0, j = 0;
    for (;;) {
        while (i < a.size() && isBlank(a[i]))
            ++i;
        while (j < b.size() && isBlank(b[j]))
            ++j;
        if (i == a.size() && j == b.size())
            return false;
        if (i == a.size() || j == b.size()) {
            // A plain line left on one side alone has tokens the other lacks.
            return !mayQuoteOrComment(i == a.size() ? b[j] : a[i]);
        }
        if (mayQuoteOrComment(a[i]) || mayQuoteOrComment(b[j]))
            return false;
        if (!sameWithoutSpacing(a[i], b[j]))
            return true;
        ++i;
        ++j;
    }
}

} // namespace

bool SameCode(std::span<const QString> a, std::span<const QString> b)
{
    if (std::equal(a.begin(), a.end(), b.begin(), b.end()))
        return true;
    if (differsPlainly(a, b))
        return false;
    // Read side by side up to the first difference.
    thread_local std::vector<VjassToken> leftTokens, rightTokens;
    CodeTokens left(a, leftTokens), right(b, rightTokens);
    for (;;) {
        const std::optional<QStringView> x = left.next();
        const std::optional<QStringView> y = right.next();
        if (x != y)
            return false;
        if (!x)
            return true;
    }
}

} // namespace vell
