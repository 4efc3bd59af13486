#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QToolButton;
class QUndoStack;
class QWidget;

namespace vell {

// The main window's menus, tool bar and the design panel's pop-up menu,
// named as the user's documentation names them: the captions, shortcuts
// and images. What each item does is connected by the window.
class MainMenus
{
public:
    QToolBar *ToolBar1 = nullptr;
    QMenu *N1 = nullptr, *N4 = nullptr, *MMCreateList = nullptr, *N11 = nullptr;
    QAction *MMSave = nullptr, *MMSaveAs = nullptr, *MMLoad = nullptr, *N16 = nullptr,
            *MMSetting = nullptr;
    // The projects last opened or saved ("Последние проекты").
    QMenu *MMRecent = nullptr;
    QAction *MMUndo = nullptr, *MMRedo = nullptr;
    QAction *MMCut = nullptr, *MMPast = nullptr, *MMCopy = nullptr, *MMDuplicate = nullptr,
            *N9 = nullptr, *MMClear = nullptr, *MMDelete = nullptr, *MMBufClear = nullptr,
            *N17 = nullptr, *MMCheck = nullptr;
    // Several objects: every one selected; the selection lined up with its
    // primary, or spread with equal gaps.
    QAction *MMSelectAll = nullptr, *MMAlignLeft = nullptr, *MMAlignCentreX = nullptr,
            *MMAlignRight = nullptr, *MMAlignTop = nullptr, *MMAlignCentreY = nullptr,
            *MMAlignBottom = nullptr, *MMDistributeX = nullptr, *MMDistributeY = nullptr;
    QMenu *MMAlign = nullptr;
    // "Выравнивание по объектам": alignment guides while dragging and resizing.
    QAction *MMGuides = nullptr;
    QAction *MMNewPrj = nullptr, *N7 = nullptr, *MMNewBtn = nullptr, *MMNewPic = nullptr,
            *MMNewTex = nullptr;
    QAction *MMGenCode = nullptr, *MMShowGenCode = nullptr, *MMUserCode = nullptr,
            *MMUpdateActions = nullptr, *MMPreview = nullptr;
    QMenu *MMHelp = nullptr;
    QAction *MMKeys = nullptr;
    QAction *FenMoth1 = nullptr;
    QToolButton *TBSave = nullptr, *TBOpen = nullptr, *TBCreateButton = nullptr,
                *TBCreatePicture = nullptr, *TBCreateText = nullptr;
    QMenu *ObjPopumMenu = nullptr;
    QAction *N2 = nullptr;

    // The empty tool bar along the top of the client area.
    void buildToolBar(QWidget *clientArea);
    // The menu bar's menus; "Отменить" and "Повторить" name the history's
    // next steps and are enabled while there are any.
    void buildMenus(QMenuBar *bar, QUndoStack &history);
    // The tool bar's buttons, each triggering its menu item; Tab reaches
    // them after `before`.
    void buildToolButtons(QWidget *before);
    // The design panel's pop-up menu ("Удалить").
    void buildObjectMenu(QWidget *parent);
};

} // namespace vell
