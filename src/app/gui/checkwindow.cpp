#include "app/gui/checkwindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CheckWindow::CheckWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CheckWindow"));
    setWindowTitle(QStringLiteral("Проверка проекта"));
    setModal(false);
    resize(460, 260);

    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Findings = new QListWidget(this);
    Findings->setObjectName(QStringLiteral("Findings"));
    // A long finding is shown whole, over as many lines as it takes, at the
    // width of the list.
    Findings->setWordWrap(true);
    Findings->setTextElideMode(Qt::ElideNone);
    Findings->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Findings->setResizeMode(QListView::Adjust);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Summary);
    layout->addWidget(Findings);
    layout->addWidget(buttons);

    connect(Findings, &QListWidget::itemDoubleClicked, this, &CheckWindow::itemDoubleClicked);
}

void CheckWindow::setFindings(const QList<vell::DesignFinding> &findings)
{
    m_findings = findings;
    Findings->clear();
    int errors = 0;
    for (const vell::DesignFinding &f : findings) {
        if (f.severity == vell::DesignFinding::Severity::Error)
            ++errors;
        Findings->addItem(vell::FindingText(f));
    }
    Summary->setText(findings.isEmpty()
                         ? QStringLiteral("Ошибок и предупреждений нет.")
                         : QStringLiteral("Ошибок: %1, предупреждений: %2. Двойной щелчок "
                                          "выделяет объект или строку кода пользователя.")
                               .arg(errors)
                               .arg(findings.size() - errors));
}

void CheckWindow::itemDoubleClicked(QListWidgetItem *item)
{
    const int row = Findings->row(item);
    if (row < 0 || row >= m_findings.size())
        return;
    const vell::DesignFinding &f = m_findings.at(row);
    if (f.setting != vell::DesignFinding::Setting::None)
        emit settingChosen(f.setting);
    else if (f.userCodeLine > 0)
        emit userCodeLineChosen(f.userCodeLine, f.column);
    else if (f.kind != vell::KindNone)
        emit objectChosen(f);
}
