#include "codegen/actionpreview.h"

#include "model/actiontext.h"
#include "model/objecttables.h"

#include <algorithm>

namespace vell {

std::vector<PreviewStep> PreviewClick(const VellButton &button, ClickSide side,
                                      const ObjectByName &find)
{
    std::vector<PreviewStep> steps;
    const bool left = side == ClickSide::Left;
    const QString &bound = left ? button.LeftActionsFunction : button.RightActionsFunction;
    if (bound.isEmpty())
        return steps;
    if (bound != ActionsFunctionName(button, side)) {
        steps.push_back({nullptr, false,
                         QStringLiteral("Функция %1 в предпросмотре не выполняется").arg(bound)});
        return steps;
    }
    for (const QString &line : left ? button.LeftActions : button.RightActions) {
        switch (KindOfLine(line)) {
        case ActionKind::ShowHide: {
            const QString target = WordAt(line, 2);
            const ObjectKind kind = KindFromNamePrefix(target);
            const VellControl *object = kind == KindNone ? nullptr : find(kind, target);
            if (object)
                steps.push_back({object, IsShowFlag(WordAt(line, 1)), QString()});
            else
                steps.push_back(
                    {nullptr, false, QStringLiteral("Объект %1 не найден").arg(target)});
            break;
        }
        case ActionKind::Message:
            steps.push_back({nullptr, false, WordAt(line, 1)});
            break;
        case ActionKind::None:
            break;
        }
    }
    return steps;
}

void PreviewMessages::add(const QString &text, qint64 now)
{
    m_messages.push_back({text, now});
    if (m_messages.size() > std::size_t(kMostShown))
        m_messages.erase(m_messages.begin(), m_messages.end() - kMostShown);
}

QStringList PreviewMessages::shown(qint64 now) const
{
    QStringList texts;
    for (const Message &m : m_messages) {
        if (now - m.since < kShownMs)
            texts.append(m.text);
    }
    return texts;
}

qint64 PreviewMessages::nextExpiry(qint64 now) const
{
    qint64 next = -1;
    for (const Message &m : m_messages) {
        const qint64 end = m.since + kShownMs;
        if (end > now && (next < 0 || end < next))
            next = end;
    }
    return next;
}

} // namespace vell
