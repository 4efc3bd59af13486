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
    // Each kind of step through the window: undone, redone, captioned.
    void everyKindOfStep()
    {
        AppFixture f;
        const QByteArray empty = design(f);
        QVERIFY(!f.form->MMUndo->isEnabled());
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: создание Button_1"));
        undo(f);
        QCOMPARE(design(f), empty);
        QCOMPARE(f.form->MMRedo->text(), QStringLiteral("Повторить: создание Button_1"));
        redo(f);
        QCOMPARE(f.tables().objectNames(), QStringList{"Button_1"});
        // Names are not given out again after an undone create.
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        undo(f);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(f.tables().picture(1)->Name, QStringLiteral("Picture_2"));
        f.tables().SetPosition(*f.tables().picture(1), 150, 80);

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

        // Typing into one row is one step; another row is another.
        QWidget *x = openCell(f, 1);
        QTest::keyClick(x, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(x, Qt::Key_Delete);
        QTest::keyClicks(x, "-45");
        QWidget *w = openCell(f, 3);
        QTest::keyClick(w, Qt::Key_End);
        QTest::keyClick(w, Qt::Key_1);
        QCOMPARE(b->Width, 320);
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: изменение Ширина Button_1"));
        undo(f);
        QCOMPARE(b->Width, 32);
        QCOMPARE(b->X, -45);
        undo(f);
        QCOMPARE(b->X, -217);
        QCOMPARE(f.form->InfoList->GetRowValue(1), QStringLiteral("-217"));
        redo(f);
        redo(f);
        QCOMPARE(QPoint(b->X, b->Width), QPoint(-45, 320));
        // The cell's own undo types the value back: no step is left that
        // changes nothing.
        const int steps = f.form->project().history().count();
        QWidget *h = openCell(f, 4);
        QTest::keyClick(h, Qt::Key_End);
        QTest::keyClick(h, Qt::Key_6);
        QCOMPARE(b->Height, 326);
        // Ctrl+Z as a keyboard types it (the character SUB).
        for (const auto action : {QTest::Press, QTest::Release})
            QTest::sendKeyEvent(action, h, Qt::Key_Z, QStringLiteral("\x1a"), Qt::ControlModifier);
        QCOMPARE(b->Height, 32);
        QCOMPARE(f.form->project().history().count(), steps);
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: изменение Ширина Button_1"));

        // A resize by a handle, from press to release.
        const QPoint grip = f.drawing().frame(*b)->handleRect(3).center();
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(f.panel(), grip + QPoint(5, 7));
        QTest::mouseMove(f.panel(), grip + QPoint(11, 9));
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, grip + QPoint(11, 9));
        const QRect resized(b->X, b->Y, b->Width, b->Height);
        QCOMPARE(resized, QRect(-39, 112, 332, 42));
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: изменение размера Button_1"));
        undo(f);
        QCOMPARE(QRect(b->X, b->Y, b->Width, b->Height), QRect(-45, 117, 320, 32));
        QCOMPARE(f.drawing().frame(*b)->handleRect(3).center(), grip);
        redo(f);
        QCOMPARE(QRect(b->X, b->Y, b->Width, b->Height), resized);

        // Delete brings the object back at its place, with its fields.
        const QByteArray before = design(f);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        click(f, *f.tables().button(1));
        f.form->MMDelete->trigger();
        QCOMPARE(f.tables().button(1)->Name, QStringLiteral("Button_2"));
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: удаление Button_1"));
        undo(f);
        QCOMPARE(f.tables().objectNames(), QStringList({"Button_1", "Button_2", "Picture_2"}));
        QCOMPARE(f.tables().button(2)->Id, 2);
        undo(f);
        QCOMPARE(design(f), before);

        // Clear, cut and paste.
        f.form->MMClear->trigger();
        QCOMPARE(f.tables().totalCount(), 0);
        undo(f);
        QCOMPARE(design(f), before);
        click(f, *f.tables().picture(1));
        f.key(Qt::Key_X, Qt::ControlModifier);
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.tables().objectNames(), QStringList({"Button_1", "Picture_3"}));
        undo(f);
        undo(f);
        QCOMPARE(design(f), before);
        QCOMPARE(f.app->Form5()->KnownObjectNames(), f.tables().objectNames());
    }

    // Undoing applied actions takes back the button's list, its function
    // name and the emitted function, and puts back the one before, by name.
    void actionsStep()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        VellButton *b = f.tables().button(1);
        Project &p = f.form->project();
        p.appendUserCodeLines({"function Button_1_Left_Actions takes nothing returns nothing",
                               " // written by hand", "endfunction", "// tail"});
        click(f, *b);
        openCell(f, 7);
        QTest::mouseClick(f.form->InfoList->findChild<QToolButton *>("ellipsis"), Qt::LeftButton);
        TForm5 *d = f.app->Form5();
        d->ObjName->setEditText(QStringLiteral("Button_1"));
        QTest::mouseClick(d->AddFunc, Qt::LeftButton);
        QTest::mouseClick(d->SaveFunc, Qt::LeftButton);
        QCOMPARE(b->LeftActionsFunction, QStringLiteral("Button_1_Left_Actions"));
        const QStringList applied = p.userCodeLines();
        QCOMPARE(
            applied,
            QStringList({"// tail", "function Button_1_Left_Actions takes nothing returns nothing",
                         " call ButtonVar[1].Show(false,-1)", "endfunction"}));
        // Text typed meanwhile stays where it is.
        QPlainTextEdit *editor = f.app->Form3()->UserCode;
        editor->moveCursor(QTextCursor::Start);
        typeText(editor, "// first");
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: действия Button_1"));
        undo(f);
        QVERIFY(b->LeftActions.isEmpty());
        QVERIFY(b->LeftActionsFunction.isEmpty());
        QCOMPARE(f.form->InfoList->GetRowValue(7), QString());
        QCOMPARE(p.userCodeLines(),
                 QStringList({"// first", "// tail",
                              "function Button_1_Left_Actions takes nothing returns nothing",
                              " // written by hand", "endfunction"}));
        redo(f);
        QCOMPARE(p.userCodeLines(), QStringList{"// first"} + applied);
        QCOMPARE(b->LeftActions, QStringList{"ObjShow f \"Button_1\""});
        // The editor's own undo takes back typing only, never the program's
        // edits (here: the function the button calls).
        f.app->Form3()->N8Click();
        QCOMPARE(p.userCodeLines(), QStringList{"// first"} + applied);

        // A message puts ECHO in; undoing back to the saved state gives the
        // saved bytes, redoing puts it back.
        f.dialogs.fileNames = {f.path("echo")};
        f.key(Qt::Key_S, Qt::ControlModifier);
        const QByteArray saved = design(f);
        applyAction(f, *b, true, QStringLiteral("Привет"));
        QCOMPARE(p.userCodeLines().mid(0, 3), EchoFunctionLines());
        undo(f);
        QCOMPARE(design(f), saved);
        QVERIFY(!p.ProjectModified());
        redo(f);
        QCOMPARE(p.userCodeLines().mid(0, 3), EchoFunctionLines());
        // Changed by hand since, it stays.
        QTextCursor c(editor->document()->findBlockByNumber(1));
        c.insertText(QStringLiteral(" // mine\n"));
        undo(f);
        QCOMPARE(p.userCodeLines().mid(0, 2),
                 QStringList({EchoFunctionLines().first(), " // mine"}));
    }

    // The marker follows the saved state, unless something outside the
    // history changed the project since.
    // A row of four slots: a duplicate dragged into place, then two more
    // (one from an open grid cell) repeat its step; each is one step, and
    // undoing them gives back the one slot's file bytes.
    void duplicatesRepeatTheirStep()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        VellButton *slot = f.tables().button(1);
        f.tables().SetSize(*slot, 48, 30);
        slot->TextureId = QStringLiteral("SLOT");
        slot->LeftActions = QStringList{"ObjShow t \"Button_1\""};
        slot->LeftActionsFunction = QStringLiteral("Button_1_Left_Actions");
        f.surface().Select(*slot);
        f.key(Qt::Key_C, Qt::ControlModifier);
        const QStringList buffer = f.form->commands().clipboard().ObjectBuffer;
        const QByteArray one = design(f);
        const int steps = f.form->project().history().count();
        f.key(Qt::Key_D, Qt::ControlModifier);
        VellButton *second = f.tables().button(2);
        QCOMPARE(f.surface().selectedObject(), second);
        QCOMPARE(f.form->MMUndo->text(), QStringLiteral("Отменить: дублирование Button_2"));
        QCOMPARE(QRect(second->X, second->Y, second->Width, second->Height),
                 QRect(16, -16, 48, 30));
        QCOMPARE(second->TextureId, QStringLiteral("SLOT"));
        QVERIFY(second->LeftActions.isEmpty() && second->LeftActionsFunction.isEmpty());
        // Dragged to 60 px right of the slot, level with it.
        const QPoint from = f.drawing().element(*second)->rect().center();
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(f.panel(), from + QPoint(1, 0));
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre + QPoint(61, 1));
        const QPoint step(second->X - slot->X, second->Y - slot->Y);
        QCOMPARE(step, QPoint(60, 0));
        f.key(Qt::Key_D, Qt::ControlModifier);
        QTest::keyClick(openCell(f, 3), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(f.tables().ButtonCount(), 4);
        for (int id = 2; id <= 4; ++id) {
            const VellButton *b = f.tables().button(id);
            QCOMPARE(QPoint(b->X, b->Y), QPoint(slot->X, slot->Y) + (id - 1) * step);
        }
        QCOMPARE(f.surface().selectedObject(), f.tables().button(4));
        QCOMPARE(f.form->commands().clipboard().ObjectBuffer, buffer);
        QCOMPARE(f.form->project().history().count(), steps + 4);
        for (int i = 0; i < 4; ++i)
            undo(f);
        QCOMPARE(design(f), one);
        // Nothing selected: nothing happens.
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(7, 9));
        QCOMPARE(f.surface().selectedObject(), nullptr);
        f.key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(f.tables().ButtonCount(), 1);
    }

    void modifiedMarker()
    {
        AppFixture f;
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        f.dialogs.fileNames = {f.path("m")};
        f.key(Qt::Key_S, Qt::ControlModifier);
        Project &p = f.form->project();
        QVERIFY(!p.ProjectModified());
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(p.ProjectModified());
        undo(f);
        QVERIFY(!p.ProjectModified());
        QTRY_COMPARE_WITH_TIMEOUT(f.form->windowTitle(),
                                  QStringLiteral("FM Vell Creator (") + f.path("m.vlp") + u')',
                                  300);
        redo(f);
        QVERIFY(p.ProjectModified());
        undo(f);
        // Copy marks the project outside the history: undo no longer clears it.
        click(f, *f.tables().text(1));
        f.key(Qt::Key_C, Qt::ControlModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        undo(f);
        QVERIFY(p.ProjectModified());
        // Opening a project or starting a new one empties the history.
        f.dialogs.answers = {Answer::No};
        f.key(Qt::Key_N, Qt::ControlModifier);
        QVERIFY(!f.form->MMUndo->isEnabled());
        QVERIFY(!f.form->MMRedo->isEnabled());
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
        for (int i = 0; i < 4; ++i)
            undo(f);
        QCOMPARE(QPoint(p->X, p->Y), QPoint(0, 0));
        f.key(Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(QPoint(p->X, p->Y), QPoint(1, 0));

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
        QCOMPARE(p->X, 4);
        undo(f);
        QCOMPARE(p->X, 3);
        undo(f);
        QCOMPARE(p->X, 1);

        // The arrows stop at the panel's edge, and never push an object
        // that is beyond it (the grid's doing) further out.
        QUndoStack &history = f.form->project().history();
        for (int i = 0; i < 40; ++i)
            QTest::keyClick(f.panel(), Qt::Key_Left, Qt::ShiftModifier);
        for (int i = 0; i < 19; ++i)
            QTest::keyClick(f.panel(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(QPoint(p->X, p->Y), QPoint(-316, -176));
        const int steps = history.count();
        QTest::keyClick(f.panel(), Qt::Key_Left);
        QTest::keyClick(f.panel(), Qt::Key_Down);
        QCOMPARE(QPoint(p->X, p->Y), QPoint(-316, -176));
        QCOMPARE(history.count(), steps);
        f.tables().SetPosition(*p, 401, -176);
        QTest::keyClick(f.panel(), Qt::Key_Right);
        QCOMPARE(p->X, 401);
        QTest::keyClick(f.panel(), Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(p->X, 391);

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
