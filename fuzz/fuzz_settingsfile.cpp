// The settings file: any bytes read as the program reads the file; the
// settings read write 13 lines that read back completely to the same
// settings, over any starting settings.

#include "common/textfile.h"
#include "common/vellerror.h"
#include "fuzzcheck.h"
#include "model/settingsfile.h"

#include <cstddef>
#include <cstdint>

using namespace vell;

namespace fuzzcheck {
inline QByteArray show(const Settings &s)
{
    return show(SettingsToLines(s));
}
} // namespace fuzzcheck

namespace {

using Outcome = SettingsReadResult::Outcome;

// Settings that differ from the defaults in every field.
Settings otherSettings()
{
    Settings s;
    s.buttonColor = QColor(1, 2, 3);
    s.pictureColor = QColor(4, 5, 6);
    s.selectedTextColor = QColor(7, 8, 9);
    s.selectionBorderColor = QColor(10, 11, 12);
    s.vjass = false;
    s.useUserCode = false;
    s.buttonVar = QStringLiteral("b");
    s.pictureVar = QStringLiteral("p");
    s.textVar = QStringLiteral("t");
    s.unitVar = QStringLiteral("u");
    s.saveUserCode = false;
    s.borderMove = false;
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = SplitTextLines(bytes);
    const Settings defaults;
    const SettingsReadResult read = ReadSettingsLines(lines, defaults);

    if (lines.isEmpty()) {
        FUZZ_CHECK(read.outcome == Outcome::Failed);
        FUZZ_CHECK_EQUAL(read.linesRead, 0);
    } else if (lines.first() != kSettingsFileKey) {
        FUZZ_CHECK(read.outcome == Outcome::WrongHeader);
        FUZZ_CHECK_EQUAL(read.linesRead, 1);
    }
    switch (read.outcome) {
    case Outcome::Missing:
        fuzzcheck::fail(__FILE__, __LINE__, "lines never read as a missing file", QByteArray());
    case Outcome::WrongHeader:
        FUZZ_CHECK_EQUAL(read.settings, defaults);
        break;
    case Outcome::Failed:
        FUZZ_CHECK(!read.error.isEmpty());
        FUZZ_CHECK(read.linesRead >= 0 && read.linesRead < kSettingsFileLines);
        // A line that is missing, or a colour that does not read.
        FUZZ_CHECK(read.linesRead >= lines.size() || (read.linesRead >= 1 && read.linesRead <= 4));
        break;
    case Outcome::Complete:
        FUZZ_CHECK(read.error.isEmpty());
        FUZZ_CHECK_EQUAL(read.linesRead, kSettingsFileLines);
        FUZZ_CHECK(lines.size() >= kSettingsFileLines);
        FUZZ_CHECK_EQUAL(read.settings.buttonVar, lines[8]);
        FUZZ_CHECK_EQUAL(read.settings.pictureVar, lines[9]);
        FUZZ_CHECK_EQUAL(read.settings.textVar, lines[10]);
        FUZZ_CHECK_EQUAL(read.settings.unitVar, lines[11]);
        break;
    }

    // Whatever was read writes, and reads back the same over other settings.
    const QStringList written = SettingsToLines(read.settings);
    FUZZ_CHECK_EQUAL(int(written.size()), kSettingsFileLines);
    QByteArray file;
    try {
        file = JoinTextLines(written);
    } catch (const VellError &e) {
        fuzzcheck::fail(__FILE__, __LINE__, "settings read from a file can be written",
                        e.message().toUtf8());
    }
    FUZZ_CHECK_EQUAL(SplitTextLines(file), written);
    const SettingsReadResult back = ReadSettingsLines(SplitTextLines(file), otherSettings());
    FUZZ_CHECK(back.outcome == Outcome::Complete);
    FUZZ_CHECK_EQUAL(back.settings, read.settings);
    FUZZ_CHECK_EQUAL(SettingsToLines(back.settings), written);

    // Over other settings the file gives the same colours and names; a switch
    // line that is neither of its words keeps the setting it starts from.
    if (read.outcome == Outcome::Complete) {
        const Settings start = otherSettings();
        const SettingsReadResult over = ReadSettingsLines(lines, start);
        FUZZ_CHECK(over.outcome == Outcome::Complete);
        Settings expected = read.settings;
        const auto keep = [&](const QString &line, const char *on, const char *off, bool &value,
                              bool startValue) {
            if (line != QLatin1String(on) && line != QLatin1String(off))
                value = startValue;
        };
        keep(lines[5], "activate", "deactivate", expected.borderMove, start.borderMove);
        keep(lines[6], "compilecodevjass", "compilecodecjass", expected.vjass, start.vjass);
        keep(lines[7], "activate", "deactivate", expected.useUserCode, start.useUserCode);
        keep(lines[12], "save", "not", expected.saveUserCode, start.saveUserCode);
        FUZZ_CHECK_EQUAL(over.settings, expected);
    }
    return 0;
}
