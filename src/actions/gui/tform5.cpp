#include "actions/gui/tform5.h"

#include "common/gui/dialogs.h"
#include "common/gui/onelineedit.h"
#include "model/actiontext.h"
#include "project/project.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTreeWidget>

#include <algorithm>
#include <limits>

using namespace vell;

namespace {

const QString kShowKind = QStringLiteral("Отобразить объект");
const QString kEchoKind = QStringLiteral("ECHO тест");

// The six images of the tree: 1 shows or hides, 3 is the root, 5 a message;
// the others stay unused.
QIcon treeImage(int index)
{
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case kShowHideIcon: // an eye
        p.setPen(QPen(QColor(30, 60, 120), 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(1.5, 4.5, 13, 7));
        p.setBrush(QColor(30, 60, 120));
        p.drawEllipse(QRectF(5.5, 5.5, 5, 5));
        break;
    case kRootIcon: // a lightning bolt
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 160, 20));
        p.drawPolygon(QPolygonF({{9, 1}, {3, 9}, {7.5, 9}, {6, 15}, {13, 6}, {8.5, 6}}));
        break;
    case kMessageIcon: // a speech bubble
        p.setPen(QPen(QColor(40, 110, 40), 1.2));
        p.setBrush(QColor(220, 245, 220));
        p.drawRoundedRect(QRectF(1.5, 2.5, 13, 8.5), 2.5, 2.5);
        p.drawLine(QPointF(4.5, 11), QPointF(3.5, 14.5));
        break;
    default:
        break;
    }
    return QIcon(pix);
}

} // namespace

TForm5::TForm5(Project &project, QWidget *parent) : QDialog(parent), m_project(project)
{
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Действия"));
    setModal(false);
    setFixedSize(749, 385);
    move(291, 123);

    Actions = new QTreeWidget(this);
    Actions->setObjectName(QStringLiteral("Actions"));
    Actions->setGeometry(184, 8, 553, 305);
    Actions->setHeaderHidden(true);
    Actions->setIndentation(19);
    Actions->setIconSize(QSize(16, 16));
    // Every node is one line with an image of the same size; the view then
    // need not measure each of a hundred thousand.
    Actions->setUniformRowHeights(true);
    // Each image is drawn once and shared by all nodes (drawing one per node
    // made a long list take seconds to open).
    for (int i = 0; i < int(std::size(m_treeImages)); ++i)
        m_treeImages[i] = treeImage(i);

    SaveFunc = new QPushButton(QStringLiteral("Применить"), this);
    SaveFunc->setObjectName(QStringLiteral("SaveFunc"));
    SaveFunc->setGeometry(664, 320, 75, 25);
    SaveFunc->setAutoDefault(false);
    connect(SaveFunc, &QPushButton::clicked, this, &QWidget::close);

    GroupBox1 = new QGroupBox(QStringLiteral("Добавить действие"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 169, 337);

    Label1 = new QLabel(QStringLiteral("Действие"), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(16, 16);

    ActionName = new QComboBox(GroupBox1);
    ActionName->setObjectName(QStringLiteral("ActionName"));
    ActionName->setGeometry(16, 32, 145, 21);
    ActionName->addItems({kShowKind, kEchoKind});
    ActionName->installEventFilter(this);
    connect(ActionName, &QComboBox::currentIndexChanged, this, &TForm5::ActionNameChange);

    LabelName = new QLabel(QStringLiteral("Имя"), GroupBox1);
    LabelName->setObjectName(QStringLiteral("LabelName"));
    LabelName->move(16, 64);

    ObjName = new QComboBox(GroupBox1);
    ObjName->setObjectName(QStringLiteral("ObjName"));
    ObjName->setEditable(true);
    ObjName->setInsertPolicy(QComboBox::NoInsert);
    // A name in another letter case names no object: it is neither completed
    // nor, when the focus leaves, replaced by the known name it resembles.
    ObjName->completer()->setCaseSensitivity(Qt::CaseSensitive);
    ObjName->setGeometry(16, 80, 145, 21);
    // Object names are made of Latin letters, digits and underscores; other
    // characters stay out, typed or pasted.
    ObjName->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[A-Za-z0-9_]*")), ObjName));
    // Names and messages of any length are kept whole (a line edit cuts at
    // 32,767 characters).
    ObjName->lineEdit()->setMaxLength(std::numeric_limits<int>::max());

    ChekedBtn = new QCheckBox(QStringLiteral("Показать"), GroupBox1);
    ChekedBtn->setObjectName(QStringLiteral("ChekedBtn"));
    ChekedBtn->setGeometry(16, 112, 81, 17);

    // The message becomes one line of the button's actions and of the files.
    Param3 = new OneLineEdit(QString(), GroupBox1);
    Param3->setObjectName(QStringLiteral("Param3"));
    Param3->setGeometry(8, 80, 153, 21);
    Param3->hide();

    ToolTip = new QLabel(GroupBox1);
    ToolTip->setObjectName(QStringLiteral("ToolTip"));
    ToolTip->setGeometry(8, 232, 153, 65);
    ToolTip->setWordWrap(true);
    ToolTip->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    AddFunc = new QPushButton(QStringLiteral("Добавить"), GroupBox1);
    AddFunc->setObjectName(QStringLiteral("AddFunc"));
    AddFunc->setGeometry(88, 304, 75, 25);
    AddFunc->setAutoDefault(false);
    connect(AddFunc, &QPushButton::clicked, this, &TForm5::AddFuncClick);

    ActionName->setCurrentIndex(0);
    ActionNameChange();
    m_root = new QTreeWidgetItem(Actions, {QStringLiteral("Действие")});
    m_root->setIcon(0, m_treeImages[kRootIcon]);

    connect(&m_project, &Project::knownObjectNamesChanged, this, [this] {
        // Filling a box with thousands of names is slow; a hidden dialog
        // gets them when it is shown.
        m_namesStale = true;
        if (isVisible())
            fillObjectNames();
    });
}

const QStringList &TForm5::KnownObjectNames() const
{
    return m_project.KnownObjectNames();
}

void TForm5::fillObjectNames()
{
    if (!m_namesStale)
        return;
    m_namesStale = false;
    const QString typed = ObjName->currentText();
    ObjName->clear();
    ObjName->addItems(KnownObjectNames());
    ObjName->setEditText(typed);
}

void TForm5::showEvent(QShowEvent *event)
{
    fillObjectNames();
    QDialog::showEvent(event);
}

void TForm5::ActionNameChange()
{
    const bool show = ActionName->currentIndex() == 0;
    ChekedBtn->setVisible(show);
    ObjName->setVisible(show);
    Param3->setVisible(!show);
    if (show) {
        ToolTip->setText(QStringLiteral("Показывает или скрывает выбраный объект"));
        ChekedBtn->setText(QStringLiteral("Показать"));
        LabelName->setText(QStringLiteral("Имя"));
    } else {
        ToolTip->setText(
            QStringLiteral("Отображает сообщение всем игрокам, часто подходит для проверок"));
        LabelName->setText(QStringLiteral("Сообщение"));
        Param3->setGeometry(8, 80, 153, Param3->height());
        Param3->clear();
    }
    LabelName->adjustSize();
}

bool TForm5::addRecord(const ActionView &view)
{
    if (view.kind == ActionKind::None)
        return true;
    if (m_table.isFull()) {
        dialogs().message(this,
                          QStringLiteral("Нельзя добавить действие: в списке уже %1 действий.")
                              .arg(ActionTable::Capacity));
        return false;
    }
    // New actions always go last under the root, whatever is selected.
    auto *node = new QTreeWidgetItem;
    recordNode(node, view);
    m_root->addChild(node);
    return true;
}

void TForm5::recordNode(QTreeWidgetItem *node, const ActionView &view)
{
    showView(node, view);
    m_table.add(view.line, node);
}

void TForm5::showView(QTreeWidgetItem *node, const ActionView &view)
{
    node->setText(0, view.caption);
    node->setIcon(0, m_treeImages[view.icon]);
}

void TForm5::LoadInfo(QStringList &list)
{
    // The root leaves the view while its nodes change and comes back with
    // all of them: node by node, the view would hear of each. The nodes of
    // the last list serve the new one (deleting a hundred thousand nodes and
    // making as many anew took most of the time of opening a long list).
    Actions->takeTopLevelItem(0);
    QList<QTreeWidgetItem *> nodes = m_root->takeChildren();
    nodes.reserve(int(std::min<qsizetype>(list.size(), ActionTable::Capacity)));
    qsizetype used = 0;
    m_unshownActions = m_table.load(list, [&](const ActionView &view) {
        if (used == nodes.size())
            nodes.append(new QTreeWidgetItem);
        showView(nodes[used], view);
        return static_cast<const void *>(nodes[used++]);
    });
    qDeleteAll(nodes.begin() + used, nodes.end());
    nodes.resize(used);
    m_root->addChildren(nodes);
    Actions->addTopLevelItem(m_root);
    m_root->setExpanded(true);
    list.clear();
}

void TForm5::openFor(const QStringList &lines)
{
    hide();
    // The tree starts afresh on each opening (not when the user merely comes
    // back to the dialog). It is filled while the dialog is hidden: the view
    // then lays out the new nodes only, not the old ones first.
    m_table.ClearActionTable();
    QStringList copy = lines;
    LoadInfo(copy);
    show();
    raise();
    activateWindow();
    if (m_unshownActions > 0) {
        dialogs().message(
            this,
            QStringLiteral("Показаны первые %1 действий из %2; остальные сохраняются без изменений")
                .arg(ActionTable::Capacity)
                .arg(ActionTable::Capacity + m_unshownActions));
    }
}

bool TForm5::IsKnownObjectName(const QString &text) const
{
    return KnownObjectNames().contains(text);
}

void TForm5::AddFuncClick()
{
    if (ActionName->currentIndex() == 0)
        AddShowAction();
    else
        AddEchoAction();
}

void TForm5::AddShowAction()
{
    const QString name = ObjName->currentText();
    if (!IsKnownObjectName(name)) {
        dialogs().message(this, QStringLiteral("Объект не указан или не существует"));
        return;
    }
    if (addRecord(ShowHideAction(ChekedBtn->isChecked() ? QStringLiteral("t") : QStringLiteral("f"),
                                 name)))
        m_root->setExpanded(true);
}

void TForm5::AddEchoAction()
{
    if (Param3->text().isEmpty()) {
        dialogs().message(this, QStringLiteral("Нужно указать текст сообщения"));
        return;
    }
    if (addRecord(MessageAction(Param3->text())))
        m_root->setExpanded(true);
}

void TForm5::done(int result)
{
    // Apply, the close box and Escape all end here: the lines go back.
    const bool open = isVisible();
    QDialog::done(result);
    if (!open)
        return;
    ActionResult = m_table.CollectActionLines();
    m_table.ClearActionTable();
    emit handedBack(ActionResult);
}

bool TForm5::eventFilter(QObject *watched, QEvent *event)
{
    // The kind is only chosen from the list: typed characters are dropped.
    if (watched == ActionName && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (!text.isEmpty() && text.at(0).isPrint())
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
