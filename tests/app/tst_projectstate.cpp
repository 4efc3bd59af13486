#include "appfixture.h"
#include "settings/gui/tform2.h"
#include "usercode/gui/tform3.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace vell;

// What marks the project as changed, and what reaches the files when the
// program ends.
class TestProjectState : public QObject
{
    Q_OBJECT

private slots:
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
