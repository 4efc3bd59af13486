#include "designer/designsurface.h"
#include "project/projectcommands.h"

#include <QtTest>

using namespace vell;

namespace {

QRect placed(const VellControl &o)
{
    return QRect(o.X, o.Y, o.Width, o.Height);
}

// A design, its commands and the surface that draws and selects its objects.
struct Design
{
    Project p;
    ProjectCommands c{p};
    DesignSurface surface{p, c};
    ObjectTables &t = p.tables();
    PanelElement *drawn(const VellControl &o) { return surface.drawing().element(o); }
};

} // namespace

// Copy, cut and paste of one object through the commands.
class TestObjectClipboard : public QObject
{
    Q_OBJECT

private slots:
    // A pasted button has every field of the copied one but its name, place
    // and identifier: at the panel centre under the next default name.
    void copyAndPasteAButton()
    {
        Design d;
        auto *b = static_cast<VellButton *>(d.c.create(KindButton));
        d.t.SetPosition(*b, -100, 50);
        d.t.SetSize(*b, 64, 32);
        b->TextureId = QStringLiteral("T1");
        d.t.SetVisible(*b, false);
        b->LeftActionsFunction = QStringLiteral("L");
        b->RightActionsFunction = QStringLiteral("R");
        b->LeftActions = QStringList{"ObjShow f \"Text_1\"", "ECHO \"a\""};
        b->RightActions = QStringList{"ECHO \"1\"", "ECHO \"2\"", "ECHO \"3\""};
        d.surface.Select(*b);
        d.p.setProjectModified(false);
        d.c.copy(*b);
        // The project did not change, yet it counts as changed.
        QCOMPARE(titleOf(d.p.state()), QStringLiteral("FM Vell Creator (Новый проект)*"));
        d.c.paste();
        d.c.paste();
        QCOMPARE(d.t.objectNames(), QStringList({"Button_1", "Button_2", "Button_3"}));
        for (const int id : {2, 3}) {
            const VellButton &p = *d.t.button(id);
            QCOMPARE(placed(p), QRect(0, 0, 64, 32));
            QCOMPARE(d.drawn(p)->rect(), QRect(284, 160, 64, 32));
            QCOMPARE(d.drawn(p)->fillStyle(), FillStyle::DiagCross);
            VellButton same = *b;
            same.Name = p.Name;
            same.Id = id;
            same.X = same.Y = 0;
            QVERIFY(p == same);
            QVERIFY(!d.surface.drawing().frame(p)->isVisible());
        }
        // Pasted objects are not selected.
        QCOMPARE(d.surface.selectedObject(), b);
        QCOMPARE(d.p.KnownObjectNames(), d.t.objectNames());
    }

    void textsKeepTheirColourOrTheDefault()
    {
        Design d;
        auto *red = static_cast<VellText *>(d.c.create(KindText));
        VellControl *plain = d.c.create(KindText);
        d.t.SetText(*red, QStringLiteral("Привет"));
        d.t.SetTextColor(*red, QColor(255, 0, 0));
        d.c.copy(*red);
        d.c.paste();
        const VellText &pasted = *d.t.text(3);
        QCOMPARE(pasted.Name, QStringLiteral("Text_3"));
        QCOMPARE(pasted.Text, QStringLiteral("Привет"));
        QCOMPARE(pasted.TextColor, QStringLiteral("clRed"));
        QCOMPARE(d.drawn(pasted)->textColor(), QColor(255, 0, 0));
        QCOMPARE(d.drawn(pasted)->size(), d.drawn(*red)->size());
        d.c.copy(*plain);
        d.c.paste();
        QVERIFY(d.t.text(4)->TextColor.isEmpty());
        QCOMPARE(d.drawn(*d.t.text(4))->textColor(), QColor(0, 0, 0));
    }

    // Clear and a new project leave the buffer alone.
    void cutThenPasteBringsItBackUnderANewName()
    {
        Design d;
        VellControl *first = d.c.create(KindPicture);
        d.c.create(KindPicture);
        d.t.SetPosition(*first, 40, -30);
        d.t.SetSize(*first, 20, 10);
        d.surface.Select(*first);
        d.p.setProjectModified(false);
        d.c.cut(*first);
        QCOMPARE(d.t.objectNames(), QStringList{"Picture_2"});
        QCOMPARE(d.t.picture(1)->Id, 1);
        QVERIFY(!d.surface.selectedObject());
        QVERIFY(!d.surface.GhostFrame());
        QCOMPARE(d.p.KnownObjectNames(), QStringList{"Picture_2"});
        QVERIFY(d.p.ProjectModified());
        d.c.clear();
        d.c.newProject();
        d.c.paste();
        QCOMPARE(d.t.objectNames(), QStringList{"Picture_3"});
        QCOMPARE(placed(*d.t.picture(1)), QRect(0, 0, 20, 10));
    }

    // A full table: nothing is pasted, the project is marked, and the buffer
    // stays for when there is room again.
    void pasteIntoAFullTable()
    {
        Design d;
        d.c.copy(*d.c.create(KindPicture));
        d.p.beginBulkChange();
        while (d.p.create(KindPicture)) {
        }
        d.p.endBulkChange();
        d.p.setProjectModified(false);
        const ProjectCommands::Paste refused = d.c.paste();
        QCOMPARE(refused.outcome, ObjectClipboard::PasteOutcome::TableFull);
        QCOMPARE(refused.pasted, nullptr);
        QCOMPARE(FullTableMessage(d.c.clipboard().bufferKind()),
                 QStringLiteral("Нельзя создать картинку: на панели уже 9999 картинок."));
        QCOMPARE(d.t.PictureCount(), 9999);
        QVERIFY(d.p.ProjectModified());
        d.c.remove(d.t.picture(1));
        QCOMPARE(d.c.paste().outcome, ObjectClipboard::PasteOutcome::Pasted);
        QCOMPARE(d.t.PictureCount(), 9999);
    }
};

QTEST_MAIN(TestObjectClipboard)
#include "tst_objectclipboard.moc"
