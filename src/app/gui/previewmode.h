#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace vell {

class DesignPanel;
class DesignSurface;
class PreviewPanel;
class Project;
class ProjectCommands;
class PropertyGrid;

// The preview of the interface over the design panel: while it lasts the
// commands that would change the project are disabled, and leaving it gives
// each back the state it had.
class PreviewMode : public QObject
{
    Q_OBJECT

public:
    PreviewMode(Project &project, ProjectCommands &commands, DesignSurface &surface,
                DesignPanel *panel, PropertyGrid *grid);
    ~PreviewMode() override;

    // What the preview disables: the actions, each menu with its items, and
    // the widgets.
    void setDisabled(std::vector<QAction *> actions, std::vector<QMenu *> menus,
                     std::vector<QWidget *> widgets);
    // True while the preview cannot start (the actions dialog holds a list
    // that is not in its button yet).
    std::function<bool()> blocked;

    // The preview's panel while it lasts, else nullptr.
    PreviewPanel *panel() const { return m_preview.get(); }
    // Into the preview, or out of it.
    void toggle();
    void enter();
    void leave();

private:
    Project &m_project;
    ProjectCommands &m_commands;
    DesignSurface &m_surface;
    DesignPanel *m_panel;
    PropertyGrid *m_grid;
    std::vector<QAction *> m_actions;
    std::vector<QMenu *> m_menus;
    std::vector<QWidget *> m_widgets;
    std::unique_ptr<PreviewPanel> m_preview;
    // What the preview disabled, each with whether it was enabled before.
    std::vector<std::pair<QAction *, bool>> m_actionsBefore;
    std::vector<std::pair<QWidget *, bool>> m_widgetsBefore;
};

} // namespace vell
