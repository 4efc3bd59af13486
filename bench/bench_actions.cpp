// Figures for the actions dialog on a hand-written list of 100,000 action
// lines, one more than its table holds: opening it (the tree filled, shown
// and painted) and closing it (the lines handed back), against splitting the
// same lines out of one text. Prints times; not a test.
#include "actions/gui/tform5.h"
#include "benchtiming.h"
#include "project/project.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vell;

namespace {

constexpr int kLines = 100000;

QStringList handWrittenList()
{
    QStringList lines;
    lines.reserve(kLines);
    for (int i = 0; i < kLines; ++i) {
        lines << (i % 2 ? QStringLiteral("echo \"Сообщение %1\"").arg(i)
                        : QStringLiteral("ObjShow %1 \"Button_%2\"")
                              .arg(i % 4 ? QStringLiteral("f") : QStringLiteral("t"))
                              .arg(i % 9999 + 1));
    }
    return lines;
}

double medianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    ScriptedDialogs dialogs;
    Project project;
    TForm5 form(project);

    const QStringList lines = handWrittenList();
    const QString text = lines.join(u'\n');
    // The bare work: the lines split out of one text.
    qsizetype split = 0;
    const double floor = median(7, [&] { split = text.split(u'\n').size(); });

    std::vector<double> opens, closes;
    int shown = 0;
    qsizetype handedBack = 0;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        form.openFor(lines);
        form.Actions->viewport()->repaint();
        QApplication::processEvents();
        opens.push_back(t.nsecsElapsed() / 1e6);
        shown = form.actionTable().ActionCount();
        t.restart();
        form.close();
        QApplication::processEvents();
        closes.push_back(t.nsecsElapsed() / 1e6);
        handedBack = form.ActionResult.size();
    }
    const double open = medianOf(opens);
    const double close = medianOf(closes);
    std::printf("action lines: %d, shown %d, handed back %lld, %lld messages\n", kLines, shown,
                qlonglong(handedBack), qlonglong(dialogs.messages.size()));
    std::printf("split the %lld lines:        %7.1f ms\n", qlonglong(split), floor);
    std::printf("open the actions dialog:        %7.1f ms  (%.1fx, limit 500 ms)\n", open,
                open / floor);
    std::printf("close it, lines handed back:    %7.1f ms  (%.1fx)\n", close, close / floor);
    return 0;
}
