#pragma once

#include "model/vellobjects.h"

#include <QPoint>
#include <QStringList>
#include <QUndoCommand>

#include <optional>
#include <variant>
#include <vector>

namespace vell {

class Project;

// A copy of one object's fields, of whichever kind.
using ObjectRecord = std::variant<VellButton, VellPicture, VellText>;
ObjectRecord RecordOf(const VellControl &object);
const VellControl &ControlOf(const ObjectRecord &record);

// Where an object stands: its kind and its place in that kind's table.
using ObjectPlace = std::pair<ObjectKind, int>;
ObjectPlace PlaceOf(const VellControl &object);

// Removes the objects at these places (later places first, so that the
// earlier ones stay where they are; all of them at once by a clear) and
// refreshes the names the actions dialog offers.
void RemoveObjectsAt(Project &project, std::vector<ObjectPlace> places);

// The objects a step of a group selects once it is undone or redone: those
// of them that exist then, the primary foremost.
struct StepGroup
{
    std::vector<ObjectPlace> members;
    ObjectPlace primary{KindNone, 0};
};

// One step of the design's history. A step is made after its change was
// done, so its first redo does nothing; it keeps only what changed (the
// objects it added or removed, or one object's fields before and after),
// and it finds its objects by kind and table place, which are the same
// whenever the history reaches it.
class DesignStep : public QUndoCommand
{
public:
    DesignStep(Project &project, const QString &text);
    void redo() final;
    void undo() final;
    // Made for a group: undoing and redoing it selects the group.
    void setGroup(StepGroup group) { m_group = std::move(group); }

protected:
    virtual void apply(bool forward) = 0;
    Project &m_project;

private:
    void selectGroup();

    bool m_done = true;
    std::optional<StepGroup> m_group;
};

// Objects coming into the design (create, paste) or going out of it
// (delete, cut, clear).
class ObjectsStep : public DesignStep
{
public:
    ObjectsStep(Project &project, const QString &text, std::vector<ObjectRecord> added,
                std::vector<ObjectRecord> removed);

protected:
    void apply(bool forward) override;

private:
    void bringIn(const std::vector<ObjectRecord> &records);
    void takeOut(const std::vector<ObjectRecord> &records);

    // The objects added are in the design whenever the history stands after
    // this step, so only their places are kept then; their fields are taken
    // when the step is undone, for redoing it.
    std::vector<std::pair<ObjectKind, int>> m_addedPlaces;
    std::vector<ObjectRecord> m_added;
    std::vector<ObjectRecord> m_removed;
};

// One object's fields changed (a move, a resize, a grid edit, a colour, its
// actions). Steps with the same merge key that follow each other become one
// (typing into one row, a held arrow key). For actions it also swaps the
// click function in the user code by name, leaving every other line alone.
class ChangeStep : public DesignStep
{
public:
    // `continues`: this change goes on the one before it when their merge
    // keys are equal (the next character typed into a row, a held key).
    ChangeStep(Project &project, const QString &text, const ObjectRecord &before,
               const ObjectRecord &after, int mergeKey = -1, bool continues = false);

    // The user code function of that name before and after (nothing: none).
    void setUserCodeFunction(const QString &name, std::optional<QStringList> before,
                             std::optional<QStringList> after);
    // The change put the ECHO function into the user code: undoing it takes
    // the function out again while it is still exactly as put in (edited,
    // it stays, and the project stays modified); redoing puts it back.
    void setEchoInserted(bool inserted) { m_echoInserted = inserted; }

    int id() const override { return m_mergeKey; }
    bool mergeWith(const QUndoCommand *other) override;

protected:
    void apply(bool forward) override;

private:
    ObjectRecord m_before;
    ObjectRecord m_after;
    int m_mergeKey;
    bool m_continues;
    QString m_function;
    std::optional<QStringList> m_functionBefore;
    std::optional<QStringList> m_functionAfter;
    // Whether ECHO is in the user code by this step's doing.
    bool m_echoInserted = false;
};

// Objects moved as one (a group dragged, nudged, aligned or distributed):
// each one's centre before and after. A held arrow key's repeats merge as a
// ChangeStep's do.
class PositionsStep : public DesignStep
{
public:
    struct Move
    {
        ObjectPlace place;
        QPoint from, to;
        bool operator==(const Move &) const = default;
    };
    PositionsStep(Project &project, const QString &text, std::vector<Move> moves, int mergeKey = -1,
                  bool continues = false);

    int id() const override { return m_mergeKey; }
    bool mergeWith(const QUndoCommand *other) override;

protected:
    void apply(bool forward) override;

private:
    std::vector<Move> m_moves;
    int m_mergeKey;
    bool m_continues;
};

// Functions of the user code put in place of the ones of their names (or
// appended where there were none), by name: every other line stays as it
// is. Undoing puts the earlier functions back (or takes the appended ones
// out); ECHO as with ChangeStep.
class FunctionsStep : public DesignStep
{
public:
    struct Function
    {
        QString name;
        std::optional<QStringList> before;
        QStringList after;
    };
    FunctionsStep(Project &project, const QString &text, QList<Function> functions,
                  bool echoInserted);

protected:
    void apply(bool forward) override;

private:
    QList<Function> m_functions;
    bool m_echoInserted;
};

// Merge keys of the steps that merge, one per kind of change.
enum class StepMerge
{
    GridRow = 1,
    ArrowMove = 2,
    GroupArrowMove = 3,
};
int MergeKey(StepMerge what, const VellControl &object, int row = 0);

} // namespace vell
