#include "project/designhistory.h"

#include "codegen/userfunctions.h"
#include "model/usercodelines.h"
#include "project/project.h"

#include <algorithm>

namespace vell {

ObjectRecord RecordOf(const VellControl &object)
{
    switch (object.Kind) {
    case KindButton:
        return static_cast<const VellButton &>(object);
    case KindPicture:
        return static_cast<const VellPicture &>(object);
    default:
        return static_cast<const VellText &>(object);
    }
}

const VellControl &ControlOf(const ObjectRecord &record)
{
    return std::visit([](const auto &r) -> const VellControl & { return r; }, record);
}

int MergeKey(StepMerge what, const VellControl &object, int row)
{
    return (int(what) << 24) | (int(object.Kind) << 20) | (object.Id << 4) | (row & 15);
}

DesignStep::DesignStep(Project &project, const QString &text)
    : QUndoCommand(text), m_project(project)
{}

ObjectPlace PlaceOf(const VellControl &object)
{
    return {object.Kind, object.Id};
}

void DesignStep::redo()
{
    // The change was made before the step was recorded.
    if (std::exchange(m_done, false))
        return;
    apply(true);
    selectGroup();
}

void DesignStep::undo()
{
    apply(false);
    selectGroup();
}

void DesignStep::selectGroup()
{
    if (!m_group)
        return;
    const ObjectTables &t = m_project.tables();
    QList<VellControl *> members;
    members.reserve(qsizetype(m_group->members.size()));
    for (const auto &[kind, id] : m_group->members) {
        if (VellControl *object = t.object(kind, id))
            members.append(object);
    }
    const auto &[kind, id] = m_group->primary;
    emit m_project.groupStepApplied(members, members.isEmpty() ? nullptr : t.object(kind, id));
}

ObjectsStep::ObjectsStep(Project &project, const QString &text, std::vector<ObjectRecord> added,
                         std::vector<ObjectRecord> removed)
    : DesignStep(project, text), m_removed(std::move(removed))
{
    m_addedPlaces.reserve(added.size());
    for (const ObjectRecord &r : added)
        m_addedPlaces.emplace_back(ControlOf(r).Kind, ControlOf(r).Id);
}

void ObjectsStep::bringIn(const std::vector<ObjectRecord> &records)
{
    // Each kind in rising places, so that every object lands where it was.
    std::vector<const ObjectRecord *> order;
    for (const ObjectRecord &r : records)
        order.push_back(&r);
    std::stable_sort(order.begin(), order.end(), [](const auto *a, const auto *b) {
        const VellControl &x = ControlOf(*a);
        const VellControl &y = ControlOf(*b);
        return std::pair(x.Kind, x.Id) < std::pair(y.Kind, y.Id);
    });
    const bool bulk = order.size() > 1;
    if (bulk)
        m_project.beginBulkChange();
    for (const ObjectRecord *r : order)
        m_project.reinsert(ControlOf(*r));
    if (bulk)
        m_project.endBulkChange();
    m_project.RefreshObjectNames();
}

void RemoveObjectsAt(Project &project, std::vector<ObjectPlace> places)
{
    if (!places.empty() && int(places.size()) == project.tables().totalCount()) {
        project.clearObjects();
    } else {
        std::sort(places.rbegin(), places.rend());
        for (const auto &[kind, id] : places)
            project.remove(kind, id);
    }
    project.RefreshObjectNames();
}

void ObjectsStep::takeOut(const std::vector<ObjectRecord> &records)
{
    std::vector<ObjectPlace> places;
    places.reserve(records.size());
    for (const ObjectRecord &r : records)
        places.push_back(PlaceOf(ControlOf(r)));
    RemoveObjectsAt(m_project, std::move(places));
}

void ObjectsStep::apply(bool forward)
{
    if (forward) {
        takeOut(m_removed);
        bringIn(m_added);
        m_added = {};
    } else {
        m_added.clear();
        for (const auto &[kind, id] : m_addedPlaces) {
            if (const VellControl *object = m_project.tables().object(kind, id))
                m_added.push_back(RecordOf(*object));
        }
        takeOut(m_added);
        bringIn(m_removed);
    }
}

ChangeStep::ChangeStep(Project &project, const QString &text, const ObjectRecord &before,
                       const ObjectRecord &after, int mergeKey, bool continues)
    : DesignStep(project, text), m_before(before), m_after(after), m_mergeKey(mergeKey),
      m_continues(continues)
{}

void ChangeStep::setUserCodeFunction(const QString &name, std::optional<QStringList> before,
                                     std::optional<QStringList> after)
{
    m_function = name;
    m_functionBefore = std::move(before);
    m_functionAfter = std::move(after);
}

bool ChangeStep::mergeWith(const QUndoCommand *other)
{
    const auto *next = dynamic_cast<const ChangeStep *>(other);
    if (!next || !next->m_continues || !m_function.isEmpty() || !next->m_function.isEmpty())
        return false;
    m_after = next->m_after;
    // Typing a row's value back (the cell's own undo, say) leaves a step
    // that changes nothing: it goes.
    setObsolete(m_after == m_before);
    return true;
}

PositionsStep::PositionsStep(Project &project, const QString &text, std::vector<Move> moves,
                             int mergeKey, bool continues)
    : DesignStep(project, text), m_moves(std::move(moves)), m_mergeKey(mergeKey),
      m_continues(continues)
{}

bool PositionsStep::mergeWith(const QUndoCommand *other)
{
    const auto *next = dynamic_cast<const PositionsStep *>(other);
    if (!next || !next->m_continues || next->m_moves.size() != m_moves.size())
        return false;
    for (size_t i = 0; i < m_moves.size(); ++i) {
        if (next->m_moves[i].place != m_moves[i].place)
            return false;
    }
    bool moved = false;
    for (size_t i = 0; i < m_moves.size(); ++i) {
        m_moves[i].to = next->m_moves[i].to;
        moved |= m_moves[i].to != m_moves[i].from;
    }
    setObsolete(!moved);
    return true;
}

void PositionsStep::apply(bool forward)
{
    ObjectTables &t = m_project.tables();
    for (const Move &m : m_moves) {
        if (VellControl *object = t.object(m.place.first, m.place.second)) {
            const QPoint at = forward ? m.to : m.from;
            t.SetPosition(*object, at.x(), at.y());
            emit m_project.objectChanged(object);
        }
    }
}

FunctionsStep::FunctionsStep(Project &project, const QString &text, QList<Function> functions,
                             bool echoInserted)
    : DesignStep(project, text), m_functions(std::move(functions)), m_echoInserted(echoInserted)
{}

void FunctionsStep::apply(bool forward)
{
    QList<FunctionText> put;
    put.reserve(m_functions.size());
    for (const Function &f : m_functions)
        put.append(FunctionText{f.name, forward ? f.after : f.before.value_or(QStringList())});
    m_project.setUserCodeLines(ReplaceUserFunctions(m_project.userCodeLines(), put));
    if (forward) {
        m_echoInserted = m_echoInserted && m_project.OnMainFunc();
    } else if (m_echoInserted && !m_project.removeInsertedEcho()) {
        m_project.setProjectModified(true);
    }
}

void ChangeStep::apply(bool forward)
{
    const ObjectRecord &record = forward ? m_after : m_before;
    const VellControl &fields = ControlOf(record);
    if (VellControl *object = m_project.tables().object(fields.Kind, fields.Id)) {
        m_project.tables().restore(*object, fields);
        emit m_project.objectChanged(object);
    }
    if (!m_function.isEmpty()) {
        // By name only: whatever else the user code holds stays as it is.
        m_project.RemoveFunc(m_function);
        if (const auto &lines = forward ? m_functionAfter : m_functionBefore)
            m_project.appendUserCodeLines(*lines);
    }
    if (forward) {
        m_echoInserted = m_echoInserted && m_project.OnMainFunc();
    } else if (m_echoInserted && !m_project.removeInsertedEcho()) {
        // The user changed it since: it stays, and so the design is not the
        // one before this step.
        m_project.setProjectModified(true);
    }
}

} // namespace vell
