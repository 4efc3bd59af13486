#include "actions/gui/tform5.h"
#include "app/gui/taboutbox.h"
#include "appfixture.h"
#include "codegen/gui/codeview.h"
#include "codegen/gui/tform4.h"
#include "filebytes.h"
#include "project/projectcommands.h"
#include "settings/gui/tform2.h"
#include "usercode/gui/tform3.h"

#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolBar>
#include <QToolButton>

using namespace vell;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void startsWithSixWindowsOnlyTheMainOneShown()
    {
        AppFixture f;
        QCOMPARE(f.form->windowTitle(), QStringLiteral("FM Vell Creator (Новый проект)"));
        QCOMPARE(f.form->centralWidget()->size(), QSize(883, 533));
        QCOMPARE(f.app->Form2()->windowTitle(), QStringLiteral("Настройки"));
        QCOMPARE(f.app->Form3()->windowTitle(), QStringLiteral("Код пользователя"));
        QCOMPARE(f.app->Form4()->windowTitle(), QStringLiteral("Код интерфейса"));
        QCOMPARE(f.app->Form5()->windowTitle(), QStringLiteral("Действия"));
        QCOMPARE(f.app->AboutBox()->windowTitle(), QStringLiteral("О программе"));
        QVERIFY(f.form->isVisible());
        QVERIFY(!f.app->Form2()->isVisible());
        QVERIFY(!f.app->Form3()->isVisible());
        QVERIFY(!f.app->Form4()->isVisible());
        QVERIFY(!f.app->Form5()->isVisible());
        QVERIFY(!f.app->AboutBox()->isVisible());
        // Not resizable.
        QCOMPARE(f.form->minimumSize(), f.form->maximumSize());
    }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("tool bar") << "ToolBar1" << QRect(0, 0, 883, 33);
        QTest::newRow("group") << "GroupBox1" << QRect(8, 40, 225, 465);
        QTest::newRow("kind box") << "ClassList" << QRect(8, 32, 201, 21);
        QTest::newRow("object box") << "ObjList" << QRect(8, 56, 201, 21);
        QTest::newRow("grid") << "InfoList" << QRect(8, 120, 209, 305);
        QTest::newRow("delete") << "RemoveObj" << QRect(72, 432, 75, 25);
        QTest::newRow("panel") << "Win" << QRect(240, 64, 633, 353);
        QTest::newRow("top banner") << "Image1" << QRect(240, 48, 633, 25);
        QTest::newRow("bottom banner") << "Image2" << QRect(240, 392, 633, 137);
    }

    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        AppFixture f;
        auto *w = f.form->findChild<QWidget *>(name);
        QVERIFY(w);
        QCOMPARE(w->geometry(), geometry);
    }

    void labelsAndBoxes()
    {
        AppFixture f;
        QCOMPARE(f.form->GroupBox1->title(), QStringLiteral("GroupBox1"));
        QCOMPARE(f.form->ClassList->count(), 3);
        QCOMPARE(f.form->ClassList->itemText(0), QStringLiteral("Кнопка"));
        QCOMPARE(f.form->ClassList->itemText(1), QStringLiteral("Картинка"));
        QCOMPARE(f.form->ClassList->itemText(2), QStringLiteral("Текст"));
        QCOMPARE(f.form->ClassList->currentText(), QStringLiteral("Кнопка"));
        QCOMPARE(f.form->ObjList->currentText(), QStringLiteral("<объект не выбран>"));
        QCOMPARE(f.form->Label1->text(), QStringLiteral("ID:"));
        QCOMPARE(f.form->Label1->pos(), QPoint(16, 96));
        QCOMPARE(f.form->ID->text(), QStringLiteral("0"));
        QCOMPARE(f.form->ID->pos(), QPoint(40, 96));
        QCOMPARE(f.form->RemoveObj->text(), QStringLiteral("Удалить"));
        QCOMPARE(f.form->InfoList->horizontalHeaderItem(0)->text(), QStringLiteral("Свойство"));
        QCOMPARE(f.form->InfoList->horizontalHeaderItem(1)->text(), QStringLiteral("Значение"));
        QCOMPARE(f.form->InfoList->columnWidth(0), 101);
        QVERIFY(!f.form->Image1->pixmap().isNull());
        QVERIFY(!f.form->Image2->pixmap().isNull());
        // The banners keep their proportions: 1024 x 33 and 1024 x 215 scaled to 633 wide.
        QCOMPARE(f.form->Image1->pixmap().size(), QSize(633, 20));
        QCOMPARE(f.form->Image2->pixmap().size(), QSize(633, 132));
    }

    void menus_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("image");
        QTest::newRow("save") << "MMSave"
                              << "Сохранить"
                              << "Ctrl+S" << true;
        QTest::newRow("save as") << "MMSaveAs"
                                 << "Сохранить как..."
                                 << "Ctrl+Alt+S" << true;
        QTest::newRow("load") << "MMLoad"
                              << "Загрузить"
                              << "Ctrl+O" << true;
        QTest::newRow("recent projects") << "MMRecent"
                                         << "Последние проекты"
                                         << "" << false;
        QTest::newRow("settings") << "MMSetting"
                                  << "Настройки..."
                                  << "F2" << false;
        QTest::newRow("cut") << "MMCut"
                             << "Вырезать"
                             << "Ctrl+X" << false;
        QTest::newRow("paste") << "MMPast"
                               << "Вставить"
                               << "Ctrl+V" << false;
        QTest::newRow("copy") << "MMCopy"
                              << "Копировать"
                              << "Ctrl+C" << false;
        QTest::newRow("duplicate") << "MMDuplicate"
                                   << "Дублировать"
                                   << "Ctrl+D" << false;
        QTest::newRow("guides") << "MMGuides"
                                << "Выравнивание по объектам"
                                << "" << false;
        QTest::newRow("clear") << "MMClear"
                               << "Очистить"
                               << "" << false;
        QTest::newRow("delete") << "MMDelete"
                                << "Удалить"
                                << "Shift+Del" << false;
        QTest::newRow("clear buffer") << "MMBufClear"
                                      << "Очистить буфер"
                                      << "" << false;
        QTest::newRow("check project") << "MMCheck"
                                       << "Проверить проект"
                                       << "" << false;
        QTest::newRow("new project") << "MMNewPrj"
                                     << "Проект"
                                     << "Ctrl+N" << false;
        QTest::newRow("new button") << "MMNewBtn"
                                    << "Кнопка"
                                    << "Shift+F1" << true;
        QTest::newRow("new picture") << "MMNewPic"
                                     << "Картинка"
                                     << "Shift+F2" << true;
        QTest::newRow("new text") << "MMNewTex"
                                  << "Текст"
                                  << "Shift+F3" << true;
        QTest::newRow("generate") << "MMGenCode"
                                  << "Сгенерировать"
                                  << "F3" << false;
        QTest::newRow("show code") << "MMShowGenCode"
                                   << "Показать код"
                                   << "" << false;
        QTest::newRow("user code") << "MMUserCode"
                                   << "Код пользователя"
                                   << "" << false;
        QTest::newRow("update action functions") << "MMUpdateActions"
                                                 << "Обновить функции действий"
                                                 << "" << false;
        QTest::newRow("preview") << "MMPreview"
                                 << "Предпросмотр"
                                 << "F9" << false;
        QTest::newRow("keys") << "MMKeys"
                              << "Клавиши"
                              << "F1" << false;
        QTest::newRow("about") << "FenMoth1"
                               << "&Fen-Moth"
                               << "" << false;
    }

    void menus()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        QFETCH(bool, image);
        AppFixture f;
        auto *action = f.form->findChild<QAction *>(name);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut(), QKeySequence(shortcut));
        QCOMPARE(!action->icon().isNull(), image);
        QVERIFY(action->isEnabled());
    }

    void menuOrder()
    {
        AppFixture f;
        QStringList top;
        for (QAction *a : f.form->menuBar()->actions())
            top << a->text();
        QCOMPARE(top, (QStringList{"Файл", "Правка", "Создать", "Код", "Справка", "&Fen-Moth"}));
        QVERIFY(!f.form->FenMoth1->menu());
        const auto captions = [](QMenu *menu) {
            QStringList list;
            for (QAction *a : menu->actions())
                list << (a->isSeparator() ? QStringLiteral("-") : a->text());
            return list;
        };
        QCOMPARE(captions(f.form->N1), (QStringList{"Сохранить", "Сохранить как...", "Загрузить",
                                                    "Последние проекты", "-", "Настройки..."}));
        QCOMPARE(captions(f.form->N4),
                 (QStringList{"Отменить", "Повторить", "-", "Вырезать", "Вставить", "Копировать",
                              "Дублировать", "Выделить все объекты", "Выровнять",
                              "Распределить по горизонтали", "Распределить по вертикали", "-",
                              "Очистить", "Удалить", "Очистить буфер", "Выравнивание по объектам",
                              "-", "Проверить проект"}));
        QCOMPARE(captions(f.form->MMCreateList),
                 (QStringList{"Проект", "-", "Кнопка", "Картинка", "Текст"}));
        QCOMPARE(captions(f.form->N11),
                 (QStringList{"Сгенерировать", "Показать код", "Код пользователя",
                              "Обновить функции действий", "Предпросмотр"}));
        // Only the separator under "Загрузить" is greyed out.
        QVERIFY(!f.form->N16->isEnabled());
        QVERIFY(f.form->N9->isEnabled());
        QVERIFY(f.form->N7->isEnabled());
        QCOMPARE(captions(f.form->ObjPopumMenu), QStringList{"Удалить"});
        QCOMPARE(captions(f.form->MMRecent), QStringList{"(пусто)"});
        QVERIFY(!f.form->MMRecent->actions().at(0)->isEnabled());
        QCOMPARE(captions(f.form->MMHelp), QStringList{"Клавиши"});
    }

    // A click function written before a deletion: offered for update only
    // while it is stale and no actions dialog is open, replaced after a Yes.
    void updateActionFunctionsFromTheMenu()
    {
        AppFixture f;
        vell::ProjectCommands &c = f.form->commands();
        c.create(vell::KindButton);
        c.create(vell::KindPicture);
        c.create(vell::KindPicture);
        c.applyActions(*f.tables().button(1), vell::ClickSide::Left, {"ObjShow f \"Picture_2\""});
        c.remove(f.tables().picture(1));
        const QStringList written = f.form->project().userCodeLines();
        const auto offered = [&] {
            emit f.form->N11->aboutToShow();
            return f.form->MMUpdateActions->isEnabled();
        };
        f.app->Form5()->show();
        QVERIFY(!offered());
        f.app->Form5()->hide();
        QVERIFY(offered());
        const QString question =
            "Функции будут заменены тем, что пишут списки действий; правки в них пропадут: "
            "Button_1_Left_Actions.\nОбновить функции действий?";
        f.dialogs.answers = {vell::Answer::No};
        f.form->MMUpdateActions->trigger();
        QCOMPARE(f.dialogs.questions, QStringList{question});
        QCOMPARE(f.form->project().userCodeLines(), written);
        f.dialogs.answers = {vell::Answer::Yes};
        f.form->MMUpdateActions->trigger();
        QCOMPARE(f.form->project().userCodeLines(),
                 (QStringList{"function Button_1_Left_Actions takes nothing returns nothing",
                              " call PictureVar[1].Show(false,-1)", "endfunction"}));
        QVERIFY(!offered());
        f.form->MMUndo->trigger();
        QCOMPARE(f.form->project().userCodeLines(), written);
    }

    void toolBar()
    {
        AppFixture f;
        QCOMPARE(f.form->TBSave->toolTip(), QStringLiteral("Сохранить проект (Ctrl+S)"));
        QCOMPARE(f.form->TBOpen->toolTip(), QStringLiteral("Загрузить проект (Ctrl+O)"));
        QCOMPARE(f.form->TBCreateButton->toolTip(), QStringLiteral("Создать кнопку (Shift+F1)"));
        QCOMPARE(f.form->TBCreatePicture->toolTip(), QStringLiteral("Создать картинку (Shift+F2)"));
        QCOMPARE(f.form->TBCreateText->toolTip(), QStringLiteral("Создать текст (Shift+F3)"));
        for (QToolButton *b : {f.form->TBSave, f.form->TBOpen, f.form->TBCreateButton,
                               f.form->TBCreatePicture, f.form->TBCreateText}) {
            QCOMPARE(b->size(), QSize(23, 23));
            QVERIFY(!b->icon().isNull());
            QCOMPARE(b->icon().availableSizes().value(0), QSize(16, 16));
        }
        // Buttons stand left to right: save, open, gap, the three create buttons.
        QVERIFY(f.form->TBSave->x() < f.form->TBOpen->x());
        QVERIFY(f.form->TBOpen->x() + 23 + 8 <= f.form->TBCreateButton->x());
        QVERIFY(f.form->TBCreateButton->x() < f.form->TBCreatePicture->x());
        QVERIFY(f.form->TBCreatePicture->x() < f.form->TBCreateText->x());
        QTest::mouseClick(f.form->TBCreatePicture, Qt::LeftButton);
        QCOMPARE(f.tables().PictureCount(), 1);
    }

    void tabOrder()
    {
        AppFixture f;
        f.form->ClassList->setFocus();
        QStringList order;
        for (int i = 0; i < 11; ++i) {
            QWidget *w = QApplication::focusWidget();
            // The object box's text field stands for the box.
            if (qobject_cast<QComboBox *>(w->parentWidget()))
                w = w->parentWidget();
            order << w->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, (QStringList{"ClassList", "ObjList", "InfoList", "RemoveObj", "Win",
                                     "TBSave", "TBOpen", "TBCreateButton", "TBCreatePicture",
                                     "TBCreateText", "ClassList"}));
    }

    void createThroughShortcuts()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(f.tables().objectNames(),
                 (QStringList{"Button_1", "Button_2", "Picture_1", "Text_1"}));
        VellButton *b = f.tables().button(1);
        QCOMPARE(f.drawing().element(*b)->rect(), QRect(300, 160, 32, 32));
        QVERIFY(!f.drawing().frame(*b)->isVisible());
        QVERIFY(!f.surface().CurrentSelection());
        QCOMPARE(f.form->ID->text(), QStringLiteral("0"));
        QCOMPARE(f.app->Form5()->KnownObjectNames(),
                 (QStringList{"Button_1", "Button_2", "Picture_1", "Text_1"}));
        f.app->Form5()->fillObjectNames();
        QCOMPARE(f.app->Form5()->ObjName->count(), 4);
        // The title shows the change within 100 ms.
        QTRY_COMPARE_WITH_TIMEOUT(f.form->windowTitle(),
                                  QStringLiteral("FM Vell Creator (Новый проект)*"), 300);
    }

    void createFromTheMenu()
    {
        AppFixture f;
        f.form->MMNewTex->trigger();
        VellText *t = f.tables().text(1);
        QVERIFY(t);
        QCOMPARE(f.drawing().element(*t)->text(), QStringLiteral("Текст"));
        QCOMPARE(f.drawing().element(*t)->top(), 170);
    }

    // Create and paste into a full table are told.
    void fullTableIsRefusedWithAMessage()
    {
        AppFixture f;
        for (int i = 0; i < 9999; ++i)
            f.surface().create(KindText);
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(f.tables().TextCount(), 9999);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages[0].contains(QStringLiteral("9999")));
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(f.tables().ButtonCount(), 1);
        QCOMPARE(f.dialogs.messages.size(), 1);
        f.surface().Select(*f.tables().text(1));
        f.key(Qt::Key_C, Qt::ControlModifier);
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.dialogs.messages, QStringList(2, FullTableMessage(KindText)));
    }

    // The object commands act on the selected object whatever the kind box
    // shows, and on nothing without one; a pasted object is not selected. In
    // a grid cell the keys work on the cell's text, in the object box on the
    // objects again.
    void editCommandsOnTheSelection()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        f.tables().SetPosition(*f.tables().text(1), 0, 120);
        f.form->project().setProjectModified(false);
        f.key(Qt::Key_C, Qt::ControlModifier);
        f.key(Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!f.form->project().ProjectModified());
        QVERIFY(f.form->commands().clipboard().isEmpty());
        const auto click = [&f] {
            QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier,
                              f.drawing().element(*f.tables().button(1))->rect().center());
        };
        click();
        PropertyGrid *grid = f.form->InfoList;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->visualRect(grid->model()->index(4, 1)).center());
        auto *cell = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(cell);
        QTest::keyClick(cell, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(cell, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("B000"));
        QCOMPARE(f.form->commands().clipboard().ObjectBuffer, QStringList());
        f.form->ObjList->lineEdit()->setFocus();
        QTest::keyClick(f.form->ObjList->lineEdit(), Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(f.form->ObjList->lineEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.tables().ButtonCount(), 2);
        QCOMPARE(f.form->ObjList->currentText(), QStringLiteral("Button_1"));
        QCOMPARE(f.surface().selectedObject(), f.tables().button(1));
        click();
        f.form->ClassList->setCurrentIndex(2);
        f.key(Qt::Key_X, Qt::ControlModifier);
        // "Очистить буфер" changes nothing, not even the buffer.
        const QStringList buffer = f.form->commands().clipboard().ObjectBuffer;
        f.form->project().setProjectModified(false);
        f.form->MMBufClear->trigger();
        QCOMPARE(f.tables().objectNames(), QStringList({"Button_2", "Text_1"}));
        QCOMPARE(f.form->InfoList->propertyCount(), 0);
        QCOMPARE(f.form->ObjList->currentText(), QStringLiteral("<объект не выбран>"));
        QVERIFY(!f.form->project().ProjectModified());
        QCOMPARE(f.form->commands().clipboard().ObjectBuffer, buffer);
    }

    void openingCommandsShowTheirWindows()
    {
        AppFixture f;
        f.key(Qt::Key_F2);
        QVERIFY(f.app->Form2()->isVisible());
        // Opening the settings stores them.
        QVERIFY(QFile::exists(f.path("vellsettings.fms")));
        QFile::remove(f.path("vellsettings.fms"));
        f.form->MMSetting->trigger(); // again while open: stored again, still shown
        QVERIFY(f.app->Form2()->isVisible());
        QVERIFY(QFile::exists(f.path("vellsettings.fms")));

        f.form->MMUserCode->trigger();
        QVERIFY(f.app->Form3()->isVisible());
        f.form->MMShowGenCode->trigger();
        QVERIFY(f.app->Form4()->isVisible());
        QVERIFY(f.app->Form4()->Code->lines().isEmpty() ||
                f.app->Form4()->Code->lines() == QStringList{QString()});
        f.form->FenMoth1->trigger();
        QVERIFY(f.app->AboutBox()->isVisible());
        QTest::mouseClick(f.app->AboutBox()->OKButton, Qt::LeftButton);
        QVERIFY(!f.app->AboutBox()->isVisible());
    }

    void aboutBox()
    {
        AppFixture f;
        TAboutBox *about = f.app->AboutBox();
        QCOMPARE(about->size(), QSize(328, 172));
        QCOMPARE(about->findChild<QLabel *>("ProductName")->text(),
                 QStringLiteral("FM Vell Creator"));
        QCOMPARE(about->findChild<QLabel *>("Version")->text(), QStringLiteral("Версия 2.1.0"));
        QCOMPARE(about->OKButton->text(), QStringLiteral("OK"));
        QVERIFY(about->OKButton->isDefault());
        QCOMPARE(about->OKButton->geometry(), QRect(127, 140, 75, 25));
    }

    // Open reaches the other windows and the panel: the grid and the object
    // box show no object, and the file's names and user code are offered.
    void openingShowsTheFile()
    {
        AppFixture f;
        const QString path = f.path("shop.vlp");
        writeBytes(path,
                   "FMVELLVERSIONKEY2.1\r\nbtncount:1\r\nButton_4\r\n10\r\n-20\r\n32\r\n32\r\n"
                   "B000\r\ntrue\r\n\r\n\r\n0\r\n0\r\npiccount:0\r\ntexcount:0\r\n"
                   "/usercodestart\r\n// stored\r\n/end\r\n");
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        f.form->project().setProjectModified(false);
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier,
                          f.drawing().element(*f.tables().text(1))->rect().center());
        QCOMPARE(f.form->InfoList->propertyCount(), 5);
        f.dialogs.fileNames = {path};
        f.key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.drawing().element(*f.tables().button(1))->rect(), QRect(310, 180, 32, 32));
        QCOMPARE(f.form->InfoList->propertyCount(), 0);
        QCOMPARE(f.form->ObjList->currentText(), QStringLiteral("<объект не выбран>"));
        QCOMPARE(f.app->Form5()->KnownObjectNames(), QStringList{"Button_4"});
        QCOMPARE(f.app->Form3()->userCodeLines(), QStringList{"// stored"});
        QCOMPARE(f.form->windowTitle(), "FM Vell Creator (" + path + ")");
    }

    // The window closes only once the question lets it: the settings are
    // stored and the program told after that, never before.
    void closingAsksFirst()
    {
        AppFixture f;
        QSignalSpy closed(f.form, &TForm1::closed);
        f.form->MMSetting->trigger();
        QVERIFY(QFile::remove(f.path("vellsettings.fms")));
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.dialogs.answers = {Answer::Cancel, Answer::No};
        QVERIFY(!f.form->close());
        QVERIFY(f.form->isVisible());
        QCOMPARE(closed.count(), 0);
        QVERIFY(!QFile::exists(f.path("vellsettings.fms")));
        QVERIFY(f.form->close());
        QCOMPARE(closed.count(), 1);
        QVERIFY(QFile::exists(f.path("vellsettings.fms")));
        QCOMPARE(f.dialogs.questions,
                 QStringList(2, "Этот проект еще не был сохранен. Хотите ли "
                                "вы его сохранить перед завершение программы?"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
