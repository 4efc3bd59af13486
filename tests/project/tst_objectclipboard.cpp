#include "actions/gui/tform5.h"
#include "appfixture.h"
#include "project/objectclipboard.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>

using namespace vell;

namespace {

const QPoint kCentre(316, 176);

void click(AppFixture &f, const VellControl &object)
{
    QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier,
                      f.drawing().element(object)->rect().center());
}

} // namespace

// Copy, cut and paste of one object through the Edit menu and its keys.
class TestObjectClipboard : public QObject
{
    Q_OBJECT

private slots:
    void copyAndPasteAButton()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        VellButton *b = f.tables().button(1);
        f.tables().SetPosition(*b, -100, 50);
        f.tables().SetSize(*b, 64, 32);
        b->TextureId = QStringLiteral("T1");
        f.tables().SetVisible(*b, false);
        b->LeftActionsFunction = QStringLiteral("L");
        b->RightActionsFunction = QStringLiteral("R");
        b->LeftActions = QStringList{"ObjShow f \"Text_1\"", "ECHO \"a\""};
        b->RightActions = QStringList{"ECHO \"1\"", "ECHO \"2\"", "ECHO \"3\""};
        click(f, *b);
        f.form->project().setProjectModified(false);
        QTRY_VERIFY_WITH_TIMEOUT(!f.form->RecoloringTimer->isActive(), 1000);
        f.key(Qt::Key_C, Qt::ControlModifier);
        // The project did not change, yet it counts as changed.
        QTRY_COMPARE_WITH_TIMEOUT(f.form->windowTitle(),
                                  QStringLiteral("FM Vell Creator (Новый проект)*"), 300);

        f.key(Qt::Key_V, Qt::ControlModifier);
        f.form->MMPast->trigger();
        QCOMPARE(f.tables().objectNames(), QStringList({"Button_1", "Button_2", "Button_3"}));
        for (const int id : {2, 3}) {
            const VellButton &p = *f.tables().button(id);
            QCOMPARE(QRect(p.X, p.Y, p.Width, p.Height), QRect(0, 0, 64, 32));
            QCOMPARE(f.drawing().element(p)->rect(), QRect(284, 160, 64, 32));
            QCOMPARE(f.drawing().element(p)->fillStyle(), FillStyle::DiagCross);
            QCOMPARE(p.TextureId, QStringLiteral("T1"));
            QCOMPARE(p.LeftActionsFunction, QStringLiteral("L"));
            QCOMPARE(p.RightActionsFunction, QStringLiteral("R"));
            QCOMPARE(p.LeftActions, b->LeftActions);
            QCOMPARE(p.RightActions, b->RightActions);
            QVERIFY(!f.drawing().frame(p)->isVisible());
        }
        // Pasted objects are not selected; the grid still shows the first.
        QCOMPARE(f.surface().selectedObject(), b);
        QCOMPARE(f.form->ObjList->currentText(), QStringLiteral("Button_1"));
        QCOMPARE(f.form->InfoList->GetRowValue(1), QStringLiteral("-100"));
        QCOMPARE(f.app->Form5()->KnownObjectNames(), f.tables().objectNames());
    }

    void textsKeepTheirColourOrTheDefault()
    {
        AppFixture f;
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        VellText *red = f.tables().text(1);
        f.tables().SetText(*red, QStringLiteral("Привет"));
        f.tables().SetTextColor(*red, QColor(255, 0, 0));
        f.tables().SetPosition(*f.tables().text(2), 0, 100);
        click(f, *red);
        f.form->MMCopy->trigger();
        f.form->MMPast->trigger();
        VellText *pasted = f.tables().text(3);
        QCOMPARE(pasted->Name, QStringLiteral("Text_3"));
        QCOMPARE(pasted->Text, QStringLiteral("Привет"));
        QCOMPARE(pasted->TextColor, QStringLiteral("clRed"));
        QCOMPARE(f.drawing().element(*pasted)->textColor(), QColor(255, 0, 0));
        QCOMPARE(f.drawing().element(*pasted)->size(), f.drawing().element(*red)->size());
        click(f, *f.tables().text(2));
        f.key(Qt::Key_C, Qt::ControlModifier);
        f.key(Qt::Key_V, Qt::ControlModifier);
        QVERIFY(f.tables().text(4)->TextColor.isEmpty());
        QCOMPARE(f.drawing().element(*f.tables().text(4))->textColor(), QColor(0, 0, 0));
    }

    void cutThenPasteBringsItBackUnderANewName()
    {
        AppFixture f;
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        VellPicture *first = f.tables().picture(1);
        f.tables().SetPosition(*first, 40, -30);
        f.tables().SetSize(*first, 20, 10);
        click(f, *first);
        QCOMPARE(f.form->InfoList->propertyCount(), 6);
        f.form->project().setProjectModified(false);
        f.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(f.tables().objectNames(), QStringList{"Picture_2"});
        QCOMPARE(f.tables().picture(1)->Id, 1);
        QVERIFY(!f.surface().selectedObject());
        QVERIFY(!f.surface().GhostFrame());
        QCOMPARE(f.form->InfoList->propertyCount(), 0);
        QCOMPARE(f.form->ObjList->currentText(), QStringLiteral("<объект не выбран>"));
        QCOMPARE(f.app->Form5()->KnownObjectNames(), QStringList{"Picture_2"});
        QVERIFY(f.form->project().ProjectModified());
        // Copy and Cut with nothing selected do nothing.
        f.form->project().setProjectModified(false);
        f.key(Qt::Key_C, Qt::ControlModifier);
        f.key(Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!f.form->project().ProjectModified());
        // "Очистить буфер", New project and Clear leave the buffer alone.
        f.form->MMBufClear->trigger();
        f.form->MMNewPrj->trigger();
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.tables().objectNames(), QStringList{"Picture_3"});
        const VellPicture &p = *f.tables().picture(1);
        QCOMPARE(QRect(p.X, p.Y, p.Width, p.Height), QRect(0, 0, 20, 10));
    }

    void theSelectedObjectWhateverTheKindBoxSays()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        f.tables().SetPosition(*f.tables().text(1), 0, 120);
        click(f, *f.tables().button(1));
        f.form->ClassList->setCurrentIndex(2);
        f.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(f.tables().objectNames(), QStringList{"Text_1"});
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.tables().objectNames(), QStringList({"Button_2", "Text_1"}));
    }

    void keysInAGridCellWorkOnItsText()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        click(f, *f.tables().button(1));
        PropertyGrid *grid = f.form->InfoList;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->visualRect(grid->model()->index(4, 1)).center());
        auto *cell = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(cell);
        QTest::keyClick(cell, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(cell, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("B000"));
        QTest::keyClick(cell, Qt::Key_End);
        QTest::keyClick(cell, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.tables().button(1)->TextureId, QStringLiteral("B000B000"));
        QCOMPARE(f.tables().ButtonCount(), 1);
        // In the object box the keys are the object commands again.
        f.form->ObjList->lineEdit()->setFocus();
        QTest::keyClick(f.form->ObjList->lineEdit(), Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(f.form->ObjList->lineEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.tables().ButtonCount(), 2);
        QCOMPARE(f.tables().button(2)->TextureId, QStringLiteral("B000B000"));
    }

    void pasteIntoAFullTable()
    {
        AppFixture f;
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        click(f, *f.tables().picture(1));
        f.key(Qt::Key_C, Qt::ControlModifier);
        Project &project = f.form->project();
        project.beginBulkChange();
        while (project.create(KindPicture)) {
        }
        project.endBulkChange();
        project.setProjectModified(false);
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.dialogs.messages,
                 QStringList{"Нельзя создать картинку: на панели уже 9999 картинок."});
        QCOMPARE(f.tables().PictureCount(), 9999);
        QVERIFY(project.ProjectModified());
        // The buffer is still there for when there is room again.
        f.form->MMDelete->trigger();
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.tables().PictureCount(), 9999);
        QCOMPARE(f.dialogs.messages.size(), 1);
    }
};

QTEST_MAIN(TestObjectClipboard)
#include "tst_objectclipboard.moc"
