#pragma once

#include "codegen/actionemission.h"
#include "model/objectkind.h"

#include <QObject>

class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class TForm5;

namespace vell {

class DesignSurface;
class Project;
class ProjectCommands;
class PropertyGrid;
class VellButton;
class VellControl;

// The keys the object box handles itself (whatever modifiers are held), in
// the order the key list shows them; the handler reads this table.
struct ObjectBoxKey
{
    enum class Step
    {
        Next,
        Previous,
        First,
        Last
    };
    Qt::Key key;
    Step step;
    const char *what;
};
inline constexpr ObjectBoxKey kObjectBoxKeys[] = {
    {Qt::Key_Down, ObjectBoxKey::Step::Next, "Список объектов: выбрать следующий объект"},
    {Qt::Key_Up, ObjectBoxKey::Step::Previous, "Список объектов: выбрать предыдущий объект"},
    {Qt::Key_Home, ObjectBoxKey::Step::First, "Список объектов: выбрать первый объект"},
    {Qt::Key_PageUp, ObjectBoxKey::Step::First, "Список объектов: выбрать первый объект"},
    {Qt::Key_End, ObjectBoxKey::Step::Last, "Список объектов: выбрать последний объект"},
    {Qt::Key_PageDown, ObjectBoxKey::Step::Last, "Список объектов: выбрать последний объект"},
};

// The object boxes and the property grid: the kind box, the object box that
// finds an object by its name, the selected object's ID and its fields,
// whose edits go to the project as commands. The grid's click rows open the
// actions dialog for the button.
class ObjectInspector : public QObject
{
    Q_OBJECT

public:
    // Builds the controls into the box.
    ObjectInspector(Project &project, ProjectCommands &commands, DesignSurface &surface,
                    QGroupBox *box);

    // The dialog the click rows open (none until given).
    void setActionsWindow(TForm5 *actions);

    QComboBox *ClassList;
    QComboBox *ObjList;
    QLabel *Label1;
    QLabel *ID;
    PropertyGrid *InfoList;

    // The kind the kind box shows ("Кнопка", "Картинка" or "Текст").
    ObjectKind KindFromClassList() const;
    // The object's kind, name, ID and fields.
    void ShowProperties(VellControl *object);
    // No object: "<объект не выбран>", an empty grid and ID 0.
    void ResetObjectInfo();
    // The object box drops down: it lists the names of the kind shown.
    void ObjListDropDown();
    // Selects the object the object box names, if there is one.
    void ObjListClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The object box's own keys: true when handled.
    bool ObjListKeyDown(const QKeyEvent *event);
    void InfoListKeyUp(int row, int key, Qt::KeyboardModifiers modifiers);
    void InfoListSetEditText(int row, const QString &value);
    void InfoListEditButtonClick(int row);
    void openActions(VellButton &button, ClickSide side);
    void ActionsHandedBack(const QStringList &lines);

    Project &m_project;
    ProjectCommands &m_commands;
    DesignSurface &m_surface;
    QGroupBox *m_box;
    TForm5 *m_actions = nullptr;
    // The button the actions dialog is open for, and its side; forgotten
    // when the button is removed.
    VellButton *m_actionsButton = nullptr;
    ClickSide m_actionsSide = ClickSide::Left;
};

} // namespace vell
