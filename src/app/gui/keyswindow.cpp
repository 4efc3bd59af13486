#include "app/gui/keyswindow.h"

#include "app/gui/objectinspector.h"
#include "designer/gui/designpanel.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Place
{
    Main,
    Settings,
    UserCode,
    Code,
    Actions,
    About,
    Check,
    Keys,
    PlaceCount
};

const char *const kPlaceNames[PlaceCount] = {"Главное окно",     "Настройки", "Код пользователя",
                                             "Код интерфейса",   "Действия",  "О программе",
                                             "Проверка проекта", "Клавиши"};

// A key that is no command of a menu: the controls handle it themselves.
struct OtherKey
{
    Place place;
    QKeyCombination key; // none: `click` names a click
    const char *click;
    const char *what;
};

// Keys of controls other than the design panel and the object box (whose
// own tables the list reads): the property grid's cells (PropertyGrid), the
// one-line fields (OneLineEdit), the editors and the dialogs' own keys.
const OtherKey kOtherKeys[] = {
    {Main, Qt::Key_Enter, nullptr, "Таблица свойств: применить значение и закрыть ячейку"},
    {Main, Qt::Key_Escape, nullptr,
     "Таблица свойств: закрыть ячейку; введенное уже применено и не отменяется"},
    {Main, Qt::Key_Escape, nullptr, "Предпросмотр: выйти, как F9"},
    {Main, Qt::CTRL | Qt::Key_V, nullptr,
     "Таблица свойств: вставить текст без символов, которых значение не принимает"},
    {Settings, Qt::Key_Escape, nullptr, "Закрыть окно, записав настройки в файл"},
    {Settings, Qt::CTRL | Qt::Key_V, nullptr,
     "Имена переменных: вставить одну строку; о недопустимом символе скажет сообщение"},
    {UserCode, Qt::SHIFT | Qt::Key_Enter, nullptr, "Новая строка, как Enter"},
    {UserCode, {}, "Двойной щелчок", "Список функций: перейти к функции в тексте"},
    {UserCode, Qt::Key_Enter, nullptr, "Строка поиска: найти далее"},
    {UserCode, Qt::SHIFT | Qt::Key_Enter, nullptr, "Строка поиска: найти ранее"},
    {UserCode, Qt::Key_Escape, nullptr, "Строка поиска: закрыть"},
    {Code, Qt::CTRL | Qt::Key_Insert, nullptr, "Копировать выделенное"},
    {Code, Qt::Key_Enter, nullptr, "Строка поиска: найти далее"},
    {Code, Qt::SHIFT | Qt::Key_Enter, nullptr, "Строка поиска: найти ранее"},
    {Code, Qt::Key_Escape, nullptr, "Строка поиска: закрыть"},
    {Actions, Qt::Key_Escape, nullptr, "Закрыть окно, отдав действия кнопке, как «Применить»"},
    {Actions, Qt::CTRL | Qt::Key_V, nullptr,
     "Сообщение: вставить одну строку; о недопустимом символе скажет сообщение"},
    {About, Qt::Key_Enter, nullptr, "Закрыть (OK)"},
    {About, Qt::Key_Escape, nullptr, "Закрыть"},
    {Check, Qt::Key_Escape, nullptr, "Закрыть окно"},
    {Check, {}, "Двойной щелчок", "Выделить объект находки или показать ее строку кода"},
    {Keys, Qt::Key_Escape, nullptr, "Закрыть окно"},
};

// A command's caption as its menu shows it, without the mnemonic marks and
// a key written after a tab.
QString shownText(const QString &text)
{
    const QString caption = text.section(QLatin1Char('\t'), 0, 0);
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

void addCommands(QList<KeyUse> &keys, QSet<const QAction *> &seen, const QList<QAction *> &actions,
                 const QString &path)
{
    for (const QAction *action : actions) {
        if (action->isSeparator() || !action->isVisible() || seen.contains(action))
            continue;
        seen.insert(action);
        const QString what = path + shownText(action->text());
        for (const QKeySequence &shortcut : action->shortcuts())
            keys.append({shortcut.toString(QKeySequence::NativeText), what});
        if (const QMenu *menu = action->menu())
            addCommands(keys, seen, menu->actions(), what + QStringLiteral(" → "));
    }
}

} // namespace

QList<KeyUse> CommandKeys(const QWidget *window)
{
    QList<KeyUse> keys;
    QSet<const QAction *> seen;
    if (const auto *main = qobject_cast<const QMainWindow *>(window); main && main->menuWidget())
        addCommands(keys, seen, main->menuWidget()->actions(), QString());
    addCommands(keys, seen, window->actions(), QString());
    for (const QWidget *control : window->findChildren<QWidget *>()) {
        if (control->window() == window)
            addCommands(keys, seen, control->actions(), QString());
    }
    return keys;
}

QList<WindowKeys> ProgramKeys(const ProgramWindows &windows)
{
    const QWidget *const byPlace[PlaceCount] = {windows.main,  windows.settings, windows.userCode,
                                                windows.code,  windows.actions,  windows.about,
                                                windows.check, windows.keys};
    QList<WindowKeys> list;
    for (int place = 0; place < PlaceCount; ++place) {
        WindowKeys group{QString::fromUtf8(kPlaceNames[place]),
                         byPlace[place] ? CommandKeys(byPlace[place]) : QList<KeyUse>()};
        if (place == Main) {
            for (const vell::PanelInput &input : vell::PanelInputs())
                group.keys.append({input.click
                                       ? QString::fromUtf8(input.click)
                                       : QKeySequence(input.key).toString(QKeySequence::NativeText),
                                   QString::fromUtf8(input.what)});
            for (const vell::ObjectBoxKey &key : vell::kObjectBoxKeys)
                group.keys.append({QKeySequence(key.key).toString(QKeySequence::NativeText),
                                   QString::fromUtf8(key.what)});
        }
        for (const OtherKey &other : kOtherKeys) {
            if (other.place != place)
                continue;
            group.keys.append({other.click
                                   ? QString::fromUtf8(other.click)
                                   : QKeySequence(other.key).toString(QKeySequence::NativeText),
                               QString::fromUtf8(other.what)});
        }
        list.append(group);
    }
    return list;
}

KeysWindow::KeysWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("KeysWindow"));
    setWindowTitle(QStringLiteral("Клавиши"));
    setModal(false);
    resize(560, 460);

    Keys = new QTreeWidget(this);
    Keys->setObjectName(QStringLiteral("Keys"));
    Keys->setColumnCount(2);
    Keys->setHeaderLabels({QStringLiteral("Клавиша"), QStringLiteral("Действие")});
    Keys->setRootIsDecorated(true);
    Keys->setUniformRowHeights(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Keys);
    layout->addWidget(buttons);
}

void KeysWindow::setKeys(const QList<WindowKeys> &windows)
{
    Keys->clear();
    for (const WindowKeys &window : windows) {
        auto *group = new QTreeWidgetItem(Keys, {window.window});
        group->setFirstColumnSpanned(true);
        for (const KeyUse &key : window.keys)
            new QTreeWidgetItem(group, {key.key, key.what});
    }
    Keys->expandAll();
    Keys->resizeColumnToContents(0);
}
