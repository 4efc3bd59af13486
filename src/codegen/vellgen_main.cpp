// vellgen: the designer's code generator from the command line (see
// RunVellgen). Texts are measured with the designer's font, which needs a
// GUI application; an offscreen one does, so no display is needed.
#include "codegen/vellgen.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

QtMessageHandler qtHandler = nullptr;

// The error stream carries the program's own one-line errors. Notes of the
// platform about the offscreen session (such as a missing runtime folder)
// say nothing about the project and are left out; graver messages stay.
void keepGraveMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if ((type == QtCriticalMsg || type == QtFatalMsg) && qtHandler)
        qtHandler(type, context, text);
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    // Large blocks come from the heap too, so that memory given back (the
    // project file's bytes once read, say) serves the next blocks: the
    // code of a full project takes tens of megabytes, and every page the
    // program touches for the first time costs it.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
    qtHandler = qInstallMessageHandler(keepGraveMessages);
    // Always offscreen: a platform chosen for the designer (xcb, say) would
    // abort the program where no display is reachable.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The arguments are the program's own: Qt sees only the program's name,
    // so "-platform xcb" or "-display :1" is an unknown option here rather
    // than taken by Qt.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    int qtArgc = argc > 0 ? 1 : 0;
    QGuiApplication app(qtArgc, argv);
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly))
        return vell::kVellgenFailed;
    const int status = vell::RunVellgen(arguments, out, err);
    // Everything is written: the application's teardown (the platform, the
    // font database) would only cost time. What the streams hold goes first.
    out.flush();
    err.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}
