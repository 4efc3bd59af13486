// Figures for vellgen on a project at full tables (9,999 objects of each
// kind, click actions, coloured texts, user code defining every click
// function; about 3 MB): the whole program as a process against `cat`
// of a file of the same size, the check alone, the same run inside this
// process, and F3 in the main window on the same project. Prints times; not
// a test.
#include "app/gui/tform1.h"
#include "app/gui/vellapplication.h"
#include "app/vellgen.h"
#include "benchtiming.h"
#include "codegen/gui/codeview.h"
#include "codegen/gui/tform4.h"
#include "common/textfile.h"
#include "project/projectio.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vell;

namespace {

void fill(Project &p)
{
    ObjectTables &t = p.tables();
    QStringList code;
    p.beginBulkChange();
    for (int i = 0; i < ObjectTables::Capacity; ++i) {
        auto *b = static_cast<VellButton *>(p.create(KindButton));
        t.SetPosition(*b, i % 600 - 300, i % 300 - 150);
        b->LeftActionsFunction = b->Name + QStringLiteral("_Left_Actions");
        b->LeftActions = QStringList{QStringLiteral("ObjShow f \"Picture_1\""),
                                     QStringLiteral("echo \"Привет\"")};
        code << QStringLiteral("function %1 takes nothing returns nothing")
                    .arg(b->LeftActionsFunction)
             << QStringLiteral("endfunction");
        if (i % 2 == 0) {
            b->RightActionsFunction = b->Name + QStringLiteral("_Right_Actions");
            b->RightActions = QStringList{QStringLiteral("ObjShow t \"Text_1\"")};
            code << QStringLiteral("function %1 takes nothing returns nothing")
                        .arg(b->RightActionsFunction)
                 << QStringLiteral("endfunction");
        }
        auto *pic = p.create(KindPicture);
        t.SetSize(*pic, 64 + i % 50, 20 + i % 30);
        auto *x = static_cast<VellText *>(p.create(KindText));
        t.SetText(*x, QStringLiteral("Надпись %1").arg(i));
        t.SetTextColor(*x, QColor::fromRgb(i * 2654435761u & 0xFFFFFF));
    }
    p.endBulkChange();
    p.appendUserCodeLines(code);
}

// The program's time as a whole process, output to a file.
double processTime(const QString &program, const QStringList &arguments, const QString &output)
{
    return median(5, [&] {
        QProcess process;
        if (!output.isEmpty())
            process.setStandardOutputFile(output);
        process.start(program, arguments);
        if (!process.waitForFinished(120000) || process.exitCode() != 0)
            std::printf("  %s failed: %s\n", qPrintable(program),
                        process.readAllStandardError().constData());
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const ScratchPreferences preferences;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString path = dir.filePath(QStringLiteral("full.vlp"));
    {
        Project source;
        fill(source);
        SaveProjectFile(source, path);
    }
    const qint64 projectSize = QFileInfo(path).size();
    std::printf("project file: %.2f MB\n", projectSize / 1e6);

    const QString program = QStringLiteral(VELLGEN_PROGRAM);
    const QString code = dir.filePath(QStringLiteral("code.j"));
    // Into a file through standard output, as cat writes; --output replaces
    // the file safely, which adds a flush to the disk that cat never waits
    // for.
    const double vellgen = processTime(program, {path}, dir.filePath(QStringLiteral("stdout.j")));
    const double vellgenOutput =
        processTime(program, {path, QStringLiteral("--output"), code}, QString());
    const qint64 codeSize = QFileInfo(code).size();
    const double check = processTime(program, {path, QStringLiteral("--check")},
                                     dir.filePath(QStringLiteral("check.txt")));
    const double cat =
        processTime(QStringLiteral("cat"), {path}, dir.filePath(QStringLiteral("copy")));
    std::printf("code: %.2f MB\n", codeSize / 1e6);
    std::printf("cat of the project file (process):  %7.1f ms\n", cat);
    // The goal is 10x; it was 35x while the reading kept a string for every
    // line of the file, labels were measured by the font engine text by text
    // and the code went through a list of lines. Of what is left, about 10 ms
    // is the start of any program on Qt's GUI library.
    std::printf("vellgen > file (process):           %7.1f ms  (%.1fx cat; goal 10x, was 35x)\n",
                vellgen, vellgen / cat);
    std::printf("vellgen --output (process):         %7.1f ms  (%.1fx cat; with the disk flush)\n",
                vellgenOutput, vellgenOutput / cat);
    // Beside generating, the check reads the code and the user code as vJass
    // and writes each click function anew to compare it with the user's.
    std::printf("vellgen --check (process):          %7.1f ms  (%.1fx vellgen > file) (goal 2x)\n",
                check, check / vellgen);

    QByteArray inProcess;
    const double run = median(5, [&] {
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        RunVellgen({QStringLiteral("vellgen"), path}, out, err);
        inProcess = out.data();
    });
    std::printf("RunVellgen in this process:         %7.1f ms\n", run);

    // F3 in the main window, on the project opened there.
    ScriptedDialogs dialogs;
    VellApplication windows;
    windows.Form1()->show();
    QApplication::processEvents();
    dialogs.fileNames = {path};
    windows.Form1()->TBOpenClick();
    QApplication::processEvents();
    const double f3 = median(5, [&] {
        windows.Form1()->MMGenCodeClick();
        QApplication::processEvents();
    });
    const QByteArray shown = JoinTextLines(windows.Form4()->Code->lines());
    std::printf("F3 in the main window:              %7.1f ms  (%lld lines; %s vellgen's bytes)\n",
                f3, qlonglong(windows.Form4()->Code->lineCount()),
                shown == inProcess && shown == ReadFileBytes(code) &&
                        shown == ReadFileBytes(dir.filePath(QStringLiteral("stdout.j")))
                    ? "same as"
                    : "DIFFERENT FROM");
    return 0;
}
