#pragma once

#include "actions/actionemission.h"

#include <QHash>
#include <QList>
#include <QStringList>

namespace vell {

// Finds objects by name as the emission does (the first object of the kind
// that bears it), at the cost of one look-up each.
class ObjectNameIndex
{
public:
    void reserve(size_t objects);
    void add(const VellControl &object);
    const VellControl *find(ObjectKind kind, const QString &name) const;
    ObjectByName finder() const
    {
        return [this](ObjectKind kind, const QString &name) {
            return find(kind, name);
        };
    }

private:
    QHash<QString, const VellControl *> m_names[3];
};

// A button's click function bound to its own name (Button_1_Left_Actions),
// as the user code holds it, against what its list emits now.
struct ActionFunctionState
{
    const VellButton *button = nullptr;
    ClickSide side = ClickSide::Left;
    QString name;
    // What the list writes now; not filled in for a missing function.
    EmittedFunction now;
    // The header's index in the user code; -1 when the user code lacks it.
    int line = -1;
};

struct ActionFunctionScan
{
    // In the user code, other than emitted now.
    QList<ActionFunctionState> stale;
    // Bound but not in the user code.
    QList<ActionFunctionState> missing;
    // "Button_3 (MyClick)": buttons with actions whose side is bound to
    // another function; the program leaves those alone.
    QStringList foreign;
    bool anythingToUpdate() const { return !stale.isEmpty() || !missing.isEmpty(); }
};

// Looks at every side with actions of the buttons (in table order), the
// objects found through `find`.
ActionFunctionScan ScanActionFunctions(const QList<const VellButton *> &buttons,
                                       const Settings &settings, const ObjectByName &find,
                                       const QStringList &userCode);

} // namespace vell
