#pragma once

#include "app/gui/mainmenus.h"
#include "app/gui/objectinspector.h"
#include "app/gui/previewmode.h"
#include "app/gui/projectfileflow.h"
#include "designer/designsurface.h"
#include "project/preferences.h"
#include "project/project.h"
#include "project/projectcommands.h"

#include <QMainWindow>

#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;
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
// the design panel. It lays them out and connects each command to the part
// of the program that carries it out: the file flow, the object inspector,
// the preview, the design surface or the project's commands.
class TForm1 : public QMainWindow, public vell::MainMenus
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
    vell::ProjectFileFlow &files() { return *m_files; }
    // The project file named when the program was started (see
    // ProjectFileFlow::openFromCommandLine).
    void openFromCommandLine(const QString &path) { m_files->openFromCommandLine(path); }
    // A recovery copy's project in place of this one (see
    // ProjectCommands::restore).
    void restoreProject(vell::ProjectReadResult read, const QString &fileName);

    // Controls, named as the user's documentation names them; the object
    // boxes, the ID label and the grid belong to the inspector.
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
    QTimer *RecoloringTimer;

    // The findings window of the design check; nullptr until the first check.
    CheckWindow *checkWindow() const { return m_check; }
    // The key list; nullptr until it is first asked for.
    KeysWindow *keysWindow() const { return m_keys; }
    // The preview's panel while it lasts, else nullptr.
    vell::PreviewPanel *preview() const;
    // The kind the kind box shows ("Кнопка", "Картинка" or "Текст").
    vell::ObjectKind KindFromClassList() const { return m_inspector->KindFromClassList(); }

    // The body of Save as; true when the project was written.
    bool SaveProjectAs() { return m_files->saveAs(); }
    // Asked before the window closes: true lets it close.
    bool FormCloseQuery() { return m_files->closeQuery(); }

public slots:
    // What each menu item and button does: one call of the part that does it.
    void TBSaveClick() { m_files->save(); }
    void MMSaveAsClick() { m_files->saveAs(); }
    void TBOpenClick() { m_files->open(); }
    // An entry of "Последние проекты": opens the file as Open does.
    void MMRecentClick(const QString &path) { m_files->openRecent(path); }
    void MMNewPrjClick() { m_files->newProject(); }
    void MMNewBtnClick() { create(vell::KindButton); }
    void MMNewPicClick() { create(vell::KindPicture); }
    void MMNewTexClick() { create(vell::KindText); }
    void MMCopyClick();
    void MMCutClick();
    void MMPastClick();
    void MMDuplicateClick();
    void MMClearClick() { m_surface->ClearAllObjects(); }
    void RemoveObjClick() { m_surface->RemoveSelected(); }
    void MMCheckClick();
    void MMGuidesClick(bool checked);
    void MMSettingClick();
    void MMUserCodeClick();
    void MMUpdateActionsClick();
    // Into the preview of the interface, or out of it.
    void MMPreviewClick() { m_preview->toggle(); }
    void MMShowGenCodeClick();
    void MMGenCodeClick();
    void MMKeysClick();
    void FenMoth1Click();
    void RecoloringTimerTimer();
    void ObjListDropDown() { m_inspector->ObjListDropDown(); }
    void ObjListClick() { m_inspector->ObjListClick(); }
    void ShowProperties(vell::VellControl *object) { m_inspector->ShowProperties(object); }
    void ResetObjectInfo() { m_inspector->ResetObjectInfo(); }

signals:
    // The window closed: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void connectMenus();
    void create(vell::ObjectKind kind);
    // The objects alone selected, the primary foremost.
    void selectGroup(const vell::ObjectGroup &group);

    vell::Project &m_project;
    vell::ProjectCommands m_commands;
    std::unique_ptr<vell::DesignSurface> m_surface;
    TForm2 *m_settings = nullptr;
    TForm3 *m_userCode = nullptr;
    TForm4 *m_code = nullptr;
    TForm5 *m_actions = nullptr;
    TAboutBox *m_about = nullptr;
    CheckWindow *m_check = nullptr;
    KeysWindow *m_keys = nullptr;
    vell::Preferences m_preferences;
    vell::ObjectInspector *m_inspector = nullptr;
    vell::ProjectFileFlow *m_files = nullptr;
    std::unique_ptr<vell::PreviewMode> m_preview;
};
