// Times reading vJass: the generated code of full object tables with 10,000
// lines of user code in it (some 110,000 lines), against the floor of
// splitting the same text into lines. Lexing every line alone, as a view
// colouring the whole text would, is printed too. Prints times; not a test.
#include "benchtiming.h"
#include "codegen/interfacegenerator.h"
#include "codegen/vjasslexer.h"
#include "codegen/vjassreader.h"

#include <QCoreApplication>

#include <cstdio>

using namespace vell;

namespace {

constexpr int kTableSize = 9999;
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
              << QStringLiteral(" call ButtonVar[%1].Show(false,-1)").arg(i % kTableSize + 1)
              << QStringLiteral(" call ECHO(\"Кнопка %1\")").arg(i)
              << QStringLiteral("endfunction");
    }
    return lines;
}

// The tables of bench_codegen: 9,999 objects of each kind, every button
// with both click functions.
GeneratorInput input()
{
    static const char *const colours[] = {"clRed", "$000080FF", "clBtnFace", "clLime", "16711680"};
    GeneratorInput in;
    in.buttonVar = QStringLiteral("ButtonVar");
    in.pictureVar = QStringLiteral("PictureVar");
    in.textVar = QStringLiteral("TextVar");
    in.unitVar = QStringLiteral("UnitVar");
    in.userCode = userCode();
    for (int i = 0; i < kTableSize; ++i) {
        const int x = (i * 37) % 600 - 300;
        const int y = (i * 53) % 330 - 165;
        GenButton b;
        b.x = x;
        b.y = y;
        b.width = 16 + i % 50;
        b.height = 16 + i % 30;
        b.visible = i % 3 != 0;
        b.textureId = QStringLiteral("B%1").arg(i % 1000, 3, 10, QLatin1Char('0'));
        b.leftFunction = QStringLiteral("Button_%1_Left_Actions").arg(i + 1);
        b.rightFunction = QStringLiteral("Button_%1_Right_Actions").arg(i + 1);
        in.buttons.append(b);
        GenPicture p;
        p.x = -x;
        p.y = -y;
        p.width = 20 + i % 70;
        p.height = 20 + i % 40;
        p.visible = i % 2 == 0;
        p.textureId = QStringLiteral("P%1").arg(i % 1000, 3, 10, QLatin1Char('0'));
        in.pictures.append(p);
        GenText t;
        t.x = y;
        t.y = x / 2;
        t.width = 20 + i % 90;
        t.text = QStringLiteral("Text number %1").arg(i + 1);
        t.textColor = QString::fromLatin1(colours[i % 5]);
        in.texts.append(t);
    }
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
    std::printf("%lld lines: %lld errors, %lld functions, %lld calls, %lld references\n",
                static_cast<long long>(lines.size()), static_cast<long long>(r.errors.size()),
                static_cast<long long>(r.functions.size()), static_cast<long long>(r.calls.size()),
                static_cast<long long>(r.functionReferences.size()));

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
