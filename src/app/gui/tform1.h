#pragma once

#include "actions/actionemission.h"
#include "designer/designsurface.h"
#include "project/project.h"
#include "project/projectcommands.h"
#include "settings/preferences.h"

#include <QMainWindow>

#include <memory>
#include <utility>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QToolBar;
class QToolButton;
class CheckWindow;
class KeysWindow;
class TAboutBox;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

namespace vell {
class DesignPanel;
class PreviewPanel;
class PropertyGrid;
} // namespace vell

// The main window: menus, tool bar, the object boxes, the property grid and
// the design panel. It shows the project's objects and turns the user's
// commands into changes of the project.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(vell::Project &project, QWidget *parent = nullptr);
    ~TForm1() override;

    // The other windows, created after this one.
    void setWindows(TForm2 *settings, TForm3 *userCode, TForm4 *code, TForm5 *actions,
                    TAboutBox *about);

    vell::ObjectTables &tables() { return m_project.tables(); }
    vell::DesignSurface &surface() { return *m_surface; }
    vell::ProjectCommands &commands() { return m_commands; }
    vell::Project &project() { return m_project; }
    const vell::Settings &settings() const { return m_project.settings(); }
    // The project file named when the program was started, opened as Open
    // opens a chosen one (a relative name from the working folder).
    void openFromCommandLine(const QString &path);
    // A recovery copy's project in place of this one (see
    // ProjectCommands::restore).
    void restoreProject(vell::ProjectReadResult read, const QString &fileName);

    // The kind the kind box shows ("Кнопка", "Картинка" or "Текст").
    vell::ObjectKind KindFromClassList() const;

    // Controls, named as the user's documentation names them.
    QToolBar *ToolBar1;
    QGroupBox *GroupBox1;
    QComboBox *ClassList;
    QComboBox *ObjList;
    QLabel *Label1;
    QLabel *ID;
    vell::PropertyGrid *InfoList;
    QPushButton *RemoveObj;
    vell::DesignPanel *Win;
    QLabel *Image1;
    QLabel *Image2;

    QMenu *N1, *N4, *MMCreateList, *N11;
    QAction *MMSave, *MMSaveAs, *MMLoad, *N16, *MMSetting;
    // The projects last opened or saved ("Последние проекты").
    QMenu *MMRecent;
    QAction *MMUndo, *MMRedo;
    QAction *MMCut, *MMPast, *MMCopy, *MMDuplicate, *N9, *MMClear, *MMDelete, *MMBufClear, *N17,
        *MMCheck;
    // "Выравнивание по объектам": alignment guides while dragging and resizing.
    QAction *MMGuides;
    QAction *MMNewPrj, *N7, *MMNewBtn, *MMNewPic, *MMNewTex;
    QAction *MMGenCode, *MMShowGenCode, *MMUserCode, *MMUpdateActions, *MMPreview;
    QMenu *MMHelp;
    QAction *MMKeys;
    QAction *FenMoth1;
    QToolButton *TBSave, *TBOpen, *TBCreateButton, *TBCreatePicture, *TBCreateText;
    QMenu *ObjPopumMenu;
    QAction *N2;
    QTimer *RecoloringTimer;

    // The findings window of the design check; nullptr until the first check.
    CheckWindow *checkWindow() const { return m_check; }
    // The key list; nullptr until it is first asked for.
    KeysWindow *keysWindow() const { return m_keys; }

    // The body of Save as; true when the project was written.
    bool SaveProjectAs();
    // Asked before the window closes: true lets it close.
    bool FormCloseQuery();

public slots:
    void TBSaveClick();
    void MMSaveAsClick();
    void TBOpenClick();
    // An entry of "Последние проекты": opens the file as Open does.
    void MMRecentClick(const QString &path);
    void MMNewPrjClick();
    void MMNewBtnClick();
    void MMNewPicClick();
    void MMNewTexClick();
    void MMCopyClick();
    void MMCutClick();
    void MMPastClick();
    void MMDuplicateClick();
    void MMClearClick();
    void RemoveObjClick();
    void MMCheckClick();
    void MMGuidesClick(bool checked);
    void MMSettingClick();
    void MMUserCodeClick();
    void MMUpdateActionsClick();
    // Into the preview of the interface, or out of it.
    void MMPreviewClick();
    // The preview's panel while it lasts, else nullptr.
    vell::PreviewPanel *preview() const { return m_preview.get(); }
    void MMShowGenCodeClick();
    void MMGenCodeClick();
    void MMKeysClick();
    void FenMoth1Click();
    void RecoloringTimerTimer();
    void ObjListDropDown();
    void ObjListClick();

    void ShowProperties(vell::VellControl *object);
    void ResetObjectInfo();

signals:
    // The window closed: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createToolBar();
    void createControls();
    void create(vell::ObjectKind kind);
    // The one place the window's title is set: the title of the state given.
    void showTitle(const vell::ProjectState &state);
    bool saveTo(const QString &path);
    // Before another project is opened: asks about unsaved changes (and
    // saves when told to); false when the user cancelled.
    bool saveBeforeOpening();
    // Opens the file and tells how it went; a loaded file becomes the
    // newest of the recent projects.
    void openProject(const QString &path);
    // Puts the file first among the recent projects.
    void rememberProject(const QString &path);
    // Fills "Последние проекты" from the list as it is stored now.
    void showRecentProjects();
    void openActions(vell::VellButton &button, vell::ClickSide side);
    void ActionsHandedBack(const QStringList &lines);
    // Arrow keys, Home and End in the object box: true when handled.
    bool ObjListKeyDown(const class QKeyEvent *event);

    void InfoListKeyUp(int row, int key, Qt::KeyboardModifiers modifiers);
    void InfoListSetEditText(int row, const QString &value);
    void InfoListEditButtonClick(int row);

    vell::Project &m_project;
    vell::ProjectCommands m_commands;
    // The button the actions dialog is open for, and its side; forgotten
    // when the button is removed.
    vell::VellButton *m_actionsButton = nullptr;
    vell::ClickSide m_actionsSide = vell::ClickSide::Left;
    std::unique_ptr<vell::DesignSurface> m_surface;
    TForm2 *m_settings = nullptr;
    TForm3 *m_userCode = nullptr;
    TForm4 *m_code = nullptr;
    TForm5 *m_actions = nullptr;
    TAboutBox *m_about = nullptr;
    CheckWindow *m_check = nullptr;
    KeysWindow *m_keys = nullptr;
    vell::Preferences m_preferences;
    std::unique_ptr<vell::PreviewPanel> m_preview;
    // What the preview disabled, each with whether it was enabled before.
    std::vector<std::pair<QAction *, bool>> m_actionsBeforePreview;
    std::vector<std::pair<QWidget *, bool>> m_widgetsBeforePreview;
    void enterPreview();
    void leavePreview();
};
