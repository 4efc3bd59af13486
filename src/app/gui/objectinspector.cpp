#include "app/gui/objectinspector.h"

#include "actions/gui/tform5.h"
#include "common/gui/dialogs.h"
#include "common/textforms.h"
#include "designer/designsurface.h"
#include "project/project.h"
#include "project/projectcommands.h"
#include "properties/gui/propertygrid.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <functional>
#include <limits>
#include <utility>

namespace vell {

namespace {

// The object box: its list is filled each time it drops down.
class ObjectBox : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

// A character typed into a box (as opposed to keys such as arrows).
bool typesCharacter(const QKeyEvent *event)
{
    return !event->text().isEmpty() &&
           (event->text().at(0).isPrint() || event->key() == Qt::Key_Backspace);
}

} // namespace

ObjectInspector::ObjectInspector(Project &project, ProjectCommands &commands,
                                 DesignSurface &surface, QGroupBox *box)
    : QObject(box), m_project(project), m_commands(commands), m_surface(surface), m_box(box)
{
    ClassList = new QComboBox(box);
    ClassList->setObjectName(QStringLiteral("ClassList"));
    ClassList->setGeometry(8, 32, 201, 21);
    for (const ObjectKind kind : kObjectKinds)
        ClassList->addItem(KindBoxText(kind));
    ClassList->setCurrentIndex(0);
    ClassList->installEventFilter(this);

    auto *objList = new ObjectBox(box);
    ObjList = objList;
    ObjList->setObjectName(QStringLiteral("ObjList"));
    ObjList->setGeometry(8, 56, 201, 21);
    ObjList->setEditable(true);
    ObjList->setInsertPolicy(QComboBox::NoInsert);
    ObjList->lineEdit()->setReadOnly(true);
    // Names of any length are shown whole (and found again by what shows).
    ObjList->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    ObjList->setEditText(QStringLiteral("<объект не выбран>"));
    ObjList->installEventFilter(this);
    ObjList->lineEdit()->installEventFilter(this);
    objList->beforePopup = [this] {
        ObjListDropDown();
    };
    connect(ObjList, &QComboBox::activated, this, [this](int index) {
        ObjList->setEditText(ObjList->itemText(index));
        ObjListClick();
    });

    Label1 = new QLabel(QStringLiteral("ID:"), box);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(16, 96);
    Label1->adjustSize();
    ID = new QLabel(QStringLiteral("0"), box);
    ID->setObjectName(QStringLiteral("ID"));
    ID->move(40, 96);
    ID->adjustSize();

    InfoList = new PropertyGrid(box);
    InfoList->setGeometry(8, 120, 209, 305);
    InfoList->charFilter = [this](int row, const QString &value, TypedAt at, QChar c) {
        const VellControl *object = m_surface.selectedObject();
        return object && AcceptsTypedChar(object->Kind, row, value, at, c);
    };
    connect(InfoList, &PropertyGrid::keyReleased, this, &ObjectInspector::InfoListKeyUp);
    connect(InfoList, &PropertyGrid::pickChosen, this, &ObjectInspector::InfoListSetEditText);
    connect(InfoList, &PropertyGrid::ellipsisClicked, this,
            &ObjectInspector::InfoListEditButtonClick);

    connect(&m_surface, &DesignSurface::propertiesShown, this, &ObjectInspector::ShowProperties);
    connect(&m_surface, &DesignSurface::objectInfoReset, this, &ObjectInspector::ResetObjectInfo);
    connect(&m_project, &Project::objectAboutToBeRemoved, this, [this](const VellControl *object) {
        if (!object || object == m_actionsButton)
            m_actionsButton = nullptr;
    });
}

void ObjectInspector::setActionsWindow(TForm5 *actions)
{
    m_actions = actions;
    connect(m_actions, &TForm5::handedBack, this, &ObjectInspector::ActionsHandedBack);
}

ObjectKind ObjectInspector::KindFromClassList() const
{
    return KindFromText(ClassList->currentText());
}

void ObjectInspector::ObjListDropDown()
{
    const QString shown = ObjList->currentText();
    ObjList->clear();
    ObjList->addItems(m_project.tables().objectNames(KindFromClassList()));
    ObjList->setEditText(shown);
}

void ObjectInspector::ObjListClick()
{
    if (VellControl *object =
            m_project.tables().FindObjectByName(KindFromClassList(), ObjList->currentText()))
        m_surface.Select(*object);
}

void ObjectInspector::ShowProperties(VellControl *object)
{
    if (!object)
        return;
    // Shown again on every tick of a resize: what did not change is left.
    if (const QString kind = KindBoxText(object->Kind); ClassList->currentText() != kind)
        ClassList->setCurrentText(kind);
    if (ObjList->currentText() != object->Name)
        ObjList->setEditText(object->Name);
    InfoList->setRows(PropertyRowsFor(*object));
    const QString id = IntToText(object->Id);
    if (ID->text() != id) {
        ID->setText(id);
        ID->adjustSize();
    }
}

void ObjectInspector::ResetObjectInfo()
{
    ObjList->setEditText(QStringLiteral("<объект не выбран>"));
    InfoList->clearRows();
    ID->setText(QStringLiteral("0"));
    ID->adjustSize();
}

void ObjectInspector::InfoListKeyUp(int row, int key, Qt::KeyboardModifiers modifiers)
{
    Q_UNUSED(key);
    // Shift alone: the next key release (Shift's own, say) applies the edit.
    const Qt::KeyboardModifiers mods =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (mods == Qt::ShiftModifier && QGuiApplication::mouseButtons() == Qt::NoButton)
        return;
    VellControl *object = m_surface.selectedObject();
    if (!object)
        return;
    const ApplyOutcome outcome = m_commands.setRowValue(*object, row, InfoList->values());
    if (!outcome.error.isEmpty()) {
        dialogs().error(m_box->window(), outcome.error);
        return;
    }
    if (outcome.changed) {
        // A size row sets both sizes, and an odd one loses its pixel: every
        // other row shows what the object now holds. The row being typed in
        // keeps the text as typed.
        const QList<PropertyRow> rows = PropertyRowsFor(*object);
        for (int r = 1; r <= rows.size(); ++r) {
            if (r != row && InfoList->GetRowValue(r) != rows[r - 1].value)
                InfoList->SetRowValue(rows[r - 1].value, r);
        }
    }
}

void ObjectInspector::InfoListSetEditText(int row, const QString &value)
{
    VellControl *object = m_surface.selectedObject();
    if (!object || row != VisibilityRow(object->Kind))
        return;
    // Also when chosen with the mouse, or the change would be lost unasked.
    m_commands.setVisible(*object, TextToBool(value));
}

void ObjectInspector::InfoListEditButtonClick(int row)
{
    VellControl *object = m_surface.selectedObject();
    if (!object)
        return;
    if (object->Kind == KindText && row == Row::TextColor) {
        const auto chosen =
            dialogs().chooseColor(m_box->window(), m_surface.colorTextPreset(), false);
        if (chosen) {
            m_surface.setColorTextPreset(*chosen);
            InfoList->SetRowValue(ColorToText(*chosen), Row::TextColor);
            m_commands.setTextColor(static_cast<VellText &>(*object), *chosen);
            return;
        }
        m_commands.textColorKept();
    }
    if (object->Kind == KindButton && (row == Row::LeftClick || row == Row::RightClick))
        openActions(static_cast<VellButton &>(*object),
                    row == Row::LeftClick ? ClickSide::Left : ClickSide::Right);
}

void ObjectInspector::openActions(VellButton &button, ClickSide side)
{
    if (!m_actions)
        return;
    // One list is edited at a time: an open dialog only comes to the front.
    if (m_actions->isVisible()) {
        m_actions->raise();
        m_actions->activateWindow();
        return;
    }
    m_actionsButton = &button;
    m_actionsSide = side;
    m_actions->openFor(side == ClickSide::Left ? button.LeftActions : button.RightActions);
}

void ObjectInspector::ActionsHandedBack(const QStringList &lines)
{
    // Dropped when the button is gone meanwhile.
    VellButton *button = std::exchange(m_actionsButton, nullptr);
    if (!button || !m_commands.applyActions(*button, m_actionsSide, lines))
        return;
    if (m_surface.selectedObject() == button) {
        const bool left = m_actionsSide == ClickSide::Left;
        InfoList->SetRowValue(left ? button->LeftActionsFunction : button->RightActionsFunction,
                              left ? Row::LeftClick : Row::RightClick);
    }
}

bool ObjectInspector::ObjListKeyDown(const QKeyEvent *event)
{
    const int count = ObjList->count();
    if (count == 0)
        return false;
    // Navigation starts from the entry the box shows, or from before the
    // first one when it shows none (such as "<объект не выбран>").
    const int shown = ObjList->findText(ObjList->currentText(), Qt::MatchExactly);
    const auto key = std::find_if(std::begin(kObjectBoxKeys), std::end(kObjectBoxKeys),
                                  [event](const ObjectBoxKey &k) { return k.key == event->key(); });
    if (key == std::end(kObjectBoxKeys))
        return false;
    int next = shown;
    switch (key->step) {
    case ObjectBoxKey::Step::Next:
        next = std::min(shown + 1, count - 1);
        break;
    case ObjectBoxKey::Step::Previous:
        next = shown < 0 ? count - 1 : std::max(shown - 1, 0);
        break;
    case ObjectBoxKey::Step::First:
        next = 0;
        break;
    case ObjectBoxKey::Step::Last:
        next = count - 1;
        break;
    }
    if (next != shown) {
        ObjList->setCurrentIndex(next);
        ObjList->setEditText(ObjList->itemText(next));
        ObjListClick();
    }
    return true;
}

bool ObjectInspector::eventFilter(QObject *watched, QEvent *event)
{
    // The object box's read-only text field would take Ctrl+C for its own
    // text; there, as everywhere outside a grid cell, it copies the object.
    if (event->type() == QEvent::ShortcutOverride &&
        (watched == ObjList || watched == ObjList->lineEdit())) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Undo) ||
            key->matches(QKeySequence::Redo)) {
            event->ignore();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress &&
        (watched == ObjList || watched == ObjList->lineEdit()) && !ObjList->view()->isVisible() &&
        ObjListKeyDown(static_cast<QKeyEvent *>(event)))
        return true;
    // Characters typed into the kind box or the object box are discarded;
    // arrows and other keys work as usual.
    if (event->type() == QEvent::KeyPress &&
        (watched == ClassList || watched == ObjList || watched == ObjList->lineEdit()) &&
        typesCharacter(static_cast<QKeyEvent *>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace vell
