// vellgen: the designer's code generator from the command line (see
// RunVellgen). Texts are measured with the designer's font, which needs a
// GUI application; an offscreen one does, so no display is needed.
#include "app/vellgen.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#ifdef __GLIBC__
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
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

#ifdef __GLIBC__
// The code of a full project takes tens of megabytes, and every page the
// program touches for the first time costs it a fault: about a third of
// the run in 4 KiB pages. Large blocks come from the heap too, so that
// memory given back (the project file's bytes once read, say) serves the
// next blocks; the heap is made large at once and, where the system gives
// huge pages on request, asked for them.
void useLargeHeap()
{
    constexpr std::size_t kHeap = std::size_t(64) << 20;
    constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TOP_PAD, int(kHeap));
    mallopt(M_TRIM_THRESHOLD, int(2 * kHeap));
    // A block larger than the heap's free space makes it grow by the block
    // and the padding.
    void *block = std::malloc(std::size_t(16) << 20);
    const auto start = (reinterpret_cast<std::uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0)) & ~(kHugePage - 1);
    // Only advice: without huge pages the heap works as before.
    if (block && end > start)
        madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE);
    std::free(block);
}
#endif

} // namespace

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    useLargeHeap();
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
    std::optional<QGuiApplication> app;
    vell::VellgenProcess process;
    process.makeApplication = [&] {
        app.emplace(qtArgc, argv);
    };
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly))
        return vell::kVellgenFailed;
    const int status = vell::RunVellgen(arguments, out, err, &process);
    // Everything is written: the application's teardown (the platform, the
    // font database) would only cost time. What the streams hold goes first.
    out.flush();
    err.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}
