#include "project/projectstate.h"

namespace vell {

QString titleOf(const ProjectState &state)
{
    const QString name =
        state.ProjectFileName.isEmpty() ? QStringLiteral("Новый проект") : state.ProjectFileName;
    QString title = QStringLiteral("FM Vell Creator (") + name + QLatin1Char(')');
    if (state.ProjectModified)
        title += QLatin1Char('*');
    return title;
}

std::optional<QString> TitleFor(const ProjectState &state)
{
    if (!state.ProjectModified && state.ProjectFileName.isEmpty())
        return std::nullopt;
    return titleOf(state);
}

} // namespace vell
