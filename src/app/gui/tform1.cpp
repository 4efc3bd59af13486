#include "app/gui/tform1.h"

#include "actions/actionemission.h"
#include "actions/gui/tform5.h"
#include "app/gui/checkwindow.h"
#include "app/gui/dialogs.h"
#include "app/gui/keyswindow.h"
#include "app/gui/taboutbox.h"
#include "codegen/designinput.h"
#include "codegen/gui/tform4.h"
#include "common/labelfont.h"
#include "common/textforms.h"
#include "common/vellerror.h"
#include "designer/gui/designpanel.h"
#include "designer/gui/previewpanel.h"
#include "project/designcheck.h"
#include "project/projectfile.h"
#include "properties/gui/propertygrid.h"
#include "settings/gui/tform2.h"
#include "usercode/gui/tform3.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <limits>

using namespace vell;

namespace {

// The object box: its list is filled each time it drops down.
class ObjectBox : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

QIcon toolImage(int index)
{
    static const char *const files[] = {"create_button", "create_picture", "create_text",
                                        "save",          "save_as",        "load"};
    return QIcon(QStringLiteral(":/images/%1.png").arg(QLatin1String(files[index])));
}

const QString kProjectFilter = QStringLiteral("Vell project (*.vlp)");
// The widest a recent project's entry is; a longer path loses its middle.
constexpr int kRecentEntryWidth = 500;
const QString kUnsavedQuestion = QStringLiteral(
    "Этот проект еще не был сохранен. Хотите ли вы его сохранить перед его закрытием?");

// A character typed into a box (as opposed to keys such as arrows).
bool typesCharacter(const QKeyEvent *event)
{
    return !event->text().isEmpty() &&
           (event->text().at(0).isPrint() || event->key() == Qt::Key_Backspace);
}

} // namespace

TForm1::TForm1(Project &project, QWidget *parent)
    : QMainWindow(parent), m_project(project), m_commands(project)
{
    static const bool resources = [] {
        Q_INIT_RESOURCE(gui);
        return true;
    }();
    Q_UNUSED(resources);

    setObjectName(QStringLiteral("TForm1"));
    showTitle(ProjectState{});
    setFont(LabelFont());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_surface = std::make_unique<DesignSurface>(m_project, m_commands);

    createControls();
    createMenus();
    createToolBar();

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

    connect(m_surface.get(), &DesignSurface::propertiesShown, this, &TForm1::ShowProperties);
    connect(m_surface.get(), &DesignSurface::objectInfoReset, this, &TForm1::ResetObjectInfo);
    connect(&m_project, &Project::settingsChanged, this, [this] { m_surface->recolourButtons(); });
    // A selected object set back or forth by the history shows its fields.
    connect(&m_project, &Project::objectChanged, this, [this](VellControl *object) {
        if (object == m_surface->selectedObject())
            m_surface->Select(*object);
    });
    connect(&m_project, &Project::objectAboutToBeRemoved, this, [this](const VellControl *object) {
        if (!object || object == m_actionsButton)
            m_actionsButton = nullptr;
    });
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
    connect(m_actions, &TForm5::handedBack, this, &TForm1::ActionsHandedBack);
}

void TForm1::createControls()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("clientArea"));
    central->setFixedSize(883, 533);
    setCentralWidget(central);

    ToolBar1 = new QToolBar(central);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, 883, 33);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);

    GroupBox1 = new QGroupBox(QStringLiteral("GroupBox1"), central);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 40, 225, 465);

    ClassList = new QComboBox(GroupBox1);
    ClassList->setObjectName(QStringLiteral("ClassList"));
    ClassList->setGeometry(8, 32, 201, 21);
    for (const ObjectKind kind : kObjectKinds)
        ClassList->addItem(KindBoxText(kind));
    ClassList->setCurrentIndex(0);
    ClassList->installEventFilter(this);

    auto *objList = new ObjectBox(GroupBox1);
    ObjList = objList;
    ObjList->setObjectName(QStringLiteral("ObjList"));
    ObjList->setGeometry(8, 56, 201, 21);
    ObjList->setEditable(true);
    ObjList->setInsertPolicy(QComboBox::NoInsert);
    ObjList->lineEdit()->setReadOnly(true);
    // Names of any length are shown whole (and found again by what shows).
    ObjList->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    ObjList->setEditText(QStringLiteral("<объект не выбран>"));
    ObjList->installEventFilter(this);
    ObjList->lineEdit()->installEventFilter(this);
    objList->beforePopup = [this] {
        ObjListDropDown();
    };
    connect(ObjList, &QComboBox::activated, this, [this](int index) {
        ObjList->setEditText(ObjList->itemText(index));
        ObjListClick();
    });

    Label1 = new QLabel(QStringLiteral("ID:"), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(16, 96);
    Label1->adjustSize();
    ID = new QLabel(QStringLiteral("0"), GroupBox1);
    ID->setObjectName(QStringLiteral("ID"));
    ID->move(40, 96);
    ID->adjustSize();

    InfoList = new PropertyGrid(GroupBox1);
    InfoList->setGeometry(8, 120, 209, 305);
    InfoList->charFilter = [this](int row, const QString &value, TypedAt at, QChar c) {
        const VellControl *object = m_surface->selectedObject();
        return object && AcceptsTypedChar(object->Kind, row, value, at, c);
    };
    connect(InfoList, &PropertyGrid::keyReleased, this, &TForm1::InfoListKeyUp);
    connect(InfoList, &PropertyGrid::pickChosen, this, &TForm1::InfoListSetEditText);
    connect(InfoList, &PropertyGrid::ellipsisClicked, this, &TForm1::InfoListEditButtonClick);

    RemoveObj = new QPushButton(QStringLiteral("Удалить"), GroupBox1);
    RemoveObj->setObjectName(QStringLiteral("RemoveObj"));
    RemoveObj->setGeometry(72, 432, 75, 25);
    connect(RemoveObj, &QPushButton::clicked, this, &TForm1::RemoveObjClick);

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

    ObjPopumMenu = new QMenu(this);
    ObjPopumMenu->setObjectName(QStringLiteral("ObjPopumMenu"));
    N2 = ObjPopumMenu->addAction(QStringLiteral("Удалить"));
    N2->setObjectName(QStringLiteral("N2"));
    connect(N2, &QAction::triggered, this, &TForm1::RemoveObjClick);
    Win->setPopupMenu(ObjPopumMenu);

    // After "Удалить" come the design panel and the tool bar's buttons. A
    // click on the panel gives it the focus too (see DesignPanel).
    Win->setFocusPolicy(Qt::TabFocus);
    setTabOrder(ClassList, ObjList);
    setTabOrder(ObjList, InfoList);
    setTabOrder(InfoList, RemoveObj);
    setTabOrder(RemoveObj, Win);
}

void TForm1::createMenus()
{
    QMenuBar *bar = menuBar();
    const auto item = [](QMenu *menu, const char *name, const QString &caption,
                         const QKeySequence &shortcut, int image) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        if (image >= 0)
            action->setIcon(toolImage(image));
        return action;
    };
    const auto separator = [](QMenu *menu, const char *name) {
        QAction *action = menu->addSeparator();
        action->setObjectName(QLatin1String(name));
        return action;
    };

    N1 = bar->addMenu(QStringLiteral("Файл"));
    N1->setObjectName(QStringLiteral("N1"));
    MMSave =
        item(N1, "MMSave", QStringLiteral("Сохранить"), QKeySequence(QStringLiteral("Ctrl+S")), 3);
    MMSaveAs = item(N1, "MMSaveAs", QStringLiteral("Сохранить как..."),
                    QKeySequence(QStringLiteral("Ctrl+Alt+S")), 4);
    MMLoad =
        item(N1, "MMLoad", QStringLiteral("Загрузить"), QKeySequence(QStringLiteral("Ctrl+O")), 5);
    connect(MMSave, &QAction::triggered, this, &TForm1::TBSaveClick);
    connect(MMSaveAs, &QAction::triggered, this, &TForm1::MMSaveAsClick);
    connect(MMLoad, &QAction::triggered, this, &TForm1::TBOpenClick);
    MMRecent = N1->addMenu(QStringLiteral("Последние проекты"));
    MMRecent->setObjectName(QStringLiteral("MMRecent"));
    MMRecent->menuAction()->setObjectName(QStringLiteral("MMRecent"));
    // A shortened entry shows its whole path as its tip.
    MMRecent->setToolTipsVisible(true);
    // Read anew on opening: another copy of the program may have changed it.
    connect(MMRecent, &QMenu::aboutToShow, this, &TForm1::showRecentProjects);
    showRecentProjects();
    N16 = separator(N1, "N16");
    N16->setEnabled(false);
    MMSetting = item(N1, "MMSetting", QStringLiteral("Настройки..."), QKeySequence(Qt::Key_F2), -1);
    connect(MMSetting, &QAction::triggered, this, &TForm1::MMSettingClick);

    N4 = bar->addMenu(QStringLiteral("Правка"));
    N4->setObjectName(QStringLiteral("N4"));
    MMUndo = item(N4, "MMUndo", QStringLiteral("Отменить"), QKeySequence::Undo, -1);
    MMRedo = item(N4, "MMRedo", QStringLiteral("Повторить"), QKeySequence(), -1);
    MMRedo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    QUndoStack &history = m_project.history();
    const auto showHistory = [this, &history] {
        MMUndo->setEnabled(history.canUndo());
        MMUndo->setText(history.canUndo() ? QStringLiteral("Отменить: ") + history.undoText()
                                          : QStringLiteral("Отменить"));
        MMRedo->setEnabled(history.canRedo());
        MMRedo->setText(history.canRedo() ? QStringLiteral("Повторить: ") + history.redoText()
                                          : QStringLiteral("Повторить"));
    };
    connect(&history, &QUndoStack::indexChanged, this, showHistory);
    connect(&history, &QUndoStack::cleanChanged, this, showHistory);
    showHistory();
    connect(MMUndo, &QAction::triggered, &history, &QUndoStack::undo);
    connect(MMRedo, &QAction::triggered, &history, &QUndoStack::redo);
    separator(N4, "N20");
    MMCut =
        item(N4, "MMCut", QStringLiteral("Вырезать"), QKeySequence(QStringLiteral("Ctrl+X")), -1);
    connect(MMCut, &QAction::triggered, this, &TForm1::MMCutClick);
    MMPast =
        item(N4, "MMPast", QStringLiteral("Вставить"), QKeySequence(QStringLiteral("Ctrl+V")), -1);
    connect(MMPast, &QAction::triggered, this, &TForm1::MMPastClick);
    MMCopy = item(N4, "MMCopy", QStringLiteral("Копировать"),
                  QKeySequence(QStringLiteral("Ctrl+C")), -1);
    connect(MMCopy, &QAction::triggered, this, &TForm1::MMCopyClick);
    // A shortcut of the window: it works while a grid cell is open too.
    MMDuplicate = item(N4, "MMDuplicate", QStringLiteral("Дублировать"),
                       QKeySequence(QStringLiteral("Ctrl+D")), -1);
    connect(MMDuplicate, &QAction::triggered, this, &TForm1::MMDuplicateClick);
    N9 = separator(N4, "N9");
    MMClear = item(N4, "MMClear", QStringLiteral("Очистить"), QKeySequence(), -1);
    connect(MMClear, &QAction::triggered, this, &TForm1::MMClearClick);
    MMDelete = item(N4, "MMDelete", QStringLiteral("Удалить"),
                    QKeySequence(QStringLiteral("Shift+Del")), -1);
    connect(MMDelete, &QAction::triggered, this, &TForm1::RemoveObjClick);
    // Choosing it changes nothing.
    MMBufClear = item(N4, "MMBufClear", QStringLiteral("Очистить буфер"), QKeySequence(), -1);
    // The user's own choice, kept with the preferences, not the project.
    MMGuides = item(N4, "MMGuides", QStringLiteral("Выравнивание по объектам"), QKeySequence(), -1);
    MMGuides->setCheckable(true);
    MMGuides->setChecked(m_preferences.guidesOn());
    m_surface->setGuidesOn(MMGuides->isChecked());
    connect(MMGuides, &QAction::triggered, this, &TForm1::MMGuidesClick);
    N17 = separator(N4, "N17");
    MMCheck = item(N4, "MMCheck", QStringLiteral("Проверить проект"), QKeySequence(), -1);
    connect(MMCheck, &QAction::triggered, this, &TForm1::MMCheckClick);

    MMCreateList = bar->addMenu(QStringLiteral("Создать"));
    MMCreateList->setObjectName(QStringLiteral("MMCreateList"));
    MMNewPrj = item(MMCreateList, "MMNewPrj", QStringLiteral("Проект"),
                    QKeySequence(QStringLiteral("Ctrl+N")), -1);
    connect(MMNewPrj, &QAction::triggered, this, &TForm1::MMNewPrjClick);
    N7 = separator(MMCreateList, "N7");
    MMNewBtn = item(MMCreateList, "MMNewBtn", QStringLiteral("Кнопка"),
                    QKeySequence(QStringLiteral("Shift+F1")), 0);
    connect(MMNewBtn, &QAction::triggered, this, &TForm1::MMNewBtnClick);
    MMNewPic = item(MMCreateList, "MMNewPic", QStringLiteral("Картинка"),
                    QKeySequence(QStringLiteral("Shift+F2")), 1);
    connect(MMNewPic, &QAction::triggered, this, &TForm1::MMNewPicClick);
    MMNewTex = item(MMCreateList, "MMNewTex", QStringLiteral("Текст"),
                    QKeySequence(QStringLiteral("Shift+F3")), 2);
    connect(MMNewTex, &QAction::triggered, this, &TForm1::MMNewTexClick);

    N11 = bar->addMenu(QStringLiteral("Код"));
    N11->setObjectName(QStringLiteral("N11"));
    MMGenCode =
        item(N11, "MMGenCode", QStringLiteral("Сгенерировать"), QKeySequence(Qt::Key_F3), -1);
    connect(MMGenCode, &QAction::triggered, this, &TForm1::MMGenCodeClick);
    MMShowGenCode = item(N11, "MMShowGenCode", QStringLiteral("Показать код"), QKeySequence(), -1);
    connect(MMShowGenCode, &QAction::triggered, this, &TForm1::MMShowGenCodeClick);
    MMUserCode = item(N11, "MMUserCode", QStringLiteral("Код пользователя"), QKeySequence(), -1);
    connect(MMUserCode, &QAction::triggered, this, &TForm1::MMUserCodeClick);
    MMUpdateActions = item(N11, "MMUpdateActions", QStringLiteral("Обновить функции действий"),
                           QKeySequence(), -1);
    connect(MMUpdateActions, &QAction::triggered, this, &TForm1::MMUpdateActionsClick);
    MMPreview =
        item(N11, "MMPreview", QStringLiteral("Предпросмотр"), QKeySequence(Qt::Key_F9), -1);
    connect(MMPreview, &QAction::triggered, this, &TForm1::MMPreviewClick);
    // Offered only when some function would change, never while the actions
    // dialog holds a list that is not in its button yet, nor in preview.
    connect(N11, &QMenu::aboutToShow, this, [this] {
        MMUpdateActions->setEnabled(!m_preview && !(m_actions && m_actions->isVisible()) &&
                                    m_commands.scanActionFunctions().anythingToUpdate());
    });

    MMHelp = bar->addMenu(QStringLiteral("Справка"));
    MMHelp->setObjectName(QStringLiteral("MMHelp"));
    MMKeys = item(MMHelp, "MMKeys", QStringLiteral("Клавиши"), QKeySequence(Qt::Key_F1), -1);
    connect(MMKeys, &QAction::triggered, this, &TForm1::MMKeysClick);

    // A menu-bar item without a drop-down: clicking it runs the command.
    FenMoth1 = bar->addAction(QStringLiteral("&Fen-Moth"));
    FenMoth1->setObjectName(QStringLiteral("FenMoth1"));
    connect(FenMoth1, &QAction::triggered, this, &TForm1::FenMoth1Click);
}

void TForm1::createToolBar()
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
        connect(b, &QToolButton::clicked, action, &QAction::trigger);
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
    QWidget *previous = Win;
    for (QWidget *b : {TBSave, TBOpen, TBCreateButton, TBCreatePicture, TBCreateText}) {
        setTabOrder(previous, b);
        previous = b;
    }
}

ObjectKind TForm1::KindFromClassList() const
{
    return KindFromText(ClassList->currentText());
}

void TForm1::create(ObjectKind kind)
{
    if (!m_surface->create(kind))
        dialogs().message(this, FullTableMessage(kind));
}

void TForm1::MMNewBtnClick()
{
    create(KindButton);
}

void TForm1::MMNewPicClick()
{
    create(KindPicture);
}

void TForm1::MMNewTexClick()
{
    create(KindText);
}

void TForm1::MMCopyClick()
{
    if (const VellControl *object = m_surface->selectedObject())
        m_commands.copy(*object);
}

void TForm1::MMCutClick()
{
    if (VellControl *object = m_surface->selectedObject())
        m_commands.cut(*object);
}

void TForm1::MMPastClick()
{
    if (m_commands.paste().outcome == ObjectClipboard::PasteOutcome::TableFull)
        dialogs().message(this, FullTableMessage(m_commands.clipboard().bufferKind()));
}

void TForm1::MMDuplicateClick()
{
    const VellControl *selected = m_surface->selectedObject();
    if (!selected)
        return;
    if (VellControl *copy = m_commands.duplicate(*selected))
        m_surface->Select(*copy);
    else
        dialogs().message(this, FullTableMessage(selected->Kind));
}

void TForm1::MMClearClick()
{
    m_surface->ClearAllObjects();
}

void TForm1::RemoveObjClick()
{
    m_surface->RemoveSelected();
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

void TForm1::FenMoth1Click()
{
    if (m_about)
        m_about->closeAndShow();
}

void TForm1::RecoloringTimerTimer()
{
    m_surface->recolourTick();
    if (TitleFor(m_project.state()))
        showTitle(m_project.state());
}

void TForm1::ObjListDropDown()
{
    const QString shown = ObjList->currentText();
    ObjList->clear();
    ObjList->addItems(tables().objectNames(KindFromClassList()));
    ObjList->setEditText(shown);
}

void TForm1::ObjListClick()
{
    if (VellControl *object =
            tables().FindObjectByName(KindFromClassList(), ObjList->currentText()))
        m_surface->Select(*object);
}

void TForm1::ShowProperties(VellControl *object)
{
    if (!object)
        return;
    // Shown again on every tick of a resize: what did not change is left.
    if (const QString kind = KindBoxText(object->Kind); ClassList->currentText() != kind)
        ClassList->setCurrentText(kind);
    if (ObjList->currentText() != object->Name)
        ObjList->setEditText(object->Name);
    InfoList->setRows(PropertyRowsFor(*object));
    const QString id = IntToText(object->Id);
    if (ID->text() != id) {
        ID->setText(id);
        ID->adjustSize();
    }
}

void TForm1::ResetObjectInfo()
{
    ObjList->setEditText(QStringLiteral("<объект не выбран>"));
    InfoList->clearRows();
    ID->setText(QStringLiteral("0"));
    ID->adjustSize();
}

void TForm1::InfoListKeyUp(int row, int key, Qt::KeyboardModifiers modifiers)
{
    Q_UNUSED(key);
    // Shift alone: the next key release (Shift's own, say) applies the edit.
    const Qt::KeyboardModifiers mods =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (mods == Qt::ShiftModifier && QGuiApplication::mouseButtons() == Qt::NoButton)
        return;
    VellControl *object = m_surface->selectedObject();
    if (!object)
        return;
    const ApplyOutcome outcome = m_commands.setRowValue(*object, row, InfoList->values());
    if (!outcome.error.isEmpty()) {
        dialogs().error(this, outcome.error);
        return;
    }
    if (outcome.changed) {
        // A size row sets both sizes, and an odd one loses its pixel: every
        // other row shows what the object now holds. The row being typed in
        // keeps the text as typed.
        const QList<PropertyRow> rows = PropertyRowsFor(*object);
        for (int r = 1; r <= rows.size(); ++r) {
            if (r != row && InfoList->GetRowValue(r) != rows[r - 1].value)
                InfoList->SetRowValue(rows[r - 1].value, r);
        }
    }
}

void TForm1::InfoListSetEditText(int row, const QString &value)
{
    VellControl *object = m_surface->selectedObject();
    if (!object || row != VisibilityRow(object->Kind))
        return;
    // Also when chosen with the mouse, or the change would be lost unasked.
    m_commands.setVisible(*object, TextToBool(value));
}

void TForm1::InfoListEditButtonClick(int row)
{
    VellControl *object = m_surface->selectedObject();
    if (!object)
        return;
    if (object->Kind == KindText && row == Row::TextColor) {
        const auto chosen = dialogs().chooseColor(this, m_surface->colorTextPreset(), false);
        if (chosen) {
            m_surface->setColorTextPreset(*chosen);
            InfoList->SetRowValue(ColorToText(*chosen), Row::TextColor);
            m_commands.setTextColor(static_cast<VellText &>(*object), *chosen);
            return;
        }
        m_commands.textColorKept();
    }
    if (object->Kind == KindButton && (row == Row::LeftClick || row == Row::RightClick))
        openActions(static_cast<VellButton &>(*object),
                    row == Row::LeftClick ? ClickSide::Left : ClickSide::Right);
}

void TForm1::openActions(VellButton &button, ClickSide side)
{
    if (!m_actions)
        return;
    // One list is edited at a time: an open dialog only comes to the front.
    if (m_actions->isVisible()) {
        m_actions->raise();
        m_actions->activateWindow();
        return;
    }
    m_actionsButton = &button;
    m_actionsSide = side;
    m_actions->openFor(side == ClickSide::Left ? button.LeftActions : button.RightActions);
}

void TForm1::ActionsHandedBack(const QStringList &lines)
{
    // Dropped when the button is gone meanwhile.
    VellButton *button = std::exchange(m_actionsButton, nullptr);
    if (!button || !m_commands.applyActions(*button, m_actionsSide, lines))
        return;
    if (m_surface->selectedObject() == button) {
        const bool left = m_actionsSide == ClickSide::Left;
        InfoList->SetRowValue(left ? button->LeftActionsFunction : button->RightActionsFunction,
                              left ? Row::LeftClick : Row::RightClick);
    }
}

namespace {

// Names for a message box: the first few, then how many more.
QString someNames(const QStringList &names)
{
    constexpr int kShown = 10;
    QString text = names.mid(0, kShown).join(QStringLiteral(", "));
    if (names.size() > kShown)
        text += QStringLiteral(" и еще %1").arg(names.size() - kShown);
    return text;
}

} // namespace

void TForm1::MMUpdateActionsClick()
{
    if (m_actions && m_actions->isVisible())
        return;
    const ActionFunctionScan scan = m_commands.scanActionFunctions();
    if (!scan.anythingToUpdate())
        return;
    const QString foreign =
        scan.foreign.isEmpty()
            ? QString()
            : QStringLiteral("\nКнопки, связанные с другими функциями, не меняются: %1.")
                  .arg(someNames(scan.foreign));
    if (!scan.stale.isEmpty()) {
        QStringList names;
        for (const ActionFunctionState &f : scan.stale)
            names.append(f.name);
        if (dialogs().ask(this, QStringLiteral("Функции будут заменены тем, что пишут списки "
                                               "действий; правки в них пропадут: %1.%2\n"
                                               "Обновить функции действий?")
                                    .arg(someNames(names), foreign)) != Answer::Yes) {
            return;
        }
    } else if (!foreign.isEmpty()) {
        dialogs().message(this, QStringLiteral("Недостающие функции действий будут добавлены.") +
                                    foreign);
    }
    m_commands.updateActionFunctions(scan);
}

void TForm1::showTitle(const ProjectState &state)
{
    // Set only when it differs: the refresh tick asks on every change.
    if (const QString title = titleOf(state); title != windowTitle())
        setWindowTitle(title);
}

bool TForm1::saveTo(const QString &path)
{
    // The file becomes the project's even when it cannot be written. Either
    // way the title names it as saved; changes that stay unsaved get their
    // mark back from the next refresh tick.
    const auto showSaved = [this] {
        showTitle(ProjectState{false, m_project.ProjectFileName()});
    };
    try {
        m_commands.save(path);
    } catch (const VellError &e) {
        showSaved();
        dialogs().error(this, e.message());
        return false;
    }
    showSaved();
    rememberProject(path);
    return true;
}

void TForm1::rememberProject(const QString &path)
{
    m_preferences.addRecentProject(path);
    showRecentProjects();
}

void TForm1::showRecentProjects()
{
    // The entries go later: one of them may be the command running now.
    for (QAction *entry : MMRecent->actions()) {
        MMRecent->removeAction(entry);
        entry->deleteLater();
    }
    const QStringList paths = m_preferences.recentProjects();
    if (paths.isEmpty())
        MMRecent->addAction(QStringLiteral("(пусто)"))->setEnabled(false);
    const QFontMetrics metrics(MMRecent->font());
    for (const QString &path : paths) {
        QString caption = metrics.elidedText(path, Qt::ElideMiddle, kRecentEntryWidth);
        QAction *entry = MMRecent->addAction(caption.replace(u'&', QStringLiteral("&&")));
        entry->setToolTip(path);
        entry->setStatusTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { MMRecentClick(path); });
    }
}

void TForm1::TBSaveClick()
{
    QString path = m_project.ProjectFileName();
    if (path.isEmpty()) {
        const QString chosen = dialogs().saveFileName(this, kProjectFilter);
        if (chosen.isEmpty())
            return;
        path = WithProjectExtension(chosen);
    }
    saveTo(path);
}

bool TForm1::SaveProjectAs()
{
    const std::optional<QString> name = chooseSaveName(
        this, kProjectFilter, QStringLiteral("Вы хотите заменить выбранный файл на текущий?"),
        WithProjectExtension);
    return name && saveTo(*name);
}

void TForm1::MMSaveAsClick()
{
    SaveProjectAs();
}

bool TForm1::saveBeforeOpening()
{
    while (m_project.ProjectModified()) {
        const Answer answer = dialogs().confirm(this, kUnsavedQuestion);
        if (answer == Answer::Cancel)
            return false;
        if (answer == Answer::No)
            break;
        SaveProjectAs();
    }
    return true;
}

void TForm1::TBOpenClick()
{
    if (!saveBeforeOpening())
        return;
    const QString chosen = dialogs().openFileName(this, kProjectFilter);
    if (chosen.isEmpty())
        return;
    openProject(chosen);
}

void TForm1::openFromCommandLine(const QString &path)
{
    // Bytes the system's file-name encoding cannot decode came in as the
    // replacement character: no file of that name can be opened.
    if (path.contains(QChar::ReplacementCharacter)) {
        dialogs().error(this, QStringLiteral("Имя файла \"%1\" не в кодировке системы (UTF-8); "
                                             "переименуйте файл")
                                  .arg(path));
        return;
    }
    // A restored copy is unsaved work: asked about as before any opening.
    if (!saveBeforeOpening())
        return;
    openProject(QFileInfo(path).absoluteFilePath());
}

void TForm1::MMRecentClick(const QString &path)
{
    // A file gone since is only taken off the list: the open project stays,
    // so nothing is asked about it.
    if (!QFileInfo::exists(path)) {
        m_preferences.removeRecentProject(path);
        showRecentProjects();
        dialogs().error(this,
                        QStringLiteral("Файл \"%1\" не найден; он убран из списка.").arg(path));
        return;
    }
    if (!saveBeforeOpening())
        return;
    openProject(path);
}

void TForm1::openProject(const QString &path)
{
    const ProjectLoad load = m_commands.open(path);
    switch (load.outcome) {
    case ProjectLoad::Outcome::Unreadable:
        dialogs().error(this, load.message);
        return;
    case ProjectLoad::Outcome::Rejected:
        dialogs().message(this, load.message);
        return;
    case ProjectLoad::Outcome::Partial:
        showTitle(m_project.state());
        dialogs().error(this, load.message);
        return;
    case ProjectLoad::Outcome::Loaded:
        showTitle(m_project.state());
        rememberProject(path);
        return;
    }
}

void TForm1::MMPreviewClick()
{
    if (m_preview)
        leavePreview();
    else
        enterPreview();
}

void TForm1::enterPreview()
{
    // Its lines are not in the button yet: the preview would run others.
    if (m_actions && m_actions->isVisible()) {
        dialogs().message(this, QStringLiteral("Предпросмотр недоступен, пока открыт диалог "
                                               "действий."));
        return;
    }
    Win->cancelPointerWork();
    InfoList->closeOpenEditor();
    m_actionsBeforePreview.clear();
    m_widgetsBeforePreview.clear();
    std::vector<QAction *> actions{MMSave, MMSaveAs, MMLoad, MMRecent->menuAction(),
                                   MMUpdateActions};
    for (QMenu *menu : {N4, MMCreateList}) {
        actions.push_back(menu->menuAction());
        for (QAction *a : menu->actions())
            actions.push_back(a);
    }
    for (QAction *a : actions) {
        m_actionsBeforePreview.emplace_back(a, a->isEnabled());
        a->setEnabled(false);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{ToolBar1, InfoList, ClassList, ObjList}) {
        m_widgetsBeforePreview.emplace_back(w, w->isEnabled());
        w->setEnabled(false);
    }
    const Settings &s = m_project.settings();
    m_preview =
        std::make_unique<PreviewPanel>(m_surface->drawing(), s.buttonColor, s.pictureColor, Win);
    connect(m_preview.get(), &PreviewPanel::leaveRequested, this, &TForm1::leavePreview);
    m_preview->show();
    m_preview->setFocus();
    if (!m_commands.scanActionFunctions().stale.isEmpty())
        m_preview->say(
            QStringLiteral("Функции действий устарели: Код → Обновить функции действий"));
}

void TForm1::leavePreview()
{
    if (!m_preview)
        return;
    // Deleted later: the leave may come from the panel's own key handler.
    m_preview.release()->deleteLater();
    for (const auto &[a, enabled] : m_actionsBeforePreview)
        a->setEnabled(enabled);
    for (const auto &[w, enabled] : m_widgetsBeforePreview)
        w->setEnabled(enabled);
    m_actionsBeforePreview.clear();
    m_widgetsBeforePreview.clear();
    Win->setFocus();
}

void TForm1::restoreProject(ProjectReadResult read, const QString &fileName)
{
    m_commands.restore(std::move(read), fileName);
    showTitle(m_project.state());
}

void TForm1::MMNewPrjClick()
{
    if (m_project.ProjectModified()) {
        const Answer answer = dialogs().confirm(this, kUnsavedQuestion);
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::Yes) {
            // The project stays open, saved if the user completed the save.
            SaveProjectAs();
            return;
        }
    }
    m_commands.newProject();
    ResetObjectInfo();
    showTitle(m_project.state());
}

bool TForm1::FormCloseQuery()
{
    if (!m_project.ProjectModified())
        return true;
    switch (dialogs().confirm(this, QStringLiteral("Этот проект еще не был сохранен. Хотите ли вы "
                                                   "его сохранить перед завершение программы?"))) {
    case Answer::Yes:
        // The window stays open when the design was not saved after all.
        return SaveProjectAs();
    case Answer::No:
        return true;
    case Answer::Cancel:
        return false;
    }
    return false;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    if (m_settings)
        m_settings->storeAtExit();
    event->accept();
    emit closed();
}

bool TForm1::ObjListKeyDown(const QKeyEvent *event)
{
    const int count = ObjList->count();
    if (count == 0)
        return false;
    // Navigation starts from the entry the box shows, or from before the
    // first one when it shows none (such as "<объект не выбран>").
    const int shown = ObjList->findText(ObjList->currentText(), Qt::MatchExactly);
    int next = shown;
    switch (event->key()) {
    case Qt::Key_Down:
        next = std::min(shown + 1, count - 1);
        break;
    case Qt::Key_Up:
        next = shown < 0 ? count - 1 : std::max(shown - 1, 0);
        break;
    case Qt::Key_Home:
    case Qt::Key_PageUp:
        next = 0;
        break;
    case Qt::Key_End:
    case Qt::Key_PageDown:
        next = count - 1;
        break;
    default:
        return false;
    }
    if (next != shown) {
        ObjList->setCurrentIndex(next);
        ObjList->setEditText(ObjList->itemText(next));
        ObjListClick();
    }
    return true;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // The object box's read-only text field would take Ctrl+C for its own
    // text; there, as everywhere outside a grid cell, it copies the object.
    if (event->type() == QEvent::ShortcutOverride &&
        (watched == ObjList || watched == ObjList->lineEdit())) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Undo) ||
            key->matches(QKeySequence::Redo)) {
            event->ignore();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress &&
        (watched == ObjList || watched == ObjList->lineEdit()) && !ObjList->view()->isVisible() &&
        ObjListKeyDown(static_cast<QKeyEvent *>(event)))
        return true;
    // Characters typed into the kind box or the object box are discarded;
    // arrows and other keys work as usual.
    if (event->type() == QEvent::KeyPress &&
        (watched == ClassList || watched == ObjList || watched == ObjList->lineEdit()) &&
        typesCharacter(static_cast<QKeyEvent *>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}
