#include "common/gui/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include <limits>

namespace vell {

namespace {

DialogProvider *g_provider = nullptr;

Answer toAnswer(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

} // namespace

void DialogProvider::error(QWidget *parent, const QString &text)
{
    QMessageBox::critical(parent, QApplication::applicationName(), text);
}

void DialogProvider::message(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QApplication::applicationName(), text);
}

Answer DialogProvider::confirm(QWidget *parent, const QString &text)
{
    return toAnswer(QMessageBox::question(parent, QStringLiteral("Подтверждение"), text,
                                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                          QMessageBox::Yes));
}

Answer DialogProvider::ask(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, QStringLiteral("Подтверждение"), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes
               ? Answer::Yes
               : Answer::No;
}

Answer DialogProvider::inform(QWidget *parent, const QString &text)
{
    return toAnswer(QMessageBox::information(
        parent, QStringLiteral("Информация"), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes));
}

std::optional<QColor> DialogProvider::chooseColor(QWidget *parent, QColor initial,
                                                  bool whiteCustomColors)
{
    if (whiteCustomColors) {
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, Qt::white);
    }
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

QString DialogProvider::saveFileName(QWidget *parent, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, QString(), QString(), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

std::optional<int> DialogProvider::askNumber(QWidget *parent, const QString &title,
                                             const QString &label, int value)
{
    bool ok = false;
    const int number =
        QInputDialog::getInt(parent, title, label, value, std::numeric_limits<int>::min(),
                             std::numeric_limits<int>::max(), 1, &ok);
    if (!ok)
        return std::nullopt;
    return number;
}

QString DialogProvider::openFileName(QWidget *parent, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

std::optional<QString> chooseSaveName(QWidget *parent, const QString &filter,
                                      const QString &replaceQuestion,
                                      QString (*withExtension)(const QString &),
                                      DialogProvider *provider)
{
    DialogProvider &asked = provider ? *provider : dialogs();
    for (;;) {
        const QString chosen = asked.saveFileName(parent, filter);
        if (chosen.isEmpty())
            return std::nullopt;
        const QString name = withExtension(chosen);
        if (!QFileInfo::exists(name))
            return name;
        switch (asked.inform(parent, replaceQuestion)) {
        case Answer::Yes:
            return name;
        case Answer::No:
            continue;
        case Answer::Cancel:
            return std::nullopt;
        }
        return std::nullopt;
    }
}

DialogProvider &dialogs()
{
    static DialogProvider real;
    return g_provider ? *g_provider : real;
}

void setDialogProvider(DialogProvider *provider)
{
    g_provider = provider;
}

} // namespace vell
