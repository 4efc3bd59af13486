#pragma once

#include "model/actiontable.h"
#include "model/actiontext.h"

#include <QDialog>
#include <QIcon>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vell {
class Project;
}

// The actions dialog "Действия": edits one action list of a button as a
// tree under the root "Действие". The user adds show-or-hide and message
// actions; however the dialog is closed ("Применить", the close box,
// Escape), it hands the lines of all its actions back. A list with more
// actions than the table holds shows the first ActionTable::Capacity; the
// lines after them go back unchanged after the shown ones.
class TForm5 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm5(vell::Project &project, QWidget *parent = nullptr);

    // The names of all objects as of the last refresh: buttons, then
    // pictures, then texts.
    const QStringList &KnownObjectNames() const;
    // The lines handed back at the last closing.
    QStringList ActionResult;

    // Shows the dialog in front with the tree reset and the list's actions
    // in it. The list is a copy: the button keeps its own until the hand-back.
    void openFor(const QStringList &lines);
    // Fills the tree and the action table from the list, then empties it.
    // Lines without a kind are left out; the table keeps aside the lines
    // after it is full (and the user is told on opening).
    void LoadInfo(QStringList &list);

    const vell::ActionTable &actionTable() const { return m_table; }
    // Gives the object-name box the known names, when they changed.
    void fillObjectNames();

    QTreeWidget *Actions;
    QPushButton *SaveFunc;
    QGroupBox *GroupBox1;
    QLabel *Label1;
    QComboBox *ActionName;
    QLabel *LabelName;
    QComboBox *ObjName;
    QCheckBox *ChekedBtn;
    QLineEdit *Param3;
    QLabel *ToolTip;
    QPushButton *AddFunc;

public slots:
    void done(int result) override;
    void ActionNameChange();
    void AddFuncClick();

signals:
    // The dialog closed with these lines (ActionResult).
    void handedBack(const QStringList &lines);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool addRecord(const vell::ActionView &view);
    // Shows the view in the node and adds its record to the table.
    void recordNode(QTreeWidgetItem *node, const vell::ActionView &view);
    void showView(QTreeWidgetItem *node, const vell::ActionView &view);
    void AddShowAction();
    void AddEchoAction();
    bool IsKnownObjectName(const QString &text) const;

    vell::Project &m_project;
    vell::ActionTable m_table;
    QTreeWidgetItem *m_root = nullptr;
    // The six images of the tree's nodes, by number.
    QIcon m_treeImages[6];
    // The actions of the opened list the table keeps aside unshown.
    qsizetype m_unshownActions = 0;
    bool m_namesStale = false;
};
