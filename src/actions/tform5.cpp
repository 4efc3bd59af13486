#include "actions/tform5.h"

#include "project/project.h"

#include <QComboBox>

TForm5::TForm5(vell::Project &project, QWidget *parent) : QDialog(parent), m_project(project)
{
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Действия"));
    setModal(false);
    setFixedSize(749, 385);
    move(291, 123);
    ObjName = new QComboBox(this);
    ObjName->setObjectName(QStringLiteral("ObjName"));
    ObjName->setEditable(true);
    ObjName->setGeometry(24, 88, 145, 21);
    connect(&m_project, &vell::Project::knownObjectNamesChanged, this, [this] {
        // Filling a box with thousands of names is slow; a hidden dialog
        // gets them when it is shown.
        m_namesStale = true;
        if (isVisible())
            fillObjectNames();
    });
}

const QStringList &TForm5::KnownObjectNames() const
{
    return m_project.KnownObjectNames();
}

void TForm5::fillObjectNames()
{
    if (!m_namesStale)
        return;
    m_namesStale = false;
    const QString typed = ObjName->currentText();
    ObjName->clear();
    ObjName->addItems(KnownObjectNames());
    ObjName->setEditText(typed);
}

void TForm5::showEvent(QShowEvent *event)
{
    fillObjectNames();
    QDialog::showEvent(event);
}
