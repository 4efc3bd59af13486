#include "designer/designsurface.h"

#include <QSignalSpy>
#include <QtTest>

using namespace vell;

namespace {

struct Fixture
{
    Project project;
    ObjectTables &tables = project.tables();
    ProjectCommands commands{project};
    DesignSurface surface{project, commands};
    PanelDrawing &drawing = surface.drawing();

    template <typename T> void set(T Settings::*field, T value)
    {
        Settings s = project.settings();
        s.*field = value;
        project.setSettings(s);
    }
};

} // namespace

class TestDesignSurface : public QObject
{
    Q_OBJECT

private slots:
    void createRaisesModifiedAndKeepsSelection()
    {
        Fixture f;
        QSignalSpy changed(&f.project, &Project::objectAdded);
        VellControl *first = f.surface.create(KindButton);
        QVERIFY(f.project.ProjectModified());
        QCOMPARE(changed.count(), 1);
        f.surface.Select(*first);
        f.surface.create(KindPicture);
        QCOMPARE(f.surface.selectedObject(), first);
        QCOMPARE(f.drawing.element(*f.tables.picture(1))->penWidth(), 1);
        QVERIFY(!f.drawing.frame(*f.tables.picture(1))->isVisible());
    }

    void pressHighlightsAndMovesTheHighlight()
    {
        Fixture f;
        f.set(&Settings::selectionBorderColor, QColor(0, 0, 255));
        auto *b = static_cast<VellButton *>(f.surface.create(KindButton));
        auto *t = static_cast<VellText *>(f.surface.create(KindText));
        QSignalSpy shown(&f.surface, &DesignSurface::propertiesShown);
        f.surface.press(f.drawing.element(*b), PressState::LeftAlone);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(f.drawing.element(*b)->penWidth(), 2);
        QCOMPARE(f.drawing.element(*b)->penColor(), QColor(0, 0, 255));
        QVERIFY(f.drawing.frame(*b)->isVisible());
        QCOMPARE(f.drawing.element(*b)->rect(), QRect(300, 160, 32, 32)); // nothing moved
        f.surface.press(f.drawing.element(*t), PressState::Other);
        QCOMPARE(f.drawing.element(*b)->penWidth(), 1);
        QCOMPARE(f.drawing.element(*b)->penColor(), QColor(0, 0, 0));
        QVERIFY(!f.drawing.frame(*b)->isVisible());
        QCOMPARE(f.drawing.element(*t)->fill(), QColor(255, 128, 0));
        f.surface.press(f.drawing.element(*b), PressState::Other);
        QCOMPARE(f.drawing.element(*t)->fill(), QColor(240, 240, 240));
    }

    void ghostOutlineFollowsOption()
    {
        Fixture f;
        auto *b = static_cast<VellButton *>(f.surface.create(KindButton));
        f.surface.press(f.drawing.element(*b), PressState::LeftAlone);
        QVERIFY(f.surface.GhostFrame());
        QCOMPARE(f.surface.GhostFrame()->rect(), f.drawing.element(*b)->rect());
        QVERIFY(f.surface.GhostFrame()->dottedPen());
        QCOMPARE(f.surface.GhostFrame()->fillStyle(), FillStyle::Clear);
        // The move tick centres it on the pointer.
        f.surface.moveTick(QPoint(100, 50));
        QCOMPARE(f.surface.GhostFrame()->rect(), QRect(84, 34, 32, 32));
        f.surface.pointerMovedOverGhost();
        QVERIFY(!f.surface.GhostFrame());

        f.set(&Settings::borderMove, false);
        f.surface.press(f.drawing.element(*b), PressState::LeftAlone);
        QVERIFY(!f.surface.GhostFrame());
        f.set(&Settings::borderMove, true);
        f.surface.press(f.drawing.element(*b), PressState::RightAlone);
        QVERIFY(!f.surface.GhostFrame());
        f.surface.press(f.drawing.element(*b), PressState::Other);
        QVERIFY(!f.surface.GhostFrame());
    }

    void dropPlacesCentreOnePixelUpLeft()
    {
        Fixture f;
        auto *b = static_cast<VellButton *>(f.surface.create(KindButton));
        f.project.setProjectModified(false);
        f.surface.press(f.drawing.element(*b), PressState::LeftAlone);
        f.surface.moveTick(QPoint(100, 50));
        QVERIFY(f.surface.acceptsDrop(QPoint(100, 50), f.drawing.element(*b)));
        f.surface.drop(f.drawing.element(*b), QPoint(100, 50));
        QCOMPARE(b->X, -217);
        QCOMPARE(b->Y, 127);
        QCOMPARE(f.drawing.element(*b)->rect(), QRect(83, 33, 32, 32));
        QVERIFY(!f.surface.GhostFrame());
        QVERIFY(f.project.ProjectModified());
        // The frame came along.
        QCOMPARE(f.drawing.frame(*b)->handleRect(1).topLeft(), QPoint(81, 31));
    }

    // A group: Ctrl+click adds and takes out (the most recently added of
    // the rest leads), a band keeps a primary inside it or takes the
    // topmost, a press on a member drags them all by the primary's offset,
    // and a press let go where it was leaves that object alone.
    void groupSelectionAndDrag()
    {
        Fixture f;
        VellControl &a = *f.surface.create(KindButton);
        VellControl &b = *f.surface.create(KindPicture);
        VellControl &c = *f.surface.create(KindText);
        f.tables.SetPosition(a, -200, 100);
        f.tables.SetPosition(b, 150, -60);
        f.tables.SetPosition(c, 31, 7);
        f.surface.toggle(a);
        f.surface.toggle(c);
        f.surface.toggle(b);
        f.surface.toggle(b);
        QCOMPARE(f.surface.selectedObject(), &c);
        f.surface.toggle(c);
        QCOMPARE(f.surface.selectedObject(), &a);
        f.surface.selectInBand(QRect(0, 0, 633, 353), true);
        QCOMPARE(f.surface.selectedObject(), &a);
        QCOMPARE(f.surface.selectedObjects().size(), size_t(3));
        f.surface.selectInBand(QRect(300, 100, 333, 253), false);
        QCOMPARE(f.surface.selectedObject(), &c);
        QCOMPARE(f.surface.selectedObjects().size(), size_t(2));
        f.surface.press(f.drawing.element(b), PressState::LeftAlone);
        f.surface.setDragged(f.drawing.element(b));
        f.surface.moveTick(QPoint(500, 300));
        f.surface.drop(f.drawing.element(b), QPoint(500, 300));
        QCOMPARE(QPoint(b.X, b.Y), QPoint(183, -123));
        QCOMPARE(QPoint(c.X, c.Y), QPoint(64, -56));
        QCOMPARE(f.surface.selectedObjects().size(), size_t(2));
        f.surface.press(f.drawing.element(c), PressState::LeftAlone);
        f.surface.releasedWithoutMove();
        QCOMPARE(f.surface.selectedObjects(), std::vector<VellControl *>{&c});
    }

    void dropTargets()
    {
        Fixture f;
        f.set(&Settings::borderMove, false);
        auto *a = static_cast<VellButton *>(f.surface.create(KindButton));
        auto *b = static_cast<VellButton *>(f.surface.create(KindButton));
        f.tables.SetPosition(*b, 200, 0);
        f.surface.press(f.drawing.element(*a), PressState::LeftAlone);
        QVERIFY(!f.surface.acceptsDrop(QPoint(310, 170), f.drawing.element(*a))); // itself
        QVERIFY(
            !f.surface.acceptsDrop(f.drawing.element(*b)->rect().center(), f.drawing.element(*a)));
        QVERIFY(!f.surface.acceptsDrop(QPoint(299, 159), f.drawing.element(*a))); // a shown handle
        QVERIFY(!f.surface.acceptsDrop(QPoint(-1, 10), f.drawing.element(*a)));
        QVERIFY(!f.surface.acceptsDrop(QPoint(10, 353), f.drawing.element(*a)));
        QVERIFY(f.surface.acceptsDrop(QPoint(0, 0), f.drawing.element(*a)));
        QVERIFY(f.surface.acceptsDrop(QPoint(632, 352), f.drawing.element(*a)));
        QVERIFY(!f.surface.acceptsDrop(QPoint(633, 200), f.drawing.element(*a)));
    }

    // Button_1 and Text_1 under Picture_1 (60 x 50, made after them, holding
    // both whole); Button_2 under Picture_2 (20 x 20), which reaches past
    // its right edge; Button_3, 2 x 2, within its handles.
    void leftPressReachesACoveredSelection_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QString>("reached");
        QTest::newRow("covered button") << "Button_1" << QPoint(305, 187) << "Button_1";
        QTest::newRow("nothing selected") << "" << QPoint(305, 187) << "Picture_1";
        QTest::newRow("beside the covered button") << "Button_1" << QPoint(290, 155) << "Picture_1";
        QTest::newRow("partly covered") << "Button_2" << QPoint(525, 170) << "Picture_2";
        QTest::newRow("covered text") << "Text_1" << QPoint(316, 176) << "Picture_1";
        QTest::newRow("a handle") << "Button_1" << QPoint(299, 159) << "handle";
        QTest::newRow("a handle holding its button") << "Button_3" << QPoint(65, 75) << "handle";
    }
    void leftPressReachesACoveredSelection()
    {
        QFETCH(QString, selected);
        QFETCH(QPoint, point);
        QFETCH(QString, reached);
        Fixture f;
        for (const ObjectKind kind :
             {KindButton, KindText, KindPicture, KindButton, KindPicture, KindButton})
            f.surface.create(kind);
        f.tables.SetExactSize(*f.tables.button(3), 2, 2);
        f.tables.SetPosition(*f.tables.button(3), -250, 100);
        f.tables.SetExactSize(*f.tables.picture(1), 60, 50);
        f.tables.SetPosition(*f.tables.button(2), 200, 0);
        f.tables.SetExactSize(*f.tables.picture(2), 20, 20);
        f.tables.SetPosition(*f.tables.picture(2), 215, 0);
        for (const ObjectKind kind : kObjectKinds) {
            if (VellControl *o = f.tables.FindObjectByName(kind, selected))
                f.surface.Select(*o);
        }
        const PanelElement *e = f.surface.leftPressTarget(point);
        QVERIFY(e);
        const VellControl *o = f.drawing.objectOf(e);
        QCOMPARE(o ? o->Name : e->shape() == ElementShape::Handle ? "handle" : "?", reached);
    }

    void deleteRemovesTheSelectedObjectOnly()
    {
        Fixture f;
        for (int i = 0; i < 3; ++i)
            f.surface.create(KindButton);
        f.surface.create(KindPicture);
        f.surface.Select(*f.tables.button(2));
        QSignalSpy reset(&f.surface, &DesignSurface::objectInfoReset);
        f.project.setProjectModified(false);
        f.surface.RemoveSelected();
        QCOMPARE(reset.count(), 1);
        QVERIFY(f.project.ProjectModified());
        QVERIFY(!f.surface.CurrentSelection());
        QCOMPARE(f.tables.objectNames(), (QStringList{"Button_1", "Button_3", "Picture_1"}));
        QCOMPARE(f.tables.button(2)->Id, 2);
        // Nothing selected: nothing removed, still marked modified.
        f.project.setProjectModified(false);
        f.surface.RemoveSelected();
        QCOMPARE(f.tables.ButtonCount(), 2);
        QVERIFY(f.project.ProjectModified());
    }

    void popupAttachment()
    {
        Fixture f;
        VellControl *b = f.surface.create(KindButton);
        QVERIFY(!f.surface.popupAttached());
        f.surface.press(f.drawing.element(*b), PressState::RightAlone);
        QVERIFY(f.surface.popupAttached());
        f.surface.pressBarePanel(PressState::Other);
        QVERIFY(f.surface.popupAttached());
        f.surface.pressBarePanel(PressState::RightAlone);
        QVERIFY(!f.surface.popupAttached());
        f.surface.press(f.drawing.element(*b), PressState::RightAlone);
        f.surface.press(f.drawing.element(*b), PressState::Other);
        QVERIFY(f.surface.popupAttached());
        f.surface.RemoveSelected();
        QVERIFY(!f.surface.popupAttached());
    }

    void clearKeepsCountersAndForgetsSelection()
    {
        Fixture f;
        VellControl *b = f.surface.create(KindButton);
        f.surface.create(KindText);
        f.surface.Select(*b);
        f.surface.ClearAllObjects();
        QVERIFY(!f.surface.CurrentSelection());
        QCOMPARE(f.tables.ButtonCount() + f.tables.TextCount(), 0);
        VellControl *next = f.surface.create(KindButton);
        QCOMPARE(next->Name, QStringLiteral("Button_2"));
        f.surface.press(f.drawing.element(*next), PressState::LeftAlone);
        QCOMPARE(f.surface.selectedObject(), next);
    }

    void resizeByHandleMarksModifiedOnRelease()
    {
        Fixture f;
        auto *b = static_cast<VellButton *>(f.surface.create(KindButton));
        f.surface.Select(*b);
        f.project.setProjectModified(false);
        QSignalSpy shown(&f.surface, &DesignSurface::propertiesShown);
        f.surface.handleDown(f.drawing.frame(*b)->handleElement(3), QPoint(340, 200));
        QCOMPARE(f.surface.ActiveFrame(), f.drawing.frame(*b));
        QCOMPARE(f.drawing.element(*b)->rect(), QRect(300, 160, 42, 42));
        QCOMPARE(shown.count(), 1);
        f.surface.moveTick(QPoint(340, 200)); // pointer still: nothing to do
        QCOMPARE(shown.count(), 1);
        f.surface.moveTick(QPoint(350, 210));
        QCOMPARE(f.drawing.element(*b)->rect(), QRect(300, 160, 52, 52));
        QVERIFY(!f.project.ProjectModified());
        f.surface.handleUp();
        QVERIFY(!f.surface.ActiveFrame());
        QVERIFY(f.project.ProjectModified());
        QCOMPARE(f.project.history().count(), 2);
        // Given up (Escape, F9): back as before the press, without a step.
        f.project.setProjectModified(false);
        f.surface.handleDown(f.drawing.frame(*b)->handleElement(1), QPoint(298, 158));
        f.surface.moveTick(QPoint(271, 163));
        QCOMPARE(QRect(b->X, b->Y, b->Width, b->Height), QRect(-4, -12, 79, 47));
        f.surface.cancelPointerWork();
        QCOMPARE(QRect(b->X, b->Y, b->Width, b->Height), QRect(10, -10, 52, 52));
        QCOMPARE(f.drawing.element(*b)->rect(), QRect(300, 160, 52, 52));
        QCOMPARE(f.project.history().count(), 2);
        QVERIFY(!f.project.ProjectModified());
    }

    void deletingWhileHoldingAHandleReleasesIt()
    {
        Fixture f;
        auto *b = static_cast<VellButton *>(f.surface.create(KindButton));
        f.surface.Select(*b);
        f.surface.handleDown(f.drawing.frame(*b)->handleElement(1), QPoint(290, 150));
        f.surface.RemoveSelected();
        QVERIFY(!f.surface.ActiveFrame());
        f.surface.moveTick(QPoint(10, 10)); // must not touch the removed frame
        QCOMPARE(f.tables.ButtonCount(), 0);
    }

    void recolourOnlyButtons()
    {
        Fixture f;
        VellControl *b = f.surface.create(KindButton);
        VellControl *p = f.surface.create(KindPicture);
        f.set(&Settings::buttonColor, QColor(1, 2, 3));
        f.set(&Settings::pictureColor, QColor(4, 5, 6));
        f.surface.recolourButtons();
        QCOMPARE(f.drawing.element(*b)->fill(), QColor(1, 2, 3));
        QCOMPARE(f.drawing.element(*p)->fill(), QColor(0, 128, 128));
        QCOMPARE(f.drawing.element(*f.surface.create(KindPicture))->fill(), QColor(4, 5, 6));
    }

    void textPresetsTheColourDialog()
    {
        Fixture f;
        auto *t = static_cast<VellText *>(f.surface.create(KindText));
        f.surface.setColorTextPreset(QColor(1, 1, 1));
        f.surface.Select(*t);
        QCOMPARE(f.surface.colorTextPreset(), QColor(1, 1, 1)); // no colour chosen yet
        f.tables.SetTextColor(*t, QColor(0, 0, 255));
        f.surface.Select(*t);
        QCOMPARE(f.surface.colorTextPreset(), QColor(0, 0, 255));
    }
};

QTEST_MAIN(TestDesignSurface)
#include "tst_designsurface.moc"
