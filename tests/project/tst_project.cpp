#include "common/textfile.h"
#include "designer/designsurface.h"
#include "designer/paneldrawing.h"
#include "model/usercodelines.h"
#include "project/designcheck.h"
#include "project/project.h"
#include "project/projectcommands.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QtTest>

using namespace vell;

Q_DECLARE_METATYPE(std::function<void(vell::ProjectCommands &, vell::ObjectTables &)>)

namespace {

// The design as the project file holds it.
QByteArray design(const Project &p)
{
    return JoinTextLines(ProjectFileLines(p));
}

QRect placed(const VellControl &o)
{
    return QRect(o.X, o.Y, o.Width, o.Height);
}

// A command of a use, on a design of two buttons, a picture and a text.
using Run = std::function<void(ProjectCommands &, ObjectTables &)>;

} // namespace

// The project as plain data without any window: objects, their names as the
// actions dialog offers them, removal notices, user code and state.
class TestProject : public QObject
{
    Q_OBJECT

private slots:
    void objectsAreCopyableComparableRecords()
    {
        Project p;
        auto *b = static_cast<VellButton *>(p.create(KindButton));
        p.tables().SetPosition(*b, -7, 12);
        p.tables().SetSize(*b, 45, 20);
        b->LeftActions = QStringList{"ECHO hi"};
        const VellButton copy = *b;
        QVERIFY(copy == *b);
        QCOMPARE(copy.Name, QStringLiteral("Button_1"));
        QCOMPARE(QRect(copy.X, copy.Y, copy.Width, copy.Height), QRect(-7, 12, 44, 20));
        // The drawing follows the record, the record is not read from it.
        QCOMPARE(PanelDrawing(p.tables()).element(*b)->rect(),
                 QRect(316 - 7 - 22, 176 - 12 - 10, 44, 20));
        b->RightActionsFunction = QStringLiteral("F");
        QVERIFY(!(copy == *b));
    }

    void newObjectsTakeTheSettingsColours()
    {
        Project p;
        Settings s;
        s.buttonColor = QColor(10, 20, 30);
        s.pictureColor = QColor(40, 50, 60);
        QSignalSpy changed(&p, &Project::settingsChanged);
        p.setSettings(s);
        p.setSettings(s);
        QCOMPARE(changed.count(), 1);
        ProjectCommands commands(p);
        DesignSurface surface(p, commands);
        QCOMPARE(surface.drawing().element(*p.create(KindButton))->fill(), QColor(10, 20, 30));
        QCOMPARE(surface.drawing().element(*p.create(KindPicture))->fill(), QColor(40, 50, 60));
    }

    // The names kept for the actions dialog, after each step of a use: one
    // create adds its name in place, removal alone leaves the list as it was.
    void knownObjectNames()
    {
        Project p;
        QSignalSpy refreshed(&p, &Project::knownObjectNamesChanged);
        const auto step = [&p](ObjectKind kind) {
            p.create(kind);
            p.RefreshObjectNames();
        };
        step(KindText);
        step(KindButton);
        step(KindPicture);
        step(KindButton);
        QCOMPARE(p.KnownObjectNames(),
                 QStringList({"Button_1", "Button_2", "Picture_1", "Text_1"}));
        QCOMPARE(refreshed.count(), 4);
        p.remove(KindButton, 1);
        QCOMPARE(p.KnownObjectNames().size(), 4);
        step(KindText);
        QCOMPARE(p.KnownObjectNames(), QStringList({"Button_2", "Picture_1", "Text_1", "Text_2"}));
        // Two creates before a refresh: the list is built anew.
        p.create(KindPicture);
        p.create(KindButton);
        p.RefreshObjectNames();
        QCOMPARE(p.KnownObjectNames(), p.tables().objectNames());
        p.clearObjects();
        p.RefreshObjectNames();
        QVERIFY(p.KnownObjectNames().isEmpty());
    }

    void removalsAreAnnouncedBeforeTheObjectGoes()
    {
        Project p;
        p.create(KindButton);
        p.create(KindButton);
        p.create(KindText);
        QStringList announced;
        connect(&p, &Project::objectAboutToBeRemoved, this, [&](const VellControl *o) {
            announced << (o ? o->Name + QLatin1Char('@') + QString::number(o->Id) : "all");
            if (o) // still in its table
                QCOMPARE(p.tables().object(o->Kind, o->Id), o);
        });
        p.remove(KindButton, 1);
        QCOMPARE(p.tables().button(1)->Id, 1);
        QCOMPARE(p.tables().button(1)->Name, QStringLiteral("Button_2"));
        p.clearObjects();
        QCOMPARE(announced, QStringList({"Button_1@1", "all"}));
    }

    void bulkChangeAnnouncesOnce()
    {
        Project p;
        QSignalSpy added(&p, &Project::objectAdded);
        QSignalSpy reset(&p, &Project::objectsReset);
        p.beginBulkChange();
        for (int i = 0; i < 5; ++i)
            p.create(KindPicture);
        QVERIFY(p.inBulkChange());
        p.endBulkChange();
        QCOMPARE(added.count(), 0);
        QCOMPARE(reset.count(), 1);
        p.create(KindPicture);
        QCOMPARE(added.count(), 1);
        p.RefreshObjectNames();
        QCOMPARE(p.KnownObjectNames().size(), 6);
    }

    void userCodeEditsMarkTheProjectWhenItIsSavedWithIt()
    {
        Project p;
        QSignalSpy state(&p, &Project::stateChanged);
        p.appendUserCodeLines({"function A takes nothing returns nothing", "endfunction"});
        p.OnMainFunc();
        p.OnMainFunc();
        p.RemoveFunc(QStringLiteral("A"));
        QCOMPARE(
            p.userCodeLines(),
            QStringList({"function ECHO takes string msg returns nothing",
                         " call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)", "endfunction"}));
        QVERIFY(!p.ProjectModified());
        // An edit of the document shown in a view (which lays it out) is the
        // user's.
        p.userCode()->documentLayout();
        QTextCursor c(p.userCode());
        c.movePosition(QTextCursor::End);
        c.insertText(QStringLiteral("x\u00a0y"));
        QVERIFY(p.ProjectModified());
        QCOMPARE(p.userCodeLines().last(), QStringLiteral("x\u00a0y"));
        Settings s = p.settings();
        s.saveUserCode = false;
        p.setSettings(s);
        p.setProjectModified(false);
        c.insertText(QStringLiteral("z"));
        QVERIFY(!p.ProjectModified());
        p.setProjectFileName(QStringLiteral("/tmp/m.vlp"));
        p.setProjectFileName(QStringLiteral("/tmp/m.vlp"));
        QCOMPARE(state.count(), 3);
        QCOMPARE(TitleFor(p.state()), QStringLiteral("FM Vell Creator (/tmp/m.vlp)"));
    }

    // The commands without a window: an opened file becomes the project's; a
    // deleted name is free again, an undone create's is not. Typing into one
    // row is one step, into another object's or another row another; typed
    // back (the cell's own undo), no step is left. A held arrow key is one
    // step. A handle held changes the object live, unmarked; its release is
    // one step. Undone back to the saved design, the project is unmarked; a
    // copy marks it outside the history; a new project empties the history.
    void commandsWithoutWindows()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("walk.vlp"));
        WriteTextFile(path, {kProjectFileKey, "btncount:1", "Button_3", "5", "-3", "32", "32",
                             "B000", "true", "", "", "0", "0", "piccount:0", "texcount:0"});
        Project p;
        ProjectCommands c(p);
        QCOMPARE(c.open(path).outcome, ProjectLoad::Outcome::Loaded);
        QCOMPARE(p.ProjectFileName(), path);
        c.save(path);
        const QByteArray start = design(p);
        VellControl &loaded = *p.tables().button(1);
        const ObjectRecord before = RecordOf(loaded);
        c.resizeTo(loaded, QRect(100, 40, 300, 50));
        c.resizeTo(loaded, QRect(111, 43, 332, 42));
        QCOMPARE(placed(loaded), QRect(-39, 112, 332, 42));
        QVERIFY(!p.ProjectModified());
        QVERIFY(!p.history().canUndo());
        c.resized(loaded, before);
        QVERIFY(p.ProjectModified());
        p.history().undo();
        QCOMPARE(placed(loaded), QRect(5, -3, 32, 32));
        QVERIFY(!p.ProjectModified());
        c.remove(p.tables().button(1));
        for (int i = 0; i < 3; ++i)
            c.create(KindButton);
        QCOMPARE(p.tables().objectNames(), QStringList({"Button_2", "Button_3", "Button_4"}));
        c.create(KindPicture);
        p.history().undo();
        VellControl &picture = *c.create(KindPicture);
        QCOMPARE(picture.Name, QStringLiteral("Picture_2"));
        VellControl &button = *p.tables().button(1);
        const int steps = p.history().count();
        QVERIFY(c.setRowValue(button, 1, {"7"}).changed);
        QVERIFY(c.setRowValue(button, 1, {"-45"}).changed);
        QVERIFY(c.setRowValue(picture, 1, {"-4"}).changed);
        QCOMPARE(p.history().undoText(), QStringLiteral("изменение Координата \u0425 Picture_2"));
        QVERIFY(c.setRowValue(button, 3, {"-45", "0", "320", "32"}).changed);
        QVERIFY(c.setRowValue(button, 4, {"-45", "0", "320", "326"}).changed);
        QVERIFY(c.setRowValue(button, 4, {"-45", "0", "320", "32"}).changed);
        QCOMPARE(p.history().count(), steps + 3);
        p.history().undo();
        QCOMPARE(QPoint(button.X, button.Width), QPoint(-45, 32));
        p.history().redo();
        QVERIFY(!c.nudge(picture, 0, 0, false));
        QVERIFY(c.nudge(picture, 0, 10, false));
        QVERIFY(c.nudge(picture, 0, 10, true));
        QCOMPARE(p.history().count(), steps + 4);
        while (p.history().canUndo())
            p.history().undo();
        QCOMPARE(design(p), start);
        QVERIFY(!p.ProjectModified());
        QCOMPARE(TitleFor(p.state()), "FM Vell Creator (" + path + u')');
        p.history().redo();
        QVERIFY(p.ProjectModified());
        p.history().undo();
        c.copy(*p.tables().button(1));
        c.create(KindText);
        p.history().undo();
        QVERIFY(p.ProjectModified());
        c.newProject();
        QVERIFY(!p.history().canUndo() && !p.history().canRedo());
    }

    // Each command is one step, named as the Edit menu shows it: undone, it
    // gives the design before it back byte for byte (a deleted object at its
    // place, with its fields), and the names the actions dialog offers;
    // redone, the design after it.
    void eachCommandIsOneStep_data()
    {
        QTest::addColumn<QString>("named");
        QTest::addColumn<Run>("run");
        const auto row = [](const char *name, const char *named, Run run) {
            QTest::newRow(name) << QString::fromUtf8(named) << run;
        };
        row("create", "создание Picture_2", [](auto &c, auto &) { c.create(KindPicture); });
        row("delete", "удаление Button_1", [](auto &c, auto &t) { c.remove(t.button(1)); });
        row("clear", "очистка", [](auto &c, auto &) { c.clear(); });
        row("cut", "вырезание Picture_1", [](auto &c, auto &t) { c.cut(*t.picture(1)); });
        row("paste", "вставка Text_2", [](auto &c, auto &t) { c.copy(*t.text(1)), c.paste(); });
        row("duplicate", "дублирование Button_3",
            [](auto &c, auto &t) { c.duplicate(*t.button(2)); });
        row("drop", "перемещение Button_1",
            [](auto &c, auto &t) { c.moveTo(*t.button(1), -217, 117); });
        row("arrow", "перемещение Picture_1",
            [](auto &c, auto &t) { c.nudge(*t.picture(1), -10, 0, false); });
        row("typed row", "изменение Ширина Button_1", [](auto &c, auto &t) {
            c.setRowValue(*t.button(1), 3, {"0", "0", "320", "32"});
        });
        row("handle", "изменение размера Button_1", [](auto &c, auto &t) {
            const ObjectRecord before = RecordOf(*t.button(1));
            c.resizeTo(*t.button(1), QRect(111, 43, 332, 42));
            c.resized(*t.button(1), before);
        });
        row("visibility", "изменение Видимость Text_1",
            [](auto &c, auto &t) { c.setVisible(*t.text(1), false); });
        row("text colour", "цвет текста Text_1",
            [](auto &c, auto &t) { c.setTextColor(*t.text(1), Qt::red); });
        row("actions", "действия Button_2", [](auto &c, auto &t) {
            c.applyActions(*t.button(2), ClickSide::Right, {"ObjShow f \"Text_1\"", "echo \"Hi\""});
        });
        // A group's steps select the group once undone or redone.
        row("group drag", "перемещение 3 объектов", [](auto &c, auto &t) {
            c.moveGroup({{t.button(1), t.text(1), t.picture(1)}, t.text(1)}, QPoint(-37, 301));
        });
        row("group arrow", "перемещение 2 объектов", [](auto &c, auto &t) {
            c.nudgeGroup({{t.text(1), t.button(2)}, t.button(2)}, 0, -10, false);
        });
        row("group delete", "удаление 3 объектов", [](auto &c, auto &t) {
            c.removeGroup({{t.button(2), t.text(1), t.button(1)}, t.text(1)});
        });
        row("align", "выравнивание 2 объектов", [](auto &c, auto &t) {
            c.alignGroup({{t.text(1), t.button(1)}, t.button(1)}, GroupAlign::Right);
        });
        row("distribute", "распределение 3 объектов", [](auto &c, auto &t) {
            c.distributeGroup({{t.text(1), t.picture(1), t.button(2)}, t.picture(1)}, Qt::Vertical);
        });
        row("group cut", "вырезание 2 объектов", [](auto &c, auto &t) {
            c.cut({{t.text(1), t.button(2)}, t.button(2)});
        });
        row("group paste", "вставка 3 объектов", [](auto &c, auto &t) {
            c.copy({{t.picture(1), t.button(1), t.text(1)}, t.button(1)});
            c.paste();
        });
        row("group duplicate", "дублирование 2 объектов", [](auto &c, auto &t) {
            c.duplicate({{t.text(1), t.button(2)}, t.text(1)});
        });
    }
    void eachCommandIsOneStep()
    {
        QFETCH(QString, named);
        QFETCH(Run, run);
        Project p;
        ProjectCommands c(p);
        ObjectTables &t = p.tables();
        for (const ObjectKind kind : {KindButton, KindButton, KindPicture, KindText})
            c.create(kind);
        const QByteArray before = design(p);
        const int steps = p.history().count();
        run(c, t);
        QCOMPARE(p.history().count(), steps + 1);
        QCOMPARE(p.history().undoText(), named);
        const QByteArray after = design(p);
        QVERIFY(after != before);
        QSignalSpy selected(&p, &Project::groupStepApplied);
        p.history().undo();
        QCOMPARE(design(p), before);
        QCOMPARE(p.KnownObjectNames(), t.objectNames());
        // The group, then what of it exists after the redo (nothing of a
        // deleted one), the primary foremost.
        const QStringList undone = selectedNames(selected.value(0));
        p.history().redo();
        QCOMPARE(design(p), after);
        const QStringList redone = selectedNames(selected.value(1));
        if (named.contains(u"объект")) {
            const qsizetype shown = named.split(u' ')[1].toInt() + 1;
            const bool removes = named.startsWith(u"удаление") || named.startsWith(u"вырезание");
            const bool adds = named.startsWith(u"вставка") || named.startsWith(u"дублирование");
            QCOMPARE(selected.size(), 2);
            QCOMPARE(undone.size(), adds ? 0 : shown);
            QCOMPARE(redone.size(), removes ? 0 : shown);
        } else {
            QCOMPARE(selected.size(), 0);
        }
    }

    // A held arrow moves a group as one step; the group stops where its
    // first member meets the panel's bound.
    void groupArrowsStopWithTheirFirstMember()
    {
        Project p;
        ProjectCommands c(p);
        ObjectTables &t = p.tables();
        VellControl &a = *c.create(KindPicture);
        VellControl &b = *c.create(KindText);
        t.SetPosition(a, -309, 40);
        t.SetPosition(b, 12, -171);
        const ObjectGroup group{{&b, &a}, &a};
        const int steps = p.history().count();
        QVERIFY(c.nudgeGroup(group, -10, 0, false));
        QVERIFY(c.nudgeGroup(group, 0, -10, true));
        QVERIFY(!c.nudgeGroup(group, -1, -1, true));
        QCOMPARE(QPoint(a.X, a.Y), QPoint(-316, 35));
        QCOMPARE(QPoint(b.X, b.Y), QPoint(5, -176));
        QCOMPARE(p.history().count(), steps + 1);
        p.history().undo();
        QCOMPARE(QPoint(a.X, a.Y), QPoint(-309, 40));
        QCOMPARE(QPoint(b.X, b.Y), QPoint(12, -171));
    }

    static QStringList selectedNames(const QList<QVariant> &signal)
    {
        QStringList names;
        if (signal.size() < 2)
            return names;
        // The primary first, then every member.
        if (const auto *primary = signal[1].value<VellControl *>())
            names << primary->Name;
        for (const VellControl *o : signal[0].value<QList<VellControl *>>())
            names << o->Name;
        return names;
    }

    // An arrow moves the centre by its offset but stops at the panel's
    // bounds, and never pushes an object already beyond them further out;
    // only a move is a step.
    void arrowsStopAtThePanelsEdge_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<QPoint>("to");
        QTest::newRow("left edge") << QPoint(-310, 0) << QPoint(-10, 0) << QPoint(-316, 0);
        QTest::newRow("bottom edge") << QPoint(5, -170) << QPoint(0, -10) << QPoint(5, -176);
        QTest::newRow("at it, left") << QPoint(-316, -176) << QPoint(-1, 0) << QPoint(-316, -176);
        QTest::newRow("at it, down") << QPoint(-316, -176) << QPoint(0, -1) << QPoint(-316, -176);
        QTest::newRow("beyond, out") << QPoint(401, -176) << QPoint(1, 0) << QPoint(401, -176);
        QTest::newRow("beyond, in") << QPoint(401, -176) << QPoint(-10, 0) << QPoint(391, -176);
    }
    void arrowsStopAtThePanelsEdge()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, by);
        QFETCH(QPoint, to);
        Project p;
        ProjectCommands c(p);
        VellControl &picture = *c.create(KindPicture);
        p.tables().SetPosition(picture, from.x(), from.y());
        const int steps = p.history().count();
        QCOMPARE(c.nudge(picture, by.x(), by.y(), false), to != from);
        QCOMPARE(QPoint(picture.X, picture.Y), to);
        QCOMPARE(p.history().count(), steps + (to != from));
    }

    // A duplicate stands 16 px right and 16 px down of its original, without
    // actions; duplicating the last duplicate repeats the step between the
    // two as it stands now. Each is one step; the clipboard stays.
    void duplicatesRepeatTheirStep()
    {
        Project p;
        ProjectCommands c(p);
        ObjectTables &t = p.tables();
        auto &slot = static_cast<VellButton &>(*c.create(KindButton));
        t.SetSize(slot, 48, 30);
        slot.TextureId = QStringLiteral("SLOT");
        slot.LeftActions = QStringList{"ObjShow t \"Button_1\""};
        slot.LeftActionsFunction = QStringLiteral("Button_1_Left_Actions");
        c.copy(slot);
        const QStringList buffer = c.clipboard().ObjectBuffer;
        const int steps = p.history().count();
        VellControl *second = c.duplicate(slot);
        QCOMPARE(placed(*second), QRect(16, -16, 48, 30));
        QCOMPARE(t.button(2)->TextureId, QStringLiteral("SLOT"));
        QVERIFY(t.button(2)->LeftActions.isEmpty() && t.button(2)->LeftActionsFunction.isEmpty());
        c.moveTo(*second, 60, 0);
        c.duplicate(*c.duplicate(*second));
        QCOMPARE(t.ButtonCount(), 4);
        for (int id = 2; id <= 4; ++id)
            QCOMPARE(QPoint(t.button(id)->X, t.button(id)->Y), QPoint((id - 1) * 60, 0));
        QCOMPARE(c.clipboard().ObjectBuffer, buffer);
        QCOMPARE(p.history().count(), steps + 4);
    }

    // A group pastes as it was copied, the primary on the panel's centre
    // and the others at their offsets, off the panel or not, all or none;
    // a group duplicates by one step, repeated on its copies.
    void groupsPasteAndDuplicateAsTheyStood()
    {
        Project p;
        ProjectCommands c(p);
        ObjectTables &t = p.tables();
        auto &a = static_cast<VellButton &>(*c.create(KindButton));
        VellControl &b = *c.create(KindPicture);
        VellControl &text = *c.create(KindText);
        t.SetPosition(a, -200, 100);
        t.SetSize(a, 48, 30);
        a.LeftActions = QStringList{"ObjHide t \"Text_1\""};
        t.SetPosition(b, 37, -51);
        t.SetPosition(text, 250, 160);
        c.copy({{&text, &a, &b}, &b});
        ProjectCommands::Paste paste = c.paste();
        QCOMPARE(paste.outcome, ObjectClipboard::PasteOutcome::Pasted);
        QCOMPARE(t.objectNames(), QStringList({"Button_1", "Button_2", "Picture_1", "Picture_2",
                                               "Text_1", "Text_2"}));
        QVERIFY(paste.group.members ==
                std::vector<VellControl *>({t.button(2), t.picture(2), t.text(2)}));
        QCOMPARE(paste.group.primary, t.picture(2));
        QCOMPARE(placed(*t.button(2)), QRect(-237, 151, 48, 30));
        QCOMPARE(QPoint(t.picture(2)->X, t.picture(2)->Y), QPoint(0, 0));
        QCOMPARE(QPoint(t.text(2)->X, t.text(2)->Y), QPoint(213, 211));
        QCOMPARE(t.button(2)->LeftActions, a.LeftActions);

        // One object copied after a group pastes alone, unselected.
        c.copy(text);
        QVERIFY(c.paste().group.members.empty());
        QCOMPARE(t.TextCount(), 3);

        const ObjectGroup copies = c.duplicate({{&b, &a}, &a});
        QVERIFY(copies.members == std::vector<VellControl *>({t.button(3), t.picture(3)}));
        QCOMPARE(copies.primary, t.button(3));
        QCOMPARE(QPoint(t.picture(3)->X, t.picture(3)->Y), QPoint(53, -67));
        c.moveGroup(copies, QPoint(-21, 4));
        const ObjectGroup again = c.duplicate(copies);
        QCOMPARE(QPoint(again.primary->X, again.primary->Y), QPoint(-210, 76));
        QCOMPARE(QPoint(t.picture(4)->X, t.picture(4)->Y), QPoint(27, -75));
        // Not the same copies: the first step again.
        c.duplicate({{t.button(4)}, t.button(4)});
        QCOMPARE(QPoint(t.button(5)->X, t.button(5)->Y), QPoint(-194, 60));

        c.copy({{&a, &text}, &a});
        p.beginBulkChange();
        while (t.TextCount() < ObjectTables::Capacity)
            p.create(KindText);
        p.endBulkChange();
        const int steps = p.history().count();
        paste = c.paste();
        QCOMPARE(paste.outcome, ObjectClipboard::PasteOutcome::TableFull);
        QCOMPARE(paste.fullKind, KindText);
        ObjectKind full = KindNone;
        QVERIFY(c.duplicate({{&a, &text}, &text}, &full).members.empty());
        QCOMPARE(full, KindText);
        QCOMPARE(t.ButtonCount(), 5);
        QCOMPARE(p.history().count(), steps);
    }

    // Undoing applied actions takes back the button's list and function
    // name, and leaves what was typed meanwhile. A message brings ECHO in;
    // undone back to the saved state, the saved bytes come back, unless ECHO
    // was changed by hand since.
    void actionsStep()
    {
        QTemporaryDir dir;
        Project p;
        ProjectCommands c(p);
        auto &b = static_cast<VellButton &>(*c.create(KindButton));
        p.appendUserCodeLines({"// tail"});
        QVERIFY(c.applyActions(b, ClickSide::Left, {"ObjShow f \"Button_1\""}));
        const QStringList applied = p.userCodeLines();
        p.userCode()->documentLayout();
        QTextCursor(p.userCode()).insertText(QStringLiteral("// first\n"));
        p.history().undo();
        QVERIFY(b.LeftActions.isEmpty() && b.LeftActionsFunction.isEmpty());
        QCOMPARE(p.userCodeLines(), QStringList({"// first", "// tail"}));
        p.history().redo();
        QCOMPARE(p.userCodeLines(), QStringList{"// first"} + applied);

        c.save(dir.filePath(QStringLiteral("echo.vlp")));
        const QByteArray saved = design(p);
        c.applyActions(b, ClickSide::Left, {"ObjShow f \"Button_1\"", "echo \"Привет\""});
        QCOMPARE(p.userCodeLines().mid(0, 3), EchoFunctionLines());
        p.history().undo();
        QCOMPARE(design(p), saved);
        QVERIFY(!p.ProjectModified());
        p.history().redo();
        QCOMPARE(p.userCodeLines().mid(0, 3), EchoFunctionLines());
        QTextCursor(p.userCode()->findBlockByNumber(1)).insertText(QStringLiteral(" // mine\n"));
        p.history().undo();
        QCOMPARE(p.userCodeLines().mid(0, 2),
                 QStringList({EchoFunctionLines().first(), " // mine"}));
    }

    // Action functions written before a deletion and a rename of the
    // arrays: the check finds them, the update puts each in its place (a
    // missing one at the end, another function's button left alone), after
    // which the check finds nothing; one step undoes it.
    void actionFunctionsUpdatedAfterADeletionAndARename()
    {
        Project p;
        ProjectCommands c(p);
        for (const ObjectKind kind : {KindButton, KindButton, KindButton, KindPicture, KindPicture})
            c.create(kind);
        // Off the buttons: pictures over them have findings of their own.
        c.moveTo(*p.tables().picture(1), 150, 90);
        c.moveTo(*p.tables().picture(2), -150, -90);
        VellButton *b1 = p.tables().button(1);
        VellButton *b3 = p.tables().button(3);
        c.applyActions(*b1, ClickSide::Left, {"ObjShow f \"Picture_2\"", "echo \"hi\""});
        c.applyActions(*p.tables().button(2), ClickSide::Right, {"ObjShow t \"Button_1\""});
        p.appendUserCodeLines({"function MyClick takes nothing returns nothing", "endfunction"});
        b3->LeftActions = QStringList{"ObjShow t \"Picture_2\""};
        b3->LeftActionsFunction = "MyClick";
        b3->RightActions = QStringList{"ObjShow f \"Button_3\""};
        b3->RightActionsFunction = "Button_3_Right_Actions";
        c.remove(p.tables().picture(1));
        Settings renamed = p.settings();
        renamed.pictureVar = "Pics";
        p.setSettings(renamed);

        QStringList found;
        for (const DesignFinding &f : CheckDesign(p))
            found << FindingText(f);
        QCOMPARE(found, QStringList({
                            "Button_3: ошибка: функция правого клика \"Button_3_Right_Actions\" "
                            "не определена в коде пользователя",
                            "Код пользователя, строка 4: ошибка: функция Button_1_Left_Actions "
                            "использует массив PictureVar, которого нет (сейчас Pics)",
                            "Код пользователя, строка 4: предупреждение: функция "
                            "Button_1_Left_Actions устарела: Код → Обновить функции действий",
                        }));
        const QStringList before = p.userCodeLines();
        const ActionFunctionScan scan = c.scanActionFunctions();
        QCOMPARE(scan.stale.size(), 1);
        QCOMPARE(scan.missing.size(), 1);
        QCOMPARE(scan.foreign, QStringList{"Button_3 (MyClick)"});
        p.setProjectModified(false);
        QVERIFY(c.updateActionFunctions(scan));
        QVERIFY(p.ProjectModified());
        QCOMPARE(p.history().undoText(), QStringLiteral("обновление функций действий"));
        const QStringList after{"function ECHO takes string msg returns nothing",
                                " call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)",
                                "endfunction",
                                "function Button_1_Left_Actions takes nothing returns nothing",
                                " call Pics[1].Show(false,-1)",
                                " call ECHO(\"hi\")",
                                "endfunction",
                                "function Button_2_Right_Actions takes nothing returns nothing",
                                " call ButtonVar[1].Show(true,-1)",
                                "endfunction",
                                "function MyClick takes nothing returns nothing",
                                "endfunction",
                                "function Button_3_Right_Actions takes nothing returns nothing",
                                " call ButtonVar[3].Show(false,-1)",
                                "endfunction"};
        QCOMPARE(p.userCodeLines(), after);
        QCOMPARE(CheckDesign(p), QList<DesignFinding>());
        QVERIFY(!c.scanActionFunctions().anythingToUpdate());
        p.history().undo();
        QCOMPARE(p.userCodeLines(), before);
        p.history().redo();
        QCOMPARE(p.userCodeLines(), after);
    }

    // Action functions laid out by hand (indented, in a library, a comment
    // after endfunction, one without its endfunction): the scan, the update,
    // applying actions and their undo take a function's own lines and no
    // other line.
    void actionFunctionsLaidOutByHand()
    {
        Project p;
        ProjectCommands c(p);
        for (const ObjectKind kind : {KindButton, KindButton, KindButton, KindPicture})
            c.create(kind);
        c.moveTo(*p.tables().picture(1), 150, 90);
        VellButton *b1 = p.tables().button(1);
        VellButton *b2 = p.tables().button(2);
        QVERIFY(c.applyActions(*b1, ClickSide::Left, {"ObjShow t \"Picture_1\""}));
        QVERIFY(c.applyActions(*b2, ClickSide::Right, {"ObjShow f \"Button_1\""}));
        // Bound to its own name with no actions: the user's own function.
        p.tables().button(3)->LeftActionsFunction = "Button_3_Left_Actions";
        const QString b1Header = "function Button_1_Left_Actions takes nothing returns nothing";
        const QString b2Header = "function Button_2_Right_Actions takes nothing returns nothing";
        const QStringList layout{"library Shop",
                                 "\t" + b1Header,
                                 "\t call PictureVar[2].Show(true,-1)",
                                 "\tendfunction // left click",
                                 "endlibrary",
                                 "function Button_3_Left_Actions takes nothing returns nothing",
                                 "endfunction",
                                 "  " + b2Header + " // right",
                                 "    call ButtonVar[1].Show( false, -1 )",
                                 "  endfunction // right click",
                                 "function Mine takes nothing returns nothing",
                                 "endfunction"};
        p.setUserCodeLines(layout);
        const ActionFunctionScan scan = c.scanActionFunctions();
        QCOMPARE(scan.stale.size(), 1);
        QCOMPARE(scan.stale[0].line, 1);
        QCOMPARE(scan.missing.size(), 0);
        QVERIFY(c.updateActionFunctions(scan));
        QStringList updated = layout;
        updated[2] = "\t call PictureVar[1].Show(true,-1)";
        updated[3] = "\tendfunction";
        QCOMPARE(p.userCodeLines(), updated);
        QVERIFY(!c.scanActionFunctions().anythingToUpdate());
        p.history().undo();
        QCOMPARE(p.userCodeLines(), layout);

        // Applying takes the old function out and appends the new one;
        // undo takes the new one out and appends the old one.
        QVERIFY(c.applyActions(*b2, ClickSide::Right, {"echo \"Sold\""}));
        const QStringList echo = EchoFunctionLines();
        const QStringList applied = echo + layout.mid(0, 7) + layout.mid(10) +
                                    QStringList{b2Header, " call ECHO(\"Sold\")", "endfunction"};
        QCOMPARE(p.userCodeLines(), applied);
        // A second message action needs the ECHO the first one put in.
        QVERIFY(c.applyActions(*b1, ClickSide::Right, {"echo \"Hi\""}));
        p.history().undo();
        QCOMPARE(p.userCodeLines(), applied);
        p.history().undo();
        const QStringList undone = layout.mid(0, 7) + layout.mid(10) + layout.mid(7, 3);
        QCOMPARE(p.userCodeLines(), undone);
        p.history().redo();
        QCOMPARE(p.userCodeLines(), applied);

        // One the reader cannot end stays whole: the new one is appended
        // and the check says the name is defined twice.
        const QStringList open{b1Header, " call PictureVar[1].Show(true,-1"};
        p.setUserCodeLines(open + layout.mid(10));
        QVERIFY(c.applyActions(*b1, ClickSide::Left, {"ObjShow f \"Picture_1\""}));
        const QStringList appended{b1Header, " call PictureVar[1].Show(false,-1)", "endfunction"};
        QCOMPARE(p.userCodeLines(), open + layout.mid(10) + appended);
        bool twice = false;
        for (const DesignFinding &f : CheckDesign(p))
            twice = twice || f.message == "функция Button_1_Left_Actions определена дважды";
        QVERIFY(twice);
    }
};

QTEST_MAIN(TestProject)
#include "tst_project.moc"
