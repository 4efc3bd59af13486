#pragma once

class QWidget;

namespace vell {

class ProjectCommands;

// "Обновить функции действий": when the buttons' click functions in the user
// code differ from what their lists write, asks before replacing stale
// functions (naming them and any buttons bound to other functions), or says
// that missing ones will be added, then updates them as one step.
void UpdateActionFunctionsAsked(QWidget *parent, ProjectCommands &commands);

} // namespace vell
