#include "appfixture.h"
#include "common/labelfont.h"
#include "common/textfile.h"
#include "common/textforms.h"
#include "filebytes.h"
#include "panelpixels.h"
#include "project/projectio.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QToolButton>

#include <map>
#include <set>

using namespace vell;

// Ten thousand edits in a seeded random order through the main window's
// commands, as a user gives them: create, select (on the panel and in the
// object box), drag, resize by a handle, edit the grid, delete, cut, copy,
// paste, clear, new project, save, save as, open. After every step the
// tables, the panel's elements, the selection, the grid, the object box and
// the object names must agree, and the names must be those the naming rules
// give. VELL_SOAK_STEPS and VELL_SOAK_SEED choose another run.

namespace {

constexpr int kMaxObjects = 40;
const QColor kButtonFace(240, 240, 240);
const QString kNoObject = QStringLiteral("<объект не выбран>");

QString prefixOf(ObjectKind kind)
{
    return kind == KindButton    ? QStringLiteral("Button_")
           : kind == KindPicture ? QStringLiteral("Picture_")
                                 : QStringLiteral("Text_");
}

int kindIndex(ObjectKind kind)
{
    return int(kind) - 1;
}

// What the names must be: the names of each kind in table order and the
// kinds' counters, kept by the naming rules alone.
struct Names
{
    QStringList names[3];
    int counters[3] = {0, 0, 0};

    bool inUse(const QString &name) const
    {
        for (const QStringList &list : names) {
            if (list.contains(name))
                return true;
        }
        return false;
    }
    // The next default name: the counter's next value not borne by another
    // object.
    QString create(ObjectKind kind)
    {
        QString name;
        do
            name = prefixOf(kind) + QString::number(++counters[kindIndex(kind)]);
        while (inUse(name));
        names[kindIndex(kind)].append(name);
        return name;
    }
    void remove(ObjectKind kind, const QString &name) { names[kindIndex(kind)].removeOne(name); }
    int total() const { return int(names[0].size() + names[1].size() + names[2].size()); }
};

// A copy of an object's record, for what a paste must give.
struct Copied
{
    ObjectKind kind = KindNone;
    VellButton button;
    VellPicture picture;
    VellText text;
};

class Soak
{
public:
    Soak(AppFixture &f, quint32 seed) : f(f), random(seed) {}

    // Runs the steps; the first disagreement fails with its step and the
    // operation that led to it.
    bool run(int steps, QString &failure)
    {
        for (step = 1; step <= steps; ++step) {
            operation.clear();
            QString why;
            act(why);
            if (why.isEmpty())
                agree(why);
            recent.append(QStringLiteral("%1 %2").arg(step).arg(operation));
            if (recent.size() > 12)
                recent.removeFirst();
            if (!why.isEmpty()) {
                failure = QStringLiteral("step %1 (%2): %3\nthe steps up to it:\n  %4")
                              .arg(step)
                              .arg(operation, why, recent.join(QStringLiteral("\n  ")));
                return false;
            }
            ++counts[operation.section(u' ', 0, 0)];
        }
        return true;
    }

    std::map<QString, int> counts;
    int doubleClicks = 0;

private:
    QStringList recent;
    AppFixture &f;
    QRandomGenerator random;
    int step = 0;
    QString operation;
    Names expected;
    Copied copied;
    // The names each saved file holds.
    std::map<QString, Names> savedFiles;
    // Removing an object alone leaves the names the actions dialog offers as
    // they were until the next command that refreshes them.
    bool namesLag = false;
    QStringList laggingNames;
    // Whether the kind box shows the selected object's kind: not after a
    // kind was chosen there by hand, until an object is shown again.
    bool kindShown = true;

    ObjectTables &tables() { return f.tables(); }
    PanelDrawing &drawing() { return f.drawing(); }
    Project &project() { return f.form->project(); }
    VellControl *selected() { return f.surface().selectedObject(); }

    int pick(int n) { return int(random.bounded(quint32(n))); }

    // Every object in table order, kind by kind.
    std::vector<VellControl *> objects()
    {
        std::vector<VellControl *> all;
        for (const ObjectKind kind : kObjectKinds) {
            for (int id = 1; id <= tables().count(kind); ++id)
                all.push_back(tables().object(kind, id));
        }
        return all;
    }

    VellControl *randomObject()
    {
        const auto all = objects();
        return all.empty() ? nullptr : all[std::size_t(pick(int(all.size())))];
    }

    // The panel point at the middle of an object's element, when it lies on
    // the panel (and is not (0, 0), which QTest takes for the centre).
    std::optional<QPoint> pointOn(const VellControl &object)
    {
        const QPoint centre = drawing().element(object)->rect().center();
        if (!QRect(0, 0, kPanelWidth, kPanelHeight).contains(centre) || centre.isNull())
            return std::nullopt;
        return centre;
    }

    QPoint randomPanelPoint() { return clickable(QPoint(pick(kPanelWidth), pick(kPanelHeight))); }

    // QTest takes the point (0, 0) for the widget's centre: the pointer goes
    // a pixel to the right of it instead.
    static QPoint clickable(QPoint p) { return p.isNull() ? QPoint(1, 0) : p; }

    // A closed popup gives the activation back to the main window, as a
    // window system does; the offscreen platform leaves it with the popup.
    void backToMainWindow()
    {
        QCoreApplication::processEvents();
        if (QApplication::activeWindow() != f.form)
            QApplication::setActiveWindow(f.form);
    }

    void refreshedNames() { namesLag = false; }
    void removedAlone()
    {
        if (!namesLag)
            laggingNames = project().KnownObjectNames();
        namesLag = true;
    }

    // --- Operations

    void act(QString &why)
    {
        const int roll = pick(1000);
        if (roll < 150)
            create(why);
        else if (roll < 300)
            clickObject(why);
        else if (roll < 340)
            chooseInObjectBox(why);
        else if (roll < 440)
            drag(why);
        else if (roll < 520)
            resize(why);
        else if (roll < 700)
            editGrid(why);
        else if (roll < 760)
            remove(why);
        else if (roll < 800)
            copy(why);
        else if (roll < 830)
            cut(why);
        else if (roll < 880)
            paste(why);
        else if (roll < 930)
            movePointer();
        else if (roll < 960)
            undoAndRedo(why);
        else if (roll < 965)
            clear();
        else if (roll < 970)
            newProject(why);
        else if (roll < 982)
            save(why);
        else if (roll < 986)
            saveAs(why);
        else
            open(why);
    }

    // Undoing the last step and redoing it gives the same design back, and
    // the panel shows both states exactly.
    void undoAndRedo(QString &why)
    {
        QUndoStack &history = project().history();
        if (!history.canUndo())
            return;
        operation = QStringLiteral("undo and redo of ") + history.undoText();
        const QStringList before = ProjectFileLines(project());
        f.form->MMUndo->trigger();
        if (!agreeTables(why) || !agreeScene(why)) {
            why.prepend(QStringLiteral("undone: "));
            return;
        }
        if (PanelShown(f.panel()) !=
            PanelDrawnAfresh(drawing().scene(), f.surface().GhostFrame())) {
            why = QStringLiteral("undone, the panel shows something else than its elements");
            return;
        }
        f.form->MMRedo->trigger();
        if (ProjectFileLines(project()) != before) {
            why = QStringLiteral("redone, the design is not the one before the undo");
            return;
        }
        if (project().KnownObjectNames() == tables().objectNames())
            refreshedNames();
    }

    void create(QString &why)
    {
        const ObjectKind kind = kObjectKinds[pick(3)];
        if (expected.total() >= kMaxObjects) {
            operation = QStringLiteral("clear before create");
            clear();
            return;
        }
        operation = QStringLiteral("create ") + prefixOf(kind);
        static const Qt::Key keys[] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3};
        f.key(keys[kindIndex(kind)], Qt::ShiftModifier);
        const QString name = expected.create(kind);
        const VellControl *made = tables().object(kind, tables().count(kind));
        if (!made || made->Name != name || made->X != 0 || made->Y != 0)
            why = QStringLiteral("the new object is %1, not %2 at the centre")
                      .arg(made ? made->Name : QStringLiteral("missing"), name);
        if (!project().ProjectModified())
            why = QStringLiteral("creating left the project unmodified");
        refreshedNames();
    }

    // What a left press at the point takes: the object on top there, or
    // the selected button or picture when it lies there wholly under it.
    VellControl *pressedObject(const PanelElement *top, QPoint at)
    {
        VellControl *object = drawing().objectOf(top);
        VellControl *own = selected();
        if (object && own && own != object && own->Kind != KindText) {
            const QRect r = drawing().element(*own)->rect();
            if (r.contains(at) && top->rect().contains(r))
                return own;
        }
        return object;
    }

    void clickObject(QString &why)
    {
        VellControl *object = randomObject();
        operation = QStringLiteral("click");
        if (!object)
            return;
        const auto at = pointOn(*object);
        if (!at)
            return;
        operation += QStringLiteral(" on ") + object->Name;
        // What lies on top there is what the click selects (a handle starts
        // a resize instead).
        PanelElement *top = drawing().scene().elementAt(*at, nullptr, true);
        VellControl *before = selected();
        VellControl *expectedSelection = pressedObject(top, *at);
        const QRect topRect = top ? top->rect() : QRect();
        QTest::mouseClick(f.panel(), Qt::LeftButton, Qt::NoModifier, *at);
        if (top && top->shape() == ElementShape::Handle) {
            operation += QStringLiteral(" (a handle)");
            if (selected() != before)
                why = QStringLiteral("a click on a handle changed the selection");
            return;
        }
        if (!expectedSelection)
            return;
        kindShown = true;
        if (selected() != expectedSelection)
            why = QStringLiteral("the click selected %1, not %2")
                      .arg(selected() ? selected()->Name : QStringLiteral("nothing"),
                           expectedSelection->Name);
        else if (top && top->rect() != topRect)
            why = QStringLiteral("a click without a move changed %1").arg(selected()->Name);
        else if (!f.surface().GhostFrame())
            why = QStringLiteral("no ghost outline after a click");
    }

    void chooseInObjectBox(QString &why)
    {
        const ObjectKind kind = kObjectKinds[pick(3)];
        operation = QStringLiteral("objectbox ") + prefixOf(kind);
        QComboBox *classes = f.form->ClassList;
        QComboBox *box = f.form->ObjList;
        classes->setCurrentIndex(kindIndex(kind));
        kindShown = false;
        box->showPopup();
        const QStringList names = expected.names[kindIndex(kind)];
        if (box->count() != names.size() || names.isEmpty()) {
            if (box->count() != names.size())
                why = QStringLiteral("the object box offers %1 names, not %2")
                          .arg(box->count())
                          .arg(names.size());
            box->hidePopup();
            backToMainWindow();
            return;
        }
        const int index = pick(int(names.size()));
        box->view()->setCurrentIndex(box->model()->index(index, 0));
        QTest::keyClick(box->view(), Qt::Key_Return);
        box->hidePopup();
        backToMainWindow();
        kindShown = true;
        VellControl *wanted = tables().FindObjectByName(kind, names[index]);
        if (selected() != wanted)
            why = QStringLiteral("choosing %1 selected %2")
                      .arg(names[index], selected() ? selected()->Name : QStringLiteral("nothing"));
    }

    void drag(QString &why)
    {
        VellControl *object = randomObject();
        operation = QStringLiteral("drag");
        if (!object)
            return;
        const auto from = pointOn(*object);
        if (!from)
            return;
        PanelElement *top = drawing().scene().elementAt(*from, nullptr, true);
        VellControl *moved = pressedObject(top, *from);
        if (!moved)
            return; // a handle: a resize, done elsewhere
        operation += QStringLiteral(" ") + moved->Name;
        const int x = moved->X;
        const int y = moved->Y;
        // Mostly on the panel, sometimes off it.
        const QPoint to = clickable(pick(10) == 0 ? QPoint(pick(900) - 100, pick(600) - 100)
                                                  : randomPanelPoint());
        kindShown = true;
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, *from);
        QTest::mouseMove(f.panel(), *from + QPoint(1, 0));
        QTest::mouseMove(f.panel(), to);
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, to);
        if (selected() != moved) {
            why = QStringLiteral("the dragged object is not the selected one");
            return;
        }
        const bool stayed = moved->X == x && moved->Y == y;
        const bool dropped =
            moved->X == to.x() - kPanelWidth / 2 - 1 && moved->Y == kPanelHeight / 2 - to.y() + 1;
        const bool onPanel = QRect(0, 0, kPanelWidth, kPanelHeight).contains(to);
        if (!(stayed || (dropped && onPanel)))
            why = QStringLiteral("dropped at %1,%2 it went to %3,%4")
                      .arg(to.x())
                      .arg(to.y())
                      .arg(moved->X)
                      .arg(moved->Y);
        if (f.panel()->isDragging())
            why = QStringLiteral("still dragging after the release");
    }

    void resize(QString &why)
    {
        operation = QStringLiteral("resize");
        VellControl *object = selected();
        if (!object || object->Kind == KindText)
            return;
        VellResizeRect *frame = drawing().frame(*object);
        const int n = 1 + pick(4);
        const QPoint grip = frame->handleRect(n).center();
        if (!frame->isVisible() || !QRect(0, 0, kPanelWidth, kPanelHeight).contains(grip) ||
            drawing().scene().elementAt(grip, nullptr, true) != frame->handleElement(n))
            return;
        operation += QStringLiteral(" %1 by handle %2").arg(object->Name).arg(n);
        const QPoint to = clickable(grip + QPoint(pick(121) - 60, pick(121) - 60));
        QTest::mousePress(f.panel(), Qt::LeftButton, Qt::NoModifier, grip);
        if (f.surface().ActiveFrame() != frame) {
            why = QStringLiteral("a press on a handle did not take the frame");
            return;
        }
        QTest::mouseMove(f.panel(), to);
        QTest::mouseRelease(f.panel(), Qt::LeftButton, Qt::NoModifier, to);
        if (f.surface().ActiveFrame())
            why = QStringLiteral("the frame is still held after the release");
        else if (drawing().element(*object)->size() != QSize(object->Width, object->Height))
            why = QStringLiteral("the resized object's size is not its element's");
    }

    // Clicks a row's value cell, which opens its editor; a click on an open
    // editor lands in the editor itself.
    QWidget *openEditor(int row)
    {
        QWidget *focus = QApplication::focusWidget();
        if (focus && focus->property("gridRow").toInt() == row &&
            f.form->InfoList->isAncestorOf(focus))
            return focus;
        PropertyGrid *grid = f.form->InfoList;
        const QPoint at = grid->visualRect(grid->model()->index(row - 1, 1)).center();
        if (QWidget *open = grid->viewport()->childAt(at))
            QTest::mouseClick(open, Qt::LeftButton, Qt::NoModifier,
                              open->mapFrom(grid->viewport(), at));
        else
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        // A click on the current cell whose editor closed (the focus went
        // elsewhere) opens it only after the double-click interval, if at
        // all; a user who sees no editor double-clicks.
        focus = QApplication::focusWidget();
        if (!focus || focus->property("gridRow").toInt() != row) {
            ++doubleClicks;
            // The click above was the first half; QTest's double-click is the
            // second press alone.
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
            QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        }
        return QApplication::focusWidget();
    }

    QString randomCoordinate()
    {
        switch (pick(20)) {
        case 0:
            return QStringLiteral("-2147483648");
        case 1:
            return QStringLiteral("2147483647");
        default:
            return QString::number(pick(801) - 400);
        }
    }

    void editGrid(QString &why)
    {
        VellControl *object = selected();
        operation = QStringLiteral("grid");
        if (!object)
            return;
        const bool text = object->Kind == KindText;
        // Every row but a button's click rows.
        const int row = 1 + pick(text ? 5 : 6);
        operation += QStringLiteral(" row %1 of %2").arg(row).arg(object->Name);
        QWidget *editor = openEditor(row);
        if (row == VisibilityRow(object->Kind)) {
            auto *combo = qobject_cast<QComboBox *>(editor);
            if (!combo) {
                why = QStringLiteral("the visibility row has no pick list");
                return;
            }
            // Chosen with the mouse from the drop-down (a click on an open
            // pick list has already dropped it down).
            const int choice = pick(2);
            if (!combo->view()->isVisible())
                combo->showPopup();
            QAbstractItemView *view = combo->view();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                              view->visualRect(view->model()->index(choice, 0)).center());
            backToMainWindow();
            if (object->Visible != (choice == 0))
                why = QStringLiteral("choosing %1 left the object %2")
                          .arg(combo->itemText(choice), BoolToText(object->Visible));
            return;
        }
        if (text && row == Row::TextColor) {
            QToolButton *ellipsis =
                editor && editor->parentWidget()
                    ? editor->parentWidget()->findChild<QToolButton *>("ellipsis")
                    : nullptr;
            if (!ellipsis) {
                why = QStringLiteral("the colour row has no ellipsis button");
                return;
            }
            const QString before = static_cast<VellText *>(object)->TextColor;
            std::optional<QColor> chosen;
            if (pick(4) != 0)
                chosen = QColor::fromRgb(random.bounded(1u << 24));
            if (chosen)
                f.dialogs.colors.push_back(*chosen);
            QTest::mouseClick(ellipsis, Qt::LeftButton);
            const QString after = static_cast<VellText *>(object)->TextColor;
            if (after != (chosen ? ColorToText(*chosen) : before))
                why = QStringLiteral("the colour dialog left the colour %1").arg(after);
            return;
        }
        auto *line = qobject_cast<QLineEdit *>(editor);
        if (!line) {
            why = QStringLiteral("row %1 has no line editor").arg(row);
            return;
        }
        QString value;
        if (row == Row::X || row == Row::Y)
            value = randomCoordinate();
        else if (text) // the text row
            value = QStringList{"", "Привет", "Счёт: 10", "a b", "\"q\"", "№ 5"}[pick(6)];
        else if (row == Row::Width || row == Row::Height)
            // Even: an odd size loses a pixel, and the cell keeps what was typed.
            value = pick(30) == 0 ? QStringLiteral("2000000000") : QString::number(2 * pick(101));
        else // the texture row
            value = QStringList{"B000", "B001", "", "Tex9", "zz"}[pick(5)];
        // Erased as a user may: End, Shift+Home, Delete.
        QTest::keyClick(line, Qt::Key_End);
        QTest::keyClick(line, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(line, Qt::Key_Delete);
        typeText(line, value);
        const QList<PropertyRow> rows = PropertyRowsFor(*object);
        if (!value.isEmpty() || text || row == Row::Texture) {
            if (rows.value(row - 1).value != value)
                why = QStringLiteral("typing %1 gave the object %2")
                          .arg(value, rows.value(row - 1).value);
        }
    }

    void remove(QString &why)
    {
        VellControl *object = selected();
        const int way = pick(3);
        static const char *const ways[] = {"shift+del", "button", "popup"};
        operation = QStringLiteral("delete by ") + QLatin1String(ways[way]);
        if (way == 2) {
            // A right-click on an object selects it and opens the popup.
            VellControl *target = randomObject();
            if (!target)
                return;
            const auto at = pointOn(*target);
            if (!at)
                return;
            PanelElement *top = drawing().scene().elementAt(*at, nullptr, true);
            object = drawing().objectOf(top);
            if (!object)
                return;
            QTest::mouseClick(f.panel(), Qt::RightButton, Qt::NoModifier, *at);
            kindShown = true;
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu) {
                why = QStringLiteral("a right-click on %1 opened no popup").arg(object->Name);
                return;
            }
            operation += QStringLiteral(" of ") + object->Name;
            expected.remove(object->Kind, object->Name);
            menu->actions().value(0)->trigger();
            menu->close();
            backToMainWindow();
        } else {
            if (object) {
                operation += QStringLiteral(" of ") + object->Name;
                expected.remove(object->Kind, object->Name);
            }
            if (way == 0)
                f.key(Qt::Key_Delete, Qt::ShiftModifier);
            else
                QTest::mouseClick(f.form->RemoveObj, Qt::LeftButton);
        }
        removedAlone();
        if (selected())
            why = QStringLiteral("an object is still selected after the delete");
    }

    void copy(QString &why)
    {
        operation = QStringLiteral("copy");
        VellControl *object = selected();
        f.key(Qt::Key_C, Qt::ControlModifier);
        if (!object)
            return;
        copied.kind = object->Kind;
        if (object->Kind == KindButton)
            copied.button = *static_cast<VellButton *>(object);
        else if (object->Kind == KindPicture)
            copied.picture = *static_cast<VellPicture *>(object);
        else
            copied.text = *static_cast<VellText *>(object);
        refreshedNames();
        if (selected() != object)
            why = QStringLiteral("copying changed the selection");
    }

    void cut(QString &why)
    {
        operation = QStringLiteral("cut");
        VellControl *object = selected();
        if (!object) {
            f.key(Qt::Key_X, Qt::ControlModifier);
            return;
        }
        copy(why);
        operation = QStringLiteral("cut ") + object->Name;
        expected.remove(object->Kind, object->Name);
        f.key(Qt::Key_X, Qt::ControlModifier);
        refreshedNames();
        if (selected())
            why = QStringLiteral("an object is still selected after the cut");
    }

    void paste(QString &why)
    {
        operation = QStringLiteral("paste");
        if (copied.kind != KindNone && expected.total() >= kMaxObjects)
            return;
        VellControl *before = selected();
        f.key(Qt::Key_V, Qt::ControlModifier);
        refreshedNames();
        if (copied.kind == KindNone)
            return;
        const QString name = expected.create(copied.kind);
        operation += QStringLiteral(" ") + name;
        const VellControl *made = tables().object(copied.kind, tables().count(copied.kind));
        if (!made || made->Name != name) {
            why = QStringLiteral("the pasted object is not %1").arg(name);
            return;
        }
        if (selected() != before)
            why = QStringLiteral("pasting changed the selection");
        const bool same = copied.kind == KindButton    ? pastedAsCopied(copied.button, *made)
                          : copied.kind == KindPicture ? pastedAsCopied(copied.picture, *made)
                                                       : pastedAsCopied(copied.text, *made);
        if (!same)
            why = QStringLiteral("the pasted %1 differs from the copied one").arg(name);
    }

    // The described properties, at the centre; an odd size loses a pixel (a
    // text's size is its label's).
    template <typename T> static bool pastedAsCopied(const T &copiedRecord, const VellControl &made)
    {
        T want = copiedRecord;
        const auto &got = static_cast<const T &>(made);
        want.Name = got.Name;
        want.Id = got.Id;
        want.X = want.Y = 0;
        if constexpr (!std::is_same_v<T, VellText>) {
            want.Width = want.Width / 2 * 2;
            want.Height = want.Height / 2 * 2;
        }
        return got == want;
    }

    void movePointer()
    {
        operation = QStringLiteral("move");
        QTest::mouseMove(f.panel(), randomPanelPoint());
    }

    void clear()
    {
        if (operation.isEmpty())
            operation = QStringLiteral("clear");
        f.form->MMClear->trigger();
        for (QStringList &names : expected.names)
            names.clear();
        refreshedNames();
    }

    // Answers the question about unsaved changes, when it comes, with `answer`.
    bool answerUnsaved(Answer answer)
    {
        const bool asked = project().ProjectModified();
        if (asked)
            f.dialogs.answers.push_back(answer);
        return asked;
    }

    void newProject(QString &why)
    {
        operation = QStringLiteral("new");
        const bool cancel = pick(4) == 0;
        const bool asked = answerUnsaved(cancel ? Answer::Cancel : Answer::No);
        f.key(Qt::Key_N, Qt::ControlModifier);
        if (asked && cancel) {
            operation += QStringLiteral(" cancelled");
            return;
        }
        for (QStringList &names : expected.names)
            names.clear();
        refreshedNames();
        if (project().ProjectModified() || !project().ProjectFileName().isEmpty())
            why = QStringLiteral("a new project is modified or has a file");
    }

    QString randomFile()
    {
        return f.path(pick(2) ? QStringLiteral("first.vlp") : QStringLiteral("second.vlp"));
    }

    bool checkSaved(const QString &path, QString &why)
    {
        if (project().ProjectModified()) {
            why = QStringLiteral("still modified after saving");
            return false;
        }
        if (readBytes(path) != JoinTextLines(ProjectFileLines(project()))) {
            why = QStringLiteral("%1 does not hold the project").arg(path);
            return false;
        }
        savedFiles[path] = expected;
        return true;
    }

    void save(QString &why)
    {
        operation = QStringLiteral("save");
        QString path = project().ProjectFileName();
        if (path.isEmpty()) {
            path = randomFile();
            f.dialogs.fileNames.push_back(path);
        }
        operation += QStringLiteral(" ") + QFileInfo(path).fileName();
        f.key(Qt::Key_S, Qt::ControlModifier);
        checkSaved(path, why);
    }

    void saveAs(QString &why)
    {
        const QString path = randomFile();
        operation = QStringLiteral("saveas ") + QFileInfo(path).fileName();
        // The name without its extension, which the command adds.
        f.dialogs.fileNames.push_back(path.chopped(4));
        if (QFileInfo::exists(path))
            f.dialogs.answers.push_back(Answer::Yes);
        f.form->MMSaveAs->trigger();
        if (project().ProjectFileName() != path)
            why = QStringLiteral("saved as %1, the project's file is %2")
                      .arg(path, project().ProjectFileName());
        else
            checkSaved(path, why);
    }

    void open(QString &why)
    {
        operation = QStringLiteral("open");
        if (savedFiles.empty())
            return;
        auto it = savedFiles.begin();
        std::advance(it, pick(int(savedFiles.size())));
        const QString path = it->first;
        operation += QStringLiteral(" ") + QFileInfo(path).fileName();
        answerUnsaved(Answer::No);
        f.dialogs.fileNames.push_back(path);
        f.key(Qt::Key_O, Qt::ControlModifier);
        // The file's objects under their stored names; each advances its
        // kind's counter by one.
        const Names file = it->second;
        for (int k = 0; k < 3; ++k) {
            expected.names[k] = file.names[k];
            expected.counters[k] += int(file.names[k].size());
        }
        refreshedNames();
        if (project().ProjectModified() || project().ProjectFileName() != path)
            why = QStringLiteral("after opening, modified or another file");
        else if (selected())
            why = QStringLiteral("an object is selected after opening");
        else
            sameAsFile(path, why);
    }

    // The objects opened are the file's records, odd sizes (a frame drag
    // gives them) included; a text's size is its label's.
    template <typename T>
    void sameRecords(const std::vector<T> &records, ObjectKind kind, QString &why)
    {
        for (int i = 0; i < int(records.size()) && why.isEmpty(); ++i) {
            const auto *o = static_cast<const T *>(tables().object(kind, i + 1));
            T want = records[std::size_t(i)];
            if constexpr (std::is_same_v<T, VellText>) {
                want.Width = o->Width;
                want.Height = o->Height;
            }
            if (!(*o == want))
                why = QStringLiteral("the opened %1 is not the file's record").arg(o->Name);
        }
    }
    void sameAsFile(const QString &path, QString &why)
    {
        const ProjectReadResult read = ReadProjectLines(SplitTextLines(readBytes(path)));
        if (read.outcome != ProjectReadResult::Outcome::Complete) {
            why = QStringLiteral("the saved file does not read completely");
            return;
        }
        sameRecords(read.data.buttons, KindButton, why);
        sameRecords(read.data.pictures, KindPicture, why);
        sameRecords(read.data.texts, KindText, why);
        if (why.isEmpty() && project().userCodeLines() != read.data.userCode)
            why = QStringLiteral("the opened user code is not the file's");
    }

    // --- Agreement

    void agree(QString &why)
    {
        if (QGuiApplication::mouseButtons() != Qt::NoButton) {
            why = QStringLiteral("a mouse button is still held");
            return;
        }
        if (!f.dialogs.errors.isEmpty() || !f.dialogs.messages.isEmpty()) {
            why = QStringLiteral("a box was shown: ") +
                  (f.dialogs.errors + f.dialogs.messages).join(u'|');
            return;
        }
        if (!f.dialogs.answers.empty() || !f.dialogs.fileNames.empty() ||
            !f.dialogs.colors.empty()) {
            why = QStringLiteral("an answer was not asked for");
            return;
        }
        for (const ObjectKind kind : kObjectKinds) {
            if (tables().objectNames(kind) != expected.names[kindIndex(kind)]) {
                why = QStringLiteral("names %1, expected %2")
                          .arg(tables().objectNames(kind).join(u','),
                               expected.names[kindIndex(kind)].join(u','));
                return;
            }
        }
        const QStringList known = project().KnownObjectNames();
        if (known != (namesLag ? laggingNames : tables().objectNames())) {
            why =
                QStringLiteral("the names the actions dialog offers are %1").arg(known.join(u','));
            return;
        }
        if (!agreeTables(why) || !agreeScene(why))
            return;
        // The panel's pictures are kept up to date where things changed:
        // now and then it must show exactly a fresh drawing.
        if (step % 20 == 0 && PanelShown(f.panel()) !=
                                  PanelDrawnAfresh(drawing().scene(), f.surface().GhostFrame())) {
            why = QStringLiteral("the panel shows something else than its elements");
            return;
        }
        agreeSelection(why);
    }

    bool agreeTables(QString &why)
    {
        const Settings &settings = project().settings();
        std::set<QString> names;
        for (VellControl *o : objects()) {
            if (!names.insert(o->Name).second) {
                why = QStringLiteral("two objects are named %1").arg(o->Name);
                return false;
            }
            if (tables().object(o->Kind, o->Id) != o) {
                why = QStringLiteral("%1 is not at its identifier %2").arg(o->Name).arg(o->Id);
                return false;
            }
            PanelElement *e = drawing().element(*o);
            if (!e || e->tag() != o->Id || e->objectKind() != o->Kind ||
                drawing().objectOf(e) != o) {
                why = QStringLiteral("the element of %1 is not its own").arg(o->Name);
                return false;
            }
            // Every element is where its object is (a label too, after its
            // text changed).
            if (e->rect() != DrawnRect(*o)) {
                why = QStringLiteral("the element of %1 is not where the object is").arg(o->Name);
                return false;
            }
            if (o->Kind == KindText) {
                const auto &t = static_cast<const VellText &>(*o);
                const QColor colour = t.TextColor.isEmpty()
                                          ? QColor(0, 0, 0)
                                          : TryTextToColor(t.TextColor).value_or(QColor());
                if (e->text() != t.Text || QSize(t.Width, t.Height) != LabelSize(t.Text) ||
                    e->textColor() != colour || e->shape() != ElementShape::Label) {
                    why = QStringLiteral("the label of %1 does not show it").arg(o->Name);
                    return false;
                }
                const QColor fill = o == selected() ? settings.selectedTextColor : kButtonFace;
                if (e->fill() != fill) {
                    why = QStringLiteral("the label of %1 is highlighted wrongly").arg(o->Name);
                    return false;
                }
                if (drawing().frame(*o)) {
                    why = QStringLiteral("the text %1 has a frame").arg(o->Name);
                    return false;
                }
                continue;
            }
            VellResizeRect *frame = drawing().frame(*o);
            if (!frame || frame->Owner != o) {
                why = QStringLiteral("the frame of %1 is not its own").arg(o->Name);
                return false;
            }
            if (frame->FramedRect() != e->rect()) {
                why = QStringLiteral("the frame of %1 frames another rectangle").arg(o->Name);
                return false;
            }
            const bool isSelected = o == selected();
            if (frame->isVisible() != isSelected || e->penWidth() != (isSelected ? 2 : 1) ||
                e->penColor() != (isSelected ? settings.selectionBorderColor : QColor(0, 0, 0))) {
                why = QStringLiteral("%1 is highlighted wrongly").arg(o->Name);
                return false;
            }
            if (e->fillStyle() != (o->Visible ? FillStyle::Solid : FillStyle::DiagCross)) {
                why = QStringLiteral("the fill of %1 does not show its visibility").arg(o->Name);
                return false;
            }
        }
        return true;
    }

    bool agreeScene(QString &why)
    {
        std::set<const PanelElement *> drawn;
        for (VellControl *o : objects()) {
            drawn.insert(drawing().element(*o));
            if (VellResizeRect *frame = drawing().frame(*o)) {
                for (int n = 1; n <= 4 && frame->isVisible(); ++n)
                    drawn.insert(frame->handleElement(n));
                // The selected object's border, drawn again above all.
                if (const PanelElement *outline = frame->outlineElement()) {
                    drawn.insert(outline);
                    if (o != selected() || outline->rect() != drawing().element(*o)->rect()) {
                        why = QStringLiteral("an outline stands off its selected object");
                        return false;
                    }
                }
            }
        }
        if (f.surface().GhostFrame())
            drawn.insert(f.surface().GhostFrame());
        const auto &stack = drawing().scene().stack();
        if (stack.size() != drawn.size()) {
            why = QStringLiteral("the panel holds %1 elements, the objects draw %2")
                      .arg(stack.size())
                      .arg(drawn.size());
            return false;
        }
        quint64 order = 0;
        for (const PanelScene::Slot &slot : stack) {
            if (!drawn.count(slot.element) || slot.rect != slot.element->rect() ||
                slot.visible != slot.element->isVisible() || slot.order <= order) {
                why = QStringLiteral("the panel's stack does not match its elements");
                return false;
            }
            order = slot.order;
        }
        return true;
    }

    void agreeSelection(QString &why)
    {
        VellControl *object = selected();
        TForm1 *form = f.form;
        if (f.surface().CurrentSelection() != (object ? drawing().element(*object) : nullptr)) {
            why = QStringLiteral("the selected element is not the selected object's");
            return;
        }
        if (!object) {
            if (form->ObjList->currentText() != kNoObject || form->ID->text() != u"0" ||
                form->InfoList->propertyCount() != 0)
                why = QStringLiteral("nothing is selected, yet the box shows %1, ID %2, %3 rows")
                          .arg(form->ObjList->currentText(), form->ID->text())
                          .arg(form->InfoList->propertyCount());
            return;
        }
        // A kind chosen by hand in the kind box only changes what the object
        // box offers; showing an object sets it again.
        if (form->ObjList->currentText() != object->Name ||
            form->ID->text() != QString::number(object->Id) ||
            (kindShown && form->ClassList->currentText() != KindBoxText(object->Kind))) {
            why = QStringLiteral("%1 is selected, yet the boxes show %2 %3, ID %4")
                      .arg(object->Name, form->ClassList->currentText(),
                           form->ObjList->currentText(), form->ID->text());
            return;
        }
        const QList<PropertyRow> rows = PropertyRowsFor(*object);
        if (form->InfoList->propertyCount() != rows.size()) {
            why = QStringLiteral("the grid has %1 rows for %2")
                      .arg(form->InfoList->propertyCount())
                      .arg(object->Name);
            return;
        }
        for (int row = 1; row <= rows.size(); ++row) {
            if (form->InfoList->GetRowValue(row) != rows[row - 1].value ||
                form->InfoList->key(row) != rows[row - 1].key) {
                why = QStringLiteral("grid row %1 shows %2, %3 has %4")
                          .arg(row)
                          .arg(form->InfoList->GetRowValue(row), object->Name, rows[row - 1].value);
                return;
            }
        }
    }
};

// The offscreen platform says at every popup that it cannot raise a window
// or grab the keyboard; thousands of such lines would hide anything else.
QtMessageHandler g_previousHandler = nullptr;
void withoutPlatformNotices(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_previousHandler(type, context, text);
}

int envNumber(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

} // namespace

class TestEditSoak : public QObject
{
    Q_OBJECT

private slots:
    void tenThousandRandomEdits()
    {
        const int steps = envNumber("VELL_SOAK_STEPS", 10000);
        const quint32 seed = quint32(envNumber("VELL_SOAK_SEED", 20261207));
        g_previousHandler = qInstallMessageHandler(withoutPlatformNotices);
        const auto restore = qScopeGuard([] { qInstallMessageHandler(g_previousHandler); });
        AppFixture f;
        Soak soak(f, seed);
        QElapsedTimer timer;
        timer.start();
        QString failure;
        const bool ok = soak.run(steps, failure);
        QStringList done;
        for (const auto &[name, count] : soak.counts)
            done << QStringLiteral("%1 %2").arg(name).arg(count);
        qInfo("seed %u, %d steps in %lld ms (%d cells opened by a double-click): %s", seed, steps,
              timer.elapsed(), soak.doubleClicks, qPrintable(done.join(QStringLiteral(", "))));
        QVERIFY2(ok, qPrintable(QStringLiteral("seed %1, ").arg(seed) + failure));
    }
};

QTEST_MAIN(TestEditSoak)
#include "tst_editsoak.moc"
