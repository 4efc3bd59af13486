#pragma once

#include "codegen/interfacegenerator.h"
#include "designer/objecttables.h"
#include "settings/settings.h"

namespace vell {

// The generator's input for the current design, settings and user code.
GeneratorInput GeneratorInputFor(const ObjectTables &tables, const Settings &settings,
                                 const QStringList &userCode);

} // namespace vell
