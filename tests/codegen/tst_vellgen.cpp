#include "codegen/vellgen.h"
#include "common/textfile.h"
#include "common/vellerror.h"
#include "defaultsettings.h"
#include "filebytes.h"
#include "generatorcase.h"
#include "project/project.h"
#include "project/projectfile.h"
#include "settings/settingsfile.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace vell;

namespace {

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run vellgen(const QStringList &arguments)
{
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Run run;
    run.status = RunVellgen(QStringList{"vellgen"} + arguments, out, err);
    run.out = out.data();
    run.err = err.data();
    return run;
}

// Runs in a fresh working folder.
class InTempDir
{
public:
    InTempDir() : m_old(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~InTempDir() { QDir::setCurrent(m_old); }

private:
    QTemporaryDir m_dir;
    QString m_old;
};

// One button calling L1, one text, and the user code that defines L1.
const QByteArray kGoodProject = JoinTextLines(
    {kProjectFileKey, "btncount:1", "Button_1", "0", "0", "32", "32", "B000", "true", "L1", "", "0",
     "0", "piccount:0", "texcount:1", "Text_1", "5", "5", "Hi", "true", "clRed", "/usercodestart",
     "function L1 takes nothing returns nothing", "endfunction", "/end"});

QByteArray settingsWith(int line, const QByteArray &value)
{
    QList<QByteArray> lines = kDefaultFile.split('\n');
    lines[line - 1] = value + '\r';
    return lines.join('\n');
}

} // namespace

class TestVellgen : public QObject
{
    Q_OBJECT

private slots:
    // Designs that the designer holds exactly as the golden cases give them.
    void goldenCasesThroughProjectFiles_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"actions_without_usercode", "empty_project", "hidden_objects",
                                 "mixed_design_with_user_code"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void goldenCasesThroughProjectFiles()
    {
        QFETCH(QString, name);
        const QString data = QStringLiteral(VELL_TEST_DATA "/");
        const GeneratorCase c = readGeneratorCase(data + name + ".in");
        QVERIFY2(c.error.isEmpty(), qPrintable(c.error));
        bool ok = false;
        const QByteArray expected = JoinTextLines(readExpectedLines(data + name + ".out", &ok));
        QVERIFY(ok);
        InTempDir dir;
        Project p;
        fillProject(c, p);
        SaveProjectFile(p, "p.vlp");
        // From the settings file in the working folder.
        WriteSettingsFile(kSettingsFileName, p.settings());
        const Run run = vellgen({"p.vlp"});
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, expected);
        const Run toFile = vellgen({"p.vlp", "--output", "code.j"});
        QCOMPARE(toFile.status, 0);
        QCOMPARE(toFile.out, QByteArray());
        QCOMPARE(readBytes("code.j"), expected);
    }

    // Every failure: its status and one line; the output file stays.
    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("project");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QByteArray>("workingFolderSettings");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        const QByteArray good = kGoodProject;
        const QString oneFile = "нужен ровно один файл проекта (справка: vellgen --help)";
        QTest::newRow("no project") << QStringList() << good << QByteArray() << QByteArray() << 2
                                    << oneFile;
        QTest::newRow("two projects") << QStringList{"p.vlp", "p.vlp"} << good << QByteArray()
                                      << QByteArray() << 2 << oneFile;
        QTest::newRow("unknown option") << QStringList{"p.vlp", "--fast"} << good << QByteArray()
                                        << QByteArray() << 2 << "Unknown option 'fast'.";
        QTest::newRow("settings without a file")
            << QStringList{"p.vlp", "--settings"} << good << QByteArray() << QByteArray() << 2
            << "Missing value after '--settings'.";
        QTest::newRow("check with an output file")
            << QStringList{"p.vlp", "--check", "--output", "out.j"} << good << QByteArray()
            << QByteArray() << 2 << "--check ничего не пишет в файл: --output с ним не нужен";
        QTest::newRow("project missing")
            << QStringList{"none.vlp", "--output", "out.j"} << good << QByteArray() << QByteArray()
            << 1 << "Cannot open file \"none.vlp\". No such file or directory";
        QTest::newRow("empty project file") << QStringList{"p.vlp", "--output", "out.j"}
                                            << QByteArray() << QByteArray() << QByteArray() << 1
                                            << "p.vlp: Файл поврежден";
        QTest::newRow("project of another version")
            << QStringList{"p.vlp", "--output", "out.j"} << QByteArray("FMVELLVERSIONKEY2.0\r\n")
            << QByteArray() << QByteArray() << 1
            << "p.vlp:1: Файл этого проекта не подходит для данной версии программы";
        QTest::newRow("count not a number")
            << QStringList{"p.vlp", "--output", "out.j"}
            << JoinTextLines({kProjectFileKey, "btncount:two"}) << QByteArray() << QByteArray() << 1
            << "p.vlp:2: 'two' is not a valid integer value";
        QTest::newRow("project ends inside a record")
            << QStringList{"p.vlp", "--output", "out.j"}
            << JoinTextLines({kProjectFileKey, "btncount:1", "Button_1", "0"}) << QByteArray()
            << QByteArray() << 1 << "p.vlp:5: List index out of bounds (4)";
        QTest::newRow("colour that names nothing")
            << QStringList{"p.vlp", "--output", "out.j"}
            << QByteArray(good).replace("clRed", "reddish") << QByteArray() << QByteArray() << 1
            << "p.vlp:21: 'reddish' is not a valid integer value";
        QTest::newRow("damaged project stops a check")
            << QStringList{"p.vlp", "--check"} << JoinTextLines({kProjectFileKey, "btncount:two"})
            << QByteArray() << QByteArray() << 1 << "p.vlp:2: 'two' is not a valid integer value";
        QTest::newRow("damaged settings")
            << QStringList{"p.vlp", "--settings", "s.fms", "--output", "out.j"} << good
            << settingsWith(3, "teal-ish") << QByteArray() << 1
            << "s.fms:3: 'teal-ish' is not a valid integer value";
        QTest::newRow("damaged settings stop a check")
            << QStringList{"p.vlp", "--settings", "s.fms", "--check"} << good
            << settingsWith(2, "") << QByteArray() << 1
            << "s.fms:2: '' is not a valid integer value";
        QTest::newRow("damaged settings in the working folder")
            << QStringList{"p.vlp", "--output", "out.j"} << good << QByteArray()
            << settingsWith(5, "$1000000000") << 1
            << "vellsettings.fms:5: '$1000000000' is not a valid integer value";
        QTest::newRow("settings file cut short")
            << QStringList{"p.vlp", "--settings", "s.fms", "--output", "out.j"} << good
            << kDefaultFile.left(kDefaultFile.indexOf("compilecode")) << QByteArray() << 1
            << "s.fms:7: List index out of bounds (6)";
        QTest::newRow("empty settings file")
            << QStringList{"p.vlp", "--settings", "s.fms"} << good << QByteArray("\0", 1)
            << QByteArray() << 1 << "s.fms:1: List index out of bounds (0)";
        QTest::newRow("settings file missing")
            << QStringList{"p.vlp", "--settings", "none.fms", "--output", "out.j"} << good
            << QByteArray() << QByteArray() << 1
            << "Cannot open file \"none.fms\". No such file or directory";
        QTest::newRow("CJass")
            << QStringList{"p.vlp", "--settings", "s.fms", "--output", "out.j"} << good
            << settingsWith(7, "compilecodecjass") << kDefaultFile << 1
            << "s.fms: в настройках выбран CJass, а код пишется только для vJass";
        QTest::newRow("output folder missing")
            << QStringList{"p.vlp", "--output", "no/out.j"} << good << QByteArray() << QByteArray()
            << 1 << "Cannot create file \"no/out.j\". No such file or directory";
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, project);
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, workingFolderSettings);
        QFETCH(int, status);
        QFETCH(QString, error);
        InTempDir dir;
        writeBytes("p.vlp", project);
        if (!settings.isEmpty())
            writeBytes("s.fms", settings);
        if (!workingFolderSettings.isEmpty())
            writeBytes(kSettingsFileName, workingFolderSettings);
        writeBytes("out.j", "old");
        const Run run = vellgen(arguments);
        QCOMPARE(QString::fromUtf8(run.err), "vellgen: " + error + '\n');
        QCOMPARE(run.status, status);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(readBytes("out.j"), QByteArray("old"));
    }

    // Where the settings come from, seen in the button array's name.
    void settingsSources_data()
    {
        QTest::addColumn<QByteArray>("workingFolderSettings");
        QTest::addColumn<QByteArray>("givenSettings");
        QTest::addColumn<QString>("arrayLine");
        QTest::newRow("defaults without a file") << QByteArray() << QByteArray()
                                                 << " BUTTON array ButtonVar";
        QTest::newRow("the working folder's file")
            << settingsWith(9, "Mine") << QByteArray() << " BUTTON array Mine";
        QTest::newRow("the given file first")
            << settingsWith(9, "Mine") << settingsWith(9, "Given") << " BUTTON array Given";
        QTest::newRow("another first line: the defaults")
            << settingsWith(9, "Mine") << settingsWith(1, "FMVELLCREATORversionkey1.0")
            << " BUTTON array ButtonVar";
    }
    void settingsSources()
    {
        QFETCH(QByteArray, workingFolderSettings);
        QFETCH(QByteArray, givenSettings);
        QFETCH(QString, arrayLine);
        InTempDir dir;
        writeBytes("p.vlp", kGoodProject);
        if (!workingFolderSettings.isEmpty())
            writeBytes(kSettingsFileName, workingFolderSettings);
        QStringList arguments{"p.vlp"};
        if (!givenSettings.isEmpty()) {
            writeBytes("s.fms", givenSettings);
            arguments << "--settings" << "s.fms";
        }
        const Run run = vellgen(arguments);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(SplitTextLines(run.out).value(1), arrayLine);
    }

    void checkListsFindingsAndSaysWhetherThereIsAnError_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("findings");
        QTest::newRow("nothing found") << "" << "" << 0 << "";
        QTest::newRow("a warning") << "B000" << "B00" << 0
                                   << "p.vlp:8: warning: ID текстуры \"B00\" не из четырех символов\n";
        QTest::newRow("an error") << "\r\nL1\r\n" << "\r\nL2\r\n" << 1
                                  << "p.vlp:10: error: функция левого клика \"L2\" не определена в "
                                     "коде пользователя\n";
    }
    void checkListsFindingsAndSaysWhetherThereIsAnError()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, status);
        QFETCH(QString, findings);
        InTempDir dir;
        QByteArray project = kGoodProject;
        if (!from.isEmpty())
            project.replace(from.toLatin1(), to.toLatin1());
        writeBytes("p.vlp", project);
        writeBytes("out.j", "old");
        const Run run = vellgen({"--check", "p.vlp"});
        QCOMPARE(QString::fromUtf8(run.out), findings);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.status, status);
        QCOMPARE(readBytes("out.j"), QByteArray("old"));
    }

    void helpAndVersion()
    {
        const Run help = vellgen({"--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.startsWith("Использование: vellgen ПРОЕКТ.vlp [--settings ФАЙЛ.fms] "
                                    "[--output ФАЙЛ] [--check]\n"));
        QCOMPARE(vellgen({"-h"}).out, help.out);
        const Run version = vellgen({"p.vlp", "--version"});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QByteArray("vellgen " VELL_VERSION "\n"));
        QCOMPARE(version.err, QByteArray());
    }

    // What the core refuses to generate; the colour error cannot come from
    // a project file, whose reader refuses such a colour first.
    void generationRefusals()
    {
        Project p;
        p.tables().createText()->TextColor = QStringLiteral("clOrange");
        QVERIFY_THROWS_EXCEPTION(VellError, GeneratedCodeBytes(p));
        try {
            GeneratedCodeBytes(p);
        } catch (const VellError &e) {
            QCOMPARE(e.message(), QStringLiteral("'clOrange' is not a valid integer value"));
        }
        p.tables().text(1)->TextColor.clear();
        QVERIFY(GeneratedCodeBytes(p).endsWith(" set trig = null\r\nendfunction\r\n"));
        Settings s;
        s.vjass = false;
        p.setSettings(s);
        try {
            GeneratedCodeBytes(p);
            QFAIL("generated for CJass");
        } catch (const VellError &e) {
            QCOMPARE(e.message(),
                     QStringLiteral("в настройках выбран CJass, а код пишется только для vJass"));
        }
    }

    // The program itself, without a display or a chosen platform.
    void theProgramNeedsNoDisplay()
    {
        InTempDir dir;
        writeBytes("p.vlp", kGoodProject);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(name));
        const auto runProgram = [&](const QStringList &arguments) {
            QProcess process;
            process.setProcessEnvironment(env);
            process.start(QStringLiteral(VELLGEN_PROGRAM), arguments);
            process.waitForFinished(60000);
            return Run{process.exitCode(), process.readAllStandardOutput(),
                       process.readAllStandardError()};
        };
        const Run run = runProgram({"p.vlp"});
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, vellgen({"p.vlp"}).out);
        QVERIFY(run.out.contains("|c00FF0000Hi|r"));
        const Run failed = runProgram({"none.vlp"});
        QCOMPARE(failed.status, 1);
        QCOMPARE(failed.err,
                 QByteArray("vellgen: Cannot open file \"none.vlp\". No such file or directory\n"));
    }
};

QTEST_MAIN(TestVellgen)
#include "tst_vellgen.moc"
