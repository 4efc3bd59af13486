#include "usercode/gui/tform3.h"

#include "codegen/vjasshighlight.h"
#include "codegen/vjassreader.h"
#include "common/codefont.h"
#include "common/cp1251.h"
#include "common/exacttext.h"
#include "common/gui/dialogs.h"
#include "common/gui/findbar.h"
#include "common/gui/linegutter.h"
#include "common/textfile.h"
#include "common/vellerror.h"
#include "model/usercodefile.h"
#include "model/usercodelines.h"
#include "project/project.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

#include <functional>
#include <memory>

using namespace vell;

namespace {

const QString kCaption = QStringLiteral("Код пользователя");
const QString kFilter = QStringLiteral("JassCode (*.j)");
constexpr QSize kOuterSize(631, 431);
constexpr int kFuncListWidth = 143;

QString captionWithPath(const QString &path)
{
    return kCaption + QStringLiteral(" (") + path + QLatin1Char(')');
}

// Characters that cannot enter the code.
QString refusedChars(const QString &text)
{
    return refusedLineChars(text, LineText::EditorLines);
}

QKeySequence sequenceOf(const QKeyEvent *e)
{
    return QKeySequence(e->keyCombination().key() | (e->modifiers() & ~Qt::KeypadModifier));
}

// --- Images, drawn once: a disk, an open folder, a cross and a turning arrow.

QIcon drawIcon(const std::function<void(QPainter &)> &draw)
{
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pix);
}

QIcon saveIcon()
{
    return drawIcon([](QPainter &p) {
        p.setPen(QColor(20, 40, 90));
        p.setBrush(QColor(60, 100, 190));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
    });
}

QIcon loadIcon()
{
    return drawIcon([](QPainter &p) {
        p.setPen(QColor(120, 90, 10));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(1.5, 4.5, 12, 9));
        QPainterPath flap;
        flap.moveTo(3.5, 7.5);
        flap.lineTo(15.5, 7.5);
        flap.lineTo(13.5, 13.5);
        flap.lineTo(1.5, 13.5);
        flap.closeSubpath();
        p.setBrush(QColor(250, 225, 130));
        p.drawPath(flap);
    });
}

QIcon clearIcon()
{
    return drawIcon([](QPainter &p) {
        p.setPen(QPen(QColor(200, 30, 30), 2.5));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    });
}

QIcon undoIcon()
{
    return drawIcon([](QPainter &p) {
        p.setPen(QPen(QColor(30, 90, 160), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 4, 10, 9), 90 * 16, -240 * 16);
        p.setBrush(QColor(30, 90, 160));
        p.setPen(Qt::NoPen);
        QPainterPath head;
        head.moveTo(1, 4);
        head.lineTo(8, 0.5);
        head.lineTo(8, 7.5);
        head.closeSubpath();
        p.drawPath(head);
    });
}

// Colours each line from the vJass lexer; the block state carries what the
// line leaves open, so a change re-colours the lines after it only while
// that changes.
class VjassHighlighter : public QSyntaxHighlighter
{
public:
    explicit VjassHighlighter(QObject *parent) : QSyntaxHighlighter(parent)
    {
        for (int k = 0; k < kKinds; ++k)
            m_formats[k].setForeground(HighlightColor(HighlightKind(k)));
    }

protected:
    void highlightBlock(const QString &text) override
    {
        VjassLineState state = decode(previousBlockState());
        for (const HighlightSpan &span : HighlightVjassLine(text, state))
            setFormat(span.start, span.length, m_formats[int(span.kind)]);
        setCurrentBlockState(encode(state));
    }

private:
    static constexpr int kKinds = int(HighlightKind::ObjectArray) + 1;
    static int encode(const VjassLineState &s)
    {
        return int(s.block) | (s.inComment ? 4 : 0) | (s.inString ? 8 : 0);
    }
    static VjassLineState decode(int v)
    {
        VjassLineState s;
        if (v < 0)
            return s;
        s.block = VjassLineState::Block(v & 3);
        s.inComment = v & 4;
        s.inString = v & 8;
        return s;
    }
    QTextCharFormat m_formats[kKinds];
};

// The text area: refuses characters the code page cannot store, keeps the
// window's shortcuts from being taken over, and leaves undo to the window.
class CodeEdit : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;

    std::function<void(const QString &)> refuse;
    std::function<void()> undo;
    std::function<bool()> canUndo;
    QList<QKeySequence> windowShortcuts;
    const QHash<int, QString> *errors = nullptr;
    LineGutter *gutter = nullptr;

    // The line numbers left of the text, the caret's line marked.
    void addGutter()
    {
        gutter = new LineGutter(this);
        gutter->setFont(font());
        gutter->rows = [this] {
            QList<GutterRow> rows;
            const int current = textCursor().blockNumber();
            const int bottom = viewport()->height();
            QTextBlock block = firstVisibleBlock();
            qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
            for (; block.isValid() && top <= bottom; block = block.next()) {
                const int n = block.blockNumber();
                if (block.isVisible())
                    rows.append({n, qRound(top), n == current, errors && errors->contains(n)});
                top += blockBoundingRect(block).height();
            }
            return rows;
        };
        connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { placeGutter(); });
        connect(this, &QPlainTextEdit::updateRequest, gutter, [this] { gutter->update(); });
        connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] { markCurrentLine(); });
        placeGutter();
        markCurrentLine();
    }

    void placeGutter()
    {
        gutter->lineHeight = fontMetrics().height();
        const int width = gutter->widthFor(blockCount());
        if (width != viewportMargins().left())
            setViewportMargins(width, 0, 0, 0);
        const QRect area = contentsRect();
        gutter->setGeometry(area.left(), area.top(), width, viewport()->height());
    }

    void markCurrentLine()
    {
        QTextEdit::ExtraSelection line;
        line.format.setBackground(CurrentLineBackground());
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        line.cursor = textCursor();
        line.cursor.clearSelection();
        setExtraSelections({line});
        gutter->update();
    }

protected:
    void resizeEvent(QResizeEvent *e) override
    {
        QPlainTextEdit::resizeEvent(e);
        if (gutter)
            placeGutter();
    }

    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::ShortcutOverride) {
            // Left unaccepted, the key goes to the window's menu shortcut
            // (Ctrl+Z, Ctrl+Del) instead of the text area's own handling.
            if (windowShortcuts.contains(sequenceOf(static_cast<QKeyEvent *>(e)))) {
                e->ignore();
                return true;
            }
        }
        return QPlainTextEdit::event(e);
    }

    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->matches(QKeySequence::Redo) || e->matches(QKeySequence::Undo)) {
            e->accept();
            return;
        }
        if (!NonCp1251Chars(e->text()).isEmpty()) {
            e->accept();
            refuse(e->text());
            return;
        }
        // Shift+Enter would insert a line separator inside the line.
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
            (e->modifiers() & Qt::ShiftModifier)) {
            QKeyEvent plain(e->type(), e->key(), e->modifiers() & ~Qt::ShiftModifier, e->text(),
                            e->isAutoRepeat(), e->count());
            QPlainTextEdit::keyPressEvent(&plain);
            e->setAccepted(plain.isAccepted());
            return;
        }
        QPlainTextEdit::keyPressEvent(e);
    }

    void inputMethodEvent(QInputMethodEvent *e) override
    {
        if (!refusedChars(e->commitString()).isEmpty()) {
            const QString refused = e->commitString();
            e->setCommitString(QString());
            QPlainTextEdit::inputMethodEvent(e);
            refuse(refused);
            return;
        }
        QPlainTextEdit::inputMethodEvent(e);
    }

    // Copies exactly the characters shown, no-break spaces included.
    QMimeData *createMimeDataFromSelection() const override
    {
        auto *data = new QMimeData;
        data->setText(ExactSelectedText(textCursor()));
        return data;
    }

    void insertFromMimeData(const QMimeData *source) override
    {
        if (source->hasText() && !refusedChars(source->text()).isEmpty()) {
            refuse(source->text());
            return;
        }
        QPlainTextEdit::insertFromMimeData(source);
    }

    void contextMenuEvent(QContextMenuEvent *e) override
    {
        const std::unique_ptr<QMenu> menu(createStandardContextMenu(e->pos()));
        const QList<QAction *> actions = menu->actions();
        for (QAction *a : actions) {
            if (a->objectName() == QLatin1String("edit-redo")) {
                menu->removeAction(a);
            } else if (a->objectName() == QLatin1String("edit-undo")) {
                a->disconnect();
                a->setEnabled(canUndo());
                connect(a, &QAction::triggered, this, [this] { undo(); });
            }
        }
        menu->exec(e->globalPos());
    }
};

} // namespace

TForm3::TForm3(Project &project, QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_project(project)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(kCaption);

    auto *edit = new CodeEdit;
    UserCode = edit;
    // The editor shows the project's own document; dressing it is no edit.
    const Project::QuietUserCode quiet(m_project);
    QTextDocument *doc = m_project.userCode();
    if (!qobject_cast<QPlainTextDocumentLayout *>(doc->documentLayout()))
        doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    UserCode->setDocument(doc);
    UserCode->setObjectName(QStringLiteral("UserCode"));
    UserCode->setLineWrapMode(QPlainTextEdit::NoWrap);
    UserCode->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    UserCode->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    UserCode->viewport()->setCursor(Qt::IBeamCursor);
    UserCode->setFont(vell::CodeFont());
    QPalette pal = UserCode->palette();
    pal.setColor(QPalette::Base, CodeBackground());
    pal.setColor(QPalette::Text, Qt::black);
    UserCode->setPalette(pal);
    edit->errors = &m_errors;
    edit->addGutter();
    Gutter = edit->gutter;
    Gutter->errorOf = [this](int line) {
        return lineError(line);
    };
    m_highlighter = new VjassHighlighter(this);
    m_highlighter->setDocument(doc);
    edit->refuse = [this](const QString &text) {
        refuseInput(text);
    };
    edit->undo = [this] {
        N8Click();
    };
    edit->canUndo = [this] {
        return canUndo();
    };

    FuncList = new QListWidget;
    FuncList->setObjectName(QStringLiteral("FuncList"));
    FuncList->setFixedWidth(kFuncListWidth);
    FuncList->viewport()->installEventFilter(this);

    Find = new FindBar({[this] {
                            QString text = m_lastText;
                            return text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
                        },
                        [this] {
                            const QTextCursor c = UserCode->textCursor();
                            return std::pair<qsizetype, qsizetype>(c.selectionStart(),
                                                                   c.selectionEnd());
                        },
                        [this](qsizetype from, qsizetype to) {
                            QTextCursor c(UserCode->document());
                            c.setPosition(int(from));
                            c.setPosition(int(to), QTextCursor::KeepAnchor);
                            UserCode->setTextCursor(c);
                        }},
                       this);
    Find->hide();
    connect(Find, &FindBar::opened, Find, &QWidget::show);
    connect(Find, &FindBar::closed, this, [this] {
        Find->hide();
        UserCode->setFocus();
    });

    auto *central = new QWidget;
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(UserCode, 1);
    layout->addWidget(FuncList);
    column->addLayout(layout, 1);
    column->addWidget(Find);
    setCentralWidget(central);

    const QIcon save = saveIcon();
    const QIcon load = loadIcon();
    const QIcon undo = undoIcon();

    QMenu *file = menuBar()->addMenu(QStringLiteral("Файл"));
    QAction *saveItem =
        file->addAction(save, QStringLiteral("Сохранить"), this, &TForm3::TBSaveClick);
    saveItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction *saveAsItem =
        file->addAction(save, QStringLiteral("Сохранить как..."), this, &TForm3::N3Click);
    saveAsItem->setObjectName(QStringLiteral("N3"));
    saveAsItem->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    QAction *loadItem =
        file->addAction(load, QStringLiteral("Загрузить"), this, &TForm3::TBLoadClick);
    loadItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    file->addSeparator();
    QAction *clearItem =
        file->addAction(clearIcon(), QStringLiteral("Очистить"), this, &TForm3::N6Click);
    clearItem->setObjectName(QStringLiteral("N6"));
    clearItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    QMenu *editMenu = menuBar()->addMenu(QStringLiteral("Правка"));
    QAction *undoItem = editMenu->addAction(undo, QStringLiteral("Отмена"), this, &TForm3::N8Click);
    undoItem->setObjectName(QStringLiteral("N8"));
    undoItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    editMenu->addSeparator();
    const FindBar::MenuItems findItems = Find->addMenuItems(editMenu);
    MMFind = findItems.find;
    MMFindNext = findItems.next;
    MMFindPrevious = findItems.previous;
    MMGoToLine =
        editMenu->addAction(QStringLiteral("Перейти к строке…"), this, &TForm3::MMGoToLineClick);
    MMGoToLine->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    for (QAction *a : {saveItem, saveAsItem, loadItem, clearItem, undoItem, MMFind, MMFindNext,
                       MMFindPrevious, MMGoToLine})
        edit->windowShortcuts.append(a->shortcut());

    QToolBar *bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    auto *spacer = new QWidget;
    spacer->setFixedWidth(8);
    bar->addWidget(spacer);
    auto addButton = [bar, this](const QIcon &icon, const QString &name, const QString &hint,
                                 void (TForm3::*slot)()) {
        QAction *a = bar->addAction(icon, hint, this, slot);
        a->setToolTip(hint);
        bar->widgetForAction(a)->setObjectName(name);
    };
    addButton(save, QStringLiteral("TBSave"), QStringLiteral("Сохранить код в файл"),
              &TForm3::TBSaveClick);
    addButton(load, QStringLiteral("TBLoad"), QStringLiteral("Загрузить код"),
              &TForm3::TBLoadClick);
    bar->addSeparator();
    addButton(undo, QStringLiteral("TBUndo"), QStringLiteral("Отменить"), &TForm3::N8Click);

    connect(doc, &QTextDocument::contentsChanged, this, &TForm3::UserCodeChange);
    // The check reads the whole code: it waits until the keys pause.
    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(kCheckDelayMs);
    connect(&m_checkTimer, &QTimer::timeout, this, &TForm3::checkCode);
    connect(&m_project, &Project::userCodeEdited, this, &TForm3::userCodeEdited);
    UserCodeChange();

    resize(kOuterSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TForm3::~TForm3()
{
    // The project's document outlives the window: it stops telling the
    // window, then loses the colours while the window is still whole.
    UserCode->document()->disconnect(this);
    delete m_highlighter;
}

void TForm3::showEvent(QShowEvent *event)
{
    // The outer size includes the frame, known only once the window exists.
    if (!m_placed && windowHandle()) {
        m_placed = true;
        const QMargins frame = windowHandle()->frameMargins();
        resize(kOuterSize.width() - frame.left() - frame.right(),
               kOuterSize.height() - frame.top() - frame.bottom());
        if (const QScreen *screen = windowHandle()->screen()) {
            const QRect avail = screen->availableGeometry();
            move(avail.left() + (avail.width() - kOuterSize.width()) / 2,
                 avail.top() + (avail.height() - kOuterSize.height()) / 2);
        }
    }
    QMainWindow::showEvent(event);
}

QStringList TForm3::userCodeLines() const
{
    return m_project.userCodeLines();
}

void TForm3::UserCodeChange()
{
    // Kept as the document holds it (a paragraph separator between lines):
    // a key costs no pass to change them.
    const QString text = UserCode->document()->toRawText();
    if (text == m_lastText)
        return;
    m_lastText = text;
    Find->forgetCount();
    m_checkTimer.start();
    if (!m_undoing)
        m_lastWasUndo = false;

    QStringList names = ListFunctionNamesInText(text, QChar::ParagraphSeparator);
    // An unchanged list is left alone so its selection and scroll stay.
    if (names != m_functionNames) {
        FuncList->clear();
        FuncList->addItems(names);
        m_functionNames = std::move(names);
    }
}

void TForm3::checkCode()
{
    m_errors.clear();
    for (const VjassError &e : ReadVjass(userCodeLines()).errors) {
        QString &text = m_errors[e.line];
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QStringLiteral("Строка %1, столбец %2: %3")
                    .arg(e.line + 1)
                    .arg(e.column + 1)
                    .arg(e.expected);
    }
    Gutter->update();
}

void TForm3::MMGoToLineClick()
{
    if (const std::optional<int> line =
            AskGoToLine(this, UserCode->blockCount(), UserCode->textCursor().blockNumber()))
        showLine(*line + 1, 0);
}

void TForm3::closeAndShow()
{
    close();
    show();
    raise();
    activateWindow();
}

void TForm3::showLine(int line, int column)
{
    show();
    raise();
    activateWindow();
    const QTextBlock block = UserCode->document()->findBlockByNumber(line - 1);
    if (!block.isValid())
        return;
    QTextCursor c(block);
    c.setPosition(block.position() + std::clamp(column - 1, 0, block.length() - 1));
    UserCode->setFocus();
    UserCode->setTextCursor(c);
    UserCode->centerCursor();
}

void TForm3::writeTo(const QString &path)
{
    writeUserCodeFile(path, userCodeLines());
    setWindowTitle(captionWithPath(path));
}

void TForm3::TBSaveClick()
{
    if (m_fileName.isEmpty()) {
        const QString chosen = dialogs().saveFileName(this, kFilter);
        if (!chosen.isEmpty())
            m_fileName = withUserCodeExtension(chosen);
    }
    if (m_fileName.isEmpty()) {
        setWindowTitle(kCaption + QStringLiteral(" (не сохранен)"));
        return;
    }
    try {
        writeTo(m_fileName);
    } catch (const VellError &e) {
        dialogs().error(this, e.message());
    }
}

void TForm3::N3Click()
{
    const std::optional<QString> path =
        chooseSaveName(this, kFilter, QStringLiteral("Вы действительно хотите заменить файл?"),
                       withUserCodeExtension);
    if (!path)
        return;
    m_fileName = *path;
    try {
        writeTo(*path);
    } catch (const VellError &e) {
        dialogs().error(this, e.message());
    }
}

void TForm3::replaceAll(const QStringList &lines)
{
    QTextCursor c(UserCode->document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.insertText(LinesToText(lines));
    c.endEditBlock();
    UserCode->moveCursor(QTextCursor::Start);
}

void TForm3::TBLoadClick()
{
    const QString path = dialogs().openFileName(this, kFilter);
    if (path.isEmpty())
        return;
    QStringList lines;
    try {
        lines = readUserCodeFile(path);
    } catch (const VellError &e) {
        dialogs().error(this, e.message());
        return;
    }
    replaceAll(lines);
    m_fileName = path;
    setWindowTitle(captionWithPath(path));
}

void TForm3::N6Click()
{
    QTextCursor c(UserCode->document());
    c.select(QTextCursor::Document);
    c.removeSelectedText();
}

bool TForm3::canUndo() const
{
    const QTextDocument *doc = UserCode->document();
    return m_lastWasUndo ? doc->isRedoAvailable() : doc->isUndoAvailable();
}

void TForm3::N8Click()
{
    QTextDocument *doc = UserCode->document();
    m_undoing = true;
    if (m_lastWasUndo && doc->isRedoAvailable()) {
        UserCode->redo();
        m_lastWasUndo = false;
    } else if (doc->isUndoAvailable()) {
        UserCode->undo();
        m_lastWasUndo = true;
    }
    m_undoing = false;
}

void TForm3::FuncListDblClick()
{
    const QList<QListWidgetItem *> selected = FuncList->selectedItems();
    if (selected.isEmpty())
        return;
    const int line = FindFunctionLine(userCodeLines(), selected.first()->text());
    if (line < 0)
        return;
    UserCode->setFocus();
    QTextCursor c(UserCode->document()->findBlockByNumber(line));
    UserCode->setTextCursor(c);
}

bool TForm3::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FuncList->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && !m_inListDblClick) {
        // The list selects the entry under the pointer first, then the jump
        // goes to whatever is selected.
        m_inListDblClick = true;
        QCoreApplication::sendEvent(watched, event);
        m_inListDblClick = false;
        FuncListDblClick();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm3::refuseInput(const QString &text)
{
    dialogs().error(this, unencodableMessage(VisibleChars(refusedChars(text))));
}
