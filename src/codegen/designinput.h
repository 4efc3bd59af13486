#pragma once

#include "codegen/interfacegenerator.h"
#include "project/objecttables.h"
#include "project/project.h"
#include "settings/settings.h"

namespace vell {

// The generator's input for the current design, settings and user code.
GeneratorInput GeneratorInputFor(const ObjectTables &tables, const Settings &settings,
                                 const QStringList &userCode);
// The same for the project with its own settings and user code.
GeneratorInput GeneratorInputFor(const Project &project);

} // namespace vell
