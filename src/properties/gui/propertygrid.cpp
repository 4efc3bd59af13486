#include "properties/gui/propertygrid.h"

#include "common/textforms.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace vell {

// The characters of a value a cell draws at most (far more than it has
// room for).
constexpr qsizetype kLongestShownValue = 1000;

// Editors of the value column.
class PropertyDelegate : public QStyledItemDelegate
{
public:
    explicit PropertyDelegate(PropertyGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        const int row = index.row() + 1;
        switch (m_grid->editorOf(row)) {
        case RowEditor::PickList: {
            auto *combo = new QComboBox(parent);
            combo->addItems(m_grid->pickListOf(row));
            combo->setCurrentText(m_grid->GetRowValue(row));
            QObject::connect(combo, &QComboBox::activated, m_grid, [this, combo, row] {
                const QString value = combo->currentText();
                m_grid->storeEditedText(row, value);
                emit m_grid->pickChosen(row, value);
            });
            combo->installEventFilter(m_grid);
            combo->setProperty("gridRow", row);
            m_grid->m_editor = combo;
            return combo;
        }
        case RowEditor::Ellipsis: {
            auto *box = new QWidget(parent);
            auto *layout = new QHBoxLayout(box);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
            auto *edit = new QLineEdit(box);
            edit->setObjectName(QStringLiteral("valueEdit"));
            auto *button = new QToolButton(box);
            button->setObjectName(QStringLiteral("ellipsis"));
            button->setText(QStringLiteral("..."));
            button->setFocusPolicy(Qt::NoFocus);
            layout->addWidget(edit);
            layout->addWidget(button);
            box->setFocusProxy(edit);
            prepareLineEdit(edit, row);
            QObject::connect(button, &QToolButton::clicked, m_grid,
                             [this, row] { emit m_grid->ellipsisClicked(row); });
            m_grid->m_editor = box;
            return box;
        }
        case RowEditor::Plain:
            break;
        }
        auto *edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("valueEdit"));
        prepareLineEdit(edit, row);
        m_grid->m_editor = edit;
        return edit;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        const QString value = index.data().toString();
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            combo->setCurrentText(value);
            return;
        }
        QLineEdit *edit = qobject_cast<QLineEdit *>(editor);
        if (!edit)
            edit = editor->findChild<QLineEdit *>();
        if (edit && edit->text() != value)
            edit->setText(value);
    }

    // The row already holds the text; nothing to write back.
    void setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const override {}

    // A short one-line value (a number, a name) is drawn in one pass: the
    // style draws the cell without its text, and the text goes at the place
    // the style gives it. Values change on every tick of a resize, so this
    // is most of what the grid repaints then. Anything else takes the
    // general way.
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        const bool plain = text.size() <= 64 && IsPlainLine(text);
        QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
        const auto generalWay = [&] {
            // No cell shows more than its first characters: laying out a
            // megabyte-long value on every repaint would stall the window.
            if (opt.text.size() > kLongestShownValue)
                opt.text = opt.text.left(kLongestShownValue) + QChar(0x2026);
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        };
        if (!plain || opt.features & (QStyleOptionViewItem::HasDecoration |
                                      QStyleOptionViewItem::HasCheckIndicator)) {
            generalWay();
            return;
        }
        const int margin =
            style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1;
        const QRect r = opt.rect.adjusted(margin, 0, -margin, 0);
        QTextLayout layout(text, opt.font, painter->device());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(std::numeric_limits<int>::max() / 2);
        layout.endLayout();
        // A value that does not fit is elided the general way.
        if (line.naturalTextWidth() > r.width()) {
            generalWay();
            return;
        }
        // A plain cell lies on the view's own background: only its text is
        // drawn. A selected, focused or coloured one gets the style's cell.
        if (opt.state & (QStyle::State_Selected | QStyle::State_HasFocus) ||
            opt.backgroundBrush.style() != Qt::NoBrush) {
            opt.text.clear();
            opt.features &= ~QStyleOptionViewItem::HasDisplay;
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        }
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (opt.state & QStyle::State_Active)
                                               ? QPalette::Normal
                                               : QPalette::Inactive;
        painter->save();
        painter->setPen(opt.palette.color(group, opt.state & QStyle::State_Selected
                                                     ? QPalette::HighlightedText
                                                     : QPalette::Text));
        painter->setClipRect(r, Qt::IntersectClip);
        layout.draw(painter, QPointF(r.left(), r.top() + (r.height() - int(line.height())) / 2));
        painter->restore();
    }

private:
    void prepareLineEdit(QLineEdit *edit, int row) const
    {
        edit->setFrame(false);
        // A value of any length is kept whole (a line edit cuts at 32,767).
        edit->setMaxLength(std::numeric_limits<int>::max());
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        // Every character comes through the key filter: no input-method
        // commits and no dropped text.
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        edit->setAcceptDrops(false);
        edit->installEventFilter(m_grid);
        edit->setProperty("gridRow", row);
        QObject::connect(edit, &QLineEdit::textEdited, m_grid,
                         [this, row](const QString &text) { m_grid->storeEditedText(row, text); });
    }

    PropertyGrid *m_grid;
};

PropertyGrid::PropertyGrid(QWidget *parent) : QTableWidget(1, 2, parent)
{
    setObjectName(QStringLiteral("InfoList"));
    setHorizontalHeaderLabels({QStringLiteral("Свойство"), QStringLiteral("Значение")});
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidth(0, 101);
    setColumnWidth(1, 102);
    setShowGrid(true);
    // Tab leaves the grid.
    setTabKeyNavigation(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // The value cell under the cursor is always open for typing.
    setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setItemDelegateForColumn(1, new PropertyDelegate(this));
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (column == 0 && row >= 0)
            setCurrentCell(row, 1);
    });
    clearRows();
}

void PropertyGrid::closeOpenEditor()
{
    if (m_editor)
        closeEditor(m_editor, QAbstractItemDelegate::NoHint);
    m_editor = nullptr;
}

void PropertyGrid::clearRows()
{
    closeOpenEditor();
    setCurrentIndex(QModelIndex());
    m_rows.clear();
    clearContents();
    setRowCount(1);
    auto *key = new QTableWidgetItem;
    key->setFlags(Qt::ItemIsEnabled);
    setItem(0, 0, key);
    auto *value = new QTableWidgetItem;
    value->setFlags(Qt::ItemIsEnabled);
    setItem(0, 1, value);
}

void PropertyGrid::setRows(const QList<PropertyRow> &rows)
{
    bool sameShape = rows.size() == m_rows.size();
    for (int i = 0; sameShape && i < rows.size(); ++i)
        sameShape = rows[i].key == m_rows[i].key && rows[i].editor == m_rows[i].editor;
    if (sameShape) {
        m_rows = rows;
        for (int i = 0; i < rows.size(); ++i) {
            if (item(i, 1)->text() != rows[i].value)
                item(i, 1)->setText(rows[i].value);
        }
        return;
    }
    // Another object: the editor of the old one goes.
    closeOpenEditor();
    setCurrentIndex(QModelIndex());
    m_rows = rows;
    clearContents();
    setRowCount(qMax(1, int(rows.size())));
    for (int i = 0; i < rows.size(); ++i) {
        auto *key = new QTableWidgetItem(rows[i].key);
        key->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(i, 0, key);
        auto *value = new QTableWidgetItem(rows[i].value);
        value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        setItem(i, 1, value);
    }
}

QString PropertyGrid::key(int row) const
{
    return row >= 1 && row <= m_rows.size() ? m_rows[row - 1].key : QString();
}

QString PropertyGrid::GetRowValue(int row) const
{
    if (row < 1 || row > m_rows.size())
        return QString();
    // The first row with this row's key.
    const QString k = m_rows[row - 1].key;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].key == k)
            return item(i, 1)->text();
    }
    return QString();
}

void PropertyGrid::SetRowValue(const QString &text, int row)
{
    if (row < 1 || row > m_rows.size())
        return;
    const QString k = m_rows[row - 1].key;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].key == k) {
            m_rows[i].value = text;
            item(i, 1)->setText(text);
            // An open editor of that row shows the new value too.
            if (m_editor && currentRow() == i)
                itemDelegateForColumn(1)->setEditorData(m_editor, model()->index(i, 1));
            return;
        }
    }
}

QStringList PropertyGrid::values() const
{
    QStringList list;
    for (int i = 0; i < m_rows.size(); ++i)
        list.append(item(i, 1)->text());
    return list;
}

RowEditor PropertyGrid::editorOf(int row) const
{
    return row >= 1 && row <= m_rows.size() ? m_rows[row - 1].editor : RowEditor::Plain;
}

QStringList PropertyGrid::pickListOf(int row) const
{
    return row >= 1 && row <= m_rows.size() ? m_rows[row - 1].pickList : QStringList();
}

int PropertyGrid::currentRowNumber() const
{
    const int r = currentRow();
    return r >= 0 && r < m_rows.size() ? r + 1 : 0;
}

void PropertyGrid::storeEditedText(int row, const QString &text)
{
    if (row < 1 || row > m_rows.size())
        return;
    m_rows[row - 1].value = text;
    if (item(row - 1, 1)->text() != text)
        item(row - 1, 1)->setText(text);
}

namespace {
int keyIdentity(const QKeyEvent *event)
{
    return event->nativeScanCode() ? int(event->nativeScanCode()) : event->key();
}
} // namespace

void PropertyGrid::pressKey(const QKeyEvent *event)
{
    m_pressedKeys.insert(keyIdentity(event));
}

void PropertyGrid::releaseKey(const QKeyEvent *event)
{
    // Only a key pressed here applies the row: the release of the key that
    // closed a message box (Enter, Escape) would apply the rejected value
    // again and bring the box back.
    if (!m_pressedKeys.remove(keyIdentity(event)))
        return;
    emit keyReleased(currentRowNumber(), event->key(), event->modifiers());
}

void PropertyGrid::keyPressEvent(QKeyEvent *event)
{
    pressKey(event);
    QTableWidget::keyPressEvent(event);
}

void PropertyGrid::keyReleaseEvent(QKeyEvent *event)
{
    QTableWidget::keyReleaseEvent(event);
    releaseKey(event);
}

namespace {
// Where a character typed into the editor goes: over the selection, or at
// the caret.
TypedAt typedAt(const QLineEdit *edit)
{
    if (edit->hasSelectedText())
        return {edit->selectionStart(), edit->selectionLength()};
    return {edit->cursorPosition(), 0};
}
} // namespace

bool PropertyGrid::pasteFiltered(QObject *editor, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (!edit)
        return false;
    const int row = edit->property("gridRow").toInt();
    // Each character goes in as if typed where the previous one left the
    // caret.
    for (const QChar c : text) {
        // Pasted control characters (line breaks, tabs, backspace) are dropped.
        if (c.unicode() < 0x20 || !charFilter || !charFilter(row, edit->text(), typedAt(edit), c))
            continue;
        edit->insert(QString(c));
        storeEditedText(row, edit->text());
    }
    return true;
}

bool PropertyGrid::filterKeyPress(QObject *editor, QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste))
        return pasteFiltered(editor, QApplication::clipboard()->text());
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        // The row already holds what was typed; the editor stays open.
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    QString typed;
    if (event->key() == Qt::Key_Backspace)
        typed = QStringLiteral("\b");
    else
        typed = event->text();
    // Keys that type no character (Delete, whose text is DEL on some
    // systems, arrows, Home, End, Ctrl shortcuts) work as usual.
    if (typed.isEmpty() ||
        (typed != QLatin1String("\b") && std::all_of(typed.begin(), typed.end(), [](QChar c) {
             return c.category() == QChar::Other_Control;
         })))
        return false;
    if (qobject_cast<QComboBox *>(editor))
        return true; // pick lists take no typed characters
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (!edit)
        return false;
    const int row = edit->property("gridRow").toInt();
    // A key that types several characters types them one after another.
    QString value = edit->text();
    TypedAt at = typedAt(edit);
    for (const QChar c : typed) {
        if (!charFilter || !charFilter(row, value, at, c))
            return true;
        value.replace(at.start, at.length, c);
        at = {at.start + 1, 0};
    }
    return false;
}

bool PropertyGrid::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        pressKey(static_cast<QKeyEvent *>(event));
        if (filterKeyPress(watched, static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::ShortcutOverride: {
        auto *key = static_cast<QKeyEvent *>(event);
        // Shift+Del is the window's Delete command, not a cut in the cell;
        // Ctrl+D its Duplicate.
        if ((key->key() == Qt::Key_Delete && key->modifiers() == Qt::ShiftModifier) ||
            (key->key() == Qt::Key_D && key->modifiers() == Qt::ControlModifier)) {
            event->ignore();
            return true;
        }
        // Paste is the editor's own while it is open.
        if (key->matches(QKeySequence::Paste)) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyRelease:
        releaseKey(static_cast<QKeyEvent *>(event));
        return true;
    case QEvent::MouseButtonRelease:
        // No selection paste with the middle button.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton)
            return true;
        break;
    default:
        break;
    }
    return QTableWidget::eventFilter(watched, event);
}

} // namespace vell
