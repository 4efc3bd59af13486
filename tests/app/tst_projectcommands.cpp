#include "app/gui/projectfileflow.h"
#include "filebytes.h"
#include "project/project.h"
#include "project/projectcommands.h"
#include "scripteddialogs.h"

#include <QDir>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace vell;

namespace {

const QString kBeforeClosing = QStringLiteral(
    "Этот проект еще не был сохранен. Хотите ли вы его сохранить перед его закрытием?");
const QString kBeforeExit = QStringLiteral(
    "Этот проект еще не был сохранен. Хотите ли вы его сохранить перед завершение программы?");
const QString kReplace = QStringLiteral("Вы хотите заменить выбранный файл на текущий?");
const QString kNewTitle = QStringLiteral("FM Vell Creator (Новый проект)");

QString titleFor(const QString &path)
{
    return QStringLiteral("FM Vell Creator (") + path + QLatin1Char(')');
}

QByteArray twoButtonsFile()
{
    return "FMVELLVERSIONKEY2.1\r\nbtncount:2\r\nButton_4\r\n10\r\n-"
           "20\r\n32\r\n32\r\nB000\r\ntrue\r\n"
           "\r\n\r\n0\r\n0\r\nButton_6\r\n0\r\n0\r\n40\r\n16\r\nB002\r\nfalse\r\n\r\n\r\n0\r\n0\r\n"
           "piccount:0\r\ntexcount:0\r\n/usercodestart\r\n// stored\r\n/end\r\n";
}

// The file flow of a project for a plain window, its boxes answered by
// `dialogs`, its recent projects in `recent`; files go to a fresh folder and
// the preferences start empty in one of their own.
struct Flow
{
    Flow()
    {
        for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, preferences.path());
        files.setRecentMenu(&recent);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    // The title once the main window's refresh tick has followed a change.
    QString settledTitle()
    {
        if (TitleFor(project.state()))
            files.showTitle(project.state());
        return window.windowTitle();
    }

    QTemporaryDir dir, preferences;
    ScriptedDialogs dialogs;
    // The provider in use elsewhere: the flow never asks it.
    ScriptedDialogs elsewhere;
    Project project;
    ProjectCommands commands{project};
    QWidget window;
    QMenu recent;
    ProjectFileFlow files{project, commands, window, &dialogs};
};

} // namespace

class TestProjectCommands : public QObject
{
    Q_OBJECT

private slots:
    void saveAndSaveAs()
    {
        Flow f;
        f.commands.create(KindButton);
        // Save of a new project with the dialog cancelled writes nothing.
        f.files.save();
        QCOMPARE(f.dialogs.fileFilters, QStringList{"Vell project (*.vlp)"});
        QCOMPARE(f.settledTitle(), kNewTitle + u'*');
        QCOMPARE(QDir(f.path(".")).entryList({"*.vlp"}), QStringList());

        // Save as "proj" writes proj.vlp and shows its full path.
        const QString proj = f.path("proj.vlp");
        f.dialogs.fileNames = {f.path("proj")};
        QVERIFY(f.files.saveAs());
        QCOMPARE(f.window.windowTitle(), titleFor(proj));
        QVERIFY(!f.project.ProjectModified());
        QCOMPARE(f.settledTitle(), titleFor(proj));
        const QByteArray oneButton = readBytes(proj);
        QVERIFY(oneButton.startsWith("FMVELLVERSIONKEY2.1\r\nbtncount:1\r\nButton_1\r\n"));

        // Onto an existing file: No opens the dialog again, Cancel changes
        // nothing, Yes replaces it.
        f.commands.create(KindText);
        QCOMPARE(f.settledTitle(), titleFor(proj) + u'*');
        f.dialogs.fileNames = {proj, f.path("other.VLP")};
        f.dialogs.answers = {Answer::No};
        f.files.saveAs();
        QCOMPARE(f.dialogs.questions, QStringList{kReplace});
        const QString other = f.path("other.VLP.vlp");
        QCOMPARE(f.window.windowTitle(), titleFor(other));
        QCOMPARE(readBytes(proj), oneButton);
        f.commands.create(KindPicture);
        f.dialogs.fileNames = {proj};
        f.dialogs.answers = {Answer::Cancel};
        QVERIFY(!f.files.saveAs());
        QCOMPARE(f.project.ProjectFileName(), other);
        QVERIFY(f.project.ProjectModified());
        QCOMPARE(readBytes(proj), oneButton);
        f.dialogs.fileNames = {proj};
        f.dialogs.answers = {Answer::Yes};
        f.files.saveAs();
        QCOMPARE(f.dialogs.questions, QStringList({kReplace, kReplace, kReplace}));
        QVERIFY(readBytes(proj).contains("piccount:1\r\nPicture_1\r\n"));
        QVERIFY(!readBytes(other).contains("Picture_1"));
        QCOMPARE(f.window.windowTitle(), titleFor(proj));

        // Save now writes to that file without asking.
        f.commands.clear();
        f.files.save();
        QCOMPARE(readBytes(proj).left(57),
                 QByteArray("FMVELLVERSIONKEY2.1\r\nbtncount:0\r\npiccount:0\r\ntexcount:0\r\n"));
        QCOMPARE(f.dialogs.fileFilters.size(), 6);

        // The first plain Save of a new project replaces a file unasked.
        f.files.newProject();
        f.commands.create(KindButton);
        f.dialogs.fileNames = {other};
        f.files.save();
        QCOMPARE(f.dialogs.questions.size(), 3);
        QVERIFY(readBytes(other).contains("btncount:1\r\nButton_2\r\n"));
    }

    void openAsksFirstAndKeepsTheChosenName()
    {
        Flow f;
        const QString path = f.path("design.project");
        writeBytes(path, twoButtonsFile());
        f.commands.create(KindText);
        // Yes, then the save cancelled: asked again; No reads the file.
        f.dialogs.answers = {Answer::Yes, Answer::No};
        f.dialogs.fileNames = {QString(), path};
        f.files.open();
        QCOMPARE(f.dialogs.questions, QStringList({kBeforeClosing, kBeforeClosing}));
        QCOMPARE(f.project.tables().objectNames(), QStringList({"Button_4", "Button_6"}));
        const VellButton *second = f.project.tables().button(2);
        QCOMPARE(QSize(second->Width, second->Height), QSize(40, 16));
        QCOMPARE(f.project.userCodeLines(), QStringList{"// stored"});
        QCOMPARE(f.window.windowTitle(), titleFor(path));
        QCOMPARE(f.settledTitle(), titleFor(path));
        // The name counters kept counting.
        f.commands.create(KindButton);
        QCOMPARE(f.project.tables().button(3)->Name, QStringLiteral("Button_3"));
    }

    void damagedAndForeignFiles()
    {
        Flow f;
        f.commands.create(KindPicture);
        f.project.setProjectModified(false);
        const QString good = f.path("good.vlp");
        f.dialogs.fileNames = {good};
        f.files.saveAs();
        const QByteArray saved = readBytes(good);

        // Rejected or unreadable: nothing changes at all.
        const QString empty = f.path("empty.vlp");
        const QString foreign = f.path("foreign.vlp");
        writeBytes(empty, "");
        writeBytes(foreign, "fmvellversionkey2.1\r\n");
        f.dialogs.fileNames = {empty, foreign, f.path("missing.vlp")};
        for (int i = 0; i < 3; ++i)
            f.files.open();
        QCOMPARE(f.dialogs.messages,
                 QStringList({"Файл поврежден",
                              "Файл этого проекта не подходит для данной версии программы"}));
        QCOMPARE(f.dialogs.errors.size(), 1);
        QVERIFY(f.dialogs.errors[0].startsWith("Cannot open file \"" + f.path("missing.vlp")));
        QCOMPARE(f.project.tables().objectNames(), QStringList{"Picture_1"});
        QCOMPARE(f.settledTitle(), titleFor(good));
        QVERIFY(!f.project.ProjectModified());

        // Read in part: the objects so far stay, and the next Save asks for
        // a name instead of writing over the damaged file.
        const QString damaged = f.path("damaged.vlp");
        writeBytes(damaged, twoButtonsFile().left(60));
        f.dialogs.fileNames = {damaged};
        f.files.open();
        QCOMPARE(f.dialogs.errors.last(), QStringLiteral("List index out of bounds (7)"));
        QCOMPARE(f.project.tables().objectNames(), QStringList{"Button_4"});
        const VellButton *first = f.project.tables().button(1);
        QCOMPARE(QPoint(first->X, first->Y), QPoint(10, -20));
        QCOMPARE(f.window.windowTitle(), kNewTitle + u'*');
        QCOMPARE(f.settledTitle(), kNewTitle + u'*');
        const int dialogsBefore = f.dialogs.fileFilters.size();
        f.files.save();
        QCOMPARE(f.dialogs.fileFilters.size(), dialogsBefore + 1);
        QCOMPARE(readBytes(damaged), twoButtonsFile().left(60));
        QCOMPARE(readBytes(good), saved);
    }

    // The project takes the new name all the same: the title names it as
    // saved at once, and the refresh tick marks the changes unsaved again.
    void failedWriteKeepsTheChangesAndTheNewName()
    {
        Flow f;
        f.commands.create(KindButton);
        // A pipe is never replaced by a file.
        const QString taken = f.path("taken.vlp");
        QCOMPARE(::mkfifo(QFile::encodeName(taken).constData(), 0600), 0);
        f.dialogs.fileNames = {f.path("taken")};
        f.dialogs.answers = {Answer::Yes};
        QVERIFY(!f.files.saveAs());
        QCOMPARE(f.dialogs.questions, QStringList{kReplace});
        QCOMPARE(f.dialogs.errors,
                 QStringList{"Cannot create file \"" + taken + "\". не обычный файл"});
        QVERIFY(f.project.ProjectModified());
        QCOMPARE(f.project.ProjectFileName(), taken);
        QCOMPARE(f.window.windowTitle(), titleFor(taken));
        QCOMPARE(f.settledTitle(), titleFor(taken) + u'*');
        struct stat info
        {};
        QCOMPARE(::stat(QFile::encodeName(taken).constData(), &info), 0);
        QVERIFY(S_ISFIFO(info.st_mode));
    }

    void newProject()
    {
        Flow f;
        QSignalSpy cleared(&f.files, &ProjectFileFlow::projectCleared);
        f.commands.create(KindButton);
        // Yes saves and keeps the project open.
        f.dialogs.answers = {Answer::Yes};
        f.dialogs.fileNames = {f.path("n1")};
        f.files.newProject();
        QCOMPARE(f.dialogs.questions, QStringList{kBeforeClosing});
        QCOMPARE(f.project.tables().ButtonCount(), 1);
        QCOMPARE(f.settledTitle(), titleFor(f.path("n1.vlp")));
        QCOMPARE(cleared.count(), 0);
        // Nothing unsaved: cleared at once.
        f.files.newProject();
        QCOMPARE(f.dialogs.questions.size(), 1);
        QCOMPARE(f.project.tables().ButtonCount(), 0);
        QCOMPARE(cleared.count(), 1);
        QCOMPARE(f.window.windowTitle(), kNewTitle);
        QCOMPARE(f.settledTitle(), kNewTitle);
        // Cancel keeps everything; No discards.
        f.commands.create(KindButton);
        f.dialogs.answers = {Answer::Cancel, Answer::No};
        f.files.newProject();
        QCOMPARE(f.project.tables().ButtonCount(), 1);
        f.files.newProject();
        QCOMPARE(f.project.tables().ButtonCount(), 0);
        QCOMPARE(f.project.tables().ButtonNameCounter, 2);
        QVERIFY(!f.project.ProjectModified());
        QCOMPARE(cleared.count(), 2);
    }

    // Nothing unsaved: no question. Cancel, and Yes with the save then
    // cancelled, keep the program; No, or Yes and a completed save, end it.
    void closeQuestion()
    {
        Flow f;
        QVERIFY(f.files.closeQuery());
        QCOMPARE(f.dialogs.questions.size(), 0);
        f.commands.create(KindButton);
        f.dialogs.answers = {Answer::Cancel, Answer::Yes, Answer::No};
        QVERIFY(!f.files.closeQuery());
        QVERIFY(!f.files.closeQuery());
        QVERIFY(f.files.closeQuery());
        QCOMPARE(f.dialogs.questions, QStringList({kBeforeExit, kBeforeExit, kBeforeExit}));
        QCOMPARE(QDir(f.path(".")).entryList({"*.vlp"}), QStringList());
        f.dialogs.answers = {Answer::Yes};
        f.dialogs.fileNames = {f.path("last")};
        QVERIFY(f.files.closeQuery());
        QVERIFY(readBytes(f.path("last.vlp")).contains("Button_1"));
    }

    // Saves and opens put their file first; an entry asks as Open does; a
    // link names the same file; a file that no longer reads stays, a
    // missing one goes with a message.
    void recentProjects()
    {
        Flow f;
        const auto recent = [&] {
            emit f.recent.aboutToShow();
            QStringList paths;
            for (QAction *a : f.recent.actions())
                paths << a->text();
            return paths;
        };
        const auto choose = [&](int entry) {
            f.recent.actions().at(entry)->trigger();
        };
        const QString a = f.path("a.vlp"), b = f.path("b.vlp"), link = f.path("link.vlp");
        f.dialogs.fileNames = {f.path("a")};
        f.files.save();
        f.commands.create(KindButton);
        f.dialogs.fileNames = {f.path("b")};
        f.files.saveAs();
        f.dialogs.fileNames = {a};
        f.files.open();
        QCOMPARE(recent(), (QStringList{a, b}));
        f.commands.create(KindPicture);
        f.dialogs.answers = {Answer::Cancel, Answer::No};
        choose(1);
        QCOMPARE(f.project.tables().PictureCount(), 1);
        choose(1);
        QCOMPARE(f.dialogs.questions, QStringList(2, kBeforeClosing));
        QCOMPARE(f.window.windowTitle(), titleFor(b));
        QCOMPARE(f.project.tables().ButtonCount(), 1);
        QCOMPARE(recent(), (QStringList{b, a}));
        QVERIFY(QFile::link(a, link));
        f.dialogs.fileNames = {link};
        f.files.open();
        QCOMPARE(recent(), (QStringList{link, b}));
        QVERIFY(QFile::resize(b, 0));
        choose(1);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(recent(), (QStringList{link, b}));
        QVERIFY(QFile::remove(link));
        f.commands.create(KindText);
        choose(0);
        QCOMPARE(f.dialogs.errors,
                 QStringList{"Файл \"" + link + "\" не найден; он убран из списка."});
        QCOMPARE(recent(), QStringList{b});
        QCOMPARE(f.dialogs.questions.size(), 2);
        // A long path loses its middle; its tip and its opening keep it all.
        const QString far = f.path(QString(70, u'к') + "/" + QString(70, u'д') + "/far.vlp");
        QVERIFY(QDir().mkpath(QFileInfo(far).path()));
        for (const QString &name : {far, f.path("c.vlp")}) {
            f.dialogs.fileNames = {name};
            f.files.saveAs();
        }
        const QString shown = recent().at(1);
        const qsizetype cut = shown.indexOf(QChar(0x2026));
        QVERIFY2(cut > 0 && far.startsWith(shown.left(cut)) && far.endsWith(shown.mid(cut + 1)) &&
                     shown.endsWith(u"д/far.vlp"),
                 qPrintable(shown));
        QVERIFY(QFontMetrics(f.recent.font()).horizontalAdvance(shown) <= 500);
        QCOMPARE(f.recent.actions().at(1)->toolTip(), far);
        choose(1);
        QCOMPARE(f.window.windowTitle(), titleFor(far));
        // A name on the command line that the system could not decode.
        f.files.openFromCommandLine(QStringLiteral("\uFFFDмагазин.vlp"));
        QCOMPARE(f.dialogs.errors.last(), QStringLiteral("Имя файла \"\uFFFDмагазин.vlp\" не в "
                                                         "кодировке системы (UTF-8); переименуйте "
                                                         "файл"));
        QCOMPARE(f.window.windowTitle(), titleFor(far));
    }
};

QTEST_MAIN(TestProjectCommands)
#include "tst_projectcommands.moc"
