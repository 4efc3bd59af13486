#pragma once

#include "codegen/actionemission.h"
#include "model/grouplayout.h"
#include "model/propertyrows.h"
#include "project/actionupdate.h"
#include "project/designhistory.h"
#include "project/objectclipboard.h"
#include "project/projectio.h"

#include <QColor>
#include <QRect>
#include <QStringList>

namespace vell {

class Project;

// Several objects as one: its members in the order they were selected, and
// its primary, one of them.
struct ObjectGroup
{
    std::vector<VellControl *> members;
    VellControl *primary = nullptr;
    qsizetype size() const { return qsizetype(members.size()); }
};

// Every change a user makes to the project: each command does the change
// and records it as one step of the design's history, named as the Edit
// menu shows it. Windows ask their questions (a file name, "replace?") and
// then call one command; a program without windows can call them too. The
// object clipboard is kept here: it belongs to the program, not to a file.
class ProjectCommands
{
public:
    explicit ProjectCommands(Project &project);

    Project &project() { return m_project; }
    ObjectClipboard &clipboard() { return m_clipboard; }
    const ObjectClipboard &clipboard() const { return m_clipboard; }

    // A new object of the kind at the panel centre; nullptr (nothing
    // changed) when its table is full.
    VellControl *create(ObjectKind kind);
    // Removes the object; without one (nothing selected) only marks the
    // project, as the menu item always does.
    void remove(VellControl *object);
    void clear();
    // A drop: the object's centre goes to (x, y).
    void moveTo(VellControl &object, int x, int y);
    // An arrow key: the centre moves by the offset but stops at the panel's
    // bounds, and one already beyond them never moves further out. A held
    // key's repeats make one step with the press that began the hold.
    // Returns whether the object moved.
    bool nudge(VellControl &object, int dx, int dy, bool held);
    // A handle held from press to release is one step. While it is held
    // the object takes the rectangle the frame shows, live, without a step
    // and without marking the project.
    void resizeTo(VellControl &object, const QRect &framedRect);
    // The release records the step: the fields before the press, then the
    // object as the release leaves it.
    void resized(const VellControl &object, const ObjectRecord &before);
    // A resize given up: the object goes back to its size and place before
    // the press; no step is made and the project is not marked.
    void resizeGivenUp(VellControl &object, const ObjectRecord &before);

    // A group dragged: each member moves by the offset (the primary's),
    // its centre then kept within the panel's bounds as a duplicate's is.
    void moveGroup(const ObjectGroup &group, QPoint offset);
    // Arrow keys on a group: it moves by the largest step, at most the
    // key's, that takes no member further out than the bounds or than it
    // stands. A held key's repeats make one step. Returns whether it moved.
    bool nudgeGroup(const ObjectGroup &group, int dx, int dy, bool held);
    void removeGroup(const ObjectGroup &group);
    // The members' edges or centres lined up with the primary's.
    void alignGroup(const ObjectGroup &group, GroupAlign how);
    // Equal gaps between the members, the outermost two staying.
    void distributeGroup(const ObjectGroup &group, Qt::Orientation axis);

    // A new object of the original's kind and fields but its own default
    // name (a button without actions or click functions), 16 px right and
    // 16 px down of it within the panel; nullptr when its table is full.
    // Duplicating the last duplicate again repeats the step between it and
    // its original, as that step stands now (moved since, say). The object
    // clipboard is left alone.
    VellControl *duplicate(const VellControl &original);
    // Every member duplicated as duplicate() does, all by the primary's
    // offset, as one step; the copies come in the table order of their
    // originals, the primary's copy leading. Duplicating the last group of
    // copies again repeats the step between the primary's copy and its
    // original. Nothing is made when a kind's table has no room for all of
    // its copies: the result is empty and `fullKind` tells that kind.
    ObjectGroup duplicate(const ObjectGroup &group, ObjectKind *fullKind = nullptr);

    // The clipboard. Copy and paste refresh the names the actions dialog
    // offers; copy marks the project. A group of two or more is copied with
    // its members' places (in table order) and pastes as a group.
    void copy(const VellControl &object);
    void copy(const ObjectGroup &group);
    void cut(VellControl &object);
    void cut(const ObjectGroup &group);
    struct Paste
    {
        ObjectClipboard::PasteOutcome outcome;
        // A single object pasted (unselected), or a group's primary.
        VellControl *pasted = nullptr;
        // A group pasted: its members, to be selected.
        ObjectGroup group;
        // The kind without room when the outcome is TableFull.
        ObjectKind fullKind = KindNone;
    };
    Paste paste();

    // A grid row's value applied after a key release (`values`: every row's
    // value, row 1 first). Characters typed into one row one after another
    // make one step.
    ApplyOutcome setRowValue(VellControl &object, int row, const QStringList &values);
    void setVisible(VellControl &object, bool visible);
    void setTextColor(VellText &text, QColor color);
    // The colour dialog closed without a colour: nothing changes, but the
    // project is marked as by any use of the row.
    void textColorKept();
    // What the actions dialog handed back for the button's side: the list,
    // its function in the user code (ECHO with it when needed) and the
    // function name, as one step. Returns whether anything was applied.
    bool applyActions(VellButton &button, ClickSide side, const QStringList &lines);

    // The buttons' click functions in the user code against their lists now.
    ActionFunctionScan scanActionFunctions() const;
    // Puts the scan's stale functions in their places and appends the
    // missing ones (ECHO with them when they call it), as one step that
    // marks the project. Returns whether there was anything to update.
    bool updateActionFunctions(const ActionFunctionScan &scan);

    // New: no objects, no history, no file; unmodified.
    void newProject();
    // Reads the file into the project (see LoadProjectFile); a loaded file
    // becomes the project's file, unmodified; a partial one leaves the
    // project nameless and modified, so a later save asks for a name.
    ProjectLoad open(const QString &path);
    // Makes the file the project's, then writes it, saved. Throws VellError
    // when it cannot be written: the project keeps that name, unsaved.
    void save(const QString &path);
    // Puts a recovery copy's project in place of this one, under the file
    // name it had: the objects and the user code become the copy's, and the
    // project is modified (the copy is not saved anywhere).
    void restore(ProjectReadResult read, const QString &fileName);

private:
    // Moves the members to the centres (in their order) as one step named
    // for the group; when none moves, only marks the project.
    bool moveMembers(const ObjectGroup &group, const std::vector<QPoint> &to, const QString &what,
                     int mergeKey = -1, bool held = false);
    // Removes the members as one step named for the group.
    void removeMembers(const ObjectGroup &group, const QString &what);
    // The members just made, as one step named for the group that selects
    // them again when redone.
    void recordAdded(const ObjectGroup &group, const QString &what);
    // Records the object's change from `before` as one step named `what`
    // and the object's name; when nothing changed, only marks the project.
    void recordChange(const VellControl &object, const ObjectRecord &before, const QString &what,
                      int mergeKey = -1);

    Project &m_project;
    ObjectClipboard m_clipboard;
    // The step of the next duplicate of these originals.
    QPoint duplicateStep(const std::vector<const VellControl *> &originals,
                         const VellControl &primary) const;
    // The copies of the originals (in the tables' order) moved by the
    // step; empty when a table has no room for them all.
    std::vector<VellControl *> duplicated(const std::vector<const VellControl *> &originals,
                                          QPoint step, ObjectKind *fullKind);
    // The last duplicates and their originals, in pairs, by place and
    // address: any may have gone since.
    struct Duplicated
    {
        std::vector<ObjectPlace> copyPlaces, originalPlaces;
        std::vector<const VellControl *> copies, originals;
    } m_lastDuplicate;
};

// "Нельзя создать кнопку: на панели уже 9999 кнопок." and its kin: the
// message for a create or paste into a full table.
QString FullTableMessage(ObjectKind kind);

} // namespace vell
