#include "codegen/tform4.h"

#include "common/exacttext.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTextCursor>
#include <QTextDocument>

namespace {
constexpr int kOuterWidth = 509;
constexpr int kOuterHeight = 409;

// Copies and drags exactly the characters shown; the default copy would turn
// no-break spaces into ordinary ones.
class ExactCopyEdit : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    QMimeData *createMimeDataFromSelection() const override
    {
        auto *data = new QMimeData;
        data->setText(vell::ExactSelectedText(textCursor()));
        return data;
    }
};
} // namespace

TForm4::TForm4(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Код интерфейса"));

    Code = new ExactCopyEdit(this);
    Code->setObjectName(QStringLiteral("Code"));
    Code->setReadOnly(true);
    // Read-only text is only mouse-selectable by default; the keyboard must
    // reach the selection too, for Ctrl+A and the copy shortcut.
    Code->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Code->setLineWrapMode(QPlainTextEdit::NoWrap);
    Code->setWordWrapMode(QTextOption::NoWrap);
    Code->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Code->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Code->setUndoRedoEnabled(false);
    setCentralWidget(Code);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("Правка"));
    MMSelectAll = edit->addAction(QStringLiteral("Выделить все"));
    MMSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(MMSelectAll, &QAction::triggered, this, &TForm4::TBSelectAllClick);

    // The frame is not known before the window is shown; the size is corrected
    // to the outer size on the first show.
    resize(kOuterWidth, kOuterHeight);
    move(448, 325);
}

void TForm4::setCodeLines(const QStringList &lines)
{
    setCodeText(lines.join(QLatin1Char('\n')));
}

void TForm4::setCodeText(const QString &text)
{
    // One document rebuild instead of one per line.
    Code->setPlainText(text);
}

QStringList TForm4::codeLines() const
{
    // The raw text keeps non-breaking spaces that toPlainText would turn into
    // ordinary ones.
    const QString text = Code->document()->toRawText();
    if (text.isEmpty())
        return {};
    return text.split(QChar::ParagraphSeparator);
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
