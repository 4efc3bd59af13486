#pragma once

#include <QStringList>

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
// their view nodes stay where they are.
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
    void ClearActionTable();
    // The lines of the records, in order.
    QStringList CollectActionLines() const;

private:
    std::vector<std::unique_ptr<FenFunc>> m_records;
};

} // namespace vell
