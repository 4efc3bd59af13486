#include "app/vellgen.h"
#include "common/textfile.h"
#include "common/vellerror.h"
#include "defaultsettings.h"
#include "filebytes.h"
#include "model/projectfile.h"
#include "model/settingsfile.h"
#include "project/project.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    const int status = RunVellgen(QStringList{"vellgen"} + arguments, out, err);
    return Run{status, out.data(), err.data()};
}

// The program itself, as a process.
Run program(const QStringList &arguments,
            const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
            const QString &output = {})
{
    QProcess process;
    process.setProcessEnvironment(env);
    if (!output.isEmpty())
        process.setStandardOutputFile(output);
    process.start(QStringLiteral(VELLGEN_PROGRAM), arguments);
    process.waitForFinished(60000);
    return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
               process.readAllStandardOutput(), process.readAllStandardError()};
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
const QByteArray kGoodProject =
    JoinTextLines(QStringList{kProjectFileKey} +
                  QStringLiteral("btncount:1|Button_1|0|0|32|32|B000|true|L1||0|0|piccount:0|"
                                 "texcount:1|Text_1|5|5|Hi|true|clRed|/usercodestart|"
                                 "function L1 takes nothing returns nothing|endfunction|/end")
                      .split(u'|'));

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
    // Runs of the program: the status, what goes to each stream, and every
    // file left as it was but the one `written` names, which then holds the
    // code ("-": standard output). The settings bytes go to the file that
    // --settings names, else to the working folder's settings file. Beside
    // the project are links to it (link.vlp, hard.vlp), a link to out.j
    // (link.j), a folder (dir) and a pipe (fifo) that the test reads.
    void runs_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QByteArray>("project");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("written");
        const auto row = [](const char *name, const char *arguments, const QByteArray &project,
                            const QByteArray &settings, int status, const QString &out,
                            const QString &error, const QString &written = {}) {
            QTest::newRow(name) << QString::fromLatin1(arguments) << project << settings << status
                                << out << (error.isEmpty() ? error : "vellgen: " + error + '\n')
                                << written;
        };
        const QByteArray good = kGoodProject;
        const QByteArray none;
        const QByteArray calledL2 = QByteArray(good).replace("\r\nL1\r\n", "\r\nL2\r\n");
        const QString l2 =
            "p.vlp:10: error: функция левого клика \"L2\" не определена в коде пользователя\n";
        const QString notOverProject = "» - это файл проекта «p.vlp»: код поверх него не пишется";
        row("no project", "", good, none, 2, "",
            "нужен ровно один файл проекта (справка: vellgen --help)");
        row("unknown option", "p.vlp --fast", good, none, 2, "",
            "неизвестный параметр «--fast» (справка: vellgen --help)");
        row("an option of Qt", "-platform xcb p.vlp", good, none, 2, "",
            "неизвестный параметр «-platform» (справка: vellgen --help)");
        row("no value after an option", "p.vlp --output", good, none, 2, "",
            "после «--output» нет значения");
        row("check with an output file", "p.vlp --check --output out.j", good, none, 2, "",
            "--check ничего не пишет в файл: --output с ним не нужен");
        row("project missing", "none.vlp --output out.j", good, none, 1, "",
            "Cannot open file \"none.vlp\". нет такого файла или папки");
        row("empty project file", "p.vlp --output out.j", none, none, 1, "",
            "p.vlp: Файл поврежден");
        row("project of another version", "p.vlp --output out.j", "FMVELLVERSIONKEY2.0\r\n", none,
            1, "", "p.vlp:1: Файл этого проекта не подходит для данной версии программы");
        row("damaged project stops a check", "p.vlp --check",
            JoinTextLines({kProjectFileKey, "btncount:two"}), none, 1, "",
            "p.vlp:2: 'two' is not a valid integer value");
        row("colour that names nothing", "p.vlp --output out.j",
            QByteArray(good).replace("clRed", "reddish"), none, 1, "",
            "p.vlp:21: 'reddish' is not a valid integer value");
        row("damaged settings", "p.vlp --settings s.fms --output out.j", good,
            settingsWith(3, "teal-ish"), 1, "", "s.fms:3: 'teal-ish' is not a valid integer value");
        row("damaged settings stop a check", "p.vlp --settings s.fms --check", good,
            settingsWith(2, ""), 1, "", "s.fms:2: '' is not a valid integer value");
        row("damaged settings in the working folder", "p.vlp --output out.j", good,
            settingsWith(5, "$1000000000"), 1, "",
            "vellsettings.fms:5: '$1000000000' is not a valid integer value");
        row("settings file cut short", "p.vlp --settings s.fms --output out.j", good,
            kDefaultFile.left(kDefaultFile.indexOf("compilecode")), 1, "",
            "s.fms:7: List index out of bounds (6)");
        row("settings file missing", "p.vlp --settings none.fms --output out.j", good, none, 1, "",
            "Cannot open file \"none.fms\". нет такого файла или папки");
        row("CJass", "p.vlp --settings s.fms --output out.j", good,
            settingsWith(7, "compilecodecjass"), 1, "",
            "s.fms: в настройках выбран CJass, а код пишется только для vJass");
        row("output folder missing", "p.vlp --output no/out.j", good, none, 1, "",
            "Cannot create file \"no/out.j\". нет такого файла или папки");
        row("output is a folder", "p.vlp --output dir", good, none, 1, "",
            "Cannot create file \"dir\". не обычный файл");
        row("output device is full", "p.vlp --output /dev/full", good, none, 1, "",
            "Cannot create file \"/dev/full\". на диске нет места");
        row("output is the project by a symbolic link", "p.vlp --output link.vlp", good, none, 1,
            "", "«link.vlp" + notOverProject);
        row("output is the project by a hard link", "p.vlp --output hard.vlp", good, none, 1, "",
            "«hard.vlp" + notOverProject);
        row("output is the given settings", "p.vlp --settings s.fms --output s.fms", good,
            kDefaultFile, 1, "", "«s.fms» - это файл настроек: код поверх него не пишется");
        row("output is the working folder's settings", "p.vlp --output ./vellsettings.fms", good,
            settingsWith(8, "deactivate"), 1, "",
            "«./vellsettings.fms» - это файл настроек «vellsettings.fms»: код поверх него не "
            "пишется");
        row("output is settings that are not read",
            "p.vlp --settings s.fms --output vellsettings.fms", good, kDefaultFile, 0, "", "",
            "vellsettings.fms");
        row("output to a pipe", "p.vlp --output fifo", good, none, 0, "", "", "fifo");
        row("output to standard output", "p.vlp --output -", good, none, 0, "", "", "-");
        row("output through a link", "p.vlp --output link.j", good, none, 0, "", "", "out.j");
        row("check finds nothing", "--check p.vlp", good, none, 0, "", "");
        row("check finds a warning", "--check p.vlp", QByteArray(good).replace("B000", "B00"), none,
            0, "p.vlp:8: warning: ID текстуры \"B00\" не из четырех символов\n", "");
        row("check finds an error", "--check p.vlp", calledL2, none, 1, l2, "");
        row("check finds an error in the user code", "--check p.vlp",
            QByteArray(good).replace("nothing\r\nendfunction",
                                     "nothing\r\n call ECHO(\"x\")\r\nendfunction"),
            none, 1, "p.vlp:24:7: error: функция ECHO вызывается, но нигде не определена\n", "");
        row("check finds a setting's fault", "--check p.vlp --settings s.fms", good,
            settingsWith(10, "Picture Var"), 1,
            "s.fms:10: error: Название переменной изображения: \"Picture Var\" — не имя JASS\n",
            "");
        row("check finds a fault in the working folder's settings", "--check p.vlp", good,
            settingsWith(12, "udg_Hero[1"), 1,
            "vellsettings.fms:12: error: Название переменной юнита: \"udg_Hero[1\" — не "
            "выражение JASS\n",
            "");
        // Which settings apply, seen in whether the user code is looked at.
        row("the working folder's settings", "--check p.vlp", calledL2,
            settingsWith(8, "deactivate"), 0, "", "");
        row("the given settings first", "--check p.vlp --settings s.fms", calledL2,
            settingsWith(8, "activate"), 1, l2, "");
        row("another first line gives the defaults", "--check p.vlp", calledL2,
            settingsWith(1, "FMVELLCREATORversionkey1.0")
                .replace("\r\nactivate\r\nButtonVar", "\r\ndeactivate\r\nButtonVar"),
            1, l2, "");
    }
    void runs()
    {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, project);
        QFETCH(QByteArray, settings);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, error);
        QFETCH(QString, written);
        InTempDir dir;
        const QStringList words = arguments.split(u' ', Qt::SkipEmptyParts);
        QMap<QString, QByteArray> files{{"p.vlp", project}, {"out.j", "old"}};
        if (!settings.isEmpty()) {
            const qsizetype given = words.indexOf("--settings");
            files[given < 0 ? kSettingsFileName : words[given + 1]] = settings;
            // The working folder's file must not be the one read.
            if (given >= 0)
                files[kSettingsFileName] = settingsWith(8, "deactivate");
        }
        for (auto f = files.cbegin(); f != files.cend(); ++f)
            writeBytes(f.key(), f.value());
        QVERIFY(QFile::link("p.vlp", "link.vlp") && QFile::link("out.j", "link.j"));
        QCOMPARE(::link("p.vlp", "hard.vlp"), 0);
        files["hard.vlp"] = project;
        QVERIFY(QDir().mkdir("dir"));
        QCOMPARE(::mkfifo("fifo", 0600), 0);
        // The code those settings give, made here.
        QByteArray code;
        if (!written.isEmpty()) {
            QStringList toStdout = words;
            toStdout.remove(words.indexOf("--output"), 2);
            code = vellgen(toStdout).out;
            QVERIFY(code.contains("TextVar[1]"));
            files.remove(written);
        }
        // Open before the program starts, so that its writer does not wait.
        const int pipe = ::open("fifo", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(pipe >= 0);
        const Run run = program(words);
        QByteArray piped(1 << 16, '\0');
        const ssize_t got = ::read(pipe, piped.data(), piped.size());
        ::close(pipe);
        piped.truncate(qMax<ssize_t>(got, 0));

        QCOMPARE(QString::fromUtf8(run.err), error);
        QCOMPARE(run.out, written == "-" ? code : out.toUtf8());
        QCOMPARE(run.status, status);
        QCOMPARE(piped, written == "fifo" ? code : QByteArray());
        if (!written.isEmpty() && written != "-" && written != "fifo")
            QCOMPARE(readBytes(written), code);
        for (auto f = files.cbegin(); f != files.cend(); ++f)
            QCOMPARE(readBytes(f.key()), f.value());
        QVERIFY(QFileInfo("link.vlp").isSymLink() && QFileInfo("link.j").isSymLink());
        for (const char *kept : {"fifo", "dir", "/dev/full", "/dev/null"})
            QVERIFY2(!QFileInfo(kept).isFile() && QFileInfo(kept).exists(), kept);
        // Nothing else is left, such as a temporary file.
        const auto all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
        QCOMPARE(QDir().entryList(all).size(),
                 files.size() + 4 + (written.size() > 1 && written != "fifo"));
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
    }

    // The colour error cannot come from a project file, whose reader refuses
    // such a colour first.
    // A character the code page cannot store names the characters of its
    // line from the first such one on; a colour error anywhere comes first.
    void colourErrorOfTheGenerator()
    {
        const auto message = [](const Project &p) {
            try {
                GeneratedCodeBytes(p);
            } catch (const VellError &e) {
                return e.message();
            }
            return QStringLiteral("generated");
        };
        Project p;
        VellText *first = p.tables().createText();
        first->Text = QStringLiteral("a\u2192b\u00e9c\u2192");
        p.tables().createText();
        QCOMPARE(message(p), QStringLiteral("Текст содержит символы, которые нельзя сохранить "
                                            "в файл: \u2192\u00e9"));
        p.tables().text(2)->TextColor = QStringLiteral("clOrange");
        QCOMPARE(message(p), QStringLiteral("'clOrange' is not a valid integer value"));
    }

    // The program itself, without a display or a chosen platform: the same
    // bytes on standard output as to a file, and an error line alone.
    void theProgramNeedsNoDisplay()
    {
        InTempDir dir;
        writeBytes("p.vlp", kGoodProject);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(name));
        const Run run = program({"p.vlp"}, env);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains(
            "\r\n call SetTextTagText(TextVar[1].text, \"|c00FF0000Hi|r\",0.0184)\r\n"));
        QCOMPARE(vellgen({"p.vlp", "--output", "code.j"}).status, 0);
        QCOMPARE(run.out, readBytes("code.j"));
        // A platform chosen for the designer, with no display to reach, is
        // not the program's: it is offscreen all the same.
        for (const char *platform : {"xcb", "wayland;xcb"}) {
            QProcessEnvironment withPlatform = env;
            withPlatform.insert("QT_QPA_PLATFORM", QString::fromLatin1(platform));
            const Run chosen = program({"p.vlp"}, withPlatform);
            QCOMPARE(chosen.err, QByteArray());
            QCOMPARE(chosen.status, 0);
            QCOMPARE(chosen.out, run.out);
        }
        const Run failed = program({"none.vlp"}, env);
        QCOMPARE(failed.status, 1);
        QCOMPARE(QString::fromUtf8(failed.err),
                 "vellgen: Cannot open file \"none.vlp\". нет такого файла или папки\n");
        // The project is read on a second thread: the settings' error still
        // comes first, and a check has its application too.
        QCOMPARE(QString::fromUtf8(program({"none.vlp", "--settings", "none.fms"}, env).err),
                 "vellgen: Cannot open file \"none.fms\". нет такого файла или папки\n");
        const Run check = program({"p.vlp", "--check"}, env);
        QCOMPARE(check.err, QByteArray());
        QCOMPARE(check.status, vellgen({"p.vlp", "--check"}).status);
        QCOMPARE(check.out, vellgen({"p.vlp", "--check"}).out);
        // Output that cannot be written is a failure, not a success.
        const Run full = program({"p.vlp"}, env, QStringLiteral("/dev/full"));
        QCOMPARE(full.status, 1);
        QCOMPARE(QString::fromUtf8(full.err),
                 QStringLiteral("vellgen: не удалось записать вывод: на диске нет места\n"));
    }
};

QTEST_MAIN(TestVellgen)
#include "tst_vellgen.moc"
