#include "codegen/gui/tform4.h"

#include "codegen/gui/codeview.h"
#include "common/gui/findbar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QToolBar>

namespace {
constexpr int kOuterWidth = 509;
constexpr int kOuterHeight = 409;
} // namespace

TForm4::TForm4(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Код интерфейса"));

    // A light view: full tables give some 100,000 lines, which a text
    // document would take a quarter of a second to lay out.
    Code = new CodeView(this);
    Code->setObjectName(QStringLiteral("Code"));
    setCentralWidget(Code);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("Правка"));
    MMSelectAll = edit->addAction(QStringLiteral("Выделить все"));
    MMSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(MMSelectAll, &QAction::triggered, this, &TForm4::TBSelectAllClick);
    // The view handles Ctrl+C itself while it has the focus; the item is
    // for those who look for copying in the menu.
    MMCopy = edit->addAction(QStringLiteral("Копировать"));
    MMCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    MMCopy->setEnabled(false);
    connect(MMCopy, &QAction::triggered, Code, &CodeView::copy);
    connect(Code, &CodeView::copyAvailable, MMCopy, &QAction::setEnabled);

    Find = new FindBar({[this] { return Code->text(); }, [this] { return Code->selectionRange(); },
                        [this](qsizetype from, qsizetype to) {
                            Code->selectRange(from, to);
                        }},
                       this);
    m_findArea = new QToolBar(QStringLiteral("FindArea"), this);
    m_findArea->setObjectName(QStringLiteral("FindArea"));
    m_findArea->setMovable(false);
    m_findArea->setFloatable(false);
    m_findArea->toggleViewAction()->setVisible(false);
    m_findArea->addWidget(Find);
    m_findArea->hide();
    addToolBar(Qt::BottomToolBarArea, m_findArea);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(Find, &FindBar::opened, m_findArea, &QWidget::show);
    connect(Find, &FindBar::closed, this, [this] {
        m_findArea->hide();
        Code->setFocus();
    });

    edit->addSeparator();
    const FindBar::MenuItems findItems = Find->addMenuItems(edit);
    MMFind = findItems.find;
    MMFindNext = findItems.next;
    MMFindPrevious = findItems.previous;
    MMGoToLine =
        edit->addAction(QStringLiteral("Перейти к строке…"), this, &TForm4::MMGoToLineClick);
    MMGoToLine->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));

    // The frame is not known before the window is shown; the size is corrected
    // to the outer size on the first show.
    resize(kOuterWidth, kOuterHeight);
    move(448, 325);
}

void TForm4::setCodeText(const QString &text)
{
    Code->setText(text);
    Find->forgetCount();
}

void TForm4::setArrayNames(const QStringList &names)
{
    Code->setArrayNames(names);
}

void TForm4::MMGoToLineClick()
{
    if (const std::optional<int> line = AskGoToLine(this, Code->lineCount(), Code->caretLine()))
        Code->goToLine(*line);
}

void TForm4::closeAndShow()
{
    if (isVisible())
        close();
    show();
    raise();
    activateWindow();
}

void TForm4::TBSelectAllClick()
{
    Code->selectAll();
}

void TForm4::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_outerSizeFixed)
        return;
    m_outerSizeFixed = true;
    const QSize frame = frameGeometry().size() - geometry().size();
    if (frame.width() > 0 || frame.height() > 0)
        resize(kOuterWidth - frame.width(), kOuterHeight - frame.height());
}
