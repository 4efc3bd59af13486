#pragma once

#include "project/designcheck.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QListWidgetItem;

// The findings of the design check, one an item ("Button_3: ошибка: ...",
// wrapped to the list's width when long), under a count of errors and
// warnings. Double-clicking a finding asks for its object to be selected,
// its user code line or its setting to be shown. It holds no reference to
// the objects, so the design may change while it is open.
class CheckWindow : public QDialog
{
    Q_OBJECT

public:
    explicit CheckWindow(QWidget *parent = nullptr);

    void setFindings(const QList<vell::DesignFinding> &findings);
    const QList<vell::DesignFinding> &findings() const { return m_findings; }

    QLabel *Summary;
    QListWidget *Findings;

signals:
    // The object of the finding that was double-clicked.
    void objectChosen(const vell::DesignFinding &finding);
    // A finding in the user code was double-clicked: its line and column.
    void userCodeLineChosen(int line, int column);
    // A finding about a setting was double-clicked.
    void settingChosen(vell::DesignFinding::Setting setting);

private:
    void itemDoubleClicked(QListWidgetItem *item);

    QList<vell::DesignFinding> m_findings;
};
