#include "project/projectcommands.h"

#include "codegen/userfunctions.h"
#include "model/kindfacts.h"
#include "model/panelsize.h"
#include "model/usercodelines.h"
#include "project/project.h"

#include <algorithm>
#include <array>
#include <climits>
#include <numeric>
#include <type_traits>
#include <utility>

namespace vell {

namespace {

// One coordinate moved by an arrow key: it stops at the bound of the range
// it would leave, and one already outside never moves further out.
int nudged(int from, int by, int bound)
{
    const qint64 to = qint64(from) + by;
    if (by < 0)
        return int(std::max<qint64>(to, std::min<qint64>(from, -bound)));
    return int(std::min<qint64>(to, std::max<qint64>(from, bound)));
}

bool hasEcho(const Project &project)
{
    return UserFunctions(project.userCodeLines()).defines(QStringLiteral("ECHO"));
}

} // namespace

ProjectCommands::ProjectCommands(Project &project) : m_project(project) {}

VellControl *ProjectCommands::create(ObjectKind kind)
{
    VellControl *object = m_project.create(kind);
    if (object) {
        m_project.recordStep(new ObjectsStep(m_project, QStringLiteral("создание ") + object->Name,
                                             {RecordOf(*object)}, {}));
        m_project.RefreshObjectNames();
    }
    return object;
}

QPoint ProjectCommands::duplicateStep(const std::vector<const VellControl *> &originals,
                                      const VellControl &primary) const
{
    // Again on the last copies, all of them and they alone, while they and
    // their originals stand where they were made: the same step, as it
    // stands now.
    const QPoint first(16, -16);
    const Duplicated &last = m_lastDuplicate;
    const ObjectTables &t = m_project.tables();
    if (originals.size() != last.copies.size())
        return first;
    std::size_t primaryAt = originals.size();
    for (std::size_t i = 0; i < originals.size(); ++i) {
        const auto &[copyKind, copyId] = last.copyPlaces[i];
        const auto &[originalKind, originalId] = last.originalPlaces[i];
        if (originals[i] != last.copies[i] || t.object(copyKind, copyId) != last.copies[i] ||
            t.object(originalKind, originalId) != last.originals[i])
            return first;
        if (originals[i] == &primary)
            primaryAt = i;
    }
    if (primaryAt == originals.size())
        return first;
    const auto difference = [](int a, int b) {
        return int(std::clamp<qint64>(qint64(a) - b, INT_MIN, INT_MAX));
    };
    const VellControl &copy = *last.copies[primaryAt];
    const VellControl &original = *last.originals[primaryAt];
    return QPoint(difference(copy.X, original.X), difference(copy.Y, original.Y));
}

std::vector<VellControl *>
ProjectCommands::duplicated(const std::vector<const VellControl *> &originals, QPoint step,
                            ObjectKind *fullKind)
{
    ObjectTables &t = m_project.tables();
    std::array<qsizetype, KindText + 1> needed{};
    for (const VellControl *o : originals)
        ++needed[o->Kind];
    if (const ObjectKind full = t.kindWithoutRoom(needed); full != KindNone) {
        if (fullKind)
            *fullKind = full;
        return {};
    }
    const bool bulk = originals.size() > 1;
    if (bulk)
        m_project.beginBulkChange();
    std::vector<VellControl *> copies;
    copies.reserve(originals.size());
    for (const VellControl *original : originals) {
        VellControl *copy = m_project.create(original->Kind);
        ObjectRecord record = RecordOf(*original);
        std::visit(
            [&](auto &r) {
                r.Name = copy->Name;
                r.Id = copy->Id;
                r.X = int(std::clamp<qint64>(qint64(original->X) + step.x(), -kPanelWidth / 2,
                                             kPanelWidth / 2));
                r.Y = int(std::clamp<qint64>(qint64(original->Y) + step.y(), -kPanelHeight / 2,
                                             kPanelHeight / 2));
                if constexpr (std::is_same_v<std::decay_t<decltype(r)>, VellButton>) {
                    r.LeftActions.clear();
                    r.RightActions.clear();
                    r.LeftActionsFunction.clear();
                    r.RightActionsFunction.clear();
                }
            },
            record);
        t.restore(*copy, ControlOf(record));
        copies.push_back(copy);
    }
    if (bulk)
        m_project.endBulkChange();
    Duplicated last;
    for (std::size_t i = 0; i < originals.size(); ++i) {
        last.copyPlaces.push_back(PlaceOf(*copies[i]));
        last.originalPlaces.push_back(PlaceOf(*originals[i]));
    }
    last.copies.assign(copies.cbegin(), copies.cend());
    last.originals = originals;
    m_lastDuplicate = std::move(last);
    return copies;
}

VellControl *ProjectCommands::duplicate(const VellControl &original)
{
    const std::vector<const VellControl *> originals{&original};
    const std::vector<VellControl *> copies =
        duplicated(originals, duplicateStep(originals, original), nullptr);
    if (copies.empty())
        return nullptr;
    VellControl *copy = copies.front();
    m_project.recordStep(new ObjectsStep(m_project, QStringLiteral("дублирование ") + copy->Name,
                                         {RecordOf(*copy)}, {}));
    m_project.RefreshObjectNames();
    return copy;
}

void ProjectCommands::remove(VellControl *object)
{
    if (!object) {
        m_project.setProjectModified(true);
        return;
    }
    const QString text = QStringLiteral("удаление ") + object->Name;
    std::vector<ObjectRecord> removed{RecordOf(*object)};
    m_project.remove(object->Kind, object->Id);
    m_project.recordStep(new ObjectsStep(m_project, text, {}, std::move(removed)));
}

void ProjectCommands::clear()
{
    std::vector<ObjectRecord> removed;
    ObjectTables &t = m_project.tables();
    removed.reserve(t.totalCount());
    for (const ObjectKind kind : kObjectKinds) {
        for (int id = 1; id <= t.count(kind); ++id)
            removed.push_back(RecordOf(*t.object(kind, id)));
    }
    m_project.clearObjects();
    if (removed.empty())
        m_project.setProjectModified(true);
    else
        m_project.recordStep(
            new ObjectsStep(m_project, QStringLiteral("очистка"), {}, std::move(removed)));
    m_project.RefreshObjectNames();
}

void ProjectCommands::moveTo(VellControl &object, int x, int y)
{
    const ObjectRecord before = RecordOf(object);
    m_project.tables().SetPosition(object, x, y);
    m_project.recordStep(new ChangeStep(m_project, QStringLiteral("перемещение ") + object.Name,
                                        before, RecordOf(object)));
}

namespace {

StepGroup stepGroupOf(const ObjectGroup &group)
{
    StepGroup g;
    g.members.reserve(group.members.size());
    for (const VellControl *o : group.members)
        g.members.push_back(PlaceOf(*o));
    if (group.primary)
        g.primary = PlaceOf(*group.primary);
    return g;
}

std::vector<QPoint> centresOf(const ObjectGroup &group)
{
    std::vector<QPoint> centres;
    centres.reserve(group.members.size());
    for (const VellControl *o : group.members)
        centres.emplace_back(o->X, o->Y);
    return centres;
}

// The members in table order, and where the primary stands among them.
std::pair<std::vector<const VellControl *>, qsizetype> inTableOrder(const ObjectGroup &group)
{
    std::vector<const VellControl *> members(group.members.cbegin(), group.members.cend());
    std::sort(members.begin(), members.end(),
              [](const VellControl *a, const VellControl *b) { return PlaceOf(*a) < PlaceOf(*b); });
    const auto primary = std::find(members.cbegin(), members.cend(), group.primary);
    return {std::move(members), qsizetype(primary - members.cbegin())};
}

} // namespace

bool ProjectCommands::moveMembers(const ObjectGroup &group, const std::vector<QPoint> &to,
                                  const QString &what, int mergeKey, bool held)
{
    std::vector<PositionsStep::Move> moves;
    moves.reserve(group.members.size());
    bool moved = false;
    ObjectTables &t = m_project.tables();
    for (size_t i = 0; i < group.members.size(); ++i) {
        VellControl &o = *group.members[i];
        const QPoint from(o.X, o.Y);
        moves.push_back({PlaceOf(o), from, to[i]});
        if (to[i] != from) {
            moved = true;
            t.SetPosition(o, to[i].x(), to[i].y());
        }
    }
    if (!moved) {
        m_project.setProjectModified(true);
        return false;
    }
    auto *step = new PositionsStep(m_project, GroupStepName(what, group.size()), std::move(moves),
                                   mergeKey, held);
    step->setGroup(stepGroupOf(group));
    m_project.recordStep(step);
    return true;
}

void ProjectCommands::moveGroup(const ObjectGroup &group, QPoint offset)
{
    std::vector<QPoint> to = centresOf(group);
    for (QPoint &c : to)
        c = DraggedCentre(c, offset);
    moveMembers(group, to, QStringLiteral("перемещение"));
}

bool ProjectCommands::nudgeGroup(const ObjectGroup &group, int dx, int dy, bool held)
{
    std::vector<QPoint> to = centresOf(group);
    const QPoint step = GroupNudgeStep(to, QPoint(dx, dy));
    if (step.isNull())
        return false;
    for (QPoint &c : to)
        c += step;
    const int key = group.primary ? MergeKey(StepMerge::GroupArrowMove, *group.primary) : -1;
    return moveMembers(group, to, QStringLiteral("перемещение"), key, held);
}

void ProjectCommands::alignGroup(const ObjectGroup &group, GroupAlign how)
{
    if (!group.primary)
        return;
    std::vector<const VellControl *> members(group.members.cbegin(), group.members.cend());
    moveMembers(group, AlignedCentres(members, *group.primary, how),
                QStringLiteral("выравнивание"));
}

void ProjectCommands::distributeGroup(const ObjectGroup &group, Qt::Orientation axis)
{
    // Ties go by table order.
    std::vector<size_t> order(group.members.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return PlaceOf(*group.members[a]) < PlaceOf(*group.members[b]);
    });
    std::vector<const VellControl *> members;
    members.reserve(order.size());
    for (const size_t i : order)
        members.push_back(group.members[i]);
    const std::vector<QPoint> placed = DistributedCentres(members, axis);
    std::vector<QPoint> to(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        to[order[k]] = placed[k];
    moveMembers(group, to, QStringLiteral("распределение"));
}

void ProjectCommands::removeGroup(const ObjectGroup &group)
{
    removeMembers(group, QStringLiteral("удаление"));
}

void ProjectCommands::removeMembers(const ObjectGroup &group, const QString &what)
{
    std::vector<ObjectRecord> removed;
    removed.reserve(group.members.size());
    for (const VellControl *o : group.members)
        removed.push_back(RecordOf(*o));
    const QString text = GroupStepName(what, group.size());
    const StepGroup selection = stepGroupOf(group);
    RemoveObjectsAt(m_project, selection.members);
    auto *step = new ObjectsStep(m_project, text, {}, std::move(removed));
    step->setGroup(selection);
    m_project.recordStep(step);
}

void ProjectCommands::recordAdded(const ObjectGroup &group, const QString &what)
{
    std::vector<ObjectRecord> added;
    added.reserve(group.members.size());
    for (const VellControl *o : group.members)
        added.push_back(RecordOf(*o));
    auto *step =
        new ObjectsStep(m_project, GroupStepName(what, group.size()), std::move(added), {});
    step->setGroup(stepGroupOf(group));
    m_project.recordStep(step);
    m_project.RefreshObjectNames();
}

ObjectGroup ProjectCommands::duplicate(const ObjectGroup &group, ObjectKind *fullKind)
{
    if (!group.primary)
        return {};
    const auto [originals, primaryAt] = inTableOrder(group);
    std::vector<VellControl *> copies =
        duplicated(originals, duplicateStep(originals, *group.primary), fullKind);
    if (copies.empty())
        return {};
    ObjectGroup made{std::move(copies), nullptr};
    made.primary = made.members[std::size_t(primaryAt)];
    recordAdded(made, QStringLiteral("дублирование"));
    return made;
}

bool ProjectCommands::nudge(VellControl &object, int dx, int dy, bool held)
{
    // The centre stays on the panel, within the bounds the design check
    // uses.
    const int x = nudged(object.X, dx, kPanelWidth / 2);
    const int y = nudged(object.Y, dy, kPanelHeight / 2);
    if (x == object.X && y == object.Y)
        return false;
    const ObjectRecord before = RecordOf(object);
    m_project.tables().SetPosition(object, x, y);
    m_project.recordStep(new ChangeStep(m_project, QStringLiteral("перемещение ") + object.Name,
                                        before, RecordOf(object),
                                        MergeKey(StepMerge::ArrowMove, object), held));
    return true;
}

void ProjectCommands::resized(const VellControl &object, const ObjectRecord &before)
{
    // A release that changed nothing still marks the project, as every
    // release of a handle does.
    recordChange(object, before, QStringLiteral("изменение размера"));
}

void ProjectCommands::resizeTo(VellControl &object, const QRect &framedRect)
{
    m_project.tables().SetFramedRect(object, framedRect);
}

void ProjectCommands::resizeGivenUp(VellControl &object, const ObjectRecord &before)
{
    const VellControl &was = ControlOf(before);
    m_project.tables().SetExactSize(object, was.Width, was.Height);
    m_project.tables().SetPosition(object, was.X, was.Y);
}

void ProjectCommands::copy(const VellControl &object)
{
    m_clipboard.CopyToBuffer(object);
    m_project.setProjectModified(true);
    m_project.RefreshObjectNames();
}

void ProjectCommands::copy(const ObjectGroup &group)
{
    const auto [members, primaryAt] = inTableOrder(group);
    m_clipboard.CopyGroup(members, primaryAt);
    m_project.setProjectModified(true);
    m_project.RefreshObjectNames();
}

void ProjectCommands::cut(const ObjectGroup &group)
{
    const auto [members, primaryAt] = inTableOrder(group);
    m_clipboard.CopyGroup(members, primaryAt);
    // A cut button's action functions stay in the user code.
    removeMembers(group, QStringLiteral("вырезание"));
}

void ProjectCommands::cut(VellControl &object)
{
    // A cut button's action functions stay in the user code.
    m_clipboard.CopyToBuffer(object);
    const QString text = QStringLiteral("вырезание ") + object.Name;
    std::vector<ObjectRecord> removed{RecordOf(object)};
    m_project.remove(object.Kind, object.Id);
    m_project.recordStep(new ObjectsStep(m_project, text, {}, std::move(removed)));
    m_project.RefreshObjectNames();
}

ProjectCommands::Paste ProjectCommands::paste()
{
    Paste paste;
    if (m_clipboard.size() > 1) {
        paste.outcome = m_clipboard.PasteGroup(m_project, paste.group.members, &paste.fullKind);
        if (paste.outcome == ObjectClipboard::PasteOutcome::Pasted) {
            paste.group.primary = paste.group.members[std::size_t(m_clipboard.primaryIndex())];
            paste.pasted = paste.group.primary;
            recordAdded(paste.group, QStringLiteral("вставка"));
            return paste;
        }
    } else {
        paste.outcome = m_clipboard.PasteFromBuffer(m_project, &paste.pasted);
        if (paste.outcome == ObjectClipboard::PasteOutcome::TableFull)
            paste.fullKind = m_clipboard.bufferKind();
    }
    if (paste.outcome == ObjectClipboard::PasteOutcome::Pasted)
        m_project.recordStep(new ObjectsStep(m_project,
                                             QStringLiteral("вставка ") + paste.pasted->Name,
                                             {RecordOf(*paste.pasted)}, {}));
    else
        m_project.setProjectModified(true);
    m_project.RefreshObjectNames();
    return paste;
}

ApplyOutcome ProjectCommands::setRowValue(VellControl &object, int row, const QStringList &values)
{
    const ObjectRecord before = RecordOf(object);
    const ApplyOutcome outcome = ApplyRow(m_project.tables(), object, row, values);
    if (!outcome.error.isEmpty())
        return outcome;
    const QList<PropertyRow> rows = PropertyRowsFor(object);
    const QString key = row >= 1 && row <= rows.size() ? rows[row - 1].key : QString();
    recordChange(object, before, QStringLiteral("изменение ") + key,
                 MergeKey(StepMerge::GridRow, object, row));
    return outcome;
}

void ProjectCommands::setVisible(VellControl &object, bool visible)
{
    const ObjectRecord before = RecordOf(object);
    m_project.tables().SetVisible(object, visible);
    recordChange(object, before, QStringLiteral("изменение Видимость"));
}

void ProjectCommands::setTextColor(VellText &text, QColor color)
{
    const ObjectRecord before = RecordOf(text);
    m_project.tables().SetTextColor(text, color);
    recordChange(text, before, QStringLiteral("цвет текста"));
}

void ProjectCommands::textColorKept()
{
    m_project.setProjectModified(true);
}

bool ProjectCommands::applyActions(VellButton &button, ClickSide side, const QStringList &lines)
{
    const QString function = ActionsFunctionName(button, side);
    const auto functionLines = [this, &function]() -> std::optional<QStringList> {
        const QStringList code = m_project.userCodeLines();
        if (const auto range = UserFunctions(code).range(function))
            return code.mid(range->first, range->count);
        return std::nullopt;
    };
    const ObjectRecord before = RecordOf(button);
    const auto functionBefore = functionLines();
    const bool echoBefore = hasEcho(m_project);
    // The mark the change makes belongs to its step: undo can still reach
    // the saved state.
    const Project::ChangeForStep change(m_project);
    if (!ApplyActionResult(m_project, button, side, lines)) {
        // Only lines without a kind went: part of the same change, unmarked.
        return false;
    }
    auto *step = new ChangeStep(m_project, QStringLiteral("действия ") + button.Name, before,
                                RecordOf(button));
    step->setUserCodeFunction(function, functionBefore, functionLines());
    step->setEchoInserted(!echoBefore && hasEcho(m_project));
    m_project.recordStep(step);
    return true;
}

ActionFunctionScan ProjectCommands::scanActionFunctions() const
{
    const ObjectTables &tables = m_project.tables();
    QList<const VellButton *> buttons;
    buttons.reserve(tables.ButtonCount());
    for (int id = 1; id <= tables.ButtonCount(); ++id)
        buttons.append(tables.button(id));
    return ScanActionFunctions(buttons, m_project.settings(), tables.finder(),
                               m_project.userCodeLines());
}

bool ProjectCommands::updateActionFunctions(const ActionFunctionScan &scan)
{
    if (!scan.anythingToUpdate())
        return false;
    const QStringList code = m_project.userCodeLines();
    const UserFunctions known(code);
    QList<FunctionsStep::Function> functions;
    QList<FunctionText> put;
    bool callsEcho = false;
    for (const auto *list : {&scan.stale, &scan.missing}) {
        for (const ActionFunctionState &state : *list) {
            ActionFunctionState f = state;
            if (f.line < 0) {
                f.now = ActionsFunctionLines(*f.button, f.side, m_project.settings(),
                                             m_project.tables().finder());
            }
            std::optional<QStringList> before;
            QStringList after = f.now.lines;
            if (const auto range = known.range(f.name)) {
                before = code.mid(range->first, range->count);
                // Written anew where it stands, at its header's indentation.
                after = Indented(std::move(after), IndentationOf(code[range->first]));
            }
            functions.append({f.name, before, after});
            put.append(FunctionText{f.name, std::move(after)});
            callsEcho = callsEcho || f.now.callsEcho;
        }
    }
    const Project::ChangeForStep change(m_project);
    m_project.setUserCodeLines(ReplaceUserFunctions(code, put));
    const bool echoInserted = callsEcho && m_project.OnMainFunc();
    m_project.recordStep(new FunctionsStep(m_project, QStringLiteral("обновление функций действий"),
                                           std::move(functions), echoInserted));
    return true;
}

void ProjectCommands::newProject()
{
    m_project.clearObjects();
    m_project.RefreshObjectNames();
    m_project.history().clear();
    m_project.setProjectFileName(QString());
    m_project.setProjectModified(false);
}

ProjectLoad ProjectCommands::open(const QString &path)
{
    const ProjectLoad load = LoadProjectFile(m_project, path);
    switch (load.outcome) {
    case ProjectLoad::Outcome::Unreadable:
    case ProjectLoad::Outcome::Rejected:
        break;
    case ProjectLoad::Outcome::Partial:
        // A later Save must ask for a name rather than write over the
        // damaged file.
        m_project.setProjectFileName(QString());
        m_project.setProjectModified(true);
        break;
    case ProjectLoad::Outcome::Loaded:
        m_project.setProjectFileName(path);
        m_project.setProjectModified(false);
        break;
    }
    return load;
}

void ProjectCommands::restore(ProjectReadResult read, const QString &fileName)
{
    const QStringList code = std::exchange(read.data.userCode, QStringList());
    ApplyProjectData(m_project, read);
    m_project.setUserCodeLines(code);
    m_project.setProjectFileName(fileName);
    m_project.setProjectModified(true);
}

void ProjectCommands::save(const QString &path)
{
    m_project.setProjectFileName(path);
    SaveProjectFile(m_project, path);
}

void ProjectCommands::recordChange(const VellControl &object, const ObjectRecord &before,
                                   const QString &what, int mergeKey)
{
    ObjectRecord after = RecordOf(object);
    if (after == before) {
        m_project.setProjectModified(true);
        return;
    }
    m_project.recordStep(new ChangeStep(m_project, what + u' ' + object.Name, before,
                                        std::move(after), mergeKey, mergeKey != -1));
}

QString FullTableMessage(ObjectKind kind)
{
    // Only the three kinds have tables; anything else has always been told
    // as a text.
    const ObjectKind told = kind == KindButton || kind == KindPicture ? kind : KindText;
    return factsOf(told).fullTableMessage.toString().arg(ObjectTables::Capacity);
}

} // namespace vell
