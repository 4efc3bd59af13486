// vJass code (user code and generated code alike): any bytes, split into
// lines as a file is read, are read without a crash, a hang or a deep
// recursion; every error, function and name points inside the text, in
// order, as do the names pass's findings; and lexing the lines one after
// another, each with the state the line before left, covers every line
// exactly.

#include "codegen/vjasslexer.h"
#include "codegen/vjassnames.h"
#include "codegen/vjassreader.h"
#include "common/textfile.h"
#include "fuzzcheck.h"

#include <QSet>

#include <cstddef>
#include <cstdint>

using namespace vell;

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

void checkLexing(const QStringList &lines)
{
    VjassLineState state;
    QList<VjassToken> tokens;
    for (const QString &line : lines) {
        const VjassLineState before = state;
        tokens.clear();
        LexVjassLine(line, state, tokens);
        int end = 0;
        for (const VjassToken &t : tokens) {
            FUZZ_CHECK(t.length > 0);
            FUZZ_CHECK(t.start >= end);
            FUZZ_CHECK(t.start + t.length <= line.size());
            for (int i = end; i < t.start; ++i)
                FUZZ_CHECK(isSpace(line[i]));
            const QStringView text = QStringView(line).mid(t.start, t.length);
            if (t.kind == VjassTokenKind::Keyword)
                FUZZ_CHECK(IsVjassKeyword(text));
            if (t.kind == VjassTokenKind::TypeName)
                FUZZ_CHECK(IsVjassTypeName(text));
            if (t.kind == VjassTokenKind::Identifier)
                FUZZ_CHECK(!IsVjassKeyword(text) && !IsVjassTypeName(text));
            end = t.start + t.length;
        }
        for (int i = end; i < line.size(); ++i)
            FUZZ_CHECK(isSpace(line[i]));
        // Only a line that ends inside something leaves it open, and a block
        // holds whole lines.
        if (state.inString)
            FUZZ_CHECK(!tokens.isEmpty() || (before.inString && line.isEmpty()));
        if (state.inComment)
            FUZZ_CHECK((!tokens.isEmpty() && tokens.back().kind == VjassTokenKind::Comment) ||
                       (before.inComment && line.isEmpty()));
        if (before.block != VjassLineState::Block::None) {
            FUZZ_CHECK(tokens.size() <= 1);
            FUZZ_CHECK(!before.inComment && !before.inString && !state.inComment &&
                       !state.inString);
        }
    }
}

bool inside(const QStringList &lines, int line, int column)
{
    return line >= 0 && line < lines.size() && column >= 0 && column <= lines[line].size();
}

void checkNames(const QStringList &lines, const QList<VjassName> &names, bool exact)
{
    for (const VjassName &n : names) {
        FUZZ_CHECK(inside(lines, n.line, n.column));
        FUZZ_CHECK(!n.name.isEmpty());
        // Calls are written as listed; a reference may have spaces around
        // its dots.
        const QString first = exact ? n.name : n.name.section(u'.', 0, 0);
        FUZZ_CHECK_EQUAL(lines[n.line].mid(n.column, first.size()), first);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QStringList lines =
        SplitTextLines(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    checkLexing(lines);

    const VjassReadResult r = ReadVjass(lines);
    FUZZ_CHECK(r.errors.size() <= kMaxVjassErrors);
    for (qsizetype i = 0; i < r.errors.size(); ++i) {
        const VjassError &e = r.errors[i];
        FUZZ_CHECK(inside(lines, e.line, e.column));
        FUZZ_CHECK(!e.expected.isEmpty());
        if (i > 0) {
            const VjassError &p = r.errors[i - 1];
            FUZZ_CHECK(p.line < e.line || (p.line == e.line && p.column <= e.column));
        }
    }
    int previous = -1;
    for (const VjassFunction &f : r.functions) {
        FUZZ_CHECK(f.line > previous);
        FUZZ_CHECK(f.line <= f.endLine && f.endLine < lines.size());
        FUZZ_CHECK(!f.name.isEmpty());
        FUZZ_CHECK(lines[f.line].contains(QLatin1String("function")));
        FUZZ_CHECK_EQUAL(QSet<QString>(f.indexedNames.begin(), f.indexedNames.end()).size(),
                         f.indexedNames.size());
        // Each indexed name stands in the function's lines.
        for (const QString &name : f.indexedNames) {
            bool found = false;
            for (int i = f.line; i <= f.endLine && !found; ++i)
                found = lines[i].contains(name);
            FUZZ_CHECK(found);
        }
        previous = f.line;
    }
    checkNames(lines, r.calls, true);
    checkNames(lines, r.functionReferences, false);
    for (const QString &name : r.globalNames)
        FUZZ_CHECK(!name.isEmpty());
    // A call stands in the function it is said to stand in; every finding
    // of the names pass points inside the text, in order.
    for (const VjassName &call : r.calls) {
        FUZZ_CHECK(call.function < r.functions.size() && call.arguments >= 0);
        if (call.function >= 0) {
            const VjassFunction &f = r.functions[call.function];
            FUZZ_CHECK(f.line <= call.line && call.line <= f.endLine);
        }
    }
    const QList<VjassFinding> findings =
        CheckVjassNames(r, [](int line) { return QString::number(line); });
    for (qsizetype i = 0; i < findings.size(); ++i) {
        FUZZ_CHECK(inside(lines, findings[i].line, findings[i].column));
        FUZZ_CHECK(!findings[i].message.isEmpty());
        if (i > 0)
            FUZZ_CHECK(findings[i - 1].line <= findings[i].line);
    }
    return 0;
}
