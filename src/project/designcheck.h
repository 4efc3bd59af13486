#pragma once

#include "codegen/designinput.h"
#include "model/objecttables.h"
#include "model/projectfile.h"
#include "model/settings.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vell {

class Project;

// The generator's input for the project with its own settings and user code.
GeneratorInput GeneratorInputFor(const Project &project);

// Something the design check found in one object. Errors make the generated
// code wrong or unusable; warnings point at what is probably a slip.
struct DesignFinding
{
    enum class Severity
    {
        Error,
        Warning
    };
    // The settings that name what the generated code uses.
    enum class Setting
    {
        None,
        ButtonVar,
        PictureVar,
        TextVar,
        UnitVar
    };
    Severity severity = Severity::Error;
    // The object: its kind, table place (from 1) and name.
    ObjectKind kind = KindNone;
    int id = 0;
    QString objectName;
    // The project file line the finding is about; 0 when the design was
    // checked in the designer.
    int line = 0;
    QString message;
    // The field of the object (its line in the record, counted from the name
    // line); -1 when the finding is not about an object.
    int field = -1;
    // The user code line (from 1) the finding is about and its column (from
    // 1, 0: the line as a whole); 0 when it is not about the user code.
    int userCodeLine = 0;
    int column = 0;
    // The setting the finding is about; None when it is not about the
    // settings (and the finding then has no line of its own).
    Setting setting = Setting::None;

    bool operator==(const DesignFinding &) const = default;
};

// The checks: first the settings (an array name that is no JASS name, a
// JASS keyword or type, or the same as another array's; a unit that does not
// read as one JASS expression), then object by object in table order
// (buttons, pictures, texts), each object's findings in the order of its
// fields, then the findings in the user code in line order, then those in
// the rest of the generated code.
// Errors: a click function the user code does not define (looked at only
// when the settings include the user code), defines only as a private
// function of a library or scope, or defines taking arguments; an action
// whose target is missing or whose name has no kind, a name that an earlier
// object already bears, a text or an echo action's message that does not
// read as one JASS string between quotes, a colour text that names no
// colour; a texture identifier that is empty, five or more characters long
// or holds a quote or backslash. Warnings: a texture identifier of one to
// three characters, a centre outside the panel, a picture over a button's
// centre, a user code line "/end" (the project file's end of the user code).
// Then the code the generator writes is read as vJass, the user code (when
// the settings include it) on its own: a syntax error (in a generated line,
// on its object's field unless that field has an error already; none in the
// generated lines when a setting has a finding), the user code ending inside
// a function, block, comment or string (one error on its last line), a
// function defined twice, ECHO called in the user code and nowhere defined,
// an array that a button's own click function uses and nothing declares;
// warnings for a `function X` reference in the user code to a function
// nowhere defined in the text, and for a button's own click function that
// differs from what its list writes now. Nothing is changed.
QList<DesignFinding> CheckDesign(const ObjectTables &tables, const Settings &settings,
                                 const QStringList &userCode);
// The project with its own settings and user code.
QList<DesignFinding> CheckDesign(const Project &project);
// What a project file holds, each finding with its line in the file (a user
// code finding with the line of the file that holds that user code line).
QList<DesignFinding> CheckDesign(const ProjectData &data, const Settings &settings);

bool HasErrors(const QList<DesignFinding> &findings);

// "FILE:LINE: error: message" (or "warning"); "FILE:LINE:COLUMN: ..." with a
// column, "FILE: ..." without a line.
QString FindingFileLine(const QString &file, const DesignFinding &finding);
// "Button_3: ошибка: message" (or "предупреждение"), as the designer lists
// it; "Код пользователя, строка 12: ..." for the user code, "Настройки: ..."
// for a setting. The words of the machine-read lines above stay English.
QString FindingText(const DesignFinding &finding);

} // namespace vell
