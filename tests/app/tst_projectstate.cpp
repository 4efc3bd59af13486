#include "app/gui/recoveryoffer.h"
#include "appfixture.h"
#include "filebytes.h"
#include "project/recovery.h"
#include "settings/gui/tform2.h"
#include "usercode/gui/tform3.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <fcntl.h>
#include <sys/stat.h>

using namespace vell;

// What marks the project as changed, and what reaches the files when the
// program ends.
class TestProjectState : public QObject
{
    Q_OBJECT

private slots:
    // The question about each copy others left, and the report of a damaged
    // one; the restored copy shows in the title.
    void recoveryCopiesAreOfferedAtStart()
    {
        AppFixture f;
        QTemporaryDir folder;
        const auto leave = [&](const QString &name, const QByteArray &bytes, int minutesAgo) {
            const QString path = folder.filePath(name);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                    file.flush());
            QVERIFY(file.setFileTime(
                QDateTime(QDate(2026, 11, 30), QTime(9, 5)).addSecs(-60 * minutesAgo),
                QFileDevice::FileModificationTime));
        };
        Project left;
        RecoverySnapshot snapshot = TakeRecoverySnapshot(left);
        snapshot.fileName = QStringLiteral("/карты/магазин.vlp");
        const QByteArray restored = RecoveryCopyBytes(snapshot);
        leave(QStringLiteral("older.vlr"), restored, 47);
        leave(QStringLiteral("damaged.vlr"), QByteArray("FMVELLRECOVERY1\r\n"), 3);
        snapshot.fileName.clear();
        snapshot.arrayNames[1] = QStringLiteral("Картинки");
        leave(QStringLiteral("newest.vlr"), RecoveryCopyBytes(snapshot), 0);

        RecoveryKeeper keeper(f.form->project(), folder.filePath(QStringLiteral("own")));
        f.dialogs.answers = {Answer::No, Answer::Yes};
        OfferRecoveryCopies(*f.form, keeper, folder.path());
        QCOMPARE(f.dialogs.questions,
                 QStringList({"Найдена несохраненная работа от 30.11.2026 09:05 (Новый проект). "
                              "Восстановить?\n\nИмена массивов в копии: ButtonVar, Картинки, "
                              "TextVar; в настройках: ButtonVar, PictureVar, TextVar. Настройки "
                              "не меняются.",
                              "Найдена несохраненная работа от 30.11.2026 08:18 "
                              "(/карты/магазин.vlp). Восстановить?"}));
        const QString damaged = folder.filePath(QStringLiteral("damaged.vlr"));
        QCOMPARE(f.dialogs.errors,
                 QStringList("Несохраненную работу из «" + damaged +
                             "» восстановить нельзя: копия повреждена: в ней нет проекта. Копия "
                             "отложена как «" +
                             damaged + ".damaged»."));
        QTRY_COMPARE_WITH_TIMEOUT(f.form->windowTitle(),
                                  QStringLiteral("FM Vell Creator (/карты/магазин.vlp)*"), 300);

        // A project named at start opens after that, as Open opens one: the
        // restored work is asked about first; a relative name is made whole.
        SaveProjectFile(left, f.path(QStringLiteral("named.vlp")));
        f.dialogs.answers = {Answer::No};
        f.form->openFromCommandLine(QStringLiteral("named.vlp"));
        QCOMPARE(f.dialogs.questions.size(), 3);
        QCOMPARE(f.form->project().ProjectFileName(), f.path(QStringLiteral("named.vlp")));
        f.form->openFromCommandLine(QStringLiteral("gone.vlp"));
        QCOMPARE(f.dialogs.errors.size(), 2);
        QVERIFY(f.dialogs.errors.last().contains(f.path(QStringLiteral("gone.vlp"))));
        QCOMPARE(f.form->project().ProjectFileName(), f.path(QStringLiteral("named.vlp")));
        // A damaged one is refused in Open's own words.
        const QString broken = f.path(QStringLiteral("broken.vlp"));
        writeBytes(broken, "FMVELLVERSIONKEY2.1\r\nbtncount:one\r\n");
        f.form->openFromCommandLine(QStringLiteral("broken.vlp"));
        QCOMPARE(f.form->project().ProjectFileName(), QString());
        f.dialogs.answers = {Answer::No};
        f.dialogs.fileNames = {broken};
        f.form->MMLoad->trigger();
        QCOMPARE(f.dialogs.errors.size(), 4);
        QCOMPARE(f.dialogs.errors[2], f.dialogs.errors[3]);
        QVERIFY(f.dialogs.errors[2].contains(QStringLiteral("'one' is not a valid integer value")));
    }

    // A copy whose lock the folder cannot replace is offered saying so, its
    // long path shortened in the middle and whole in the box's details. A
    // designer that can keep no copy says so once its window is shown.
    void recoveryCopiesWhereNoneCanBeKept()
    {
        AppFixture f;
        QTemporaryDir folder;
        Project left;
        RecoverySnapshot snapshot = TakeRecoverySnapshot(left);
        snapshot.fileName =
            "/карты/" + QString(50, u'ж') + "/длинное имя " + QString(60, u'щ') + " конец.vlp";
        const QString copy = folder.filePath(QStringLiteral("long.vlr"));
        writeBytes(copy, RecoveryCopyBytes(snapshot));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("long.vlr.lock")));
        const timespec old[2] = {{0, UTIME_OMIT}, {time(nullptr) - 60, 0}};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(copy + ".lock"), old, 0) == 0);
        const QString blocker = f.path(QStringLiteral("blocker"));
        writeBytes(blocker, "a file, not a folder");
        RecoveryKeeper keeper(f.form->project(), blocker + "/recovery", std::chrono::seconds(0));
        ReportUnkeptCopies(*f.form, keeper);
        f.form->hide();
        QString asked, details;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            asked = box->text();
            details = box->detailedText();
            box->button(QMessageBox::Yes)->click();
        });
        setDialogProvider(nullptr);
        OfferRecoveryCopies(*f.form, keeper, folder.path());
        setDialogProvider(&f.dialogs);
        QVERIFY2(asked.endsWith("щщ\u00a0конец.vlp). Восстановить?\n\nПапка для копий сейчас не "
                                "принимает запись, поэтому копия остается в ней, пока ее не "
                                "удастся удалить."),
                 qPrintable(asked));
        const QString shown = asked.section(u'(', 1).section(u')', 0, 0);
        QVERIFY(shown.startsWith("/карты/жж") && shown.contains(u'…') && !shown.contains(u' '));
        QVERIFY(QFontMetrics(QApplication::font("QMessageBox")).horizontalAdvance(shown) <= 600);
        QCOMPARE(details, snapshot.fileName);
        QCoreApplication::processEvents();
        QCOMPARE(f.dialogs.messages, QStringList());
        f.form->show();
        ProjectCommands(f.form->project()).create(KindText);
        QTRY_COMPARE(f.dialogs.messages,
                     QStringList("Копия для восстановления не сохраняется: часть пути не папка. "
                                 "Она будет сохраняться, как только папка \"" +
                                 blocker + "/recovery\" снова примет запись."));
    }

    void typingUserCodeMarksTheProjectWhenItIsSavedWithIt()
    {
        AppFixture f;
        f.form->MMUserCode->trigger();
        QPlainTextEdit *editor = f.app->Form3()->UserCode;
        editor->setFocus();
        QTest::keyClicks(editor, "call X()");
        QVERIFY(f.form->project().ProjectModified());
        QTRY_COMPARE_WITH_TIMEOUT(f.form->windowTitle(),
                                  QStringLiteral("FM Vell Creator (Новый проект)*"), 300);

        // Not saved with the project: not a change of the project.
        f.form->project().setProjectModified(false);
        f.app->Form2()->SaveUserCode->setChecked(false);
        QTest::keyClicks(editor, "more");
        QVERIFY(!f.form->project().ProjectModified());
    }

    void settingsChangedWhileOpenAreStoredAtExit()
    {
        AppFixture f;
        f.form->MMSetting->trigger();
        f.app->Form2()->ButtonVar->clear();
        QTest::keyClicks(f.app->Form2()->ButtonVar, "Knopki");
        QVERIFY(f.app->Form2()->isVisible());
        f.form->close();
        QFile file(f.path("vellsettings.fms"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.value(8), QByteArray("Knopki\r"));
    }

    void resizingMarksOnRelease()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.surface().Select(*f.tables().button(1));
        f.form->project().setProjectModified(false);
        QTRY_VERIFY_WITH_TIMEOUT(!f.form->RecoloringTimer->isActive(), 1000);
        const QString before = f.form->windowTitle();
        const QPoint grip = f.drawing().frame(*f.tables().button(1))->handleRect(3).center();
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(f.panel(), grip + QPoint(20, 20));
        QTRY_VERIFY_WITH_TIMEOUT(!f.form->RecoloringTimer->isActive(), 1000);
        QCOMPARE(f.form->windowTitle(), before);
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, grip + QPoint(20, 20));
        QVERIFY(f.form->project().ProjectModified());
    }

    void ctrlDeleteKeepsTheRows()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.surface().Select(*f.tables().button(1));
        PropertyGrid *grid = f.form->InfoList;
        const QRect cell = grid->visualRect(grid->model()->index(2, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(grid->rowCount(), 8);
        QCOMPARE(grid->key(3), QStringLiteral("Ширина"));
        QCOMPARE(grid->key(4), QStringLiteral("Высота"));
    }
};

QTEST_MAIN(TestProjectState)
#include "tst_projectstate.moc"
