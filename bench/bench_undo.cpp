// Figures for the design's history at full tables (9,999 objects of each
// kind): what 1,000 single-object steps hold, how long one undo takes, and
// undoing a Clear against creating the objects. Prints times; not a test.
#include "app/gui/tform1.h"
#include "app/gui/vellapplication.h"
#include "benchtiming.h"
#include "project/designhistory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <malloc.h>

#include <cstdio>

using namespace vell;

namespace {

double heapMiB()
{
    return mallinfo2().uordblks / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const ScratchPreferences preferences;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    VellApplication windows;
    TForm1 *form = windows.Form1();
    Project &project = form->project();

    QElapsedTimer t;
    t.start();
    project.beginBulkChange();
    for (const ObjectKind kind : kObjectKinds) {
        for (int i = 0; i < ObjectTables::Capacity; ++i)
            project.create(kind);
    }
    project.endBulkChange();
    project.RefreshObjectNames();
    const double create = t.nsecsElapsed() / 1e6;

    // 1,000 moves of one object each, as the arrow keys make them.
    DesignSurface &surface = form->surface();
    const double before = heapMiB();
    for (int i = 0; i < 1000; ++i) {
        surface.Select(*project.tables().object(kObjectKinds[i % 3], 1 + i * 7));
        surface.nudge(1, 0, false);
    }
    const double held = heapMiB() - before;
    t.restart();
    project.history().undo();
    const double oneUndo = t.nsecsElapsed() / 1e6;
    std::printf("objects: %d\n", project.tables().totalCount());
    std::printf("1,000 single-object steps hold:   %6.3f MiB (limit 1 MiB)\n", held);
    std::printf("undo one step:                    %6.3f ms (limit 5 ms)\n", oneUndo);

    surface.ClearAllObjects();
    t.restart();
    project.history().undo();
    const double undoClear = t.nsecsElapsed() / 1e6;
    std::printf("create 29,997 objects:            %6.1f ms\n", create);
    std::printf("undo a Clear of them:             %6.1f ms (%.2fx, limit 2x)\n", undoClear,
                undoClear / create);
    return 0;
}
