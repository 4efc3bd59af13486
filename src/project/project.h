#pragma once

#include "model/objecttables.h"
#include "model/settings.h"
#include "project/projectstate.h"

#include <QObject>
#include <QStringList>
#include <QTextDocument>
#include <QUndoStack>

namespace vell {

// The whole project as the program holds it, without any window: the object
// tables with their name counters, the user code, the settings, and whether
// there are unsaved changes and in which file. Windows show it and change it
// through these calls; they keep none of it themselves.
class Project : public QObject
{
    Q_OBJECT

public:
    explicit Project(QObject *parent = nullptr);
    ~Project() override;

    ObjectTables &tables() { return m_tables; }
    const ObjectTables &tables() const { return m_tables; }

    // A new object of the kind at the panel centre, in the colour the
    // settings give its kind; nullptr (nothing changed) when its table is
    // full. Marks nothing: the commands decide.
    VellControl *create(ObjectKind kind);
    // Puts a copy of a removed object back at its place (the history).
    VellControl *reinsert(const VellControl &record);
    void remove(ObjectKind kind, int id);
    void clearObjects();
    // Between these calls objects come without a signal each (removals are
    // still announced, so that no reference outlives its object); the end
    // announces one objectsReset().
    void beginBulkChange();
    void endBulkChange();
    bool inBulkChange() const { return m_bulk > 0; }

    // The names the actions dialog offers: every button, then every picture,
    // then every text, in table order, as of the last RefreshObjectNames().
    // Removing an object alone leaves its name here until the next refresh.
    const QStringList &KnownObjectNames() const { return m_knownNames; }
    // After a single create only the new name is put in; otherwise the list
    // is built anew.
    void RefreshObjectNames();

    const Settings &settings() const { return m_settings; }
    void setSettings(const Settings &settings);

    // The user code. A view may show the document itself (laying it out);
    // what the user types there is a change of the project when the
    // settings save the user code with it. The document is never laid out
    // by the project, so a program without windows needs no fonts for it.
    QTextDocument *userCode() { return &m_userCode; }
    // Its lines; a final line break does not start a further line.
    QStringList userCodeLines() const;
    // The edits below are the program's, not the user's: each empties the
    // document's own undo and redo, so that an editor's undo only ever takes
    // back typing (the design history keeps the program's edits).
    // Appends lines at the end (a project's stored lines, action functions).
    void appendUserCodeLines(const QStringList &lines);
    // Puts these lines in place of the whole user code.
    void setUserCodeLines(const QStringList &lines);
    // Removes the first function of that name that ends at its own
    // endfunction (see UserFunctions); nothing of one that does not.
    void RemoveFunc(const QString &name);
    // Puts the ECHO function at the top unless the user code has a function
    // of that name; returns whether it did.
    bool OnMainFunc();
    // Removes the ECHO function while its lines are exactly the ones
    // OnMainFunc puts in; returns whether it did.
    bool removeInsertedEcho();
    // While one exists, changes of the user code document (a view setting
    // its font, say) are not the user's.
    class QuietUserCode
    {
    public:
        explicit QuietUserCode(Project &project) : m_project(project) { ++m_project.m_quietEdits; }
        ~QuietUserCode() { --m_project.m_quietEdits; }
        QuietUserCode(const QuietUserCode &) = delete;
        QuietUserCode &operator=(const QuietUserCode &) = delete;

    private:
        Project &m_project;
    };

    // The design's history of steps (see DesignStep). Recording a step
    // marks the project modified. Undo and redo leave it unmodified only when
    // they reach the state last saved or opened and nothing outside the
    // history marked it since.
    QUndoStack &history() { return m_history; }
    void recordStep(QUndoCommand *step);
    // While one exists, marks of the project belong to the step recorded
    // after the change (undo can still reach the saved state).
    class ChangeForStep
    {
    public:
        explicit ChangeForStep(Project &project) : m_project(project)
        {
            ++m_project.m_historyChanges;
        }
        ~ChangeForStep() { --m_project.m_historyChanges; }
        ChangeForStep(const ChangeForStep &) = delete;
        ChangeForStep &operator=(const ChangeForStep &) = delete;

    private:
        Project &m_project;
    };

    const ProjectState &state() const { return m_state; }
    bool ProjectModified() const { return m_state.ProjectModified; }
    QString ProjectFileName() const { return m_state.ProjectFileName; }
    // True: a change (a step recorded, or anything else that marks the
    // project). False: the project is as saved or opened; that state of the
    // history becomes the clean one.
    void setProjectModified(bool modified);
    void setProjectFileName(const QString &fileName);

signals:
    void objectAdded(vell::VellControl *object);
    // An object's fields were set back or forth by the history.
    void objectChanged(vell::VellControl *object);
    // Before an object goes; nullptr before every object goes.
    void objectAboutToBeRemoved(const vell::VellControl *object);
    // After a bulk change or a clear: look at the tables afresh.
    void objectsReset();
    // A step of a group was undone or redone: these of its objects exist,
    // to be selected, `primary` (one of them, or nullptr) foremost.
    void groupStepApplied(const QList<vell::VellControl *> &members, vell::VellControl *primary);
    void knownObjectNamesChanged();
    void settingsChanged();
    void stateChanged();
    // The user code changed other than by the calls above (typing, say).
    void userCodeEdited();
    // The objects or the user code may have changed: a step taken, undone or
    // redone, an object made, changed or removed, the tables replaced, the
    // user code's document edited by anyone.
    void contentChanged();
    // The project was marked as saved or opened (setProjectModified(false)).
    void markedClean();

private:
    void userCodeChanged(int position, int removed, int added);
    void removeUserCodeLines(int first, int count);

    ObjectTables m_tables;
    Settings m_settings;
    ProjectState m_state;
    QUndoStack m_history;
    // Something outside the history marked the project since the clean state.
    bool m_changedOutsideHistory = false;
    int m_historyChanges = 0;
    QTextDocument m_userCode;
    int m_bulk = 0;
    QStringList m_knownNames;
    // How far KnownObjectNames is behind the tables: not at all, by the one
    // object just created, or by more.
    enum class NamesLag
    {
        None,
        OneCreated,
        More
    };
    NamesLag m_namesLag = NamesLag::None;
    const VellControl *m_created = nullptr;
    // Edits the program makes to the user code are not the user's.
    int m_quietEdits = 0;
};

} // namespace vell
