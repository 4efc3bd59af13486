#pragma once

#include "model/settings.h"

#include <QString>
#include <QStringList>

namespace vell {

// The settings file, opened by its bare name in the working directory.
inline const QString kSettingsFileName = QStringLiteral("vellsettings.fms");
inline const QString kSettingsFileKey = QStringLiteral("FMVELLCREATORversionkey2.0");
constexpr int kSettingsFileLines = 13;

// The 13 lines that store the settings.
QStringList SettingsToLines(const Settings &settings);

struct SettingsReadResult
{
    enum class Outcome
    {
        Missing,     // no file: nothing read
        WrongHeader, // first line is not the key: nothing more read
        Complete,    // every setting read
        Failed,      // stopped at a line; `error` says why
    };
    Settings settings;
    Outcome outcome = Outcome::Missing;
    QString error;
    // Lines taken into account, the first one included; when reading failed,
    // also the 0-based index of the line it stopped at.
    int linesRead = 0;
};

// Applies the lines over `start`. Values read before a failing line stay.
SettingsReadResult ReadSettingsLines(const QStringList &lines, const Settings &start = Settings());

// Which path the start-up read is given, deciding when there is no file to
// read and the defaults apply.
enum class SettingsSource
{
    // Named by the user: it must be there and read, whatever it is.
    Named,
    // The designer's own file: nothing of that name, or a folder, gives the
    // defaults; anything else is read (a pipe or a device then fails).
    DesignerFile,
    // The designer's file as vellgen looks for it: anything but a regular
    // file gives the defaults.
    DesignerFileIfRegular,
};

// The settings a program starts with.
struct StartupSettings
{
    // The defaults, with the values read before any failing line over them.
    Settings settings;
    // A file was there to read, whether or not it read.
    bool fromFile = false;
    bool failed = false;
    // Why reading failed.
    QString error;
    // The line (from 1) reading stopped at; 0 when the file itself could
    // not be read.
    int errorLine = 0;
};

// The start-up read of the settings file at `path`. A first line other than
// the key gives the defaults, without an error.
StartupSettings ReadStartupSettings(const QString &path, SettingsSource source);

// Throws VellError ("Cannot create file \"%s\". %s") when it cannot write.
void WriteSettingsFile(const QString &path, const Settings &settings);

} // namespace vell
