#include "app/gui/previewmode.h"

#include "common/gui/dialogs.h"
#include "designer/designsurface.h"
#include "designer/gui/designpanel.h"
#include "designer/gui/previewpanel.h"
#include "project/project.h"
#include "project/projectcommands.h"
#include "properties/gui/propertygrid.h"

#include <QAction>
#include <QMenu>

namespace vell {

PreviewMode::PreviewMode(Project &project, ProjectCommands &commands, DesignSurface &surface,
                         DesignPanel *panel, PropertyGrid *grid)
    : m_project(project), m_commands(commands), m_surface(surface), m_panel(panel), m_grid(grid)
{}

PreviewMode::~PreviewMode() = default;

void PreviewMode::setDisabled(std::vector<QAction *> actions, std::vector<QMenu *> menus,
                              std::vector<QWidget *> widgets)
{
    m_actions = std::move(actions);
    m_menus = std::move(menus);
    m_widgets = std::move(widgets);
}

void PreviewMode::toggle()
{
    if (m_preview)
        leave();
    else
        enter();
}

void PreviewMode::enter()
{
    // Its lines are not in the button yet: the preview would run others.
    if (blocked && blocked()) {
        dialogs().message(m_panel->window(), QStringLiteral("Предпросмотр недоступен, пока открыт "
                                                            "диалог действий."));
        return;
    }
    m_panel->cancelPointerWork();
    m_grid->closeOpenEditor();
    m_actionsBefore.clear();
    m_widgetsBefore.clear();
    std::vector<QAction *> actions = m_actions;
    for (QMenu *menu : m_menus) {
        actions.push_back(menu->menuAction());
        for (QAction *a : menu->actions())
            actions.push_back(a);
    }
    for (QAction *a : actions) {
        m_actionsBefore.emplace_back(a, a->isEnabled());
        a->setEnabled(false);
    }
    for (QWidget *w : m_widgets) {
        m_widgetsBefore.emplace_back(w, w->isEnabled());
        w->setEnabled(false);
    }
    const Settings &s = m_project.settings();
    m_preview =
        std::make_unique<PreviewPanel>(m_surface.drawing(), s.buttonColor, s.pictureColor, m_panel);
    connect(m_preview.get(), &PreviewPanel::leaveRequested, this, &PreviewMode::leave);
    m_preview->show();
    m_preview->setFocus();
    if (!m_commands.scanActionFunctions().stale.isEmpty())
        m_preview->say(
            QStringLiteral("Функции действий устарели: Код → Обновить функции действий"));
}

void PreviewMode::leave()
{
    if (!m_preview)
        return;
    // Deleted later: the leave may come from the panel's own key handler.
    m_preview.release()->deleteLater();
    for (const auto &[a, enabled] : m_actionsBefore)
        a->setEnabled(enabled);
    for (const auto &[w, enabled] : m_widgetsBefore)
        w->setEnabled(enabled);
    m_actionsBefore.clear();
    m_widgetsBefore.clear();
    m_panel->setFocus();
}

} // namespace vell
