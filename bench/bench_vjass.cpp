// Times reading vJass: the generated code of full object tables with 10,000
// lines of user code in it (some 110,000 lines), against the floor of
// splitting the same text into lines. Lexing every line alone, as a view
// colouring the whole text would, is printed too. Prints times; not a test.
#include "benchtiming.h"
#include "codegen/interfacegenerator.h"
#include "codegen/vjasslexer.h"
#include "codegen/vjassreader.h"
#include "fulltables.h"

#include <QCoreApplication>

#include <cstdio>

using namespace vell;

namespace {

constexpr int kUserCodeLines = 10000;
constexpr int kRuns = 15;

// The user code the designer leaves: ECHO, then click functions that show
// and hide objects and print messages.
QStringList userCode()
{
    QStringList lines{QStringLiteral("function ECHO takes string msg returns nothing"),
                      QStringLiteral(" call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)"),
                      QStringLiteral("endfunction"), QStringLiteral("// the click functions")};
    for (int i = 1; lines.size() < kUserCodeLines; ++i) {
        lines << QStringLiteral("function Button_%1_Left_Actions takes nothing returns nothing")
                     .arg(i)
              << QStringLiteral(" call ButtonVar[%1].Show(false,-1)").arg(i % kFullTableSize + 1)
              << QStringLiteral(" call ECHO(\"Кнопка %1\")").arg(i)
              << QStringLiteral("endfunction");
    }
    return lines;
}

// The tables of bench_codegen: 9,999 objects of each kind, every button
// with both click functions.
GeneratorInput input()
{
    GeneratorInput in = fullTables();
    in.userCode = userCode();
    return in;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const GeneratorResult generated = GenerateInterfaceCode(input());
    if (!generated.ok()) {
        std::printf("generation failed: %s\n", qPrintable(generated.error));
        return 1;
    }
    const QStringList lines = generated.lines();
    const VjassReadResult r = ReadVjass(lines);
    std::printf("%lld lines: %lld errors, %lld functions, %lld calls, %lld references, %lld "
                "typed values\n",
                static_cast<long long>(lines.size()), static_cast<long long>(r.errors.size()),
                static_cast<long long>(r.functions.size()), static_cast<long long>(r.calls.size()),
                static_cast<long long>(r.functionReferences.size()),
                static_cast<long long>(r.typeUses.size()));

    qsizetype sink = 0;
    const double read = median(kRuns, [&] { sink += ReadVjass(lines).calls.size(); });
    const double lex = median(kRuns, [&] {
        VjassLineState state;
        QList<VjassToken> tokens;
        for (const QString &line : lines) {
            tokens.clear();
            LexVjassLine(line, state, tokens);
            sink += tokens.size();
        }
    });
    const double split =
        median(kRuns, [&] { sink += generated.text.split(QLatin1Char('\n')).size(); });
    std::printf("ReadVjass (median of %d): %.2f ms\n", kRuns, read);
    std::printf("  LexVjassLine on every line (median of %d): %.2f ms\n", kRuns, lex);
    std::printf("split the same text into lines (median of %d): %.2f ms\n", kRuns, split);
    std::printf("ratio read / split: %.2f\n", read / split);

    // "--profile": read many times and nothing else, for a profiler.
    if (app.arguments().contains(QStringLiteral("--profile"))) {
        for (int i = 0; i < 100; ++i)
            sink += ReadVjass(lines).calls.size();
    }
    return sink > 0 && r.errors.isEmpty() ? 0 : 1;
}
