#include "app/gui/mainmenus.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

namespace vell {

namespace {

QIcon toolImage(int index)
{
    static const char *const files[] = {"create_button", "create_picture", "create_text",
                                        "save",          "save_as",        "load"};
    return QIcon(QStringLiteral(":/images/%1.png").arg(QLatin1String(files[index])));
}

QAction *item(QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut,
              int image)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    if (image >= 0)
        action->setIcon(toolImage(image));
    return action;
}

QAction *separator(QMenu *menu, const char *name)
{
    QAction *action = menu->addSeparator();
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

void MainMenus::buildToolBar(QWidget *clientArea)
{
    ToolBar1 = new QToolBar(clientArea);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, 883, 33);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
}

void MainMenus::buildMenus(QMenuBar *bar, QUndoStack &history)
{
    N1 = bar->addMenu(QStringLiteral("Файл"));
    N1->setObjectName(QStringLiteral("N1"));
    MMSave =
        item(N1, "MMSave", QStringLiteral("Сохранить"), QKeySequence(QStringLiteral("Ctrl+S")), 3);
    MMSaveAs = item(N1, "MMSaveAs", QStringLiteral("Сохранить как..."),
                    QKeySequence(QStringLiteral("Ctrl+Alt+S")), 4);
    MMLoad =
        item(N1, "MMLoad", QStringLiteral("Загрузить"), QKeySequence(QStringLiteral("Ctrl+O")), 5);
    MMRecent = N1->addMenu(QStringLiteral("Последние проекты"));
    MMRecent->setObjectName(QStringLiteral("MMRecent"));
    MMRecent->menuAction()->setObjectName(QStringLiteral("MMRecent"));
    N16 = separator(N1, "N16");
    N16->setEnabled(false);
    MMSetting = item(N1, "MMSetting", QStringLiteral("Настройки..."), QKeySequence(Qt::Key_F2), -1);

    N4 = bar->addMenu(QStringLiteral("Правка"));
    N4->setObjectName(QStringLiteral("N4"));
    MMUndo = item(N4, "MMUndo", QStringLiteral("Отменить"), QKeySequence::Undo, -1);
    MMRedo = item(N4, "MMRedo", QStringLiteral("Повторить"), QKeySequence(), -1);
    MMRedo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    const auto showHistory = [this, &history] {
        MMUndo->setEnabled(history.canUndo());
        MMUndo->setText(history.canUndo() ? QStringLiteral("Отменить: ") + history.undoText()
                                          : QStringLiteral("Отменить"));
        MMRedo->setEnabled(history.canRedo());
        MMRedo->setText(history.canRedo() ? QStringLiteral("Повторить: ") + history.redoText()
                                          : QStringLiteral("Повторить"));
    };
    QObject::connect(&history, &QUndoStack::indexChanged, bar, showHistory);
    QObject::connect(&history, &QUndoStack::cleanChanged, bar, showHistory);
    showHistory();
    separator(N4, "N20");
    MMCut =
        item(N4, "MMCut", QStringLiteral("Вырезать"), QKeySequence(QStringLiteral("Ctrl+X")), -1);
    MMPast =
        item(N4, "MMPast", QStringLiteral("Вставить"), QKeySequence(QStringLiteral("Ctrl+V")), -1);
    MMCopy = item(N4, "MMCopy", QStringLiteral("Копировать"),
                  QKeySequence(QStringLiteral("Ctrl+C")), -1);
    // A shortcut of the window: it works while a grid cell is open too.
    MMDuplicate = item(N4, "MMDuplicate", QStringLiteral("Дублировать"),
                       QKeySequence(QStringLiteral("Ctrl+D")), -1);
    // Without a shortcut: Ctrl+A is the panel's own key, and a grid cell's
    // or a box's elsewhere.
    MMSelectAll =
        item(N4, "MMSelectAll", QStringLiteral("Выделить все объекты"), QKeySequence(), -1);
    MMAlign = N4->addMenu(QStringLiteral("Выровнять"));
    MMAlign->setObjectName(QStringLiteral("MMAlign"));
    MMAlign->menuAction()->setObjectName(QStringLiteral("MMAlign"));
    MMAlignLeft =
        item(MMAlign, "MMAlignLeft", QStringLiteral("По левому краю"), QKeySequence(), -1);
    MMAlignCentreX = item(MMAlign, "MMAlignCentreX", QStringLiteral("По центру по горизонтали"),
                          QKeySequence(), -1);
    MMAlignRight =
        item(MMAlign, "MMAlignRight", QStringLiteral("По правому краю"), QKeySequence(), -1);
    MMAlignTop =
        item(MMAlign, "MMAlignTop", QStringLiteral("По верхнему краю"), QKeySequence(), -1);
    MMAlignCentreY = item(MMAlign, "MMAlignCentreY", QStringLiteral("По центру по вертикали"),
                          QKeySequence(), -1);
    MMAlignBottom =
        item(MMAlign, "MMAlignBottom", QStringLiteral("По нижнему краю"), QKeySequence(), -1);
    MMDistributeX = item(N4, "MMDistributeX", QStringLiteral("Распределить по горизонтали"),
                         QKeySequence(), -1);
    MMDistributeY =
        item(N4, "MMDistributeY", QStringLiteral("Распределить по вертикали"), QKeySequence(), -1);
    N9 = separator(N4, "N9");
    MMClear = item(N4, "MMClear", QStringLiteral("Очистить"), QKeySequence(), -1);
    MMDelete = item(N4, "MMDelete", QStringLiteral("Удалить"),
                    QKeySequence(QStringLiteral("Shift+Del")), -1);
    // Choosing it changes nothing.
    MMBufClear = item(N4, "MMBufClear", QStringLiteral("Очистить буфер"), QKeySequence(), -1);
    // The user's own choice, kept with the preferences, not the project.
    MMGuides = item(N4, "MMGuides", QStringLiteral("Выравнивание по объектам"), QKeySequence(), -1);
    MMGuides->setCheckable(true);
    N17 = separator(N4, "N17");
    MMCheck = item(N4, "MMCheck", QStringLiteral("Проверить проект"), QKeySequence(), -1);

    MMCreateList = bar->addMenu(QStringLiteral("Создать"));
    MMCreateList->setObjectName(QStringLiteral("MMCreateList"));
    MMNewPrj = item(MMCreateList, "MMNewPrj", QStringLiteral("Проект"),
                    QKeySequence(QStringLiteral("Ctrl+N")), -1);
    N7 = separator(MMCreateList, "N7");
    MMNewBtn = item(MMCreateList, "MMNewBtn", QStringLiteral("Кнопка"),
                    QKeySequence(QStringLiteral("Shift+F1")), 0);
    MMNewPic = item(MMCreateList, "MMNewPic", QStringLiteral("Картинка"),
                    QKeySequence(QStringLiteral("Shift+F2")), 1);
    MMNewTex = item(MMCreateList, "MMNewTex", QStringLiteral("Текст"),
                    QKeySequence(QStringLiteral("Shift+F3")), 2);

    N11 = bar->addMenu(QStringLiteral("Код"));
    N11->setObjectName(QStringLiteral("N11"));
    MMGenCode =
        item(N11, "MMGenCode", QStringLiteral("Сгенерировать"), QKeySequence(Qt::Key_F3), -1);
    MMShowGenCode = item(N11, "MMShowGenCode", QStringLiteral("Показать код"), QKeySequence(), -1);
    MMUserCode = item(N11, "MMUserCode", QStringLiteral("Код пользователя"), QKeySequence(), -1);
    MMUpdateActions = item(N11, "MMUpdateActions", QStringLiteral("Обновить функции действий"),
                           QKeySequence(), -1);
    MMPreview =
        item(N11, "MMPreview", QStringLiteral("Предпросмотр"), QKeySequence(Qt::Key_F9), -1);

    MMHelp = bar->addMenu(QStringLiteral("Справка"));
    MMHelp->setObjectName(QStringLiteral("MMHelp"));
    MMKeys = item(MMHelp, "MMKeys", QStringLiteral("Клавиши"), QKeySequence(Qt::Key_F1), -1);

    // A menu-bar item without a drop-down: clicking it runs the command.
    FenMoth1 = bar->addAction(QStringLiteral("&Fen-Moth"));
    FenMoth1->setObjectName(QStringLiteral("FenMoth1"));
}

void MainMenus::buildToolButtons(QWidget *before)
{
    const auto spacer = [this](const char *name) {
        auto *gap = new QWidget(ToolBar1);
        gap->setObjectName(QLatin1String(name));
        gap->setFixedSize(8, 23);
        ToolBar1->addWidget(gap);
    };
    const auto button = [this](const char *name, QAction *action, int image, const QString &hint) {
        auto *b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setIcon(toolImage(image));
        b->setToolTip(hint);
        b->setAutoRaise(true);
        b->setFixedSize(23, 23);
        // Reached by Tab (after the design panel), never by a click, which
        // leaves the focus where the user was typing.
        b->setFocusPolicy(Qt::TabFocus);
        QObject::connect(b, &QToolButton::clicked, action, &QAction::trigger);
        ToolBar1->addWidget(b);
        return b;
    };
    spacer("ToolButton4");
    TBSave = button("TBSave", MMSave, 3, QStringLiteral("Сохранить проект (Ctrl+S)"));
    TBOpen = button("TBOpen", MMLoad, 5, QStringLiteral("Загрузить проект (Ctrl+O)"));
    spacer("ToolButton1");
    TBCreateButton =
        button("TBCreateButton", MMNewBtn, 0, QStringLiteral("Создать кнопку (Shift+F1)"));
    TBCreatePicture =
        button("TBCreatePicture", MMNewPic, 1, QStringLiteral("Создать картинку (Shift+F2)"));
    TBCreateText = button("TBCreateText", MMNewTex, 2, QStringLiteral("Создать текст (Shift+F3)"));
    QWidget *previous = before;
    for (QWidget *b : {TBSave, TBOpen, TBCreateButton, TBCreatePicture, TBCreateText}) {
        QWidget::setTabOrder(previous, b);
        previous = b;
    }
}

void MainMenus::buildObjectMenu(QWidget *parent)
{
    ObjPopumMenu = new QMenu(parent);
    ObjPopumMenu->setObjectName(QStringLiteral("ObjPopumMenu"));
    N2 = ObjPopumMenu->addAction(QStringLiteral("Удалить"));
    N2->setObjectName(QStringLiteral("N2"));
}

} // namespace vell
