#pragma once

#include "project/objecttables.h"
#include "project/projectfile.h"
#include "settings/settings.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vell {

class Project;

// Something the design check found in one object. Errors make the generated
// code wrong or unusable; warnings point at what is probably a slip.
struct DesignFinding
{
    enum class Severity
    {
        Error,
        Warning
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

    bool operator==(const DesignFinding &) const = default;
};

// The checks, object by object in table order (buttons, pictures, texts),
// each object's findings in the order of its fields. Errors: a click
// function the user code does not define (looked at only when the settings
// include the user code and there is some), an action whose target is
// missing or whose name has no kind, a name that an earlier object already
// bears, a double quote or backslash in a text or in the message of an echo
// action, a colour text that names no colour. Warnings: a texture
// identifier that is not four characters long, a centre outside the panel.
// Nothing is changed.
QList<DesignFinding> CheckDesign(const ObjectTables &tables, const Settings &settings,
                                 const QStringList &userCode);
// The project with its own settings and user code.
QList<DesignFinding> CheckDesign(const Project &project);
// What a project file holds, each finding with its line in the file.
QList<DesignFinding> CheckDesign(const ProjectData &data, const Settings &settings);

bool HasErrors(const QList<DesignFinding> &findings);

// "FILE:LINE: error: message" (or "warning").
QString FindingFileLine(const QString &file, const DesignFinding &finding);
// "Button_3: ошибка: message" (or "предупреждение"), as the designer lists
// it; the words of the machine-read lines above stay English.
QString FindingText(const DesignFinding &finding);

} // namespace vell
