#pragma once

#include <QClipboard>
#include <QLineEdit>

// A field for a one-line value that goes into the program's files (a
// setting name, an action's message). Its validator keeps out what such a
// value cannot hold; pastes (the paste keys, the context menu, the middle
// button's selection) go through PasteOneLine instead of being refused
// silently: a trailing line break is dropped, a refused character named in
// a message box, and the field is then left as it was.
class OneLineEdit : public QLineEdit
{
public:
    explicit OneLineEdit(const QString &text = QString(), QWidget *parent = nullptr);
    void pasteChecked(QClipboard::Mode mode = QClipboard::Clipboard);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
