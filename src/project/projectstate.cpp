#include "project/projectstate.h"

namespace vell {

QString NewProjectTitle()
{
    return QStringLiteral("FM Vell Creator (Новый проект)");
}

std::optional<QString> TitleFor(const ProjectState &state)
{
    const QString prefix = QStringLiteral("FM Vell Creator (");
    if (state.ProjectModified) {
        if (state.ProjectFileName.isEmpty())
            return NewProjectTitle() + QLatin1Char('*');
        return prefix + state.ProjectFileName + QStringLiteral(")*");
    }
    if (state.ProjectFileName.isEmpty())
        return std::nullopt;
    return prefix + state.ProjectFileName + QLatin1Char(')');
}

} // namespace vell
