#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;

namespace vell {
class Project;
}

// The actions dialog "Действия". It offers the project's known object names.
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

    // The object-name box, filled from KnownObjectNames.
    QComboBox *ObjName;
    void fillObjectNames();

protected:
    void showEvent(QShowEvent *event) override;

private:
    vell::Project &m_project;
    bool m_namesStale = false;
};
