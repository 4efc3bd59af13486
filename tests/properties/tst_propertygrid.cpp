#include "actions/gui/tform5.h"
#include "appfixture.h"
#include "project/designcheck.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

using namespace vell;

namespace {

const QPoint kCentre(316, 176);

// Clicks a row's value cell, which opens its editor, and returns the editor
// that took the keyboard focus.
QWidget *openEditor(AppFixture &f, int row)
{
    PropertyGrid *grid = f.form->InfoList;
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    return QApplication::focusWidget();
}

// Erases the editor's text at once, as a user selecting all and pressing
// Delete does (Delete works in every row, backspace not in all).
void erase(QWidget *editor)
{
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Delete);
}

// Creates an object with its shortcut (Shift+F1/F2/F3) and selects it with
// a click, as a user does.
template <typename T> T *createAndClick(AppFixture &f, Qt::Key createKey)
{
    f.key(createKey, Qt::ShiftModifier);
    const auto kind = ObjectKind(createKey - Qt::Key_F1 + 1);
    VellControl *object = f.tables().object(kind, f.tables().count(kind));
    QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier,
                      f.drawing().element(*object)->rect().center());
    return static_cast<T *>(object);
}

QString shown(AppFixture &f, int row, int column)
{
    return f.form->InfoList->item(row - 1, column)->text();
}

} // namespace

class TestPropertyGrid : public QObject
{
    Q_OBJECT

private slots:
    void rowsAsTheUserSeesThem()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        QCOMPARE(f.form->InfoList->rowCount(), 8);
        const QStringList keys{QStringLiteral("Координата Х"), QStringLiteral("Координата У"),
                               QStringLiteral("Ширина"),       QStringLiteral("Высота"),
                               QStringLiteral("ID текстуры"),  QStringLiteral("Видимость"),
                               QStringLiteral("Левый клик"),   QStringLiteral("Правый клик")};
        const QStringList values{"0", "0", "32", "32", "B000", "true", "", ""};
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(shown(f, r, 0), keys[r - 1]);
            QCOMPARE(shown(f, r, 1), values[r - 1]);
        }
        // The key column cannot be edited.
        QVERIFY(!(f.form->InfoList->item(0, 0)->flags() & Qt::ItemIsEditable));
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        f.form->ClassList->setCurrentIndex(1);
        f.form->ObjList->showPopup();
        f.form->ObjList->hidePopup();
        f.form->ObjList->setEditText("Picture_1");
        f.form->ObjListClick();
        QCOMPARE(f.form->InfoList->rowCount(), 6);
        f.surface().Select(*f.tables().text(1));
        QCOMPARE(f.form->InfoList->rowCount(), 5);
        QCOMPARE(shown(f, 3, 0), QStringLiteral("Текст"));
        QCOMPARE(shown(f, 3, 1), QStringLiteral("Текст"));
        QCOMPARE(shown(f, 5, 0), QStringLiteral("Цвет текста"));
        // The kind box changed by hand does not redirect the grid.
        f.surface().Select(*f.tables().button(1));
        f.form->ClassList->setCurrentIndex(1);
        QWidget *texture = openEditor(f, 5);
        erase(texture);
        QTest::keyClicks(texture, "Q7");
        QCOMPARE(f.tables().button(1)->TextureId, QStringLiteral("Q7"));
        QCOMPARE(f.tables().picture(1)->TextureId, QStringLiteral("B000"));
    }

    void minusSignOnlyFirst()
    {
        AppFixture f;
        VellButton *b = createAndClick<VellButton>(f, Qt::Key_F1);
        QWidget *editor = openEditor(f, 1);
        QVERIFY(qobject_cast<QLineEdit *>(editor));
        erase(editor);
        QTest::keyClicks(editor, "12");
        QCOMPARE(b->X, 12);
        QTest::keyClick(editor, Qt::Key_Minus);
        QCOMPARE(f.form->InfoList->GetRowValue(1), QStringLiteral("12"));
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClick(editor, Qt::Key_Backspace);
        // Each release applied what the row held: "1", then nothing for "".
        QCOMPARE(f.form->InfoList->GetRowValue(1), QString());
        QCOMPARE(b->X, 1);
        f.form->project().setProjectModified(false);
        QTest::keyClick(editor, Qt::Key_Minus);
        QCOMPARE(f.form->InfoList->GetRowValue(1), QStringLiteral("-"));
        QCOMPARE(b->X, 1);
        // A key release marks the project even when it applied nothing.
        QVERIFY(f.form->project().ProjectModified());
        QTest::keyClick(editor, Qt::Key_5);
        QCOMPARE(b->X, -5);
        QCOMPARE(f.drawing().element(*b)->left(), 316 - 5 - 16);
        // Typed over the selected value, or pasted, a minus starts it anew;
        // at the start of a negative value it is refused.
        QTest::keyClick(editor, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClicks(editor, "-150");
        QCOMPARE(b->X, -150);
        QTest::keyClick(editor, Qt::Key_Home);
        QTest::keyClick(editor, Qt::Key_Minus);
        QCOMPARE(f.form->InfoList->GetRowValue(1), QStringLiteral("-150"));
        QApplication::clipboard()->setText(QStringLiteral("-2-4"));
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClick(editor, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(b->X, -24);
    }

    void sizeRows()
    {
        AppFixture f;
        VellPicture *p = createAndClick<VellPicture>(f, Qt::Key_F2);
        QWidget *width = openEditor(f, 3);
        QTest::keyClick(width, Qt::Key_End);
        QTest::keyClick(width, Qt::Key_A);
        QCOMPARE(f.form->InfoList->GetRowValue(3), QStringLiteral("32"));
        QWidget *height = openEditor(f, 4);
        erase(height);
        QCOMPARE(f.form->InfoList->GetRowValue(4), QString());
        QCOMPARE(f.drawing().element(*p)->size(), QSize(32, 32));
        QVERIFY(f.dialogs.errors.isEmpty()); // an empty cell applies nothing
        QTest::keyClick(height, Qt::Key_4);
        QCOMPARE(f.drawing().element(*p)->size(), QSize(32, 4));
        QTest::keyClick(height, Qt::Key_1);
        QCOMPARE(f.drawing().element(*p)->size(), QSize(32, 40)); // 41 loses its odd pixel
        QCOMPARE(f.drawing().element(*p)->top(), 176 - 20);
        // No size is too wide for the object and the generated code.
        QWidget *width2 = openEditor(f, 3);
        erase(width2);
        QTest::keyClicks(width2, "2000000001");
        QCOMPARE(p->Width, 2000000000);
        const QString code = GenerateInterfaceCode(GeneratorInputFor(f.app->project())).text;
        QVERIFY(code.contains(u",6319115.324,0.227,2,'B000')"));
    }

    // A size edit sets both sizes, and an odd one (a frame drag gives them)
    // loses its pixel: the other size row shows what the object holds, the
    // row being typed in keeps the text as typed.
    void aSizeEditShowsTheOtherSizeAsTheObjectHasIt()
    {
        AppFixture f;
        VellPicture *p = createAndClick<VellPicture>(f, Qt::Key_F2);
        QTest::mouseMove(f.panel(), QPoint(10, 10)); // the ghost outline goes
        const QPoint grip = f.drawing().frame(*p)->handleRect(3).center();
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(f.panel(), grip + QPoint(4, 6));
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, grip + QPoint(4, 6));
        QCOMPARE(QSize(p->Width, p->Height), QSize(37, 39));
        QCOMPARE(f.form->InfoList->GetRowValue(4), QStringLiteral("39"));
        QWidget *width = openEditor(f, 3);
        erase(width);
        QTest::keyClicks(width, "41");
        QCOMPARE(QSize(p->Width, p->Height), QSize(40, 38));
        QCOMPARE(f.form->InfoList->GetRowValue(3), QStringLiteral("41"));
        QCOMPARE(f.form->InfoList->GetRowValue(4), QStringLiteral("38"));
        QCOMPARE(QApplication::focusWidget(), width);
        QCOMPARE(qobject_cast<QLineEdit *>(width)->text(), QStringLiteral("41"));
    }

    // Delete erases in every row that takes typing, also when the platform
    // gives the key the text DEL (as X11 does).
    void deleteKeyErases_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("left");
        QTest::newRow("X") << 1 << "123"
                           << "23";
        QTest::newRow("Y") << 2 << "-45"
                           << "45";
        QTest::newRow("width") << 3 << "456"
                               << "56";
        QTest::newRow("texture") << 5 << "Ab12"
                                 << "b12";
        QTest::newRow("left click") << 7 << "Fn12"
                                    << "n12";
        QTest::newRow("right click") << 8 << "Go3"
                                     << "o3";
    }
    void deleteKeyErases()
    {
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(QString, left);
        AppFixture f;
        VellButton *b = createAndClick<VellButton>(f, Qt::Key_F1);
        QWidget *editor = openEditor(f, row);
        erase(editor);
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Home);
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent del(type, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
            QApplication::sendEvent(editor, &del);
        }
        QCOMPARE(f.form->InfoList->GetRowValue(row), left);
        // The object took what the row shows.
        QCOMPARE(PropertyRowsFor(*b).at(row - 1).value, left);
    }

    void textureAndClickRows()
    {
        AppFixture f;
        VellButton *b = createAndClick<VellButton>(f, Qt::Key_F1);
        QWidget *texture = openEditor(f, 5);
        QTest::keyClick(texture, Qt::Key_End);
        QTest::keyClick(texture, Qt::Key_Underscore, Qt::ShiftModifier);
        QCOMPARE(f.form->InfoList->GetRowValue(5), QStringLiteral("B000"));
        erase(texture);
        QTest::keyClicks(texture, "B001");
        QCOMPARE(b->TextureId, QStringLiteral("B001"));

        QWidget *left = openEditor(f, 7);
        QVERIFY(qobject_cast<QLineEdit *>(left));
        QTest::keyClicks(left, "Shop_Buy1");
        QCOMPARE(b->LeftActionsFunction, QStringLiteral("Shop_Buy1"));
        QTest::keyClick(left, Qt::Key_Backspace);
        QCOMPARE(b->LeftActionsFunction, QStringLiteral("Shop_Buy"));
        QTest::keyClick(left, Qt::Key_Left);
        QTest::keyClick(left, Qt::Key_Delete); // Delete erases too
        QCOMPARE(b->LeftActionsFunction, QStringLiteral("Shop_Bu"));
        // The click rows' ellipsis opens the actions dialog; that alone
        // marks nothing.
        f.form->project().setProjectModified(false);
        auto *ellipsis = f.form->InfoList->findChild<QToolButton *>("ellipsis");
        QVERIFY(ellipsis);
        QTest::mouseClick(ellipsis, Qt::LeftButton);
        QVERIFY(f.app->Form5()->isVisible());
        QVERIFY(!f.form->project().ProjectModified());
    }

    void visibilityPickList()
    {
        AppFixture f;
        VellPicture *p = createAndClick<VellPicture>(f, Qt::Key_F2);
        f.form->project().setProjectModified(false);
        auto *combo = qobject_cast<QComboBox *>(openEditor(f, 6));
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QStringLiteral("true"));
        QCOMPARE(combo->itemText(1), QStringLiteral("false"));
        // Typed characters do not enter the row.
        QTest::keyClick(combo, Qt::Key_F);
        QVERIFY(p->Visible);
        // Chosen with the mouse.
        combo->showPopup();
        QAbstractItemView *view = combo->view();
        const QRect item = view->visualRect(view->model()->index(1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
        QVERIFY(!p->Visible);
        QCOMPARE(f.drawing().element(*p)->fillStyle(), FillStyle::DiagCross);
        QCOMPARE(f.form->InfoList->GetRowValue(6), QStringLiteral("false"));
        QVERIFY(f.form->project().ProjectModified());
    }

    void shiftAloneAppliesNothing()
    {
        AppFixture f;
        VellButton *b = createAndClick<VellButton>(f, Qt::Key_F1);
        QWidget *texture = openEditor(f, 5);
        QTest::keyClick(texture, Qt::Key_End);
        f.form->project().setProjectModified(false);
        // Raw events: the test helpers would add Shift presses and releases.
        const auto send = [texture](QEvent::Type type, int key, const QString &text,
                                    Qt::KeyboardModifiers mods) {
            QKeyEvent event(type, key, mods, text);
            QApplication::sendEvent(texture, &event);
        };
        send(QEvent::KeyPress, Qt::Key_Shift, QString(), Qt::NoModifier);
        send(QEvent::KeyPress, Qt::Key_C, QStringLiteral("C"), Qt::ShiftModifier);
        send(QEvent::KeyRelease, Qt::Key_C, QStringLiteral("C"), Qt::ShiftModifier);
        QCOMPARE(f.form->InfoList->GetRowValue(5), QStringLiteral("B000C"));
        QCOMPARE(b->TextureId, QStringLiteral("B000"));
        QVERIFY(!f.form->project().ProjectModified());
        // The platform reports Shift's own release with the state before it,
        // which the event turns into "no modifier".
        send(QEvent::KeyRelease, Qt::Key_Shift, QString(), Qt::ShiftModifier);
        QCOMPARE(b->TextureId, QStringLiteral("B000C"));
        QVERIFY(f.form->project().ProjectModified());
        // Shift+Delete in a cell deletes the object, not the text.
        QTest::keyClick(texture, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(f.tables().ButtonCount(), 0);
        QCOMPARE(f.form->InfoList->propertyCount(), 0);
    }

    void textRow()
    {
        AppFixture f;
        VellText *t = createAndClick<VellText>(f, Qt::Key_F3);
        QWidget *text = openEditor(f, 3);
        erase(text);
        typeText(text, QStringLiteral("Привет, мир!"));
        QCOMPARE(t->Text, QStringLiteral("Привет, мир!"));
        QCOMPARE(f.drawing().element(*t)->text(), QStringLiteral("Привет, мир!"));
        QCOMPARE(f.drawing().element(*t)->rect(), QRect(283, 170, 66, 13));
        // Characters the files cannot store are refused, and so are line
        // breaks, typed or pasted.
        typeText(text, QString::fromUtf8("\u4e2d\u00e9"));
        QTest::keyClick(text, Qt::Key_J, Qt::ControlModifier);
        QKeyEvent lineFeed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\n"));
        QApplication::sendEvent(text, &lineFeed);
        QCOMPARE(t->Text, QStringLiteral("Привет, мир!"));
        QApplication::clipboard()->setText(QStringLiteral("\r\n!\n"));
        QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(t->Text, QStringLiteral("Привет, мир!!"));
        // The visibility of a text changes nothing on the panel.
        auto *combo = qobject_cast<QComboBox *>(openEditor(f, 4));
        QVERIFY(combo);
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QVERIFY(!t->Visible);
        QCOMPARE(f.drawing().element(*t)->fillStyle(), FillStyle::Solid);
        // A text longer than a line edit holds by default (32,767
        // characters) is kept whole while typed into.
        const QString longText = QStringLiteral("Ъ0123456789").repeated(4000);
        f.tables().SetText(*t, longText);
        f.surface().Select(*t);
        QWidget *edit = openEditor(f, 3);
        QVERIFY(qobject_cast<QLineEdit *>(edit));
        QTest::keyClick(edit, Qt::Key_End);
        typeText(edit, QStringLiteral("!"));
        QCOMPARE(t->Text, longText + QLatin1Char('!'));
    }

    void colourEllipsis()
    {
        AppFixture f;
        VellText *t = createAndClick<VellText>(f, Qt::Key_F3);
        QWidget *colour = openEditor(f, 5);
        // No typing in the colour row.
        QTest::keyClicks(colour, "clRed");
        QCOMPARE(f.form->InfoList->GetRowValue(5), QString());
        auto *ellipsis = f.form->InfoList->findChild<QToolButton *>("ellipsis");
        QVERIFY(ellipsis);
        f.form->project().setProjectModified(false);
        QTest::mouseClick(ellipsis, Qt::LeftButton); // cancelled
        QCOMPARE(f.dialogs.colorDialogInitial.size(), 1);
        QVERIFY(t->TextColor.isEmpty());
        QVERIFY(f.form->project().ProjectModified());
        f.dialogs.colors.push_back(QColor(255, 0, 0));
        QTest::mouseClick(ellipsis, Qt::LeftButton);
        QCOMPARE(f.form->InfoList->GetRowValue(5), QStringLiteral("clRed"));
        QCOMPARE(t->TextColor, QStringLiteral("clRed"));
        QCOMPARE(f.drawing().element(*t)->textColor(), QColor(255, 0, 0));
        // Selecting a coloured text presets the dialog with its colour.
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        f.dialogs.colors.push_back(QColor(0, 0, 255));
        f.surface().Select(*f.tables().text(2));
        QTest::mouseClick(openEditor(f, 5)->parentWidget()->findChild<QToolButton *>("ellipsis"),
                          Qt::LeftButton);
        QCOMPARE(f.dialogs.colorDialogInitial.last(), QColor(255, 0, 0));
        QCOMPARE(f.tables().text(2)->TextColor, QStringLiteral("clBlue"));
        f.surface().Select(*t);
        QCOMPARE(f.surface().colorTextPreset(), QColor(255, 0, 0));
    }

    void enterKeepsTheCellOpenAndNothingSlipsPastTheFilter()
    {
        AppFixture f;
        VellButton *b = createAndClick<VellButton>(f, Qt::Key_F1);
        auto *x = qobject_cast<QLineEdit *>(openEditor(f, 1));
        QVERIFY(x);
        erase(x);
        QTest::keyClicks(x, "99999999999");
        QCOMPARE(f.dialogs.errors.last(),
                 QStringLiteral("'99999999999' is not a valid integer value"));
        QCOMPARE(f.form->InfoList->GetRowValue(1), QStringLiteral("99999999999"));
        QCOMPARE(b->X, 999999999);
        // The release of the Enter or Escape that closed the box does not
        // apply the row again (which would bring the box back for ever).
        const int boxes = f.dialogs.errors.size();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
            QApplication::sendEvent(x, &release);
        }
        QCOMPARE(f.dialogs.errors.size(), boxes);
        QTest::keyClick(x, Qt::Key_End);
        QCOMPARE(f.dialogs.errors.size(), boxes + 1);
        QTest::keyClick(x, Qt::Key_Home, Qt::ShiftModifier); // "7" replaces the value
        QTest::keyClicks(x, "7");
        QTest::keyClick(x, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), x);
        QTest::keyClicks(x, "0");
        QCOMPARE(b->X, 70);
        // A format character or one outside the code page is typed text too.
        typeText(x, QString::fromUtf8("‎"));
        typeText(x, QString::fromUtf8("😀"));
        QCOMPARE(f.form->InfoList->GetRowValue(1), QStringLiteral("70"));
        QVERIFY(!x->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(!x->acceptDrops());
    }

    void resizeTicksKeepTheEditorOpen()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        QTest::mouseMove(f.panel(), QPoint(10, 10));
        VellButton *b = f.tables().button(1);
        auto *texture = qobject_cast<QLineEdit *>(openEditor(f, 5));
        QVERIFY(texture);
        QTest::keyClick(texture, Qt::Key_End);
        QTest::keyClick(texture, Qt::Key_9);
        const QPoint grip = f.drawing().frame(*b)->handleRect(3).center();
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(f.panel(), QPoint(360, 210));
        QCOMPARE(f.form->InfoList->GetRowValue(3), QStringLiteral("62"));
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(360, 210));
        QVERIFY(texture->isVisible());
        QCOMPARE(texture->text(), QStringLiteral("B0009"));
        QCOMPARE(texture->cursorPosition(), 5);
    }
};

QTEST_MAIN(TestPropertyGrid)
#include "tst_propertygrid.moc"
