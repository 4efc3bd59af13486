// Times the code generator on full object tables against the cost of merely
// appending the same text to one string, and the code window taking it
// against the cost of copying it.
#include "codegen/gui/codeview.h"
#include "codegen/gui/tform4.h"
#include "codegen/interfacegenerator.h"
#include "fulltables.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 9;

double medianMs(const std::function<void()> &work, int runs = kRuns)
{
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const vell::GeneratorInput input = fullTables();

    vell::GeneratorResult result = vell::GenerateInterfaceCode(input);
    if (!result.ok()) {
        std::printf("generation failed: %s\n", qPrintable(result.error));
        return 1;
    }
    const QStringList lines = result.lines();
    std::printf("output: %lld lines, %lld characters\n", static_cast<long long>(lines.size()),
                static_cast<long long>(result.text.size()));

    qsizetype sink = 0;
    const double generate = medianMs([&] {
        const vell::GeneratorResult r = vell::GenerateInterfaceCode(input);
        sink += r.lineCount;
    });
    // The floor: the same characters appended line by line to one string.
    const double append = medianMs([&] {
        QString all;
        for (const QString &line : lines) {
            all.append(line);
            all.append(QLatin1Char('\n'));
        }
        sink += all.size();
    });
    std::printf("GenerateInterfaceCode (median of %d): %.2f ms\n", kRuns, generate);
    std::printf("append same text to one string (median of %d): %.2f ms\n", kRuns, append);
    std::printf("ratio generate / append: %.2f\n", generate / append);

    // "--profile": generate many times and nothing else, for a profiler.
    if (app.arguments().contains(QStringLiteral("--profile"))) {
        for (int i = 0; i < 200; ++i)
            sink += vell::GenerateInterfaceCode(input).lineCount;
        return sink > 0 ? 0 : 1;
    }

    // The code window taking the text and painting it once, shown offscreen,
    // against the floor of merely copying the same characters; splitting
    // them into a list of lines, as a store of one string per line would, is
    // printed beside it.
    TForm4 window;
    window.show();
    QCoreApplication::processEvents();
    const double copy = medianMs([&] {
        const QString copied(result.text.constData(), result.text.size());
        sink += copied.size();
    });
    const double split = medianMs([&] { sink += result.text.split(QLatin1Char('\n')).size(); });
    const double show = medianMs([&] {
        window.setCodeText(result.text);
        QCoreApplication::processEvents();
        window.Code->viewport()->repaint();
    });
    const double paint = medianMs([&] { window.Code->viewport()->repaint(); });
    sink += window.Code->lineCount();
    std::printf("copy the text (median of %d): %.2f ms\n", kRuns, copy);
    std::printf("split the text into lines (median of %d): %.2f ms\n", kRuns, split);
    std::printf("TForm4::setCodeText and one paint (median of %d): %.2f ms\n", kRuns, show);
    std::printf("  of which the paint alone (median of %d): %.2f ms\n", kRuns, paint);
    std::printf("ratio window / copy: %.2f, window / split: %.2f\n", show / copy, show / split);
    return sink > 0 ? 0 : 1;
}
