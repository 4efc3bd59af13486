// User code (".j" files and the user code of a project): any bytes read as
// the editor reads a file (which refuses one with a NUL byte), the lines and
// the editor text convert both ways, and removing a function removes exactly
// the lines the reader gives it, from its header through its endfunction, in
// the plain lines and in the project's document alike.

#include "codegen/userfunctions.h"
#include "common/cp1251.h"
#include "common/textfile.h"
#include "fuzzcheck.h"
#include "model/usercodelines.h"
#include "project/project.h"

#include <QSet>

#include <cstddef>
#include <cstdint>

using namespace vell;

namespace {

void checkFunction(const QStringList &lines, const QString &name)
{
    const int header = FindFunctionLine(lines, name);
    if (header >= 0) {
        FUZZ_CHECK(header < lines.size());
        FUZZ_CHECK(IsFunctionLine(lines[header]));
        FUZZ_CHECK_EQUAL(FunctionNameOfLine(lines[header]), name);
        for (int i = 0; i < header; ++i)
            FUZZ_CHECK(!(IsFunctionLine(lines[i]) && FunctionNameOfLine(lines[i]) == name));
    }

    // A removable function runs from a header of the name through a line
    // that holds endfunction.
    const UserFunctions functions(lines);
    const auto range = functions.range(name);
    if (range) {
        FUZZ_CHECK(functions.defines(name));
        FUZZ_CHECK(range->first >= functions.headerLine(name));
        FUZZ_CHECK(range->count >= 2);
        const int last = range->first + range->count - 1;
        FUZZ_CHECK(last < lines.size());
        FUZZ_CHECK(lines[range->first].contains(QLatin1String("function")));
        FUZZ_CHECK(lines[last].contains(QLatin1String("endfunction")));
    }

    // Every line outside the range stays, in order; nothing else changes.
    QStringList removed = lines;
    FUZZ_CHECK_EQUAL(RemoveUserFunction(removed, name), range.has_value());
    QStringList expected = lines;
    if (range)
        expected = lines.mid(0, range->first) + lines.mid(range->first + range->count);
    FUZZ_CHECK_EQUAL(removed, expected);

    // The project's document removes the same lines.
    Project project;
    project.appendUserCodeLines(lines);
    project.RemoveFunc(name);
    FUZZ_CHECK_EQUAL(project.userCodeLines(), expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) {
        // The editor refuses such a file; the splitter would stop at the NUL.
        FUZZ_CHECK_EQUAL(SplitTextLines(bytes), SplitTextLines(bytes.left(nul)));
        return 0;
    }
    const QStringList lines = SplitTextLines(bytes);
    for (const QString &line : lines)
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));

    // Lines and editor text.
    const QString text = LinesToText(lines);
    FUZZ_CHECK_EQUAL(text.size(), [&] {
        qsizetype n = 0;
        for (const QString &line : lines)
            n += line.size() + 1;
        return n;
    }());
    FUZZ_CHECK_EQUAL(TextToLines(text), lines);
    const QString raw = DecodeCp1251(bytes);
    const QString rawBack = LinesToText(TextToLines(raw));
    FUZZ_CHECK_EQUAL(rawBack, raw.isEmpty() || raw.endsWith(u'\n') ? raw : raw + u'\n');

    // What the project's document gives back.
    {
        Project project;
        project.appendUserCodeLines(lines);
        FUZZ_CHECK_EQUAL(project.userCodeLines(), lines);
        project.OnMainFunc();
        if (UserFunctions(lines).defines(QStringLiteral("ECHO")))
            FUZZ_CHECK_EQUAL(project.userCodeLines(), lines);
        else
            FUZZ_CHECK_EQUAL(project.userCodeLines(), EchoFunctionLines() + lines);
    }

    // Function names: those listed, the word after the first space of the
    // first line, and a name that no header bears.
    const QStringList listed = ListFunctionNames(lines);
    for (const QString &name : listed) {
        FUZZ_CHECK(!name.isEmpty() && !name.contains(u' '));
        FUZZ_CHECK(FindFunctionLine(lines, name) >= 0);
    }
    QStringList names;
    QSet<QString> seen;
    for (const QString &name : listed) {
        if (names.size() < 6 && !seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    }
    names.append(FunctionNameOfLine(lines.value(0)));
    names.append(QStringLiteral("NoSuchFunction\u0001"));
    for (const QString &name : names)
        checkFunction(lines, name);
    return 0;
}
