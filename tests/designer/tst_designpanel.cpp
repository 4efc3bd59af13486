#include "actions/gui/tform5.h"
#include "appfixture.h"
#include "common/labelfont.h"
#include "panelpixels.h"
#include "settings/gui/colorswatch.h"
#include "settings/gui/tform2.h"

#include <QCheckBox>
#include <QPainter>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

using namespace vell;

namespace {

// The centre of a new 32 x 32 object on the panel.
const QPoint kCentre(316, 176);

QMenu *openPopup()
{
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

} // namespace

// Gathers the areas the panel paints.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QRegion &painted) : m_painted(painted) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }

private:
    QRegion &m_painted;
};

class TestDesignPanel : public QObject
{
    Q_OBJECT

private:
    // Press, move and release the left button the way a user drags.
    static void drag(QWidget *panel, QPoint from, QPoint to,
                     Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mousePress(panel, Qt::LeftButton, mods, from);
        QTest::mouseMove(panel, from + QPoint(1, 0));
        QTest::mouseMove(panel, to);
        QTest::mouseRelease(panel, Qt::LeftButton, mods, to);
    }

private slots:
    // A row of four buttons and a grid of four rows built as a user does,
    // with duplicates, arrows, Ctrl+A, the Edit menu, a group drag and the
    // clipboard; every centre checked.
    void buildingARowAndAGridAsGroups()
    {
        AppFixture f;
        ObjectTables &t = f.tables();
        const auto centres = [&t] {
            QList<QPoint> at;
            for (int id = 1; id <= t.ButtonCount(); ++id)
                at << QPoint(t.button(id)->X, t.button(id)->Y);
            return at;
        };
        const auto row = [](int y, std::initializer_list<int> xs) {
            QList<QPoint> at;
            for (const int x : xs)
                at << QPoint(x, y);
            return at;
        };
        const auto editMenu = [&f](QAction *item) {
            emit f.form->N4->aboutToShow();
            item->trigger();
        };
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        for (int i = 0; i < 3; ++i)
            f.key(Qt::Key_D, Qt::ControlModifier);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(f.panel(), Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(centres(), QList<QPoint>({{0, 0}, {16, -16}, {32, -32}, {148, -48}}));
        editMenu(f.form->MMDistributeX);
        QCOMPARE(t.button(2)->X, 16); // one object: disabled
        QTest::keyClick(f.panel(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(f.surface().selectedObject(), t.button(4));
        editMenu(f.form->MMAlignTop);
        editMenu(f.form->MMDistributeX);
        const QList<QPoint> first = row(-48, {0, 50, 99, 148});
        QCOMPARE(centres(), first);
        QCOMPARE(f.form->project().history().undoText(),
                 QStringLiteral("распределение 4 объектов"));

        f.key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(f.surface().selectedObjects().size(), size_t(4));
        QCOMPARE(f.surface().selectedObject(), t.button(8));
        QCOMPARE(centres().mid(4), row(-64, {16, 66, 115, 164}));
        // Dragged by Button_8, the copies stand 40 px below the row.
        drag(f.panel(), f.drawing().element(*t.button(8))->rect().center(), QPoint(465, 265));
        QCOMPARE(centres().mid(4), row(-88, {0, 50, 99, 148}));
        f.key(Qt::Key_D, Qt::ControlModifier);
        f.key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(centres().mid(8), row(-128, {0, 50, 99, 148}) + row(-168, {0, 50, 99, 148}));
        QCOMPARE(f.form->project().history().undoText(), QStringLiteral("дублирование 4 объектов"));

        // The whole grid cut and pasted: Button_16 on the centre, the others
        // around it; undone twice, the grid is back and selected.
        QTest::keyClick(f.panel(), Qt::Key_A, Qt::ControlModifier);
        const QList<QPoint> grid = centres();
        f.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(t.ButtonCount(), 0);
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(t.ButtonCount(), 16);
        QCOMPARE(centres().first(), QPoint(-148, 120));
        QCOMPARE(centres().last(), QPoint(0, 0));
        QCOMPARE(f.surface().selectedObjects().size(), size_t(16));
        QCOMPARE(f.surface().selectedObject(), t.button(16));
        f.key(Qt::Key_Z, Qt::ControlModifier);
        f.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(centres(), grid);
        // Preview leaves the selection as it was.
        f.key(Qt::Key_F9);
        QVERIFY(f.form->preview());
        f.key(Qt::Key_F9);
        QVERIFY(!f.form->preview());
        QCOMPARE(f.surface().selectedObjects().size(), size_t(16));
        QCOMPARE(f.surface().selectedObject(), t.button(16));
        QCOMPARE(f.form->ObjList->currentText(), QStringLiteral("Button_16"));
    }

    // Labels cut short of their text, over a picture, in two colours: the
    // panel's own picture shows exactly what drawing each one afresh does
    // (a glyph reaching past the label's edge stays cut off).
    void labelsCutShortOfTheirText()
    {
        AppFixture f;
        ObjectTables &t = f.tables();
        VellControl &ground = *f.surface().create(KindPicture);
        t.SetExactSize(ground, 301, 97);
        const QStringList texts{"Кнопка", "jump", "Жук", "fly Ёж", "Кнопка"};
        for (int i = 0; i < texts.size(); ++i) {
            auto &text = static_cast<VellText &>(*f.surface().create(KindText));
            t.SetText(text, texts[i]);
            t.SetPosition(text, -120 + 57 * i, 23 - 9 * i);
            if (i % 2)
                t.SetTextColor(text, QColor(200, 30, 90));
            PanelElement *label = f.drawing().element(text);
            label->setRect(label->rect().adjusted(i % 3, 0, -1 - i % 2, -(i % 2)));
        }
        QCOMPARE(PanelShown(f.panel()), PanelDrawnAfresh(f.drawing().scene(), nullptr));
    }

    // Several objects moved by one key or one menu item are each asked to
    // be painted again, however many areas the request holds.
    void everyMovedObjectIsRepainted()
    {
        AppFixture f;
        for (int i = 0; i < 7; ++i) {
            VellControl &o = *f.surface().create(i % 2 ? KindButton : KindPicture);
            f.tables().SetPosition(o, -280 + 83 * i, 140 - 47 * i);
        }
        QRegion painted;
        PaintWatch watch(painted);
        f.panel()->installEventFilter(&watch);
        QApplication::processEvents();
        QTest::keyClick(f.panel(), Qt::Key_A, Qt::ControlModifier);
        QApplication::processEvents();
        painted = QRegion();
        // Every object but the primary moves.
        const auto allPainted = [&] {
            QApplication::processEvents();
            for (const VellControl *o : f.surface().selectedObjects()) {
                const QRect r = f.drawing().element(*o)->rect();
                if (o != f.surface().selectedObject())
                    QCOMPARE(painted.intersected(r), QRegion(r));
            }
            painted = QRegion();
        };
        QTest::keyClick(f.panel(), Qt::Key_Right, Qt::ShiftModifier);
        allPainted();
        emit f.form->N4->aboutToShow();
        f.form->MMAlignTop->trigger();
        allPainted();
    }

    void clickSelectsWithoutMoving()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        VellButton *b = f.tables().button(1);
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        QCOMPARE(f.surface().selectedObject(), b);
        QCOMPARE(f.drawing().element(*b)->rect(), QRect(300, 160, 32, 32));
        QCOMPARE(f.drawing().element(*b)->penWidth(), 2);
        QCOMPARE(f.drawing().element(*b)->penColor(), QColor(0, 0, 0));
        QVERIFY(f.drawing().frame(*b)->isVisible());
        QCOMPARE(f.form->ClassList->currentText(), QStringLiteral("Кнопка"));
        QCOMPARE(f.form->ObjList->currentText(), QStringLiteral("Button_1"));
        QCOMPARE(f.form->ID->text(), QStringLiteral("1"));
        QCOMPARE(f.form->InfoList->propertyCount(), 8);
        // The dotted outline stays until the pointer moves, or leaves the
        // panel, or the objects are cleared.
        QVERIFY(f.surface().GhostFrame());
        QTest::mouseMove(f.panel(), kCentre + QPoint(3, 2));
        QVERIFY(!f.surface().GhostFrame());
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        QVERIFY(f.surface().GhostFrame());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(f.panel(), &leave);
        QVERIFY(!f.surface().GhostFrame());
        // A left click on the bare panel keeps the selection.
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QCOMPARE(f.surface().selectedObject(), b);
        QCOMPARE(f.drawing().element(*b)->penWidth(), 2);
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        f.form->MMDelete->trigger();
        f.form->MMClear->trigger();
        QVERIFY(!f.surface().GhostFrame());
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        f.form->MMClear->trigger();
        QVERIFY(!f.surface().GhostFrame());
    }

    // Alt+click on the selected object goes down a stack of three and
    // wraps to the top; elsewhere it selects the topmost as a click does.
    void altClickGoesDownAStack()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        f.tables().SetPosition(*f.tables().picture(2), 9, -5);
        const QPoint at = kCentre + QPoint(5, 3);
        QStringList chosen;
        for (int i = 0; i < 4; ++i) {
            QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::AltModifier, at);
            chosen << f.surface().selectedObject()->Name;
        }
        QCOMPARE(chosen, (QStringList{"Picture_2", "Picture_1", "Button_1", "Picture_2"}));
        f.surface().Select(*f.tables().button(1));
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::AltModifier, kCentre + QPoint(-14, 0));
        QCOMPARE(f.surface().selectedObject()->Name, QStringLiteral("Picture_1"));
    }

    void dragOfATextWithoutGhost()
    {
        AppFixture f;
        f.app->Form2()->IsBorderMove->setChecked(false);
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        VellText *t = f.tables().text(1);
        const QSize size = f.drawing().element(*t)->size();
        drag(f.panel(), f.drawing().element(*t)->rect().center(), QPoint(400, 300));
        QCOMPARE(t->X, 400 - 316 - 1);
        QCOMPARE(t->Y, 176 - 300 + 1);
        QCOMPARE(f.drawing().element(*t)->rect(),
                 QRect(399 - size.width() / 2, 299 - 13 / 2, size.width(), 13));
    }

    void refusedDrops()
    {
        AppFixture f;
        f.app->Form2()->IsBorderMove->setChecked(false);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        VellButton *b = f.tables().button(1);
        VellPicture *p = f.tables().picture(1);
        f.tables().SetPosition(*p, 200, 0); // picture at 500..532, 160..192
        f.form->project().setProjectModified(false);
        // Onto another element.
        drag(f.panel(), kCentre, QPoint(510, 170));
        QCOMPARE(f.drawing().element(*b)->rect(), QRect(300, 160, 32, 32));
        // Onto itself.
        drag(f.panel(), kCentre, kCentre + QPoint(5, 5));
        QCOMPARE(f.drawing().element(*b)->rect(), QRect(300, 160, 32, 32));
        // Outside the panel.
        drag(f.panel(), kCentre, QPoint(700, 50));
        drag(f.panel(), kCentre, QPoint(100, -5));
        QCOMPARE(f.drawing().element(*b)->rect(), QRect(300, 160, 32, 32));
        QVERIFY(!f.form->project().ProjectModified());
        // With the ghost outline the drop lands on the outline, which covers
        // what lies beneath the pointer.
        f.app->Form2()->IsBorderMove->setChecked(true);
        drag(f.panel(), kCentre, QPoint(510, 170));
        QCOMPARE(b->X, 510 - 317);
    }

    void deletingTheObjectBeingDragged()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        QTest::mouseMove(f.panel(), kCentre + QPoint(1, 0));
        QTest::mouseMove(f.panel(), QPoint(100, 100));
        QVERIFY(f.panel()->isDragging());
        f.key(Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(f.tables().ButtonCount(), 0);
        QTest::mouseMove(f.panel(), QPoint(120, 100));
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(120, 100));
        QVERIFY(!f.panel()->isDragging());
        // A new object is not moved by the old drag.
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(f.drawing().element(*f.tables().button(1))->rect(), QRect(300, 160, 32, 32));
    }

    void modifiedPressesSelectWithoutDragging()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        VellButton *b = f.tables().button(1);
        f.tables().SetPosition(*b, -100, 0);
        const QPoint at = f.drawing().element(*b)->rect().center();
        drag(f.panel(), at, QPoint(100, 50), Qt::ShiftModifier);
        QCOMPARE(f.surface().selectedObject(), b);
        QCOMPARE(b->X, -100);
        QVERIFY(!f.surface().GhostFrame());

        QTest::mouseDClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        QCOMPARE(f.surface().selectedObject(), f.tables().picture(1));
        QTest::mouseMove(f.panel(), QPoint(50, 50));
        QCOMPARE(f.tables().picture(1)->X, 0);
    }

    // Shift+right-click selects without the popup; a right press on the
    // object or on a handle of its frame opens it.
    void popupDeletes()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QTest::mouseClick(f.panel(), Qt::RightButton, Qt::ShiftModifier, kCentre);
        QCOMPARE(f.surface().selectedObject(), f.tables().button(1));
        QVERIFY(!openPopup());
        QVERIFY(!f.surface().popupAttached());
        QTest::mouseClick(f.panel(), Qt::RightButton, Qt::NoModifier, kCentre);
        QCOMPARE(openPopup(), f.form->ObjPopumMenu);
        openPopup()->close();
        const QPoint grip = f.drawing().frame(*f.tables().button(1))->handleRect(3).center();
        QTest::mouseClick(f.panel(), Qt::RightButton, Qt::NoModifier, grip);
        QMenu *menu = openPopup();
        QVERIFY(menu);
        QCOMPARE(menu->actions().value(0)->text(), QStringLiteral("Удалить"));
        menu->actions().value(0)->trigger();
        menu->close();
        QCOMPARE(f.tables().ButtonCount(), 0);
        // Right-click on the bare panel afterwards opens nothing.
        QTest::mouseClick(f.panel(), Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
        QVERIFY(!openPopup());
        // Shift+Del with nothing selected removes nothing, but marks the project.
        f.form->project().setProjectModified(false);
        f.key(Qt::Key_Delete, Qt::ShiftModifier);
        QVERIFY(f.form->project().ProjectModified());
    }

    void resizeByEachHandle_data()
    {
        QTest::addColumn<int>("handle");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QRect>("element");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("bottom-right")
            << 3 << QPoint(350, 200) << QRect(300, 160, 52, 42) << Qt::LeftButton;
        QTest::newRow("top-left") << 1 << QPoint(280, 150) << QRect(282, 152, 50, 40)
                                  << Qt::LeftButton;
        QTest::newRow("top-right")
            << 2 << QPoint(350, 140) << QRect(300, 142, 52, 50) << Qt::LeftButton;
        QTest::newRow("bottom-left")
            << 4 << QPoint(290, 210) << QRect(292, 160, 40, 52) << Qt::LeftButton;
        QTest::newRow("crossing") << 3 << QPoint(250, 100) << QRect(300, 160, 48, 58)
                                  << Qt::LeftButton;
        QTest::newRow("width 0") << 3 << QPoint(298, 220) << QRect(300, 160, 0, 62)
                                 << Qt::LeftButton;
        QTest::newRow("right button")
            << 3 << QPoint(350, 200) << QRect(300, 160, 52, 42) << Qt::RightButton;
    }

    void resizeByEachHandle()
    {
        QFETCH(int, handle);
        QFETCH(QPoint, to);
        QFETCH(QRect, element);
        QFETCH(Qt::MouseButton, button);
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        VellButton *b = f.tables().button(1);
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        QTest::mouseMove(f.panel(), QPoint(10, 10)); // the ghost outline goes
        f.form->project().setProjectModified(false);
        const QPoint grip = f.drawing().frame(*b)->handleRect(handle).center();
        QTest::mousePress(f.panel(), button, Qt::NoModifier, grip);
        QCOMPARE(f.surface().ActiveFrame(), f.drawing().frame(*b));
        QTest::mouseMove(f.panel(), to);
        QCOMPARE(f.drawing().element(*b)->rect(), element);
        // The grid follows while the handle is held.
        QCOMPARE(f.form->InfoList->GetRowValue(3), QString::number(element.width()));
        QCOMPARE(f.form->InfoList->GetRowValue(4), QString::number(element.height()));
        QCOMPARE(f.form->InfoList->GetRowValue(1), QString::number(b->X));
        QVERIFY(!f.form->project().ProjectModified());
        QTest::mouseRelease(f.panel(), button, Qt::NoModifier, to);
        QVERIFY(!f.surface().ActiveFrame());
        QVERIFY(f.form->project().ProjectModified());
        QTest::mouseMove(f.panel(), QPoint(5, 5));
        QCOMPARE(f.drawing().element(*b)->rect(), element);
        QCOMPARE(b->X, element.left() + element.width() / 2 - 316);
        QCOMPARE(b->Y, 176 - element.top() - element.height() / 2);
    }

    // With the guides on, the rectangle a drop or a handle gives aligns to
    // the nearest line within 5 px. Button 1 (400, 240, 32 x 32) is moved;
    // button 2 stands at (193, 20, 32 x 32), picture 1 at (144, 103, 45 x 27)
    // and picture 2 at (-15, 300, 21 x 15).
    void guidesAlign_data()
    {
        QTest::addColumn<int>("handle"); // 0: a drag of the button itself
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<Qt::KeyboardModifiers>("mods");
        QTest::addColumn<bool>("guides");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QPoint>("xy");
        QTest::addColumn<int>("lines");
        const Qt::KeyboardModifiers none = Qt::NoModifier, alt = Qt::AltModifier;
        QTest::newRow("left edge") << 0 << QPoint(160, 60) << none << true << QRect(144, 43, 32, 32)
                                   << QPoint(-156, 117) << 1;
        QTest::newRow("right edge") << 0 << QPoint(131, 250) << none << true
                                    << QRect(112, 233, 32, 32) << QPoint(-188, -73) << 1;
        QTest::newRow("centre") << 0 << QPoint(168, 270) << none << true << QRect(150, 253, 32, 32)
                                << QPoint(-150, -93) << 1;
        QTest::newRow("panel centre") << 0 << QPoint(320, 60) << none << true
                                      << QRect(300, 43, 32, 32) << QPoint(0, 117) << 1;
        QTest::newRow("top edge") << 0 << QPoint(500, 144) << none << true
                                  << QRect(483, 130, 32, 32) << QPoint(183, 30) << 1;
        QTest::newRow("panel before object") << 0 << QPoint(20, 60) << none << true
                                             << QRect(0, 43, 32, 32) << QPoint(-300, 117) << 1;
        QTest::newRow("button before picture") << 0 << QPoint(176, 250) << none << true
                                               << QRect(161, 233, 32, 32) << QPoint(-139, -73) << 1;
        QTest::newRow("Alt held") << 0 << QPoint(160, 60) << alt << true << QRect(143, 43, 32, 32)
                                  << QPoint(-157, 117) << 0;
        QTest::newRow("guides off") << 0 << QPoint(160, 60) << none << false
                                    << QRect(143, 43, 32, 32) << QPoint(-157, 117) << 0;
        QTest::newRow("bottom edge by a handle")
            << 3 << QPoint(450, 296) << none << true << QRect(400, 240, 52, 60) << QPoint(110, -94)
            << 1;
        QTest::newRow("left edge by a handle") << 1 << QPoint(317, 180) << none << true
                                               << QRect(316, 182, 116, 90) << QPoint(58, -51) << 1;
        QTest::newRow("handle, Alt held") << 3 << QPoint(450, 296) << alt << true
                                          << QRect(400, 240, 52, 58) << QPoint(110, -93) << 0;
    }

    void guidesAlign()
    {
        QFETCH(int, handle);
        QFETCH(QPoint, to);
        QFETCH(Qt::KeyboardModifiers, mods);
        QFETCH(bool, guides);
        QFETCH(QRect, rect);
        QFETCH(QPoint, xy);
        QFETCH(int, lines);
        AppFixture f;
        for (const Qt::Key k : {Qt::Key_F1, Qt::Key_F1, Qt::Key_F2, Qt::Key_F2})
            f.key(k, Qt::ShiftModifier);
        ObjectTables &t = f.tables();
        t.SetPosition(*t.button(1), 100, -80);
        t.SetPosition(*t.button(2), -107, 140);
        t.SetExactSize(*t.picture(1), 45, 27);
        t.SetPosition(*t.picture(1), -150, 60);
        t.SetExactSize(*t.picture(2), 21, 15);
        t.SetPosition(*t.picture(2), -321, -131);
        auto *menuItem = f.form->findChild<QAction *>(QStringLiteral("MMGuides"));
        QVERIFY(menuItem && menuItem->isCheckable() && !menuItem->isChecked());
        if (guides)
            menuItem->trigger();
        QCOMPARE(Preferences().guidesOn(), guides);
        VellButton *b = t.button(1);
        QPoint from(416, 256);
        if (handle) {
            QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, from);
            QTest::mouseMove(f.panel(), QPoint(10, 10));
            from = f.drawing().frame(*b)->handleRect(handle).center();
        }
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(f.panel(), from + QPoint(1, 0));
        QTest::mouseEvent(QTest::MouseMove, f.panel(), Qt::NoButton, mods, to);
        QCOMPARE(int(f.surface().guides().size()), lines);
        for (const DesignSurface::Guide &g : f.surface().guides()) {
            const QPoint on = g.axis == Qt::Horizontal ? QPoint(g.at, 7) : QPoint(9, g.at);
            QCOMPARE(f.panel()->grab().toImage().pixelColor(on), QColor(230, 0, 180));
        }
        QTest::mouseRelease(f.panel(), Qt::LeftButton, mods, to);
        QCOMPARE(f.drawing().element(*b)->rect(), rect);
        QCOMPARE(QPoint(b->X, b->Y), xy);
        // The lines go and leave nothing behind; the drop is one step.
        QVERIFY(f.surface().guides().empty());
        QCOMPARE(PanelShown(f.panel()), PanelDrawnAfresh(f.drawing().scene(), nullptr));
        f.form->MMUndo->trigger();
        QCOMPARE(f.drawing().element(*t.button(1))->rect(), QRect(400, 240, 32, 32));
    }

    // A selected button under a picture made after it: its border and
    // handles lie above the picture, a press on one resizes the button, the
    // arrow keys move it.
    void coveredSelectionStaysInReach()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        ObjectTables &t = f.tables();
        VellButton *b = t.button(1);
        t.SetExactSize(*t.picture(1), 45, 37);
        t.SetPosition(*t.picture(1), 9, -5); // (303, 163, 45 x 37)
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(301, 170));
        QTest::mouseMove(f.panel(), QPoint(10, 10));
        QCOMPARE(f.surface().selectedObject(), b);
        const QPoint grip = f.drawing().frame(*b)->handleRect(3).center();
        const QImage shown = PanelShown(f.panel());
        QCOMPARE(shown, PanelDrawnAfresh(f.drawing().scene(), nullptr));
        QCOMPARE(shown.pixelColor(grip - QPoint(1, 1)), QColor(0, 0, 0));
        // Its border is drawn over the picture, whose teal stays inside it.
        QCOMPARE(shown.pixelColor(grip - QPoint(1, 4)), QColor(0, 0, 0));
        QCOMPARE(shown.pixelColor(grip - QPoint(3, 4)), QColor(0, 128, 128));
        drag(f.panel(), grip, QPoint(360, 215));
        QCOMPARE(f.drawing().element(*b)->rect(), QRect(300, 160, 62, 57));
        QCOMPARE(QPoint(b->Width, b->Height), QPoint(62, 57));
        QCOMPARE(PanelShown(f.panel()), PanelDrawnAfresh(f.drawing().scene(), nullptr));
        QTest::keyClick(f.panel(), Qt::Key_Right);
        QCOMPARE(QPoint(b->X, b->Y), QPoint(16, -12));
        // Under a picture that holds it whole, a press takes the button,
        // which is dragged out from under; Alt+click still reaches the
        // picture.
        t.SetExactSize(*t.picture(1), 90, 80);
        const QPoint inside = f.drawing().element(*b)->rect().center();
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::AltModifier, inside);
        QCOMPARE(f.surface().selectedObject(), t.picture(1));
        f.surface().Select(*b);
        drag(f.panel(), inside, QPoint(100, 60));
        QCOMPARE(QPoint(b->X, b->Y), QPoint(-217, 117));
        QCOMPARE(QPoint(t.picture(1)->X, t.picture(1)->Y), QPoint(9, -5));
        QCOMPARE(f.surface().selectedObject(), b);
    }

    // The pictures the panel keeps between repaints never show anything but
    // the scene: an object resized beneath others, a drag over them, and
    // changes made while a handle is held.
    void panelShowsTheSceneThroughDragsAndResizes()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        ObjectTables &t = f.tables();
        PanelDrawing &d = f.drawing();
        VellButton *under = t.button(1);
        t.SetPosition(*t.picture(1), -9, 7);
        t.SetPosition(*t.text(1), 5, 14);
        t.SetText(*t.text(1), QStringLiteral("Надпись над кнопкой"));
        t.SetPosition(*t.button(2), 27, 21);
        const auto same = [&](const char *when) {
            const QImage expected = PanelDrawnAfresh(d.scene(), f.surface().GhostFrame());
            if (PanelShown(f.panel()) != expected)
                QFAIL(qPrintable(QStringLiteral("the panel differs from the scene ") + when));
        };
        same("at first");
        f.surface().Select(*under);
        same("with the frame shown");
        const QPoint grip = d.frame(*under)->handleRect(3).center();
        QCOMPARE(d.scene().elementAt(grip), d.frame(*under)->handleElement(3));
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, grip);
        for (const QPoint to :
             {QPoint(351, 213), QPoint(337, 230), QPoint(302, 171), QPoint(389, 196)}) {
            QTest::mouseMove(f.panel(), to);
            same("while resizing beneath other objects");
        }
        // Changed while the handle is held: another object moves across.
        t.SetPosition(*t.button(2), 40, -5);
        same("after another object moved during the resize");
        QTest::mouseMove(f.panel(), QPoint(366, 188));
        same("after the next tick");
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(366, 188));
        same("after the release");
        QCOMPARE(d.element(*under)->rect(), QRect(300, 160, 68, 30));
        // A drag of the picture over the others, ghost outline shown.
        const QPoint on = d.element(*t.picture(1))->rect().topLeft() + QPoint(2, 22);
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, on);
        QTest::mouseMove(f.panel(), on + QPoint(1, 0));
        QTest::mouseMove(f.panel(), QPoint(120, 77));
        same("while dragging");
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(120, 77));
        same("after the drop");
        // A handle pressed at its very corner (nothing moves yet), then
        // another object chosen in the kind and object boxes: the held frame
        // is hidden, and where it stood shows what lies there.
        const QPoint corner = d.frame(*t.picture(1))->handleRect(3).topLeft();
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, corner);
        f.form->ClassList->setCurrentIndex(0);
        f.form->ObjList->showPopup();
        f.form->ObjList->hidePopup();
        QTest::keyClick(f.form->ObjList, Qt::Key_Down);
        QCOMPARE(f.surface().selectedObject(), t.button(1));
        QCOMPARE(f.surface().ActiveFrame(), d.frame(*t.picture(1)));
        QVERIFY(!d.frame(*t.picture(1))->isVisible());
        same("with the held frame hidden");
        QTest::mouseMove(f.panel(), corner + QPoint(6, 4));
        same("while resizing with the frame hidden");
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, corner + QPoint(6, 4));
        same("after the release of the hidden frame's handle");
        QCOMPARE(d.element(*t.picture(1))->rect(), QRect(103, 60, 38, 36));
    }

    void creatingKeepsTheSelectionAndStacks()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(f.surface().selectedObject(), f.tables().button(1));
        QCOMPARE(f.form->ObjList->currentText(), QStringLiteral("Button_1"));
        QCOMPARE(f.drawing().element(*f.tables().button(2))->rect(),
                 f.drawing().element(*f.tables().button(1))->rect());
        QVERIFY(f.drawing().element(*f.tables().button(2))->stackOrder() >
                f.drawing().element(*f.tables().button(1))->stackOrder());
        // The new one covers the selected one whole: a click keeps the
        // selection, Alt+click reaches the new one.
        QTest::mouseMove(f.panel(), QPoint(10, 10));
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, kCentre);
        QCOMPARE(f.surface().selectedObject(), f.tables().button(1));
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::AltModifier, kCentre);
        QCOMPARE(f.surface().selectedObject(), f.tables().button(2));
        QCOMPARE(f.drawing().element(*f.tables().button(1))->penWidth(), 1);
    }

    void objectBox()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        QComboBox *box = f.form->ObjList;
        box->setEditText(QStringLiteral("Button_9")); // a name no object bears
        f.form->ObjListClick();
        QVERIFY(!f.surface().CurrentSelection());
        box->showPopup();
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->itemText(1), QStringLiteral("Button_2"));
        box->view()->setCurrentIndex(box->model()->index(1, 0));
        QTest::keyClick(box->view(), Qt::Key_Return);
        QCOMPARE(f.surface().selectedObject(), f.tables().button(2));
        QCOMPARE(f.form->ID->text(), QStringLiteral("2"));
        // Choosing another kind by hand only changes what the box offers.
        f.form->ClassList->setCurrentIndex(1);
        QCOMPARE(f.surface().selectedObject(), f.tables().button(2));
        box->showPopup();
        QCOMPARE(box->count(), 1);
        QCOMPARE(box->itemText(0), QStringLiteral("Picture_1"));
        box->hidePopup();
        // Typed characters are discarded in both boxes.
        typeText(f.form->ClassList, QStringLiteral("Те"));
        QCOMPARE(f.form->ClassList->currentText(), QStringLiteral("Картинка"));
        QTest::keyClicks(box->lineEdit(), QStringLiteral("Button_1"));
        QCOMPARE(box->currentText(), QStringLiteral("Button_2"));
        // A name longer than a line edit holds by default (32,767) is shown
        // whole, and choosing it selects its object.
        const QString longName = QStringLiteral("Picture_").repeated(5000);
        VellControl *longNamed = f.tables().createNamed(KindPicture, longName);
        f.form->project().RefreshObjectNames();
        box->showPopup();
        box->view()->setCurrentIndex(box->model()->index(1, 0));
        QTest::keyClick(box->view(), Qt::Key_Return);
        QCOMPARE(box->currentText().size(), longName.size());
        QCOMPARE(f.surface().selectedObject(), longNamed);
    }

    void objectBoxArrowKeysReachEveryEntry()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        QComboBox *box = f.form->ObjList;
        box->showPopup();
        box->hidePopup();
        box->setFocus();
        // From "<объект не выбран>" Down goes to the only entry; Up, Home and
        // End stay there.
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End}) {
            QTest::keyClick(box, key);
            QCOMPARE(f.surface().selectedObject(), f.tables().button(1));
            QCOMPARE(box->currentText(), QStringLiteral("Button_1"));
        }
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.form->MMDelete->trigger();
        QCOMPARE(box->currentText(), QStringLiteral("<объект не выбран>"));
        box->showPopup();
        box->hidePopup();
        box->setFocus();
        const QList<std::pair<Qt::Key, int>> steps{{Qt::Key_Down, 1}, {Qt::Key_Down, 2},
                                                   {Qt::Key_Down, 2}, {Qt::Key_Up, 1},
                                                   {Qt::Key_End, 2},  {Qt::Key_Home, 1}};
        for (const auto &[key, id] : steps) {
            QTest::keyClick(box, key);
            QCOMPARE(f.surface().selectedObject(), f.tables().button(id));
            QCOMPARE(box->currentText(), f.tables().button(id)->Name);
        }
    }

    void titleRule()
    {
        AppFixture f;
        QTRY_VERIFY_WITH_TIMEOUT(!f.form->RecoloringTimer->isActive(), 1000);
        QCOMPARE(f.form->windowTitle(), QStringLiteral("FM Vell Creator (Новый проект)"));
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(f.form->windowTitle(),
                                  QStringLiteral("FM Vell Creator (Новый проект)*"), 300);
        f.form->project().setProjectFileName(QStringLiteral("/tmp/a.vlp"));
        QTRY_COMPARE_WITH_TIMEOUT(f.form->windowTitle(),
                                  QStringLiteral("FM Vell Creator (/tmp/a.vlp)*"), 300);
        f.form->project().setProjectModified(false);
        QTRY_COMPARE_WITH_TIMEOUT(f.form->windowTitle(),
                                  QStringLiteral("FM Vell Creator (/tmp/a.vlp)"), 300);
        // No changes and no file: the title stays as it is.
        f.form->project().setProjectFileName(QString());
        QTRY_VERIFY_WITH_TIMEOUT(!f.form->RecoloringTimer->isActive(), 1000);
        QCOMPARE(f.form->windowTitle(), QStringLiteral("FM Vell Creator (/tmp/a.vlp)"));
    }

    void buttonColourRepaintsAllButtons()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        f.dialogs.colors.push_back(QColor(10, 20, 30));
        f.form->MMSetting->trigger();
        QTest::mouseClick(f.app->Form2()->BtnColor, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(f.drawing().element(*f.tables().button(1))->fill(),
                                  QColor(10, 20, 30), 150);
        QCOMPARE(f.drawing().element(*f.tables().button(2))->fill(), QColor(10, 20, 30));
        QCOMPARE(f.drawing().element(*f.tables().picture(1))->fill(), QColor(0, 128, 128));
    }

    // A long label is drawn only where it shows, piece by piece: the same
    // pixels as drawing its whole text.
    void longLabelDrawnInPieces()
    {
        const QString text = QStringLiteral("Ok, ёлка\u0301 W\U0001F600!").repeated(700);
        const QRect rect(-23456, 7, LabelSize(text).width(), kLabelHeight);
        PanelScene scene;
        PanelElement e(scene, ElementShape::Label, rect);
        e.setText(text);
        e.setTextColor(QColor(90, 0, 30));
        QImage pieces(120, 30, QImage::Format_RGB32);
        QImage whole = pieces;
        for (QImage *image : {&pieces, &whole}) {
            image->fill(Qt::white);
            QPainter painter(image);
            painter.setClipRect(QRect(13, 2, 97, 25));
            if (image == &pieces) {
                paintElement(painter, e);
                continue;
            }
            painter.fillRect(rect, e.fill());
            painter.setFont(LabelFont());
            painter.setPen(e.textColor());
            painter.drawText(QPointF(rect.left(), rect.top() + LabelAscent()), text);
        }
        QCOMPARE(pieces, whole);
        QVERIFY(pieces.pixelColor(60, 12) != e.fill()); // some text shows
    }

    // A border lies inside its rectangle, `width` pixels wide, every pixel of
    // it drawn also where the rectangle reaches past the picture or the clip.
    void borderPixels_data()
    {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<int>("width");
        QTest::addColumn<QRect>("clip");
        QTest::newRow("inside, selected") << QRect(3, 5, 17, 9) << 2 << QRect();
        QTest::newRow("past the right edge") << QRect(5, 7, 37, 4) << 1 << QRect();
        QTest::newRow("past the right edge, selected") << QRect(9, 2, 33, 11) << 2 << QRect();
        QTest::newRow("past the left and bottom edges") << QRect(-6, 20, 15, 13) << 1 << QRect();
        QTest::newRow("cut by the clip") << QRect(4, 3, 30, 20) << 2 << QRect(6, 1, 17, 12);
        QTest::newRow("narrower than its border") << QRect(5, 4, 3, 9) << 2 << QRect();
        QTest::newRow("one pixel high") << QRect(7, 11, 20, 1) << 1 << QRect();
    }

    void borderPixels()
    {
        QFETCH(QRect, rect);
        QFETCH(int, width);
        QFETCH(QRect, clip);
        PanelScene scene;
        PanelElement e(scene, ElementShape::Rectangle, rect);
        e.setFill(QColor(200, 210, 220));
        e.setPen(QColor(10, 20, 30), width);
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        if (!clip.isNull())
            painter.setClipRect(clip);
        paintElement(painter, e);
        painter.end();
        // Too narrow for an inside: all border.
        const QRect inner = rect.width() > 2 * width && rect.height() > 2 * width
                                ? rect.adjusted(width, width, -width, -width)
                                : QRect();
        const QRect drawn = clip.isNull() ? image.rect() : clip;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QPoint p(x, y);
                const QColor expected = !rect.contains(p) || !drawn.contains(p) ? QColor(Qt::white)
                                        : inner.contains(p) ? QColor(200, 210, 220)
                                                            : QColor(10, 20, 30);
                if (image.pixelColor(p) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3")
                                         .arg(x)
                                         .arg(y)
                                         .arg(image.pixelColor(p).name())));
            }
        }
    }
};

QTEST_MAIN(TestDesignPanel)
#include "tst_designpanel.moc"
