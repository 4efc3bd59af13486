#pragma once

#include "model/propertyrows.h"

#include <QPointer>
#include <QSet>
#include <QTableWidget>

#include <functional>

namespace vell {

// The property grid `InfoList`: two columns, key and value, one row per
// property, rows numbered from 1. Only values are edited: in a line editor
// whose typed characters pass a filter first, in a pick list, or through an
// ellipsis button. Every change of a value reaches the row at once, so a
// key release sees what was typed.
class PropertyGrid : public QTableWidget
{
    Q_OBJECT

public:
    explicit PropertyGrid(QWidget *parent = nullptr);

    // Shows the rows. When only values changed since the last call (the same
    // object being resized, say) the rows are updated in place and an open
    // editor keeps its text.
    void setRows(const QList<PropertyRow> &rows);
    // Empties the grid (it keeps one empty row, as it starts).
    void clearRows();

    int propertyCount() const { return m_rows.size(); }
    QString key(int row) const;
    QString GetRowValue(int row) const;
    void SetRowValue(const QString &text, int row);
    QStringList values() const;
    RowEditor editorOf(int row) const;
    QStringList pickListOf(int row) const;
    // The row of the editing cursor (1-based), 0 when none.
    int currentRowNumber() const;

    // Decides whether a typed character may enter a row holding `value`,
    // going in where `at` says.
    std::function<bool(int row, const QString &value, TypedAt at, QChar c)> charFilter;

signals:
    // A key went up while the grid or its editor had the focus; the row's
    // value already holds what was typed.
    void keyReleased(int row, int key, Qt::KeyboardModifiers modifiers);
    // A value was chosen from a row's pick list.
    void pickChosen(int row, const QString &value);
    // A row's ellipsis button was pressed.
    void ellipsisClicked(int row);

public:
    // Closes a cell's editor if one is open (what was typed is applied as
    // it is typed).
    void closeOpenEditor();

    // Typing goes to the open editor, never to a search over the rows.
    void keyboardSearch(const QString &) override {}

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class PropertyDelegate;
    void storeEditedText(int row, const QString &text);
    bool filterKeyPress(QObject *editor, QKeyEvent *event);
    bool pasteFiltered(QObject *editor, const QString &text);

    void pressKey(const QKeyEvent *event);
    void releaseKey(const QKeyEvent *event);

    QList<PropertyRow> m_rows;
    QPointer<QWidget> m_editor;
    // Keys pressed in the grid or its editors and not yet released.
    QSet<int> m_pressedKeys;
};

} // namespace vell
