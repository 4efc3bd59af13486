#include "common/gui/onelineedit.h"

#include "common/gui/dialogs.h"
#include "common/onelinevalidator.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <limits>

using namespace vell;

OneLineEdit::OneLineEdit(const QString &text, QWidget *parent) : QLineEdit(text, parent)
{
    setValidator(new OneLineTextValidator(this));
    // Values of any length are kept whole (a line edit cuts at 32,767
    // characters).
    setMaxLength(std::numeric_limits<int>::max());
}

void OneLineEdit::pasteChecked(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    const OneLinePaste paste = PasteOneLine(QGuiApplication::clipboard()->text(mode));
    if (paste.refused) {
        dialogs().message(window(), RefusedPasteMessage(*paste.refused));
        return;
    }
    // As a plain paste: an empty one still replaces the selection.
    if (!paste.text.isEmpty() || hasSelectedText())
        insert(paste.text);
}

void OneLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteChecked();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void OneLineEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's paste is the action that calls paste(), however connected.
    for (QAction *action : menu->actions()) {
        if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
            disconnect(action, &QAction::triggered, this, &QLineEdit::paste))
            connect(action, &QAction::triggered, this, [this] { pasteChecked(); });
    }
    menu->popup(event->globalPos());
}

void OneLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the selection where the system keeps one.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        if (!isReadOnly()) {
            deselect();
            pasteChecked(QClipboard::Selection);
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}
