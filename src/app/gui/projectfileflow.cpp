#include "app/gui/projectfileflow.h"

#include "common/gui/dialogs.h"
#include "common/vellerror.h"
#include "project/project.h"
#include "project/projectcommands.h"

#include <QAction>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QWidget>

namespace vell {

namespace {

const QString kProjectFilter = QStringLiteral("Vell project (*.vlp)");
// The widest a recent project's entry is; a longer path loses its middle.
constexpr int kRecentEntryWidth = 500;
const QString kUnsavedQuestion = QStringLiteral(
    "Этот проект еще не был сохранен. Хотите ли вы его сохранить перед его закрытием?");

} // namespace

ProjectFileFlow::ProjectFileFlow(Project &project, ProjectCommands &commands, QWidget &window,
                                 DialogProvider *dialogs)
    : QObject(&window), m_project(project), m_commands(commands), m_window(window),
      m_dialogs(dialogs)
{}

DialogProvider &ProjectFileFlow::dialogs() const
{
    return m_dialogs ? *m_dialogs : vell::dialogs();
}

void ProjectFileFlow::setRecentMenu(QMenu *menu)
{
    m_recent = menu;
    // A shortened entry shows its whole path as its tip.
    m_recent->setToolTipsVisible(true);
    connect(m_recent, &QMenu::aboutToShow, this, &ProjectFileFlow::showRecentProjects);
    showRecentProjects();
}

void ProjectFileFlow::showTitle(const ProjectState &state)
{
    // Set only when it differs: the refresh tick asks on every change.
    if (const QString title = titleOf(state); title != m_window.windowTitle())
        m_window.setWindowTitle(title);
}

bool ProjectFileFlow::saveTo(const QString &path)
{
    // The file becomes the project's even when it cannot be written: a
    // failed save keeps the new name, and the changes stay unsaved. Either
    // way the title names the file as saved at once; changes that stay
    // unsaved get their mark back from the window's next refresh tick.
    const auto showSaved = [this] {
        showTitle(ProjectState{false, m_project.ProjectFileName()});
    };
    try {
        m_commands.save(path);
    } catch (const VellError &e) {
        showSaved();
        dialogs().error(&m_window, e.message());
        return false;
    }
    showSaved();
    rememberProject(path);
    return true;
}

void ProjectFileFlow::rememberProject(const QString &path)
{
    m_preferences.addRecentProject(path);
    showRecentProjects();
}

void ProjectFileFlow::showRecentProjects()
{
    if (!m_recent)
        return;
    // The entries go later: one of them may be the command running now.
    for (QAction *entry : m_recent->actions()) {
        m_recent->removeAction(entry);
        entry->deleteLater();
    }
    const QStringList paths = m_preferences.recentProjects();
    if (paths.isEmpty())
        m_recent->addAction(QStringLiteral("(пусто)"))->setEnabled(false);
    const QFontMetrics metrics(m_recent->font());
    for (const QString &path : paths) {
        QString caption = metrics.elidedText(path, Qt::ElideMiddle, kRecentEntryWidth);
        QAction *entry = m_recent->addAction(caption.replace(u'&', QStringLiteral("&&")));
        entry->setToolTip(path);
        entry->setStatusTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
}

void ProjectFileFlow::save()
{
    QString path = m_project.ProjectFileName();
    if (path.isEmpty()) {
        const QString chosen = dialogs().saveFileName(&m_window, kProjectFilter);
        if (chosen.isEmpty())
            return;
        path = WithProjectExtension(chosen);
    }
    saveTo(path);
}

bool ProjectFileFlow::saveAs()
{
    const std::optional<QString> name = chooseSaveName(
        &m_window, kProjectFilter, QStringLiteral("Вы хотите заменить выбранный файл на текущий?"),
        WithProjectExtension, m_dialogs);
    return name && saveTo(*name);
}

bool ProjectFileFlow::saveBeforeOpening()
{
    while (m_project.ProjectModified()) {
        const Answer answer = dialogs().confirm(&m_window, kUnsavedQuestion);
        if (answer == Answer::Cancel)
            return false;
        if (answer == Answer::No)
            break;
        saveAs();
    }
    return true;
}

void ProjectFileFlow::open()
{
    if (!saveBeforeOpening())
        return;
    const QString chosen = dialogs().openFileName(&m_window, kProjectFilter);
    if (chosen.isEmpty())
        return;
    openProject(chosen);
}

void ProjectFileFlow::openFromCommandLine(const QString &path)
{
    // Bytes the system's file-name encoding cannot decode came in as the
    // replacement character: no file of that name can be opened.
    if (path.contains(QChar::ReplacementCharacter)) {
        dialogs().error(&m_window, QStringLiteral("Имя файла \"%1\" не в кодировке системы "
                                                  "(UTF-8); переименуйте файл")
                                       .arg(path));
        return;
    }
    // A restored copy is unsaved work: asked about as before any opening.
    if (!saveBeforeOpening())
        return;
    openProject(QFileInfo(path).absoluteFilePath());
}

void ProjectFileFlow::openRecent(const QString &path)
{
    // A file gone since is only taken off the list: the open project stays,
    // so nothing is asked about it.
    if (!QFileInfo::exists(path)) {
        m_preferences.removeRecentProject(path);
        showRecentProjects();
        dialogs().error(&m_window,
                        QStringLiteral("Файл \"%1\" не найден; он убран из списка.").arg(path));
        return;
    }
    if (!saveBeforeOpening())
        return;
    openProject(path);
}

void ProjectFileFlow::openProject(const QString &path)
{
    const ProjectLoad load = m_commands.open(path);
    switch (load.outcome) {
    case ProjectLoad::Outcome::Unreadable:
        dialogs().error(&m_window, load.message);
        return;
    case ProjectLoad::Outcome::Rejected:
        dialogs().message(&m_window, load.message);
        return;
    case ProjectLoad::Outcome::Partial:
        showTitle(m_project.state());
        dialogs().error(&m_window, load.message);
        return;
    case ProjectLoad::Outcome::Loaded:
        showTitle(m_project.state());
        rememberProject(path);
        return;
    }
}

void ProjectFileFlow::restore(ProjectReadResult read, const QString &fileName)
{
    m_commands.restore(std::move(read), fileName);
    showTitle(m_project.state());
}

void ProjectFileFlow::newProject()
{
    if (m_project.ProjectModified()) {
        const Answer answer = dialogs().confirm(&m_window, kUnsavedQuestion);
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::Yes) {
            // The project stays open, saved if the user completed the save.
            saveAs();
            return;
        }
    }
    m_commands.newProject();
    emit projectCleared();
    showTitle(m_project.state());
}

bool ProjectFileFlow::closeQuery()
{
    if (!m_project.ProjectModified())
        return true;
    switch (dialogs().confirm(&m_window, QStringLiteral("Этот проект еще не был сохранен. Хотите "
                                                        "ли вы его сохранить перед завершение "
                                                        "программы?"))) {
    case Answer::Yes:
        // The window stays open when the design was not saved after all.
        return saveAs();
    case Answer::No:
        return true;
    case Answer::Cancel:
        return false;
    }
    return false;
}

} // namespace vell
