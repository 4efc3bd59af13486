#pragma once

#include "model/actiontext.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace vell {

// An action record: one line shown in the actions dialog.
struct FenFunc
{
    QString Line;
    // The view's node that shows the record's caption; not owned.
    const void *Node = nullptr;
    // 1-based place in the table; 0 once the record is destroyed.
    int Index = 0;
};

// The records of the one action list being edited, in order of creation.
// Record i has Index i. Destroying a record moves the later ones forward;
// their view nodes stay where they are. A list with more actions than the
// table holds shows the first Capacity; the lines after them are kept aside
// and go back unchanged after the shown ones.
class ActionTable
{
public:
    static constexpr int Capacity = 99999;

    int ActionCount() const { return int(m_records.size()); }
    bool isFull() const { return ActionCount() >= Capacity; }
    // Room for this many records in all, at most Capacity.
    void reserve(int count);
    // Appends a record; nullptr (nothing added) when the table is full.
    FenFunc *add(const QString &line, const void *node);
    // The record at a place (1-based), or nullptr.
    FenFunc *record(int index) const;
    // Destroys the record at a place.
    void destroy(int index);
    // Fills the emptied table from a list, each record getting the node
    // nodeFor makes for its view. Lines without a kind are left out. The
    // lines after a full table are kept aside when actions are among them
    // (when only lines without a kind follow, they are dropped like the
    // others). Returns the number of actions kept aside.
    qsizetype load(const QStringList &list,
                   const std::function<const void *(const ActionView &)> &nodeFor);
    // Empties the table and forgets the lines kept aside.
    void ClearActionTable();
    // The lines of the records, in order, then the lines kept aside.
    QStringList CollectActionLines() const;

private:
    std::vector<std::unique_ptr<FenFunc>> m_records;
    QStringList m_unshown;
};

} // namespace vell
