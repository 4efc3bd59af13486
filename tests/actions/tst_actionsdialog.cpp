#include "actions/gui/tform5.h"
#include "appfixture.h"
#include "codegen/gui/codeview.h"
#include "codegen/gui/tform4.h"
#include "usercode/gui/tform3.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

using namespace vell;

namespace {

const QStringList kEcho{"function ECHO takes string msg returns nothing",
                        " call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)", "endfunction"};

// Selects the object with a click and presses the ellipsis of a grid row.
void clickEllipsis(AppFixture &f, const VellControl &object, int row)
{
    QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier,
                      f.drawing().element(object)->rect().center());
    PropertyGrid *grid = f.form->InfoList;
    const QPoint cell = grid->visualRect(grid->model()->index(row - 1, 1)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    // The row's own button (another row's editor may still be there).
    QToolButton *ellipsis = nullptr;
    for (QToolButton *b : grid->findChildren<QToolButton *>("ellipsis"))
        ellipsis = b->parentWidget()->geometry().contains(cell) ? b : ellipsis;
    QVERIFY(ellipsis);
    QTest::mouseClick(ellipsis, Qt::LeftButton);
}

QStringList captions(const TForm5 *d)
{
    QStringList list;
    const QTreeWidgetItem *root = d->Actions->topLevelItem(0);
    list << root->text(0);
    for (int i = 0; i < root->childCount(); ++i)
        list << "  " + root->child(i)->text(0);
    return list;
}

void chooseKind(TForm5 *d, int index)
{
    d->ActionName->setFocus();
    QTest::keyClick(d->ActionName, index ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(d->ActionName->currentIndex(), index);
}

} // namespace

class TestActionsDialog : public QObject
{
    Q_OBJECT

private slots:
    // Create a button, give its left click a message, apply, generate.
    void messageActionFromCreateToGeneratedCode()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        VellButton *b = f.tables().button(1);
        clickEllipsis(f, *b, 7);
        TForm5 *d = f.app->Form5();
        QVERIFY(d->isVisible());
        QCOMPARE(captions(d), QStringList{"Действие"});
        QCOMPARE(d->ToolTip->text(), QStringLiteral("Показывает или скрывает выбраный объект"));
        chooseKind(d, 1);
        QVERIFY(d->Param3->isVisible());
        QVERIFY(!d->ObjName->isVisible() && !d->ChekedBtn->isVisible());
        QCOMPARE(d->LabelName->text(), QStringLiteral("Сообщение"));
        QCOMPARE(d->ToolTip->text(),
                 QStringLiteral("Отображает сообщение всем игрокам, часто подходит для проверок"));
        QTest::mouseClick(d->AddFunc, Qt::LeftButton);
        QCOMPARE(f.dialogs.messages, QStringList{"Нужно указать текст сообщения"});
        typeText(d->Param3, QStringLiteral("Привет всем"));
        QTest::mouseClick(d->AddFunc, Qt::LeftButton);
        QCOMPARE(captions(d),
                 QStringList({"Действие",
                              "  Отобразить \"Привет всем\" в центре экрана для всех игроков"}));
        f.form->project().setProjectModified(false);
        QTest::mouseClick(d->SaveFunc, Qt::LeftButton);
        QVERIFY(!d->isVisible());
        QCOMPARE(b->LeftActions, QStringList{"echo \"Привет всем\""});
        QCOMPARE(b->LeftActionsFunction, QStringLiteral("Button_1_Left_Actions"));
        QCOMPARE(f.form->InfoList->GetRowValue(7), QStringLiteral("Button_1_Left_Actions"));
        QVERIFY(f.form->project().ProjectModified());
        const QStringList function{"function Button_1_Left_Actions takes nothing returns nothing",
                                   " call ECHO(\"Привет всем\")", "endfunction"};
        QCOMPARE(f.app->Form3()->userCodeLines(), kEcho + function);
        f.key(Qt::Key_F3);
        QVERIFY(f.app->Form4()->Code->lines().contains(
            " call ButtonVar[1].AddActionL(function Button_1_Left_Actions)"));
    }

    void showActionsAndWhatTheFieldsRefuse()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        f.tables().SetPosition(*f.tables().button(2), 100, 0);
        f.tables().SetPosition(*f.tables().picture(1), -100, 0);
        clickEllipsis(f, *f.tables().button(1), 8);
        TForm5 *d = f.app->Form5();
        QCOMPARE(d->ObjName->count(), 3); // the known names to pick from
        // Typed into the kind box: nothing; into the name field: only
        // letters, digits and underscores.
        typeText(d->ActionName, "E");
        QCOMPARE(d->ActionName->currentIndex(), 0);
        d->ObjName->setFocus();
        typeText(d->ObjName->lineEdit(), QStringLiteral("Pic Ж-ture_1"));
        QCOMPARE(d->ObjName->currentText(), QStringLiteral("Picture_1"));
        QApplication::clipboard()->setText(QStringLiteral("Button 2"));
        QTest::keyClick(d->ObjName->lineEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d->ObjName->currentText(), QStringLiteral("Picture_1"));
        QTest::mouseClick(d->ChekedBtn, Qt::LeftButton);
        QTest::mouseClick(d->AddFunc, Qt::LeftButton);
        // Another letter case names no object; leaving the field keeps it.
        QApplication::setActiveWindow(d);
        QVERIFY(QTest::qWaitForWindowActive(d));
        QTest::mouseClick(d->ObjName->lineEdit(), Qt::LeftButton);
        QTest::keyClick(d->ObjName->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        typeText(d->ObjName->lineEdit(), "button_2");
        QTest::keyClick(d->ObjName->lineEdit(), Qt::Key_Tab);
        QVERIFY(d->ChekedBtn->hasFocus());
        QCOMPARE(d->ObjName->currentText(), QStringLiteral("button_2"));
        QTest::mouseClick(d->AddFunc, Qt::LeftButton);
        QCOMPARE(f.dialogs.messages, QStringList{"Объект не указан или не существует"});
        QTest::mouseClick(d->ObjName->lineEdit(), Qt::LeftButton);
        QTest::keyClick(d->ObjName->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        typeText(d->ObjName->lineEdit(), "Button_2");
        QTest::mouseClick(d->ChekedBtn, Qt::LeftButton);
        QTest::mouseClick(d->AddFunc, Qt::LeftButton);
        QTest::mouseClick(d->AddFunc, Qt::LeftButton);
        // A pasted message loses one trailing line break (a line copied from
        // an editor); another break, a control or foreign character refuses
        // the paste, named.
        chooseKind(d, 1);
        const QString refused = QStringLiteral("Нельзя вставить символ U+");
        const QString pastes[][3] = {
            {"a\nb", "", refused + "000A"},
            {"Привет\n", "Привет", {}},
            {"x" + QString(QChar(0)), "Привет", refused + "0000"},
            {"Hi\r\n", "Hi", {}},
            {"A\r", "A", {}},
            {"☺", "A", refused + "263A"},
            {"😀", "A", refused + "1F600"},
            {"b\n\n", "A", refused + "000A"},
        };
        for (const auto &[pasted, text, message] : pastes) {
            const qsizetype told = f.dialogs.messages.size();
            QApplication::clipboard()->setText(pasted);
            QTest::keyClick(d->Param3, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(d->Param3, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(d->Param3->text(), text);
            QCOMPARE(f.dialogs.messages.mid(told),
                     message.isEmpty() ? QStringList() : QStringList{message});
        }
        // A long message is pasted whole (a line edit's default cuts it).
        QTest::keyClick(d->Param3, Qt::Key_A, Qt::ControlModifier);
        QApplication::clipboard()->setText(QStringLiteral("Ы").repeated(40000));
        QTest::keyClick(d->Param3, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d->Param3->text().size(), 40000);
        d->Param3->clear();
        QCOMPARE(captions(d), QStringList({"Действие", "  Показать объект с именем Picture_1",
                                           "  Спрятать объект с именем Button_2",
                                           "  Спрятать объект с именем Button_2"}));
        // Escape hands back like "Применить".
        QTest::keyClick(d, Qt::Key_Escape);
        QVERIFY(!d->isVisible());
        const VellButton &b = *f.tables().button(1);
        QCOMPARE(b.RightActions, QStringList({"ObjShow t \"Picture_1\"", "ObjShow f \"Button_2\"",
                                              "ObjShow f \"Button_2\""}));
        QCOMPARE(f.form->InfoList->GetRowValue(8), QStringLiteral("Button_1_Right_Actions"));
        QCOMPARE(
            f.app->Form3()->userCodeLines(),
            QStringList({"function Button_1_Right_Actions takes nothing returns nothing",
                         " call PictureVar[1].Show(true,-1)", " call ButtonVar[2].Show(false,-1)",
                         " call ButtonVar[2].Show(false,-1)", "endfunction"}));
    }

    // A stored list comes into the tree; the button keeps it meanwhile;
    // closing hands it back without its lines that have no kind.
    void storedListLoadedAndHandedBack()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.tables().SetPosition(*f.tables().button(2), 0, -90);
        VellButton *b = f.tables().button(1);
        const QStringList stored{"ObjShow t \"Button_2\"", "Junk here", "echo \"Go\""};
        b->LeftActions = stored;
        clickEllipsis(f, *b, 7);
        TForm5 *d = f.app->Form5();
        QCOMPARE(captions(d),
                 QStringList({"Действие", "  Показать объект с именем Button_2",
                              "  Отобразить \"Go\" в центре экрана для всех игроков"}));
        QCOMPARE(b->LeftActions, stored);
        QCOMPARE(f.dialogs.messages, QStringList());
        // A second ellipsis click only brings the open dialog to the front.
        clickEllipsis(f, *b, 8);
        QCOMPARE(d->actionTable().ActionCount(), 2);
        d->close();
        QCOMPARE(b->LeftActions, QStringList({"ObjShow t \"Button_2\"", "echo \"Go\""}));
        QVERIFY(b->RightActions.isEmpty());
        const QStringList function{"function Button_1_Left_Actions takes nothing returns nothing",
                                   " call ButtonVar[2].Show(true,-1)", " call ECHO(\"Go\")",
                                   "endfunction"};
        QCOMPARE(f.app->Form3()->userCodeLines(), kEcho + function);
        QCOMPARE(d->ActionResult.size(), 2);
        QCOMPARE(d->actionTable().ActionCount(), 0);
        // The next list shows in place of the last one.
        f.tables().button(2)->LeftActions = {"echo \"Два\""};
        clickEllipsis(f, *f.tables().button(2), 7);
        QCOMPARE(
            captions(d),
            QStringList({"Действие", "  Отобразить \"Два\" в центре экрана для всех игроков"}));
        d->close();

        // Nothing to hand back: the button and the user code stay.
        f.form->project().setProjectModified(false);
        clickEllipsis(f, *f.tables().button(2), 8);
        QCOMPARE(captions(d), QStringList{"Действие"});
        QTest::mouseClick(d->SaveFunc, Qt::LeftButton);
        QVERIFY(d->ActionResult.isEmpty());
        QVERIFY(f.tables().button(2)->RightActionsFunction.isEmpty());
        QCOMPARE(f.app->Form3()->userCodeLines().size(), 10);
        QVERIFY(!f.form->project().ProjectModified());
    }

    void resultForARemovedButtonIsDropped()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        clickEllipsis(f, *f.tables().button(1), 7);
        TForm5 *d = f.app->Form5();
        chooseKind(d, 1);
        typeText(d->Param3, "late");
        QTest::mouseClick(d->AddFunc, Qt::LeftButton);
        f.form->MMDelete->trigger();
        f.key(Qt::Key_F1, Qt::ShiftModifier); // another button in the same place
        d->close();
        QVERIFY(f.tables().button(1)->LeftActions.isEmpty());
        QVERIFY(f.app->Form3()->userCodeLines().isEmpty());
        // Cleared while open: dropped as well.
        clickEllipsis(f, *f.tables().button(1), 7);
        typeText(d->Param3, "gone");
        QTest::mouseClick(d->AddFunc, Qt::LeftButton);
        f.form->MMClear->trigger();
        QTest::mouseClick(d->SaveFunc, Qt::LeftButton);
        QVERIFY(f.app->Form3()->userCodeLines().isEmpty());
    }

    // A hand-written list longer than the table: the user is told how many
    // actions there are; no more are added; the rest goes back after them.
    void aFullActionListRefusesMore()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        VellButton *b = f.tables().button(1);
        const QStringList over = QStringList(ActionTable::Capacity, QStringLiteral("echo \"x\"")) +
                                 QStringList{"Junk", "echo \"y\"", "ObjShow \"t\" \"A\""};
        b->LeftActions = over;
        clickEllipsis(f, *b, 7);
        TForm5 *d = f.app->Form5();
        QCOMPARE(d->actionTable().ActionCount(), 99999);
        QCOMPARE(f.dialogs.messages, QStringList{"Показаны первые 99999 действий из 100001; "
                                                 "остальные сохраняются без изменений"});
        chooseKind(d, 1);
        typeText(d->Param3, "y");
        QTest::mouseClick(d->AddFunc, Qt::LeftButton);
        QCOMPARE(f.dialogs.messages.last(),
                 QStringLiteral("Нельзя добавить действие: в списке уже 99999 действий."));
        QTest::keyClick(d, Qt::Key_Escape);
        QCOMPARE(b->LeftActions, over);
    }
};

QTEST_MAIN(TestActionsDialog)
#include "tst_actionsdialog.moc"
