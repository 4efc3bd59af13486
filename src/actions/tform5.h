#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;

// The actions dialog "Действия". It keeps the names of all objects, which
// the main window refreshes whenever objects come or go.
class TForm5 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm5(QWidget *parent = nullptr);

    // The names of all objects: buttons, then pictures, then texts.
    QStringList KnownObjectNames;
    // The lines handed back at the last closing.
    QStringList ActionResult;

    // Takes the names and gives the object-name box a copy as its items.
    void setKnownObjectNames(const QStringList &names);

    // The object-name box, filled from KnownObjectNames.
    QComboBox *ObjName;
    void fillObjectNames();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_namesStale = false;
};
