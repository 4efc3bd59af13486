#include "model/actiontable.h"

#include <algorithm>

namespace vell {

FenFunc *ActionTable::add(const QString &line, const void *node)
{
    if (isFull())
        return nullptr;
    auto record = std::make_unique<FenFunc>();
    record->Line = line;
    record->Node = node;
    record->Index = ActionCount() + 1;
    m_records.push_back(std::move(record));
    return m_records.back().get();
}

void ActionTable::reserve(int count)
{
    m_records.reserve(std::min(count, Capacity));
}

FenFunc *ActionTable::record(int index) const
{
    return index >= 1 && index <= ActionCount() ? m_records[index - 1].get() : nullptr;
}

void ActionTable::destroy(int index)
{
    if (!record(index))
        return;
    m_records.erase(m_records.begin() + (index - 1));
    for (int i = index - 1; i < ActionCount(); ++i)
        m_records[i]->Index = i + 1;
}

qsizetype ActionTable::load(const QStringList &list,
                            const std::function<const void *(const ActionView &)> &nodeFor)
{
    ClearActionTable();
    reserve(int(std::min<qsizetype>(list.size(), Capacity)));
    qsizetype next = 0;
    while (next < list.size() && !isFull()) {
        const ActionView view = ViewOfLine(list.at(next++));
        if (view.kind != ActionKind::None)
            add(view.line, nodeFor(view));
    }
    qsizetype unshownActions = 0;
    for (qsizetype i = next; i < list.size(); ++i) {
        if (KindOfLine(list.at(i)) != ActionKind::None)
            ++unshownActions;
    }
    if (unshownActions > 0)
        m_unshown = list.mid(next);
    return unshownActions;
}

void ActionTable::ClearActionTable()
{
    m_records.clear();
    m_unshown.clear();
}

QStringList ActionTable::CollectActionLines() const
{
    QStringList lines;
    lines.reserve(ActionCount() + m_unshown.size());
    for (const auto &r : m_records)
        lines.append(r->Line);
    lines += m_unshown;
    return lines;
}

} // namespace vell
