#pragma once

#include "codegen/interfacegenerator.h"
#include "model/objecttables.h"
#include "model/projectfile.h"
#include "model/settings.h"

namespace vell {

// One object as the generator takes it: every field the code shows, as the
// record holds it.
GenButton GeneratorButton(const VellButton &button);
GenPicture GeneratorPicture(const VellPicture &picture);
GenText GeneratorText(const VellText &text);

// The generator's input without objects: the settings' names and the user
// code.
GeneratorInput GeneratorSettingsInput(const Settings &settings, const QStringList &userCode);
// The generator's input for the current design, settings and user code.
GeneratorInput GeneratorInputFor(const ObjectTables &tables, const Settings &settings,
                                 const QStringList &userCode);
// The same for a project file read whole (every field, or those for code),
// without building the project: what opening it would give the designer
// (texts measured as their labels, the colours read, the stored user code).
// Needs a QGuiApplication when the data has texts.
GeneratorInput GeneratorInputFor(const ProjectData &data, const Settings &settings);

} // namespace vell
