#include "defaultsettings.h"
#include "filebytes.h"
#include "model/settingsfile.h"

#include "common/textfile.h"
#include "common/vellerror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace vell;
using Outcome = SettingsReadResult::Outcome;

namespace {

// Every setting away from its default.
const QStringList kOtherLines{"FMVELLCREATORversionkey2.0",
                              "clRed",
                              "$00123456",
                              "clLime",
                              "clNavy",
                              "deactivate",
                              "compilecodecjass",
                              "deactivate",
                              "Кнопки",
                              "Pics",
                              "Texts",
                              "Units",
                              "not"};

Settings otherSettings()
{
    Settings s;
    s.buttonColor = QColor(255, 0, 0);
    s.pictureColor = QColor(0x56, 0x34, 0x12);
    s.selectedTextColor = QColor(0, 255, 0);
    s.selectionBorderColor = QColor(0, 0, 128);
    s.borderMove = false;
    s.vjass = false;
    s.useUserCode = false;
    s.buttonVar = QStringLiteral("Кнопки");
    s.pictureVar = QStringLiteral("Pics");
    s.textVar = QStringLiteral("Texts");
    s.unitVar = QStringLiteral("Units");
    s.saveUserCode = false;
    return s;
}

void compareSettings(const Settings &a, const Settings &b)
{
    QCOMPARE(a.buttonColor, b.buttonColor);
    QCOMPARE(a.pictureColor, b.pictureColor);
    QCOMPARE(a.selectedTextColor, b.selectedTextColor);
    QCOMPARE(a.selectionBorderColor, b.selectionBorderColor);
    QCOMPARE(a.borderMove, b.borderMove);
    QCOMPARE(a.vjass, b.vjass);
    QCOMPARE(a.useUserCode, b.useUserCode);
    QCOMPARE(a.buttonVar, b.buttonVar);
    QCOMPARE(a.pictureVar, b.pictureVar);
    QCOMPARE(a.textVar, b.textVar);
    QCOMPARE(a.unitVar, b.unitVar);
    QCOMPARE(a.saveUserCode, b.saveUserCode);
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void defaultFileBytes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(kSettingsFileName);
        WriteSettingsFile(path, Settings());
        QCOMPARE(readBytes(path), kDefaultFile);
    }

    void writesEverySetting() { QCOMPARE(SettingsToLines(otherSettings()), kOtherLines); }

    void roundTripThroughFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(kSettingsFileName);
        WriteSettingsFile(path, otherSettings());
        const StartupSettings r = ReadStartupSettings(path, SettingsSource::DesignerFile);
        QVERIFY(r.fromFile && !r.failed);
        compareSettings(r.settings, otherSettings());
    }

    void missingFileKeepsDefaults()
    {
        QTemporaryDir dir;
        const StartupSettings r =
            ReadStartupSettings(dir.filePath(kSettingsFileName), SettingsSource::DesignerFile);
        QVERIFY(!r.fromFile && !r.failed);
        compareSettings(r.settings, Settings());
    }

    void folderOfThatNameIsNoFile()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(kSettingsFileName));
        const StartupSettings r =
            ReadStartupSettings(dir.filePath(kSettingsFileName), SettingsSource::DesignerFile);
        QVERIFY(!r.fromFile && !r.failed);
    }

    // A pipe is the designer's error and vellgen's defaults; an empty file
    // fails at its first line, a file that cannot be read at none.
    void startupRead()
    {
        QTemporaryDir dir;
        const QString pipe = dir.filePath("pipe.fms");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const StartupSettings designer = ReadStartupSettings(pipe, SettingsSource::DesignerFile);
        QCOMPARE(designer.error, "Cannot open file \"" + pipe + "\". не обычный файл");
        QCOMPARE(designer.errorLine, 0);
        const auto vellgen = ReadStartupSettings(pipe, SettingsSource::DesignerFileIfRegular);
        QCOMPARE(vellgen.fromFile || vellgen.failed, false);
        writeBytes(dir.filePath("empty.fms"), {});
        const auto empty = ReadStartupSettings(dir.filePath("empty.fms"), SettingsSource::Named);
        QCOMPARE(empty.error, "List index out of bounds (0)");
        QCOMPARE(empty.errorLine, 1);
    }

    void wrongFirstLine_data()
    {
        QTest::addColumn<QString>("first");
        QTest::newRow("lower case") << "fmvellcreatorversionkey2.0";
        QTest::newRow("trailing space") << "FMVELLCREATORversionkey2.0 ";
        QTest::newRow("older key") << "FMVELLCREATORversionkey1.0";
        QTest::newRow("empty") << "";
    }
    void wrongFirstLine()
    {
        QFETCH(QString, first);
        QStringList lines = kOtherLines;
        lines[0] = first;
        const SettingsReadResult r = ReadSettingsLines(lines);
        QCOMPARE(r.outcome, Outcome::WrongHeader);
        QCOMPARE(r.error, QString());
        compareSettings(r.settings, Settings());
    }

    void tooFewLines_data()
    {
        QTest::addColumn<int>("count");
        for (int n = 0; n < 13; ++n)
            QTest::addRow("%d lines", n) << n;
    }
    void tooFewLines()
    {
        QFETCH(int, count);
        const SettingsReadResult r = ReadSettingsLines(kOtherLines.mid(0, count));
        QCOMPARE(r.outcome, Outcome::Failed);
        QCOMPARE(r.error, QStringLiteral("List index out of bounds (%1)").arg(count));
        QCOMPARE(r.linesRead, count);

        // Lines before the missing one apply; the rest keep their defaults.
        Settings expected;
        const Settings other = otherSettings();
        if (count > 1)
            expected.buttonColor = other.buttonColor;
        if (count > 2)
            expected.pictureColor = other.pictureColor;
        if (count > 3)
            expected.selectedTextColor = other.selectedTextColor;
        if (count > 4)
            expected.selectionBorderColor = other.selectionBorderColor;
        if (count > 5)
            expected.borderMove = other.borderMove;
        if (count > 6)
            expected.vjass = other.vjass;
        if (count > 7)
            expected.useUserCode = other.useUserCode;
        if (count > 8)
            expected.buttonVar = other.buttonVar;
        if (count > 9)
            expected.pictureVar = other.pictureVar;
        if (count > 10)
            expected.textVar = other.textVar;
        if (count > 11)
            expected.unitVar = other.unitVar;
        compareSettings(r.settings, expected);
    }

    void badColourLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quoted");
        const QString hundred(100, QChar(0x0416));
        const QString ellipsis(QChar(0x2026));
        QTest::newRow("word") << "orange"
                              << "orange";
        QTest::newRow("100 characters") << hundred << hundred;
        QTest::newRow("101 characters") << hundred + "$" << hundred + ellipsis;
        // A huge line is quoted short so that the error box opens at once.
        QTest::newRow("1 MB") << "$" + QString(1 << 20, QLatin1Char('F'))
                              << "$" + QString(99, QLatin1Char('F')) + ellipsis;
        QTest::newRow("10 MB") << "cl" + QString(10 << 20, QChar(0x0416))
                               << "cl" + QString(98, QChar(0x0416)) + ellipsis;
    }
    void badColourLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, quoted);
        QTemporaryDir dir;
        const QString path = dir.filePath(kSettingsFileName);
        QStringList lines = kOtherLines;
        lines[3] = text;
        writeBytes(path, JoinTextLines(lines));
        const StartupSettings r = ReadStartupSettings(path, SettingsSource::DesignerFile);
        QVERIFY(r.failed);
        QCOMPARE(r.error, "'" + quoted + "' is not a valid integer value");
        QCOMPARE(r.errorLine, 4);
        Settings expected;
        expected.buttonColor = QColor(255, 0, 0);
        expected.pictureColor = QColor(0x56, 0x34, 0x12);
        compareSettings(r.settings, expected);
    }

    void cjassDeselectsVJass()
    {
        QStringList lines = SettingsToLines(Settings());
        lines[6] = QStringLiteral("compilecodecjass");
        const SettingsReadResult r = ReadSettingsLines(lines);
        QCOMPARE(r.outcome, Outcome::Complete);
        QCOMPARE(r.settings.vjass, false);
    }

    // Words that are not exactly one of the pair leave the setting as it was.
    void unknownWordsLeaveSwitches_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("move capital") << 5 << "Activate";
        QTest::newRow("move spaced") << 5 << "deactivate ";
        QTest::newRow("dialect capital") << 6 << "compilecodeVjass";
        QTest::newRow("dialect empty") << 6 << "";
        QTest::newRow("user code yes") << 7 << "yes";
        QTest::newRow("save capital") << 12 << "Save";
        QTest::newRow("save not spaced") << 12 << " not";
    }
    void unknownWordsLeaveSwitches()
    {
        QFETCH(int, line);
        QFETCH(QString, text);
        QStringList lines = kOtherLines;
        lines[line] = text;
        const Settings start = otherSettings();
        const SettingsReadResult r = ReadSettingsLines(lines, start);
        QCOMPARE(r.outcome, Outcome::Complete);
        compareSettings(r.settings, start);
        // From the defaults, the switch stays on while the others go off.
        const Settings fresh = ReadSettingsLines(lines).settings;
        const QList<bool> switches{fresh.borderMove, fresh.vjass, fresh.useUserCode,
                                   fresh.saveUserCode};
        const QList<int> switchLines{5, 6, 7, 12};
        for (int i = 0; i < switches.size(); ++i)
            QCOMPARE(switches[i], switchLines[i] == line);
    }

    void emptyVariableNames()
    {
        QStringList lines = SettingsToLines(Settings());
        for (int i = 8; i < 12; ++i)
            lines[i].clear();
        const SettingsReadResult r = ReadSettingsLines(lines);
        QCOMPARE(r.outcome, Outcome::Complete);
        QCOMPARE(r.settings.buttonVar, QString());
        QCOMPARE(r.settings.pictureVar, QString());
        QCOMPARE(r.settings.textVar, QString());
        QCOMPARE(r.settings.unitVar, QString());
        QCOMPARE(SettingsToLines(r.settings), lines);
    }

    void linesAfterThirteenIgnored()
    {
        QStringList lines = kOtherLines;
        lines << "clRed"
              << "garbage"
              << "";
        const SettingsReadResult r = ReadSettingsLines(lines);
        QCOMPARE(r.outcome, Outcome::Complete);
        compareSettings(r.settings, otherSettings());
    }

    void unwritablePath()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("missing/" + kSettingsFileName);
        try {
            WriteSettingsFile(path, Settings());
            QFAIL("no error");
        } catch (const VellError &e) {
            QVERIFY2(e.message().startsWith("Cannot create file \"" + path + "\". "),
                     qPrintable(e.message()));
        }
    }
};

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
