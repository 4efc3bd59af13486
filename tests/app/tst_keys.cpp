#include "actions/gui/tform5.h"
#include "app/gui/checkwindow.h"
#include "app/gui/keyswindow.h"
#include "app/gui/taboutbox.h"
#include "appfixture.h"
#include "codegen/gui/codeview.h"
#include "codegen/gui/tform4.h"
#include "common/gui/findbar.h"
#include "designer/gui/previewpanel.h"
#include "settings/gui/tform2.h"
#include "usercode/gui/tform3.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace vell;

namespace {

// What is made before a key is pressed in the main window (the other windows
// are opened, a text in each, the control the keys are for focused).
enum Setup
{
    Idle,
    Changed,
    Undone,
    Picked,
    Copied,
    RightPicked,
    Boxed,
    InCell,
    Selected,
    FindingInView, // the find bar open with a word, the focus back in the text
    FindingInBar,
    LineAsked, // the line number box will be answered
    Previewing,
    Banding // a band drawn from the bare panel over the button, the button still held
};

struct KeyRow
{
    const char *window;
    const char *key; // as listed
    Setup setup;
    bool (*seen)(AppFixture &);
};

#define SEEN(expression)                                                                           \
    [](AppFixture &f) {                                                                            \
        return bool(expression);                                                                   \
    }
#define MOVED_TO(x, y) SEEN(f.tables().button(1)->X == (x) && f.tables().button(1)->Y == (y))

const char M[] = "Главное окно", S[] = "Настройки", U[] = "Код пользователя",
           C[] = "Код интерфейса", A[] = "Действия", O[] = "О программе", P[] = "Проверка проекта",
           K[] = "Клавиши";
const QPoint kCentre(316, 176); // of a new button on the panel

// Every key of the key list, pressed in its window, and what it visibly did.
const KeyRow kRows[] = {
    {M, "Ctrl+S", Idle, SEEN(f.dialogs.fileFilters.size() == 1)},
    {M, "Ctrl+Alt+S", Idle, SEEN(f.dialogs.fileFilters.size() == 1)},
    {M, "Ctrl+O", Idle, SEEN(f.dialogs.fileFilters.size() == 1)},
    {M, "F2", Idle, SEEN(f.app->Form2()->isVisible())},
    {M, "Ctrl+Z", Changed, SEEN(f.tables().ButtonCount() == 0)},
    {M, "Ctrl+Y", Undone, SEEN(f.tables().ButtonCount() == 1)},
    {M, "Ctrl+Shift+Z", Undone, SEEN(f.tables().ButtonCount() == 1)},
    {M, "Ctrl+X", Picked,
     SEEN(!f.tables().ButtonCount() && !f.form->commands().clipboard().isEmpty())},
    {M, "Ctrl+V", Copied, SEEN(f.tables().ButtonCount() == 2)},
    {M, "Ctrl+C", Picked, SEEN(!f.form->commands().clipboard().isEmpty())},
    {M, "Ctrl+D", Picked, SEEN(f.tables().ButtonCount() == 2)},
    {M, "Shift+Del", Picked, SEEN(f.tables().ButtonCount() == 0)},
    {M, "Ctrl+N", Changed, SEEN(f.dialogs.questions.size() == 1)},
    {M, "Shift+F1", Idle, SEEN(f.tables().ButtonCount() == 1)},
    {M, "Shift+F2", Idle, SEEN(f.tables().PictureCount() == 1)},
    {M, "Shift+F3", Idle, SEEN(f.tables().TextCount() == 1)},
    {M, "F3", Idle, SEEN(f.app->Form4()->isVisible())},
    {M, "F9", Idle, SEEN(f.form->preview())},
    {M, "F1", Idle, SEEN(f.form->keysWindow() && f.form->keysWindow()->isVisible())},
    {M, "Left", Picked, MOVED_TO(-1, 0)},
    {M, "Right", Picked, MOVED_TO(1, 0)},
    {M, "Up", Picked, MOVED_TO(0, 1)},
    {M, "Down", Picked, MOVED_TO(0, -1)},
    {M, "Shift+Left", Picked, MOVED_TO(-10, 0)},
    {M, "Shift+Right", Picked, MOVED_TO(10, 0)},
    {M, "Shift+Up", Picked, MOVED_TO(0, 10)},
    {M, "Shift+Down", Picked, MOVED_TO(0, -10)},
    {M, "Del", Picked, SEEN(f.tables().ButtonCount() == 0)},
    {M, "Ctrl+A", Changed, SEEN(f.surface().selectedObjects().size() == 1)},
    {M, "Esc", Banding, SEEN(f.panel()->band().isEmpty())},
    {M, "Menu", RightPicked, SEEN(f.form->ObjPopumMenu->isVisible())},
    {M, "Alt+щелчок", Changed, SEEN(f.surface().selectedObject() && !f.surface().GhostFrame())},
    {M, "Ctrl+щелчок", Picked, SEEN(f.surface().selectedObjects().empty())},
    {M, "Перетаскивание по пустой панели", Changed,
     SEEN(f.surface().selectedObject() == f.tables().button(1))},
    {M, "Down", Boxed, SEEN(f.surface().selectedObject() == f.tables().button(3))},
    {M, "Up", Boxed, SEEN(f.surface().selectedObject() == f.tables().button(1))},
    {M, "Home", Boxed, SEEN(f.surface().selectedObject() == f.tables().button(1))},
    {M, "PgUp", Boxed, SEEN(f.surface().selectedObject() == f.tables().button(1))},
    {M, "End", Boxed, SEEN(f.surface().selectedObject() == f.tables().button(3))},
    {M, "PgDown", Boxed, SEEN(f.surface().selectedObject() == f.tables().button(3))},
    // The value typed (5) stays applied; the cell closes.
    {M, "Enter", InCell, SEEN(f.tables().button(1)->X == 5 && f.form->InfoList->hasFocus())},
    {M, "Esc", InCell, SEEN(f.tables().button(1)->X == 5 && f.form->InfoList->hasFocus())},
    {M, "Esc", Previewing, SEEN(!f.form->preview() && f.panel()->hasFocus())},
    {M, "Ctrl+V", InCell, MOVED_TO(512, 0)},
    {S, "Esc", Idle, SEEN(!f.app->Form2()->isVisible() && QFile::exists("vellsettings.fms"))},
    {S, "Ctrl+V", Idle, SEEN(f.app->Form2()->ButtonVar->text().endsWith("1a2"))},
    {U, "Ctrl+S", Idle, SEEN(f.dialogs.fileFilters.size() == 1)},
    {U, "Ctrl+Alt+S", Idle, SEEN(f.dialogs.fileFilters.size() == 1)},
    {U, "Ctrl+O", Idle, SEEN(f.dialogs.fileFilters.size() == 1)},
    {U, "Ctrl+Del", Idle, SEEN(f.app->Form3()->UserCode->toPlainText().isEmpty())},
    {U, "Ctrl+Z", Idle, SEEN(f.app->Form3()->UserCode->toPlainText().endsWith("endfunction\n"))},
    {U, "Ctrl+F", Idle, SEEN(f.app->Form3()->Find->Needle->hasFocus())},
    // "nothing" starts at 17 and 33 of the first line; the caret is at the end.
    {U, "F3", FindingInView, SEEN(f.app->Form3()->UserCode->textCursor().selectionStart() == 17)},
    {U, "Shift+F3", FindingInView,
     SEEN(f.app->Form3()->UserCode->textCursor().selectionStart() == 33)},
    {U, "Ctrl+G", LineAsked, SEEN(f.app->Form3()->UserCode->textCursor().blockNumber() == 0)},
    {U, "Shift+Enter", Idle, SEEN(f.app->Form3()->UserCode->blockCount() == 4)},
    {U, "Двойной щелчок", Idle, SEEN(f.app->Form3()->UserCode->textCursor().blockNumber() == 0)},
    {U, "Enter", FindingInBar, SEEN(f.app->Form3()->UserCode->textCursor().selectionStart() == 17)},
    {U, "Shift+Enter", FindingInBar,
     SEEN(f.app->Form3()->UserCode->textCursor().selectionStart() == 33)},
    {U, "Esc", FindingInBar, SEEN(!f.app->Form3()->Find->isVisible())},
    {C, "Ctrl+A", Idle, SEEN(f.app->Form4()->MMCopy->isEnabled())},
    {C, "Ctrl+C", Selected, SEEN(QApplication::clipboard()->text() == "abc")},
    {C, "Ctrl+F", Idle, SEEN(f.app->Form4()->Find->Needle->hasFocus())},
    {C, "F3", FindingInView, SEEN(f.app->Form4()->Code->selectionRange().first == 4)},
    {C, "Shift+F3", FindingInView, SEEN(f.app->Form4()->Code->selectionRange().first == 0)},
    {C, "Ctrl+G", LineAsked, SEEN(f.app->Form4()->Code->caretLine() == 2)},
    {C, "Ctrl+Ins", Selected, SEEN(QApplication::clipboard()->text() == "abc")},
    {C, "Enter", FindingInBar, SEEN(f.app->Form4()->Code->selectionRange().first == 4)},
    {C, "Shift+Enter", FindingInBar, SEEN(f.app->Form4()->Code->selectionRange().first == 0)},
    {C, "Esc", FindingInBar, SEEN(!f.app->Form4()->Find->isVisible())},
    {A, "Esc", Idle, SEEN(!f.app->Form5()->isVisible())},
    {A, "Ctrl+V", Idle, SEEN(f.app->Form5()->Param3->text() == "1a2")},
    {O, "Enter", Idle, SEEN(!f.app->AboutBox()->isVisible())},
    {O, "Esc", Idle, SEEN(!f.app->AboutBox()->isVisible())},
    {P, "Esc", Idle, SEEN(!f.form->checkWindow()->isVisible())},
    {P, "Двойной щелчок", Idle, SEEN(f.surface().selectedObject() == f.tables().button(1))},
    {K, "Esc", Idle, SEEN(!f.form->keysWindow()->isVisible())},
};

void focus(QWidget *control)
{
    QApplication::setActiveWindow(control->window());
    control->setFocus();
}

void prepare(AppFixture &f, const QString &window, Setup setup)
{
    QApplication::clipboard()->setText("1a2\n");
    focus(f.panel());
    if (setup >= Changed && setup <= InCell)
        f.key(Qt::Key_F1, Qt::ShiftModifier);
    if (setup == Undone)
        f.form->MMUndo->trigger();
    if (setup == Picked || setup == Copied || setup == InCell)
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
    if (setup == Copied)
        f.form->MMCopy->trigger();
    if (setup == RightPicked) {
        QTest::mouseClick(f.panel(), Qt::RightButton, Qt::NoModifier, kCentre);
        f.form->ObjPopumMenu->hide();
        focus(f.panel());
    } else if (setup == Boxed) {
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.surface().Select(*f.tables().button(2));
        f.form->ObjList->showPopup();
        f.form->ObjList->hidePopup();
        focus(f.form->ObjList);
    } else if (setup == Banding) {
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
        QTest::mouseMove(f.panel(), QPoint(600, 340));
    } else if (setup == Previewing) {
        f.key(Qt::Key_F9);
        focus(f.form->preview());
    } else if (setup == InCell) {
        PropertyGrid *grid = f.form->InfoList;
        const QRect cell = grid->visualRect(grid->model()->index(Row::X - 1, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_5);
    } else if (window == S) {
        f.key(Qt::Key_F2);
        QFile::remove("vellsettings.fms");
        focus(f.app->Form2()->ButtonVar);
    } else if (window == U) {
        f.form->project().setUserCodeLines(
            {"function F takes nothing returns nothing", "endfunction"});
        f.form->MMUserCode->trigger();
        f.app->Form3()->UserCode->moveCursor(QTextCursor::End);
        focus(f.app->Form3()->UserCode);
        QTest::keyClick(f.app->Form3()->UserCode, Qt::Key_X);
        if (setup == LineAsked)
            f.dialogs.numbers = {-3};
        if (setup == FindingInView || setup == FindingInBar) {
            f.app->Form3()->MMFind->trigger();
            f.app->Form3()->Find->Needle->setText("nothing");
            focus(setup == FindingInBar ? static_cast<QWidget *>(f.app->Form3()->Find->Needle)
                                        : f.app->Form3()->UserCode);
        }
    } else if (window == C) {
        // "ab" at 0, 4 and 9; the caret at 3, the end of the first line.
        f.app->Form4()->setCodeText(setup == Idle || setup == Selected ? "abc" : "abc\nab\nxyab");
        f.form->MMShowGenCode->trigger();
        focus(f.app->Form4()->Code);
        if (setup == Selected)
            f.app->Form4()->Code->selectAll();
        if (setup != Idle && setup != Selected)
            f.app->Form4()->Code->selectRange(3, 3);
        if (setup == LineAsked)
            f.dialogs.numbers = {99};
        if (setup == FindingInView || setup == FindingInBar) {
            f.app->Form4()->MMFind->trigger();
            f.app->Form4()->Find->Needle->setText("ab");
            focus(setup == FindingInBar ? static_cast<QWidget *>(f.app->Form4()->Find->Needle)
                                        : f.app->Form4()->Code);
        }
    } else if (window == A) {
        f.app->Form5()->openFor({});
        f.app->Form5()->ActionName->setCurrentIndex(1);
        focus(f.app->Form5()->Param3);
    } else if (window == O) {
        f.form->FenMoth1->trigger();
        focus(f.app->AboutBox()->OKButton);
    } else if (window == P) {
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.form->commands().moveTo(*f.tables().button(1), 400, 0);
        f.form->MMCheck->trigger();
        focus(f.form->checkWindow()->Findings);
    } else if (window == K) {
        f.form->MMKeys->trigger();
        focus(f.form->keysWindow()->Keys);
    }
}

void press(AppFixture &f, const QString &key)
{
    QWidget *target = QApplication::focusWidget();
    if (key == "Alt+щелчок") {
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::AltModifier, kCentre);
    } else if (key == "Ctrl+щелчок") {
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::ControlModifier, kCentre);
    } else if (key == "Перетаскивание по пустой панели") {
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
        QTest::mouseMove(f.panel(), QPoint(600, 340));
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(600, 340));
    } else if (auto *list = target->window()->findChild<QListWidget *>(); key == "Двойной щелчок") {
        const QPoint at = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    } else if (key == "Menu") {
        // What the system makes of the Menu key; the offscreen platform
        // knows no such key.
        QContextMenuEvent event(QContextMenuEvent::Keyboard, kCentre,
                                f.panel()->mapToGlobal(kCentre));
        QApplication::sendEvent(target, &event);
    } else {
        const QKeyCombination k = QKeySequence::fromString(key, QKeySequence::NativeText)[0];
        QTest::keyClick(target, k.key(), k.keyboardModifiers());
    }
}

} // namespace

class TestKeys : public QObject
{
    Q_OBJECT

private slots:
    // The list shows the keys pressed below, window by window.
    void listsEveryKey()
    {
        AppFixture f;
        f.key(Qt::Key_F1);
        QStringList listed, pressed;
        for (QTreeWidgetItemIterator it(f.form->keysWindow()->Keys); *it; ++it) {
            if ((*it)->parent())
                listed << (*it)->parent()->text(0) + " | " + (*it)->text(0) + " | " +
                              (*it)->text(1);
        }
        for (const char *row : {"Главное окно | F3 | Код → Сгенерировать",
                                "Код интерфейса | Ctrl+A | Правка → Выделить все",
                                "Код пользователя | Ctrl+Del | Файл → Очистить"})
            QVERIFY2(listed.contains(row), row);
        for (const KeyRow &row : kRows)
            pressed << QString(row.window) + " | " + row.key;
        QCOMPARE(listed.replaceInStrings(QRegularExpression(" \\| [^|]*$"), ""), pressed);
    }

    void eachKey_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kRows)); ++i)
            QTest::addRow("%s %s %d", kRows[i].window, kRows[i].key, i) << i;
    }

    void eachKey()
    {
        QFETCH(int, row);
        AppFixture f;
        prepare(f, kRows[row].window, kRows[row].setup);
        QVERIFY(!kRows[row].seen(f));
        press(f, kRows[row].key);
        QApplication::processEvents();
        QVERIFY(kRows[row].seen(f));
    }
};

QTEST_MAIN(TestKeys)
#include "tst_keys.moc"
