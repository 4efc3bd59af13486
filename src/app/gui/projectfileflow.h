#pragma once

#include "model/projectfile.h"
#include "project/preferences.h"
#include "project/projectstate.h"

#include <QObject>
#include <QString>

class QMenu;
class QWidget;

namespace vell {

class DialogProvider;
class Project;
class ProjectCommands;

// The project's files as the user handles them: a new project, Open, Save,
// Save as, the recent projects, the question about unsaved changes before
// another project or the end of the program, and the file named on the
// command line. The window is the parent of its boxes, and its title names
// the project; the boxes go to the dialogs given, or to the ones in use.
class ProjectFileFlow : public QObject
{
    Q_OBJECT

public:
    ProjectFileFlow(Project &project, ProjectCommands &commands, QWidget &window,
                    DialogProvider *dialogs = nullptr);

    // "Последние проекты": filled now, and read anew each time it opens
    // (another copy of the program may have changed the list).
    void setRecentMenu(QMenu *menu);
    // The window's title for the state, set only when it differs.
    void showTitle(const ProjectState &state);

    // "Проект": asks about unsaved changes; Yes saves as and keeps the
    // project open, No clears it.
    void newProject();
    // "Загрузить": asks about unsaved changes, then opens the chosen file.
    void open();
    // "Сохранить": the project's own file, else a name asked for. A file
    // that cannot be written is said in an error box; the project keeps the
    // new name all the same, and its changes stay unsaved.
    void save();
    // "Сохранить как..."; true when the project was written (a failed write
    // keeps the new name, as Save does).
    bool saveAs();
    // An entry of "Последние проекты": opens the file as Open does.
    void openRecent(const QString &path);
    // The project file named when the program was started, opened as Open
    // opens a chosen one (a relative name from the working folder).
    void openFromCommandLine(const QString &path);
    // A recovery copy's project in place of this one (see
    // ProjectCommands::restore).
    void restore(ProjectReadResult read, const QString &fileName);
    // Asked before the program ends: true lets it end.
    bool closeQuery();

signals:
    // A new project took the place of the old one: no object is shown.
    void projectCleared();

private:
    DialogProvider &dialogs() const;
    bool saveTo(const QString &path);
    // Before another project is opened: asks about unsaved changes (and
    // saves when told to); false when the user cancelled.
    bool saveBeforeOpening();
    // Opens the file and tells how it went; a loaded file becomes the
    // newest of the recent projects.
    void openProject(const QString &path);
    // Puts the file first among the recent projects.
    void rememberProject(const QString &path);
    // Fills "Последние проекты" from the list as it is stored now.
    void showRecentProjects();

    Project &m_project;
    ProjectCommands &m_commands;
    QWidget &m_window;
    DialogProvider *m_dialogs;
    Preferences m_preferences;
    QMenu *m_recent = nullptr;
};

} // namespace vell
