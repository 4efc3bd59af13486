#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QTreeWidget;

// One key of a window (or a click with a key held) and what it does there.
struct KeyUse
{
    QString key;
    QString what;
};

// The keys of one window, under the name the key list gives it.
struct WindowKeys
{
    QString window;
    QList<KeyUse> keys;
};

// The windows whose keys are listed; one not made yet (nullptr) lists only
// the keys its controls handle themselves.
struct ProgramWindows
{
    const QWidget *main = nullptr;
    const QWidget *settings = nullptr;
    const QWidget *userCode = nullptr;
    const QWidget *code = nullptr;
    const QWidget *actions = nullptr;
    const QWidget *about = nullptr;
    const QWidget *check = nullptr;
    const QWidget *keys = nullptr;
};

// The shortcuts of the window's commands, one row a shortcut, in the native
// text form ("Ctrl+S"): its menus in their order ("Файл → Сохранить"), then
// the commands bound to the window or its controls. Commands of other
// windows (a dialog that has this one as its parent) are not its own.
QList<KeyUse> CommandKeys(const QWidget *window);

// Every key of the program, window by window: the commands' shortcuts, then
// the keys (and clicks) the controls handle themselves.
QList<WindowKeys> ProgramKeys(const ProgramWindows &windows);

// "Клавиши": the keys of the program, each window's under its name. Not
// modal; the list is made anew each time it is shown.
class KeysWindow : public QDialog
{
    Q_OBJECT

public:
    explicit KeysWindow(QWidget *parent = nullptr);

    void setKeys(const QList<WindowKeys> &windows);

    QTreeWidget *Keys;
};
