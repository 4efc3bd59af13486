#include "actions/gui/tform5.h"
#include "appfixture.h"
#include "filebytes.h"
#include "project/projectfile.h"
#include "usercode/gui/tform3.h"

#include <QComboBox>

#include <QSignalSpy>

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

// The title once the 100 ms refresh that follows a change has run.
QString settledTitle(AppFixture &f)
{
    if (!QTest::qWaitFor([&] { return !f.form->RecoloringTimer->isActive(); }, 1000))
        return QStringLiteral("(no refresh within a second)");
    return f.form->windowTitle();
}

QByteArray twoButtonsFile()
{
    return "FMVELLVERSIONKEY2.1\r\nbtncount:2\r\nButton_4\r\n10\r\n-"
           "20\r\n32\r\n32\r\nB000\r\ntrue\r\n"
           "\r\n\r\n0\r\n0\r\nButton_6\r\n0\r\n0\r\n40\r\n16\r\nB002\r\nfalse\r\n\r\n\r\n0\r\n0\r\n"
           "piccount:0\r\ntexcount:0\r\n/usercodestart\r\n// stored\r\n/end\r\n";
}

} // namespace

class TestProjectCommands : public QObject
{
    Q_OBJECT

private slots:
    void saveAndSaveAs()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        // Save of a new project with the dialog cancelled writes nothing.
        f.key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(f.dialogs.fileFilters, QStringList{"Vell project (*.vlp)"});
        QCOMPARE(settledTitle(f), kNewTitle + u'*');
        QCOMPARE(QDir(f.path(".")).entryList({"*.vlp"}), QStringList());

        // Save as "proj" writes proj.vlp and shows its full path.
        const QString proj = f.path("proj.vlp");
        f.dialogs.fileNames = {f.path("proj")};
        f.key(Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(f.form->windowTitle(), titleFor(proj));
        QVERIFY(!f.form->project().ProjectModified());
        QCOMPARE(settledTitle(f), titleFor(proj));
        const QByteArray oneButton = readBytes(proj);
        QVERIFY(oneButton.startsWith("FMVELLVERSIONKEY2.1\r\nbtncount:1\r\nButton_1\r\n"));

        // Onto an existing file: No opens the dialog again, Cancel changes
        // nothing, Yes replaces it.
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(settledTitle(f), titleFor(proj) + u'*');
        f.dialogs.fileNames = {proj, f.path("other.VLP")};
        f.dialogs.answers = {Answer::No};
        f.form->MMSaveAs->trigger();
        QCOMPARE(f.dialogs.questions, QStringList{kReplace});
        const QString other = f.path("other.VLP.vlp");
        QCOMPARE(f.form->windowTitle(), titleFor(other));
        QCOMPARE(readBytes(proj), oneButton);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        f.dialogs.fileNames = {proj};
        f.dialogs.answers = {Answer::Cancel};
        f.form->MMSaveAs->trigger();
        QCOMPARE(f.form->project().ProjectFileName(), other);
        QVERIFY(f.form->project().ProjectModified());
        QCOMPARE(readBytes(proj), oneButton);
        f.dialogs.fileNames = {proj};
        f.dialogs.answers = {Answer::Yes};
        f.form->MMSaveAs->trigger();
        QCOMPARE(f.dialogs.questions, QStringList({kReplace, kReplace, kReplace}));
        QVERIFY(readBytes(proj).contains("piccount:1\r\nPicture_1\r\n"));
        QVERIFY(!readBytes(other).contains("Picture_1"));
        QCOMPARE(f.form->windowTitle(), titleFor(proj));

        // Ctrl+S now writes to that file without asking.
        f.form->MMClear->trigger();
        f.key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(readBytes(proj).left(57),
                 QByteArray("FMVELLVERSIONKEY2.1\r\nbtncount:0\r\npiccount:0\r\ntexcount:0\r\n"));
        QCOMPARE(f.dialogs.fileFilters.size(), 6);

        // The first plain Save of a new project replaces a file unasked.
        f.form->MMNewPrj->trigger();
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.dialogs.fileNames = {other};
        f.key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(f.dialogs.questions.size(), 3);
        QVERIFY(readBytes(other).contains("btncount:1\r\nButton_2\r\n"));
    }

    void openAsksFirstAndKeepsTheChosenName()
    {
        AppFixture f;
        const QString path = f.path("design.project");
        writeBytes(path, twoButtonsFile());
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier,
                          f.drawing().element(*f.tables().text(1))->rect().center());
        QCOMPARE(f.form->InfoList->propertyCount(), 5);
        // Yes, then the save cancelled: asked again; No reads the file.
        f.dialogs.answers = {Answer::Yes, Answer::No};
        f.dialogs.fileNames = {QString(), path};
        f.key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.dialogs.questions, QStringList({kBeforeClosing, kBeforeClosing}));
        QCOMPARE(f.tables().objectNames(), QStringList({"Button_4", "Button_6"}));
        QCOMPARE(QSize(f.tables().button(2)->Width, f.tables().button(2)->Height), QSize(40, 16));
        QCOMPARE(f.drawing().element(*f.tables().button(1))->rect(), QRect(310, 180, 32, 32));
        QCOMPARE(f.form->InfoList->propertyCount(), 0);
        QCOMPARE(f.form->ObjList->currentText(), QStringLiteral("<объект не выбран>"));
        QCOMPARE(f.app->Form5()->KnownObjectNames(), QStringList({"Button_4", "Button_6"}));
        QCOMPARE(f.app->Form3()->userCodeLines(), QStringList{"// stored"});
        QCOMPARE(f.form->windowTitle(), titleFor(path));
        QCOMPARE(settledTitle(f), titleFor(path));
        // The name counters kept counting.
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(f.tables().button(3)->Name, QStringLiteral("Button_3"));
    }

    void damagedAndForeignFiles()
    {
        AppFixture f;
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        f.form->project().setProjectModified(false);
        const QString good = f.path("good.vlp");
        f.dialogs.fileNames = {good};
        f.form->MMSaveAs->trigger();
        const QByteArray saved = readBytes(good);

        // Rejected or unreadable: nothing changes at all.
        const QString empty = f.path("empty.vlp");
        const QString foreign = f.path("foreign.vlp");
        writeBytes(empty, "");
        writeBytes(foreign, "fmvellversionkey2.1\r\n");
        f.dialogs.fileNames = {empty, foreign, f.path("missing.vlp")};
        for (int i = 0; i < 3; ++i)
            f.form->MMLoad->trigger();
        QCOMPARE(f.dialogs.messages,
                 QStringList({"Файл поврежден",
                              "Файл этого проекта не подходит для данной версии программы"}));
        QCOMPARE(f.dialogs.errors.size(), 1);
        QVERIFY(f.dialogs.errors[0].startsWith("Cannot open file \"" + f.path("missing.vlp")));
        QCOMPARE(f.tables().objectNames(), QStringList{"Picture_1"});
        QCOMPARE(settledTitle(f), titleFor(good));
        QVERIFY(!f.form->project().ProjectModified());

        // Read in part: the objects so far stay, and the next Save asks for
        // a name instead of writing over the damaged file.
        const QString damaged = f.path("damaged.vlp");
        writeBytes(damaged, twoButtonsFile().left(60));
        f.dialogs.fileNames = {damaged};
        f.form->MMLoad->trigger();
        QCOMPARE(f.dialogs.errors.last(), QStringLiteral("List index out of bounds (7)"));
        QCOMPARE(f.tables().objectNames(), QStringList{"Button_4"});
        QCOMPARE(QPoint(f.tables().button(1)->X, f.tables().button(1)->Y), QPoint(10, -20));
        QCOMPARE(f.form->windowTitle(), kNewTitle + u'*');
        QCOMPARE(settledTitle(f), kNewTitle + u'*');
        const int dialogsBefore = f.dialogs.fileFilters.size();
        f.key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(f.dialogs.fileFilters.size(), dialogsBefore + 1);
        QCOMPARE(readBytes(damaged), twoButtonsFile().left(60));
        QCOMPARE(readBytes(good), saved);
    }

    void failedWriteKeepsTheChanges()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        // A pipe is never replaced by a file.
        QCOMPARE(::mkfifo(QFile::encodeName(f.path("taken.vlp")).constData(), 0600), 0);
        f.dialogs.fileNames = {f.path("taken")};
        f.dialogs.answers = {Answer::Yes};
        f.form->MMSaveAs->trigger();
        QCOMPARE(f.dialogs.questions, QStringList{kReplace});
        QCOMPARE(f.dialogs.errors, QStringList{"Cannot create file \"" + f.path("taken.vlp") +
                                               "\". не обычный файл"});
        QVERIFY(f.form->project().ProjectModified());
        struct stat info
        {};
        QCOMPARE(::stat(QFile::encodeName(f.path("taken.vlp")).constData(), &info), 0);
        QVERIFY(S_ISFIFO(info.st_mode));
    }

    void newProject()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        // Yes saves and keeps the project open.
        f.dialogs.answers = {Answer::Yes};
        f.dialogs.fileNames = {f.path("n1")};
        f.key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(f.dialogs.questions, QStringList{kBeforeClosing});
        QCOMPARE(f.tables().ButtonCount(), 1);
        QCOMPARE(settledTitle(f), titleFor(f.path("n1.vlp")));
        // Nothing unsaved: cleared at once.
        f.key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(f.dialogs.questions.size(), 1);
        QCOMPARE(f.tables().ButtonCount(), 0);
        QCOMPARE(f.form->windowTitle(), kNewTitle);
        QCOMPARE(settledTitle(f), kNewTitle);
        // Cancel keeps everything; No discards.
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.dialogs.answers = {Answer::Cancel, Answer::No};
        f.key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(f.tables().ButtonCount(), 1);
        f.key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(f.tables().ButtonCount(), 0);
        QCOMPARE(f.tables().ButtonNameCounter, 2);
        QVERIFY(!f.form->project().ProjectModified());
    }

    void closeQuestion()
    {
        AppFixture f;
        QSignalSpy closed(f.form, &TForm1::closed);
        f.form->MMSetting->trigger();
        QVERIFY(QFile::remove(f.path("vellsettings.fms")));
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        // Cancel, and Yes with the save then cancelled, keep the window
        // open; nothing else of the closing happens first.
        f.dialogs.answers = {Answer::Cancel, Answer::Yes};
        QVERIFY(!f.form->close());
        QVERIFY(!f.form->close());
        QCOMPARE(f.dialogs.questions, QStringList({kBeforeExit, kBeforeExit}));
        QVERIFY(f.form->isVisible());
        QCOMPARE(closed.count(), 0);
        QVERIFY(!QFile::exists(f.path("vellsettings.fms")));
        // Yes and a completed save close it.
        f.dialogs.answers = {Answer::Yes};
        f.dialogs.fileNames = {f.path("last")};
        QVERIFY(f.form->close());
        QCOMPARE(closed.count(), 1);
        QVERIFY(readBytes(f.path("last.vlp")).contains("Button_1"));
        QVERIFY(QFile::exists(f.path("vellsettings.fms")));
    }

    void closeWithoutSaving()
    {
        AppFixture f;
        QSignalSpy closed(f.form, &TForm1::closed);
        QVERIFY(f.form->close()); // nothing unsaved: no question
        QCOMPARE(f.dialogs.questions.size(), 0);
        f.form->show();
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        f.dialogs.answers = {Answer::No};
        QVERIFY(f.form->close());
        QCOMPARE(closed.count(), 2);
        QCOMPARE(QDir(f.path(".")).entryList({"*.vlp"}), QStringList());
    }
};

QTEST_MAIN(TestProjectCommands)
#include "tst_projectcommands.moc"
