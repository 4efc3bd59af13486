#pragma once

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <memory>

class QIODevice;

namespace vell {

class Project;

// The code that F3 shows for the project, with its settings and user code,
// as the code window's text is stored: Windows-1251, CR LF after every
// line. Throws VellError when the settings choose CJass (the generator
// writes vJass only), with the generator's colour error, or when a line
// holds a character the code page cannot store. Needs a QGuiApplication
// when the project has texts (they are measured on reading).
QByteArray GeneratedCodeBytes(const Project &project);

// Exit statuses of the command-line generator.
constexpr int kVellgenOk = 0;
// Any failure, and a check that found an error.
constexpr int kVellgenFailed = 1;
// The arguments do not make sense.
constexpr int kVellgenUsage = 2;

// How the vellgen program runs RunVellgen, in a process of its own.
struct VellgenProcess
{
    // Makes the QGuiApplication that text measurement needs, on the calling
    // thread, once the arguments ask for work; the project is read
    // meanwhile.
    std::function<void()> makeApplication;
    // What the run made, for the process to drop at its end (by not giving
    // it back at all).
    std::shared_ptr<void> leftOver;
};

// The command-line generator:
//   vellgen PROJECT.vlp [--settings FILE.fms] [--output FILE] [--check]
// `arguments` start with the program's name. The settings come from the
// file given, else from vellsettings.fms in the working folder when there is
// one, else the defaults; a file that starts with another line gives the
// defaults, as in the designer. The code goes to the output file (replaced
// only once complete; a pipe or a character device is written straight,
// anything else that is no regular file is refused, and so is the project
// or settings file read, by whatever path or link it is named) or, without
// --output or with "--output -", to `out`. With --check nothing is
// generated and the findings go to `out`, one a line ("FILE:LINE: error:
// message"; a setting's with its line in the settings file read, or with
// the project file and no line when the settings are the defaults). Every
// failure writes one line to `err` and leaves the output file as it was.
// Returns the exit status. Without `process`, the application is the
// caller's.
int RunVellgen(const QStringList &arguments, QIODevice &out, QIODevice &err,
               VellgenProcess *process = nullptr);

} // namespace vell
