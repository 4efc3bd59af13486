// Figures for a project file at full tables (9,999 objects of each kind, with
// actions, coloured texts and user code): reading and writing in the core
// against the bare file work on the same bytes, and opening it in the main
// window. Prints times; not a test.
#include "app/gui/tform1.h"
#include "app/gui/vellapplication.h"
#include "benchtiming.h"
#include "common/cp1251.h"
#include "common/textfile.h"
#include "project/projectio.h"
#include "project/recovery.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

using namespace vell;

namespace {

void fill(Project &p)
{
    ObjectTables &t = p.tables();
    p.beginBulkChange();
    for (int i = 0; i < ObjectTables::Capacity; ++i) {
        auto *b = static_cast<VellButton *>(p.create(KindButton));
        t.SetPosition(*b, i % 600 - 300, i % 300 - 150);
        b->LeftActionsFunction = b->Name + QStringLiteral("_Left_Actions");
        b->LeftActions = QStringList{QStringLiteral("ObjShow f \"Picture_1\""),
                                     QStringLiteral("ECHO \"Привет\"")};
        auto *pic = p.create(KindPicture);
        t.SetSize(*pic, 64 + i % 50, 20 + i % 30);
        auto *x = static_cast<VellText *>(p.create(KindText));
        t.SetText(*x, QStringLiteral("Надпись %1").arg(i));
        t.SetTextColor(*x, QColor::fromRgb(i * 2654435761u & 0xFFFFFF));
    }
    p.endBulkChange();
    QStringList code;
    for (int i = 0; i < 2000; ++i)
        code << QStringLiteral("function F%1 takes nothing returns nothing").arg(i)
             << QStringLiteral(" call ECHO(\"%1\")").arg(i) << QStringLiteral("endfunction");
    p.appendUserCodeLines(code);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const ScratchPreferences preferences;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString path = dir.filePath(QStringLiteral("full.vlp"));

    Project source;
    fill(source);
    SaveProjectFile(source, path);
    const QByteArray bytes = ReadFileBytes(path);
    std::printf("project file: %.2f MB, %lld lines\n", bytes.size() / 1e6,
                qlonglong(SplitTextLines(bytes).size()));

    // Reading: the bare work is reading, decoding and splitting the bytes.
    const double bareRead = median(7, [&] { SplitTextLines(ReadFileBytes(path)); });
    const double coreRead =
        median(7, [&] { ReadProjectLines(SplitTextLines(ReadFileBytes(path))); });
    std::printf("read + decode + split:          %7.1f ms\n", bareRead);
    std::printf("read the project (core):        %7.1f ms  (%.2fx)\n", coreRead,
                coreRead / bareRead);

    // Writing: the bare work is encoding the lines and writing the bytes.
    const QStringList lines = ProjectFileLines(source);
    const QString other = dir.filePath(QStringLiteral("other.vlp"));
    const double bareWrite = median(7, [&] { WriteFileBytes(other, JoinTextLines(lines)); });
    const double coreWrite = median(7, [&] { SaveProjectFile(source, other); });
    std::printf("encode + write:                 %7.1f ms\n", bareWrite);
    std::printf("write the project (core):       %7.1f ms  (%.2fx)\n", coreWrite,
                coreWrite / bareWrite);

    // A recovery copy: the snapshot on the designer's thread, the encoding
    // and the safe write of it on the second thread.
    std::optional<RecoverySnapshot> snapshot;
    const double snap = median(7, [&] { snapshot = TakeRecoverySnapshot(source); });
    const QString copy = dir.filePath(QStringLiteral("copy.vlr"));
    const double copyWrite = median(7, [&] { WriteFileBytes(copy, RecoveryCopyBytes(*snapshot)); });
    std::printf("recovery snapshot (designer's thread): %5.1f ms  (goal under 20 ms)\n", snap);
    std::printf("recovery copy encoded and written (second thread): %5.1f ms\n", copyWrite);

    const double apply = median(5, [&] {
        Project p;
        ApplyProjectData(p, ReadProjectLines(SplitTextLines(ReadFileBytes(path))));
    });
    std::printf("read and rebuild (core, no window): %7.1f ms\n", apply);

    // Opening through the main window, objects on the panel.
    ScriptedDialogs dialogs;
    VellApplication windows;
    windows.Form1()->show();
    QApplication::processEvents();
    const double open = median(5, [&] {
        dialogs.fileNames = {path};
        windows.Form1()->TBOpenClick();
        QApplication::processEvents();
    });
    std::printf("open in the main window:        %7.1f ms  (%d objects)\n", open,
                windows.Form1()->tables().totalCount());
    return 0;
}
