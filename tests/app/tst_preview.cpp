#include "appfixture.h"
#include "designer/gui/previewpanel.h"
#include "filebytes.h"
#include "panelpixels.h"

#include <QComboBox>
#include <QMenu>

using namespace vell;

// Trying the interface before it goes into the map: F9 shows it as the game
// starts it, clicks run the buttons' actions, Esc gives the design back as
// it was.
class TestPreview : public QObject
{
    Q_OBJECT

private slots:
    // A shop: a background, an item button that greets, a close button that
    // hides the shop (five objects), a hidden sale sign, a label.
    void aShopTriedAndLeftAsItWas()
    {
        AppFixture f;
        ProjectCommands &c = f.form->commands();
        ObjectTables &t = f.tables();
        for (const ObjectKind kind : {KindPicture, KindButton, KindButton, KindText, KindText})
            c.create(kind);
        c.moveTo(*t.button(1), -120, 37);
        c.moveTo(*t.picture(1), -111, 30);
        c.moveTo(*t.button(2), 140, 90);
        c.moveTo(*t.text(1), -60, -70);
        c.setVisible(*t.text(2), false);
        QVERIFY(c.applyActions(*t.button(1), ClickSide::Left, {"echo \"Меч: 100 золота\""}));
        QVERIFY(c.applyActions(*t.button(2), ClickSide::Left,
                               {"ObjShow f \"Picture_1\"", "ObjShow f \"Button_1\"",
                                "ObjShow f \"Button_2\"", "ObjShow f \"Text_1\"",
                                "ObjShow t \"Text_2\"", "ObjShow f \"Button_9\""}));
        // Changed since its function was written: the function is stale.
        t.button(1)->LeftActions = {"echo \"Меч: 90 золота\""};
        t.button(2)->RightActions = {"echo \"x\""};
        t.button(2)->RightActionsFunction = QStringLiteral("ShopClose");
        const QString path = f.path(QStringLiteral("shop.vlp"));
        c.save(path);
        const QByteArray saved = readBytes(path);
        f.form->surface().Select(*t.button(1));
        const QString title = QStringLiteral("FM Vell Creator (") + path + u')';
        QTRY_COMPARE_WITH_TIMEOUT(f.form->windowTitle(), title, 5000);
        const QImage design = PanelShown(f.panel());
        const int steps = f.form->project().history().count();

        f.key(Qt::Key_F9);
        PreviewPanel *preview = f.form->preview();
        QVERIFY(preview && preview->hasFocus());
        PreviewSession &s = preview->session();
        QVERIFY(!s.isShown(*t.text(2)) && s.isShown(*t.button(2)));
        for (QAction *a : {f.form->MMUndo, f.form->MMSave, f.form->MMNewBtn, f.form->MMDuplicate})
            QVERIFY(!a->isEnabled());
        QVERIFY(!f.form->InfoList->isEnabled() && !f.form->ObjList->isEnabled());
        const auto click = [&](const VellControl &o, Qt::MouseButton button) {
            QTest::mouseClick(preview, button, Qt::NoModifier, DrawnRect(o).center());
        };
        // Stacked as the game creates them, not as designed: the background
        // lies on the item but takes no click; the item under it greets.
        const QPoint overlap = DrawnRect(*t.button(1)).bottomRight() - QPoint(5, 5);
        QCOMPARE(design.pixelColor(overlap), QColor(Qt::white));
        QCOMPARE(preview->grab().toImage().pixelColor(overlap),
                 f.drawing().element(*t.picture(1))->fill());
        click(*t.button(1), Qt::LeftButton);
        QTest::mouseClick(preview, Qt::LeftButton, Qt::NoModifier,
                          DrawnRect(*t.picture(1)).bottomRight() - QPoint(2, 2));
        click(*t.button(2), Qt::RightButton);
        QCOMPARE(
            preview->shownMessages(),
            QStringList({"Функции действий устарели: Код → Обновить функции действий",
                         "Меч: 90 золота", "Функция ShopClose в предпросмотре не выполняется"}));
        click(*t.button(2), Qt::LeftButton);
        for (const VellControl *o : {(VellControl *)t.picture(1), (VellControl *)t.button(1),
                                     (VellControl *)t.button(2), (VellControl *)t.text(1)})
            QVERIFY(!s.isShown(*o));
        QVERIFY(s.isShown(*t.text(2)));
        QCOMPARE(preview->shownMessages().last(), QStringLiteral("Объект Button_9 не найден"));
        // Hidden: no clicks; arrows and undo change nothing.
        click(*t.button(1), Qt::LeftButton);
        QCOMPARE(preview->shownMessages().size(), 4);
        QTest::keyClick(preview, Qt::Key_Left);
        QTest::keyClick(f.form, Qt::Key_Z, Qt::ControlModifier);

        QTest::keyClick(preview, Qt::Key_Escape);
        QVERIFY(!f.form->preview());
        QApplication::processEvents();
        QCOMPARE(PanelShown(f.panel()), design);
        QVERIFY(f.form->MMUndo->isEnabled() && f.form->InfoList->isEnabled());
        QCOMPARE(f.surface().selectedObject(), t.button(1));
        QCOMPARE(f.form->project().history().count(), steps);
        QVERIFY(!f.form->project().ProjectModified());
        QCOMPARE(f.form->windowTitle(), title);
        c.save(path);
        QCOMPARE(readBytes(path), saved);

        // F9 in the middle of a resize gives it up first.
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier,
                          f.drawing().frame(*t.button(1))->handleRect(3).center());
        QTest::mouseMove(f.panel(), DrawnRect(*t.button(1)).bottomRight() + QPoint(23, 11));
        QVERIFY(t.button(1)->Width > 32);
        f.key(Qt::Key_F9);
        QCOMPARE(QPoint(t.button(1)->Width, t.button(1)->Height), QPoint(32, 32));
        QCOMPARE(QPoint(t.button(1)->X, t.button(1)->Y), QPoint(-120, 37));
        f.key(Qt::Key_F9);
        QVERIFY(!f.form->preview());
        QVERIFY(!f.form->project().ProjectModified());
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
