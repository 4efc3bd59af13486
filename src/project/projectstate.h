#pragma once

#include <QString>

#include <optional>

namespace vell {

// Whether the project has unsaved changes, and the file it was last saved to
// or opened from (empty for a new project).
struct ProjectState
{
    bool ProjectModified = false;
    QString ProjectFileName;
};

// The main window's title for the state: "FM Vell Creator (" and the file
// name, or "Новый проект" without one, then ")", and "*" while there are
// unsaved changes.
QString titleOf(const ProjectState &state);

// The title the main window takes when the state changes; nothing when the
// title is to stay as it is (no changes and no file: the commands that get
// there set it).
std::optional<QString> TitleFor(const ProjectState &state);

} // namespace vell
