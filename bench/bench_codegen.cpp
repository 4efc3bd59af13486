// Times the code generator on full object tables against the cost of merely
// appending the same text to one string, and the code window taking it
// against the cost of copying it.
#include "codegen/gui/codeview.h"
#include "codegen/gui/tform4.h"
#include "codegen/interfacegenerator.h"
#include "common/gui/findbar.h"
#include "fulltables.h"
#include "model/usercodelines.h"
#include "project/project.h"
#include "usercode/gui/tform3.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 9;
// The code window's figures before it coloured the code: medians of five
// runs of this program as it was then, each run beside one of this program
// as it is now, on the same machine at the same time (a quiet moment gave
// 3.50 and 0.18 ms before).
constexpr double kShowBeforeMs = 4.58;
constexpr double kPaintBeforeMs = 0.28;

void pressKey(QWidget *target, Qt::Key key, const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

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
    window.setArrayNames(
        {QStringLiteral("ButtonVar"), QStringLiteral("PictureVar"), QStringLiteral("TextVar")});
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
    std::printf("with colours: setCodeText and one paint %.2f ms (before colours %.2f ms, "
                "ratio %.2f, goal at most 1.10)\n",
                show, kShowBeforeMs, show / kShowBeforeMs);
    std::printf("with colours: the paint alone %.2f ms (before colours %.2f ms, ratio %.2f, "
                "goal at most 1.10)\n",
                paint, kPaintBeforeMs, paint / kPaintBeforeMs);

    // Scrolling: the first jump to the end lexes the whole text once; pages
    // after that lex at most one checkpoint's spacing ahead of the first line.
    CodeView *view = window.Code;
    view->setFocus();
    QElapsedTimer timer;
    timer.start();
    view->goToLine(view->lineCount() - 1);
    view->viewport()->repaint();
    const double farJump = double(timer.nsecsElapsed()) / 1e6;
    view->goToLine(view->lineCount() / 3);
    view->viewport()->repaint();
    const double page = medianMs(
        [&] {
            pressKey(view, Qt::Key_PageDown);
            view->viewport()->repaint();
        },
        51);
    std::printf("first jump to the last line and paint: %.2f ms\n", farJump);
    std::printf("page down and paint, %d lines (median of 51): %.3f ms (goal under 2 ms)\n",
                view->lineCount(), page);

    // Find: the next match and the count of all, as F3 does after the text
    // changed.
    window.Find->Needle->setText(QStringLiteral("TextVar[9990]"));
    view->goToLine(0);
    const double find = medianMs([&] {
        view->goToLine(0);
        window.Find->forgetCount();
        window.Find->findNext();
    });
    std::printf("find a name and count its matches (median of %d): %.2f ms (goal under 50 ms), "
                "found at line %d\n",
                kRuns, find, view->caretLine() + 1);

    // Typing in the user code editor holding 10,000 lines, each key with
    // its paint.
    vell::Project project;
    QStringList userLines;
    for (int i = 0; userLines.size() < 10000; ++i) {
        userLines << QStringLiteral("function User%1 takes integer a returns nothing").arg(i)
                  << QStringLiteral("    local unit u = null // unit %1").arg(i)
                  << QStringLiteral("    call BJDebugMsg(\"a \\\"%1\\\" b\" + I2S('A00%2'))")
                         .arg(i)
                         .arg(i % 10)
                  << QStringLiteral("    set a = a * 0x1F + 2.5") << QStringLiteral("endfunction");
    }
    project.setUserCodeLines(userLines);
    TForm3 editor(project);
    editor.show();
    QCoreApplication::processEvents();
    QPlainTextEdit *edit = editor.UserCode;
    edit->setFocus();
    QTextCursor middle(edit->document()->findBlockByNumber(5002));
    middle.movePosition(QTextCursor::EndOfBlock);
    edit->setTextCursor(middle);
    edit->centerCursor();
    QCoreApplication::processEvents();
    // A letter typed and taken back, so that the line does not grow into the
    // widest of the text (which moves the scroll bar on every key); each key
    // with the paint it asks for.
    const double key = medianMs(
                           [&] {
                               pressKey(edit, Qt::Key_X, QStringLiteral("x"));
                               QCoreApplication::processEvents();
                               pressKey(edit, Qt::Key_Backspace);
                               QCoreApplication::processEvents();
                           },
                           101) /
                       2;
    // What the editor does with the whole text on each change: takes it and
    // lists its functions (before, through a string for each line).
    const double listing = medianMs([&] {
        const QString text = edit->document()->toRawText();
        sink += vell::ListFunctionNamesInText(text, QChar::ParagraphSeparator).size();
    });
    const double listingByLines = medianMs([&] {
        QString text = edit->document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        sink += vell::ListFunctionNames(vell::TextToLines(text)).size();
    });
    std::printf(
        "typing a key in the editor holding %d lines, with its paint (median of 101 pairs): "
        "%.3f ms (goal under 2 ms)\n",
        edit->blockCount(), key);
    std::printf("  of which taking the text and listing its functions: %.3f ms (before, through a "
                "string a line: %.3f ms)\n",
                listing, listingByLines);
    return sink > 0 ? 0 : 1;
}
