#include "app/gui/tform1.h"

#include "actions/gui/tform5.h"
#include "app/gui/actionupdatequestion.h"
#include "app/gui/checkwindow.h"
#include "app/gui/keyswindow.h"
#include "app/gui/taboutbox.h"
#include "codegen/designinput.h"
#include "codegen/gui/tform4.h"
#include "common/gui/dialogs.h"
#include "common/labelfont.h"
#include "designer/gui/designpanel.h"
#include "project/designcheck.h"
#include "properties/gui/propertygrid.h"
#include "settings/gui/tform2.h"
#include "usercode/gui/tform3.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>

using namespace vell;

TForm1::TForm1(Project &project, QWidget *parent)
    : QMainWindow(parent), m_project(project), m_commands(project)
{
    static const bool resources = [] {
        Q_INIT_RESOURCE(gui);
        return true;
    }();
    Q_UNUSED(resources);

    setObjectName(QStringLiteral("TForm1"));
    m_files = new ProjectFileFlow(m_project, m_commands, *this);
    m_files->showTitle(ProjectState{});
    setFont(LabelFont());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_surface = std::make_unique<DesignSurface>(m_project, m_commands);

    createControls();
    buildMenus(menuBar(), m_project.history());
    buildToolButtons(Win);
    connectMenus();

    // Client area 883 x 533 below the menu bar; the window cannot be resized.
    setFixedSize(883, 533 + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    RecoloringTimer = new QTimer(this);
    RecoloringTimer->setObjectName(QStringLiteral("RecoloringTimer"));
    RecoloringTimer->setInterval(100);
    // The title and the button colour follow the project within a tick; the
    // tick runs only after the project's state or settings changed, so an
    // idle designer does not wake up at all.
    RecoloringTimer->setSingleShot(true);
    connect(RecoloringTimer, &QTimer::timeout, this, &TForm1::RecoloringTimerTimer);
    const auto tickSoon = [this] {
        if (!RecoloringTimer->isActive())
            RecoloringTimer->start();
    };
    connect(&m_project, &Project::stateChanged, this, tickSoon);
    connect(&m_project, &Project::settingsChanged, this, tickSoon);
    RecoloringTimer->start();

    connect(&m_project, &Project::settingsChanged, this, [this] { m_surface->recolourButtons(); });
    // A selected object set back or forth by the history shows its fields.
    connect(&m_project, &Project::objectChanged, this,
            [this](VellControl *object) { m_surface->objectChanged(*object); });
}

TForm1::~TForm1()
{
    // The controls go first: they refer to the tables and the surface (the
    // preview's panel, one of them, before the others).
    m_preview.reset();
    m_surface->drawing().scene().setRepaintHandler({});
    const std::unique_ptr<QWidget> controls(takeCentralWidget());
}

void TForm1::setWindows(TForm2 *settingsDialog, TForm3 *userCode, TForm4 *code, TForm5 *actions,
                        TAboutBox *about)
{
    m_settings = settingsDialog;
    m_userCode = userCode;
    m_code = code;
    m_actions = actions;
    m_about = about;
    m_inspector->setActionsWindow(m_actions);
}

void TForm1::createControls()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("clientArea"));
    central->setFixedSize(883, 533);
    setCentralWidget(central);

    buildToolBar(central);

    GroupBox1 = new QGroupBox(QStringLiteral("GroupBox1"), central);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 40, 225, 465);
    m_inspector = new ObjectInspector(m_project, m_commands, *m_surface, GroupBox1);
    ClassList = m_inspector->ClassList;
    ObjList = m_inspector->ObjList;
    Label1 = m_inspector->Label1;
    ID = m_inspector->ID;
    InfoList = m_inspector->InfoList;

    RemoveObj = new QPushButton(QStringLiteral("Удалить"), GroupBox1);
    RemoveObj->setObjectName(QStringLiteral("RemoveObj"));
    RemoveObj->setGeometry(72, 432, 75, 25);

    // The banners lie under the design panel, which is drawn on top.
    const auto banner = [central](const char *name, const QString &file, QRect geometry) {
        auto *label = new QLabel(central);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(geometry);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setPixmap(
            QPixmap(file).scaled(geometry.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return label;
    };
    Image1 = banner("Image1", QStringLiteral(":/images/banner_top.jpg"), QRect(240, 48, 633, 25));
    Image2 =
        banner("Image2", QStringLiteral(":/images/banner_bottom.jpg"), QRect(240, 392, 633, 137));

    Win = new DesignPanel(*m_surface, central);
    Win->move(240, 64);
    Win->raise();

    buildObjectMenu(this);
    Win->setPopupMenu(ObjPopumMenu);

    // After "Удалить" come the design panel and the tool bar's buttons. A
    // click on the panel gives it the focus too (see DesignPanel).
    Win->setFocusPolicy(Qt::TabFocus);
    setTabOrder(ClassList, ObjList);
    setTabOrder(ObjList, InfoList);
    setTabOrder(InfoList, RemoveObj);
    setTabOrder(RemoveObj, Win);

    m_preview = std::make_unique<PreviewMode>(m_project, m_commands, *m_surface, Win, InfoList);
    // Its lines are not in the button yet: the preview would run others.
    m_preview->blocked = [this] {
        return m_actions && m_actions->isVisible();
    };
}

void TForm1::connectMenus()
{
    connect(RemoveObj, &QPushButton::clicked, this, &TForm1::RemoveObjClick);
    connect(N2, &QAction::triggered, this, &TForm1::RemoveObjClick);

    connect(MMSave, &QAction::triggered, this, &TForm1::TBSaveClick);
    connect(MMSaveAs, &QAction::triggered, this, &TForm1::MMSaveAsClick);
    connect(MMLoad, &QAction::triggered, this, &TForm1::TBOpenClick);
    m_files->setRecentMenu(MMRecent);
    connect(MMSetting, &QAction::triggered, this, &TForm1::MMSettingClick);

    connect(MMUndo, &QAction::triggered, &m_project.history(), &QUndoStack::undo);
    connect(MMRedo, &QAction::triggered, &m_project.history(), &QUndoStack::redo);
    connect(MMCut, &QAction::triggered, this, &TForm1::MMCutClick);
    connect(MMPast, &QAction::triggered, this, &TForm1::MMPastClick);
    connect(MMCopy, &QAction::triggered, this, &TForm1::MMCopyClick);
    connect(MMDuplicate, &QAction::triggered, this, &TForm1::MMDuplicateClick);
    connect(MMSelectAll, &QAction::triggered, m_surface.get(), &DesignSurface::selectAll);
    const std::pair<QAction *, GroupAlign> aligns[] = {
        {MMAlignLeft, GroupAlign::Left},
        {MMAlignCentreX, GroupAlign::HorizontalCentre},
        {MMAlignRight, GroupAlign::Right},
        {MMAlignTop, GroupAlign::Top},
        {MMAlignCentreY, GroupAlign::VerticalCentre},
        {MMAlignBottom, GroupAlign::Bottom}};
    for (const auto &[action, how] : aligns) {
        connect(action, &QAction::triggered, this, [this, how] { m_surface->alignSelected(how); });
    }
    connect(MMDistributeX, &QAction::triggered, this,
            [this] { m_surface->distributeSelected(Qt::Horizontal); });
    connect(MMDistributeY, &QAction::triggered, this,
            [this] { m_surface->distributeSelected(Qt::Vertical); });
    // Lining up needs two objects, spreading three.
    connect(N4, &QMenu::aboutToShow, this, [this] {
        if (m_preview->panel())
            return;
        const size_t count = m_surface->selectedObjects().size();
        MMAlign->menuAction()->setEnabled(count >= 2);
        MMDistributeX->setEnabled(count >= 3);
        MMDistributeY->setEnabled(count >= 3);
    });
    connect(MMClear, &QAction::triggered, this, &TForm1::MMClearClick);
    connect(MMDelete, &QAction::triggered, this, &TForm1::RemoveObjClick);
    MMGuides->setChecked(m_preferences.guidesOn());
    m_surface->setGuidesOn(MMGuides->isChecked());
    connect(MMGuides, &QAction::triggered, this, &TForm1::MMGuidesClick);
    connect(MMCheck, &QAction::triggered, this, &TForm1::MMCheckClick);

    connect(MMNewPrj, &QAction::triggered, this, &TForm1::MMNewPrjClick);
    connect(m_files, &ProjectFileFlow::projectCleared, this, &TForm1::ResetObjectInfo);
    connect(MMNewBtn, &QAction::triggered, this, &TForm1::MMNewBtnClick);
    connect(MMNewPic, &QAction::triggered, this, &TForm1::MMNewPicClick);
    connect(MMNewTex, &QAction::triggered, this, &TForm1::MMNewTexClick);

    connect(MMGenCode, &QAction::triggered, this, &TForm1::MMGenCodeClick);
    connect(MMShowGenCode, &QAction::triggered, this, &TForm1::MMShowGenCodeClick);
    connect(MMUserCode, &QAction::triggered, this, &TForm1::MMUserCodeClick);
    connect(MMUpdateActions, &QAction::triggered, this, &TForm1::MMUpdateActionsClick);
    connect(MMPreview, &QAction::triggered, this, &TForm1::MMPreviewClick);
    // Offered only when some function would change, never while the actions
    // dialog holds a list that is not in its button yet, nor in preview.
    connect(N11, &QMenu::aboutToShow, this, [this] {
        MMUpdateActions->setEnabled(!m_preview->panel() && !(m_actions && m_actions->isVisible()) &&
                                    m_commands.scanActionFunctions().anythingToUpdate());
    });
    connect(MMKeys, &QAction::triggered, this, &TForm1::MMKeysClick);
    connect(FenMoth1, &QAction::triggered, this, &TForm1::FenMoth1Click);

    m_preview->setDisabled({MMSave, MMSaveAs, MMLoad, MMRecent->menuAction(), MMUpdateActions},
                           {N4, MMCreateList}, {ToolBar1, InfoList, ClassList, ObjList});
}

PreviewPanel *TForm1::preview() const
{
    return m_preview ? m_preview->panel() : nullptr;
}

void TForm1::restoreProject(ProjectReadResult read, const QString &fileName)
{
    m_files->restore(std::move(read), fileName);
}

void TForm1::create(ObjectKind kind)
{
    if (!m_surface->create(kind))
        dialogs().message(this, FullTableMessage(kind));
}

void TForm1::MMCopyClick()
{
    if (m_surface->selectedObjects().size() > 1)
        m_commands.copy(m_surface->selectedGroup());
    else if (const VellControl *object = m_surface->selectedObject())
        m_commands.copy(*object);
}

void TForm1::MMCutClick()
{
    if (m_surface->selectedObjects().size() > 1)
        m_commands.cut(m_surface->selectedGroup());
    else if (VellControl *object = m_surface->selectedObject())
        m_commands.cut(*object);
}

void TForm1::selectGroup(const ObjectGroup &group)
{
    m_surface->selectGroup(QList<VellControl *>(group.members.cbegin(), group.members.cend()),
                           group.primary);
}

void TForm1::MMPastClick()
{
    const ProjectCommands::Paste paste = m_commands.paste();
    if (paste.outcome == ObjectClipboard::PasteOutcome::TableFull)
        dialogs().message(this, FullTableMessage(paste.fullKind));
    else if (!paste.group.members.empty())
        selectGroup(paste.group);
}

void TForm1::MMDuplicateClick()
{
    const VellControl *selected = m_surface->selectedObject();
    if (!selected)
        return;
    if (m_surface->selectedObjects().size() > 1) {
        ObjectKind full = KindNone;
        const ObjectGroup copies = m_commands.duplicate(m_surface->selectedGroup(), &full);
        if (copies.members.empty())
            dialogs().message(this, FullTableMessage(full));
        else
            selectGroup(copies);
    } else if (VellControl *copy = m_commands.duplicate(*selected)) {
        m_surface->Select(*copy);
    } else {
        dialogs().message(this, FullTableMessage(selected->Kind));
    }
}

void TForm1::MMSettingClick()
{
    if (m_settings)
        m_settings->closeAndShow();
}

void TForm1::MMUserCodeClick()
{
    if (m_userCode)
        m_userCode->closeAndShow();
}

void TForm1::MMShowGenCodeClick()
{
    if (m_code)
        m_code->closeAndShow();
}

void TForm1::FenMoth1Click()
{
    if (m_about)
        m_about->closeAndShow();
}

void TForm1::MMGuidesClick(bool checked)
{
    m_preferences.setGuidesOn(checked);
    m_surface->setGuidesOn(checked);
}

void TForm1::MMCheckClick()
{
    if (!m_check) {
        m_check = new CheckWindow(this);
        connect(m_check, &CheckWindow::objectChosen, this, [this](const DesignFinding &finding) {
            // The object the finding was about, unless it has gone or moved
            // to another place since.
            VellControl *object = tables().object(finding.kind, finding.id);
            if (object && object->Name == finding.objectName)
                m_surface->Select(*object);
        });
        connect(m_check, &CheckWindow::userCodeLineChosen, this, [this](int line, int column) {
            if (m_userCode)
                m_userCode->showLine(line, column);
        });
        connect(m_check, &CheckWindow::settingChosen, this, [this](DesignFinding::Setting setting) {
            // The settings dialog on the page and field of the setting.
            if (!m_settings || !m_settings->closeAndShow())
                return;
            using Setting = DesignFinding::Setting;
            QLineEdit *edit = setting == Setting::ButtonVar    ? m_settings->ButtonVar
                              : setting == Setting::PictureVar ? m_settings->PictureVar
                              : setting == Setting::TextVar    ? m_settings->TextVar
                                                               : m_settings->UnitVar;
            QTabWidget *pages = m_settings->PageControl1;
            for (int i = 0; i < pages->count(); ++i) {
                if (pages->widget(i)->isAncestorOf(edit))
                    pages->setCurrentIndex(i);
            }
            edit->setFocus();
        });
    }
    m_check->setFindings(CheckDesign(m_project));
    m_check->show();
    m_check->raise();
    m_check->activateWindow();
}

void TForm1::MMGenCodeClick()
{
    if (!settings().vjass || !m_code)
        return;
    const GeneratorResult result = GenerateInterfaceCode(GeneratorInputFor(m_project));
    m_code->setArrayNames({settings().buttonVar, settings().pictureVar, settings().textVar});
    m_code->setCodeText(result.text);
    if (!result.ok()) {
        dialogs().error(this, result.error);
        return;
    }
    m_code->closeAndShow();
}

void TForm1::MMKeysClick()
{
    if (!m_keys)
        m_keys = new KeysWindow(this);
    m_keys->setKeys(
        ProgramKeys({this, m_settings, m_userCode, m_code, m_actions, m_about, m_check, m_keys}));
    m_keys->show();
    m_keys->raise();
    m_keys->activateWindow();
}

void TForm1::RecoloringTimerTimer()
{
    m_surface->recolourTick();
    if (TitleFor(m_project.state()))
        m_files->showTitle(m_project.state());
}

void TForm1::MMUpdateActionsClick()
{
    if (!(m_actions && m_actions->isVisible()))
        UpdateActionFunctionsAsked(this, m_commands);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!m_files->closeQuery()) {
        event->ignore();
        return;
    }
    if (m_settings)
        m_settings->storeAtExit();
    event->accept();
    emit closed();
}
