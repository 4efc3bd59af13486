#include "actions/gui/tform5.h"
#include "appfixture.h"
#include "common/textfile.h"
#include "model/usercodelines.h"
#include "panelpixels.h"
#include "project/projectio.h"
#include "usercode/gui/tform3.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QToolButton>
#include <QTreeWidget>

using namespace vell;

namespace {

const QPoint kCentre(316, 176);

// The design as the project file holds it.
QByteArray design(AppFixture &f)
{
    return JoinTextLines(ProjectFileLines(f.form->project()));
}

// Through the menu: in an open grid cell the keys undo the cell's text.
void undo(AppFixture &f)
{
    f.form->MMUndo->trigger();
}

void redo(AppFixture &f)
{
    f.form->MMRedo->trigger();
}

QWidget *openCell(AppFixture &f, int row)
{
    PropertyGrid *grid = f.form->InfoList;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->visualRect(grid->model()->index(row - 1, 1)).center());
    return QApplication::focusWidget();
}

void click(AppFixture &f, const VellControl &object)
{
    QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier,
                      f.drawing().element(object)->rect().center());
}

// Through the actions dialog: one action added to the button's left click
// and applied, hiding the object named or (message) showing the text.
void applyAction(AppFixture &f, VellButton &button, bool message, const QString &text)
{
    f.surface().Select(button);
    openCell(f, 7);
    QTest::mouseClick(f.form->InfoList->findChild<QToolButton *>("ellipsis"), Qt::LeftButton);
    TForm5 *d = f.app->Form5();
    d->ActionName->setCurrentIndex(message ? 1 : 0);
    if (message)
        d->Param3->setText(text);
    else
        d->ObjName->setEditText(text);
    QTest::mouseClick(d->AddFunc, Qt::LeftButton);
    QTest::mouseClick(d->SaveFunc, Qt::LeftButton);
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    // Each gesture on the panel and in the grid is one step that the Edit
    // menu names, undoes and redoes; the panel and the grid follow.
    void gesturesAreSteps()
    {
        AppFixture f;
        QVERIFY(!f.form->MMUndo->isEnabled());
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_D, Qt::ControlModifier); // nothing selected: nothing happens
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: создание Button_1"));
        undo(f);
        QCOMPARE(f.tables().totalCount(), 0);
        QCOMPARE(f.form->MMRedo->text(), QStringLiteral("Повторить: создание Button_1"));
        redo(f);

        // A drag.
        VellButton *b = f.tables().button(1);
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        QTest::mouseMove(f.panel(), QPoint(100, 60));
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
        QCOMPARE(QPoint(b->X, b->Y), QPoint(-217, 117));
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: перемещение Button_1"));
        undo(f);
        QCOMPARE(QPoint(b->X, b->Y), QPoint(0, 0));
        QCOMPARE(f.drawing().element(*b)->rect(), QRect(300, 160, 32, 32));
        QCOMPARE(f.form->InfoList->GetRowValue(1), QStringLiteral("0"));
        redo(f);
        QCOMPARE(f.form->InfoList->GetRowValue(2), QStringLiteral("117"));

        // The cell's own undo types the value back: no step is left.
        const int steps = f.form->project().history().count();
        QWidget *h = openCell(f, 4);
        QTest::keyClick(h, Qt::Key_End);
        QTest::keyClick(h, Qt::Key_6);
        QCOMPARE(b->Height, 326);
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: изменение Высота Button_1"));
        // Ctrl+Z as a keyboard types it (the character SUB).
        for (const auto action : {QTest::Press, QTest::Release})
            QTest::sendKeyEvent(action, h, Qt::Key_Z, QStringLiteral("\x1a"), Qt::ControlModifier);
        QCOMPARE(b->Height, 32);
        QCOMPARE(f.form->project().history().count(), steps);

        // A resize by a handle, from press to release.
        const QPoint grip = f.drawing().frame(*b)->handleRect(3).center();
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(f.panel(), grip + QPoint(5, 7));
        QTest::mouseMove(f.panel(), grip + QPoint(11, 9));
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, grip + QPoint(11, 9));
        QCOMPARE(QRect(b->X, b->Y, b->Width, b->Height), QRect(-211, 112, 44, 42));
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: изменение размера Button_1"));
        undo(f);
        QCOMPARE(QRect(b->X, b->Y, b->Width, b->Height), QRect(-217, 117, 32, 32));
        QCOMPARE(f.drawing().frame(*b)->handleRect(3).center(), grip);

        // Ctrl+D selects the duplicate, from an open grid cell too.
        f.key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(f.surface().selectedObject(), f.tables().button(2));
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: дублирование Button_2"));
        QTest::keyClick(openCell(f, 3), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(f.surface().selectedObject(), f.tables().button(3));
    }

    // Actions applied in their dialog are one step; the editor's own undo
    // takes back typing only, never the program's edits.
    void actionsStep()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        VellButton *b = f.tables().button(1);
        applyAction(f, *b, false, QStringLiteral("Button_1"));
        const QStringList applied = f.form->project().userCodeLines();
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: действия Button_1"));
        QPlainTextEdit *editor = f.app->Form3()->UserCode;
        editor->moveCursor(QTextCursor::Start);
        typeText(editor, "// first");
        QTest::keyClick(editor, Qt::Key_Return);
        undo(f);
        QCOMPARE(f.form->InfoList->GetRowValue(7), QString());
        QCOMPARE(f.form->project().userCodeLines(), QStringList{"// first"});
        redo(f);
        QCOMPARE(f.form->InfoList->GetRowValue(7), QStringLiteral("Button_1_Left_Actions"));
        f.app->Form3()->N8Click();
        QCOMPARE(f.form->project().userCodeLines(), QStringList{"// first"} + applied);
    }

    void arrowKeysMoveTheSelection()
    {
        AppFixture f;
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        VellPicture *p = f.tables().picture(1);
        click(f, *p);
        QCOMPARE(QApplication::focusWidget(), f.panel());
        f.form->project().setProjectModified(false);
        QTest::keyClick(f.panel(), Qt::Key_Right);
        QTest::keyClick(f.panel(), Qt::Key_Right);
        QTest::keyClick(f.panel(), Qt::Key_Up, Qt::ShiftModifier);
        QTest::keyClick(f.panel(), Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(QPoint(p->X, p->Y), QPoint(-8, 10));
        QCOMPARE(f.drawing().element(*p)->rect(), QRect(316 - 8 - 16, 176 - 10 - 16, 32, 32));
        QCOMPARE(f.drawing().frame(*p)->handleRect(1).topLeft(), QPoint(290, 148));
        QCOMPARE(f.form->InfoList->GetRowValue(2), QStringLiteral("10"));
        QVERIFY(f.form->project().ProjectModified());
        // A held key (its repeats) is one step with its first press.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(f.panel(), &press);
        QApplication::sendEvent(f.panel(), &repeat);
        QApplication::sendEvent(f.panel(), &repeat);
        QCOMPARE(p->Y, 7);
        f.key(Qt::Key_Z, Qt::ControlModifier); // the panel has the focus
        QCOMPARE(p->Y, 10);

        // Repeats that come as a release and a press without the repeat
        // flag: a press within 20 ms of the key's release continues the
        // hold, one 40 ms after it is a press of its own.
        const auto send = [&](QEvent::Type type, quint64 ms) {
            QKeyEvent e(type, Qt::Key_Right, Qt::NoModifier);
            e.setTimestamp(ms);
            QApplication::sendEvent(f.panel(), &e);
        };
        send(QEvent::KeyPress, 5000);
        send(QEvent::KeyRelease, 5031);
        send(QEvent::KeyPress, 5031);
        send(QEvent::KeyRelease, 5062);
        send(QEvent::KeyPress, 5102);
        QCOMPARE(p->X, -5);
        undo(f);
        QCOMPARE(p->X, -6);
        undo(f);
        QCOMPARE(p->X, -8);

        // Delete on the panel removes the selection as Shift+Del does.
        QTest::keyClick(f.panel(), Qt::Key_Delete);
        QCOMPARE(f.tables().PictureCount(), 0);
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: удаление Picture_1"));
    }

    // Random steps undone to the start give the starting design back, and
    // redone to the end give the final one.
    void randomStepsUndoneAndRedone()
    {
        AppFixture f;
        QRandomGenerator random(7);
        const QByteArray start = design(f);
        ObjectTables &t = f.tables();
        PanelDrawing &d = f.drawing();
        for (int step = 0; step < 80; ++step) {
            const ObjectKind kind = kObjectKinds[random.bounded(3)];
            const int op = t.count(kind) ? random.bounded(8) : 0;
            VellControl *some = op ? t.object(kind, random.bounded(t.count(kind)) + 1) : nullptr;
            switch (op) {
            case 0:
                f.key(Qt::Key(int(Qt::Key_F1) + int(kind) - 1), Qt::ShiftModifier);
                break;
            case 1:
            case 2:
                f.surface().Select(*some);
                QTest::keyClick(f.panel(), random.bounded(2) ? Qt::Key_Left : Qt::Key_Up,
                                random.bounded(2) ? Qt::ShiftModifier : Qt::NoModifier);
                break;
            case 3: {
                f.surface().Select(*some);
                QWidget *cell = openCell(f, kind == KindText ? 3 : 5);
                QTest::keyClick(cell, Qt::Key_End);
                QTest::keyClick(cell, Qt::Key_Z);
                break;
            }
            case 4:
                f.surface().Select(*some);
                f.form->MMDelete->trigger();
                break;
            case 5:
                f.surface().Select(*some);
                f.form->MMCopy->trigger();
                f.form->MMPast->trigger();
                break;
            case 6:
                // Actions: a message (ECHO comes with the first) or a hide.
                if (kind == KindButton) {
                    const bool message = random.bounded(2);
                    applyAction(f, static_cast<VellButton &>(*some), message,
                                message ? QStringLiteral("m%1").arg(step)
                                        : t.objectNames().at(random.bounded(t.totalCount())));
                }
                break;
            default:
                if (random.bounded(5) == 0)
                    f.form->MMClear->trigger();
                break;
            }
        }
        const QByteArray end = design(f);
        QUndoStack &history = f.form->project().history();
        QVERIFY(history.count() > 40);
        // And the panel shows each state exactly.
        const auto panelShowsTheScene = [&] {
            return PanelShown(f.panel()) == PanelDrawnAfresh(d.scene(), f.surface().GhostFrame());
        };
        for (int n = 0; history.canUndo(); ++n) {
            undo(f);
            if (n % 7 == 0)
                QVERIFY2(panelShowsTheScene(), qPrintable(QStringLiteral("undo %1").arg(n)));
        }
        QCOMPARE(design(f), start);
        QVERIFY(panelShowsTheScene());
        for (int n = 0; history.canRedo(); ++n) {
            redo(f);
            if (n % 7 == 0)
                QVERIFY2(panelShowsTheScene(), qPrintable(QStringLiteral("redo %1").arg(n)));
        }
        QCOMPARE(design(f), end);
        QVERIFY(panelShowsTheScene());
        QCOMPARE(f.app->Form5()->KnownObjectNames(), t.objectNames());
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
