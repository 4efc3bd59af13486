#pragma once

#include "model/projectfile.h"

namespace vell {

class Project;

// The project as its file holds it (the format itself is ProjectFileLines
// and ReadProjectBytes): the lines of the tables, with the user code when
// the settings save it; throws as they do.
QStringList ProjectFileLines(const Project &project);

// Writes the project to the file, replacing it only once the new one is
// complete, and clears ProjectModified. Throws VellError ("Cannot create
// file ..." or a value the file cannot hold); the project then stays as it
// was.
void SaveProjectFile(Project &project, const QString &path);

// Replaces the project's objects with those read (clearing first, creating
// each object under its stored name, its kind's counter advancing once per
// object) and appends the stored user code. A partial read leaves the
// project modified; a complete one clears ProjectModified.
void ApplyProjectData(Project &project, const ProjectReadResult &read);

struct ProjectLoad
{
    enum class Outcome
    {
        Loaded,
        Unreadable, // the file could not be read: an error; nothing changed
        Rejected,   // empty or of another kind: a message; nothing changed
        Partial,    // read up to a failing line: an error; those objects stay
    };
    Outcome outcome = Outcome::Loaded;
    QString message;
};

// Reads the file and, unless it is unreadable or rejected, applies it.
ProjectLoad LoadProjectFile(Project &project, const QString &path);

} // namespace vell
