#include "model/settingsfile.h"

#include "common/textfile.h"
#include "common/textforms.h"
#include "common/vellerror.h"

#include <QFileInfo>

namespace vell {

namespace {

const QString kActivate = QStringLiteral("activate");
const QString kDeactivate = QStringLiteral("deactivate");
const QString kVJass = QStringLiteral("compilecodevjass");
const QString kCJass = QStringLiteral("compilecodecjass");
const QString kSave = QStringLiteral("save");
const QString kNot = QStringLiteral("not");

// Any text other than the two words leaves the switch as it was.
void readSwitch(const QString &line, const QString &on, const QString &off, bool &value)
{
    if (line == on)
        value = true;
    else if (line == off)
        value = false;
}

} // namespace

QStringList SettingsToLines(const Settings &s)
{
    return {kSettingsFileKey,
            ColorToText(s.buttonColor),
            ColorToText(s.pictureColor),
            ColorToText(s.selectedTextColor),
            ColorToText(s.selectionBorderColor),
            s.borderMove ? kActivate : kDeactivate,
            s.vjass ? kVJass : kCJass,
            s.useUserCode ? kActivate : kDeactivate,
            s.buttonVar,
            s.pictureVar,
            s.textVar,
            s.unitVar,
            s.saveUserCode ? kSave : kNot};
}

SettingsReadResult ReadSettingsLines(const QStringList &lines, const Settings &start)
{
    SettingsReadResult r;
    r.settings = start;
    Settings &s = r.settings;

    // Each step reads the line of its index; a missing line stops everything
    // with the values read so far in place.
    for (int i = 0; i < kSettingsFileLines; ++i) {
        if (i >= lines.size()) {
            r.outcome = SettingsReadResult::Outcome::Failed;
            r.error = listIndexMessage(i);
            r.linesRead = i;
            return r;
        }
        const QString &line = lines[i];
        try {
            switch (i) {
            case 0:
                if (line != kSettingsFileKey) {
                    r.outcome = SettingsReadResult::Outcome::WrongHeader;
                    r.linesRead = 1;
                    return r;
                }
                break;
            case 1:
                s.buttonColor = TextToColor(line);
                break;
            case 2:
                s.pictureColor = TextToColor(line);
                break;
            case 3:
                s.selectedTextColor = TextToColor(line);
                break;
            case 4:
                s.selectionBorderColor = TextToColor(line);
                break;
            case 5:
                readSwitch(line, kActivate, kDeactivate, s.borderMove);
                break;
            case 6:
                readSwitch(line, kVJass, kCJass, s.vjass);
                break;
            case 7:
                readSwitch(line, kActivate, kDeactivate, s.useUserCode);
                break;
            case 8:
                s.buttonVar = line;
                break;
            case 9:
                s.pictureVar = line;
                break;
            case 10:
                s.textVar = line;
                break;
            case 11:
                s.unitVar = line;
                break;
            case 12:
                readSwitch(line, kSave, kNot, s.saveUserCode);
                break;
            }
        } catch (const VellError &e) {
            r.outcome = SettingsReadResult::Outcome::Failed;
            r.error = e.message();
            r.linesRead = i;
            return r;
        }
    }
    r.outcome = SettingsReadResult::Outcome::Complete;
    r.linesRead = kSettingsFileLines;
    return r;
}

namespace {

// A read of the file at `path`: outcome Missing when the source finds no
// file there.
struct FileRead
{
    SettingsReadResult result;
    // The file was there but could not be read: no line taken into account.
    bool unreadable = false;
};

bool isThere(const QString &path, SettingsSource source)
{
    const QFileInfo info(path);
    switch (source) {
    case SettingsSource::Named:
        return true;
    case SettingsSource::DesignerFile:
        return info.exists() && !info.isDir();
    case SettingsSource::DesignerFileIfRegular:
        return info.isFile();
    }
    return true;
}

FileRead readFile(const QString &path, SettingsSource source)
{
    FileRead read;
    if (!isThere(path, source))
        return read;
    QStringList lines;
    try {
        lines = ReadTextFile(path);
    } catch (const VellError &e) {
        read.unreadable = true;
        read.result.outcome = SettingsReadResult::Outcome::Failed;
        read.result.error = e.message();
        return read;
    }
    read.result = ReadSettingsLines(lines);
    return read;
}

} // namespace

StartupSettings ReadStartupSettings(const QString &path, SettingsSource source)
{
    const FileRead read = readFile(path, source);
    StartupSettings r;
    r.settings = read.result.settings;
    r.fromFile = read.result.outcome != SettingsReadResult::Outcome::Missing;
    if (read.result.outcome == SettingsReadResult::Outcome::Failed) {
        r.failed = true;
        r.error = read.result.error;
        r.errorLine = read.unreadable ? 0 : read.result.linesRead + 1;
    }
    return r;
}

void WriteSettingsFile(const QString &path, const Settings &settings)
{
    WriteTextFile(path, SettingsToLines(settings));
}

} // namespace vell
