#pragma once

#include "common/textfind.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <utility>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;

// The find bar under a code view: a field, "match case" and "whole word",
// the number of matches and a note when a search went round the text. It
// only moves the view's selection; the text is never changed. Esc closes it;
// Enter finds the next match, Shift+Enter the one before.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    // What the bar searches: the text ('\n' between lines), the selection as
    // offsets (start, end) in it, and how to select a match.
    struct Target
    {
        std::function<QString()> text;
        std::function<std::pair<qsizetype, qsizetype>()> selection;
        std::function<void(qsizetype from, qsizetype to)> select;
    };

    FindBar(Target target, QWidget *parent);

    // The bar's commands in a window's Правка menu, with their keys:
    // Найти… (Ctrl+F), Найти далее (F3), Найти ранее (Shift+F3).
    struct MenuItems
    {
        QAction *find;
        QAction *next;
        QAction *previous;
    };
    MenuItems addMenuItems(QMenu *menu);

    QLineEdit *Needle;
    QCheckBox *MatchCase;
    QCheckBox *WholeWord;
    QLabel *Count;
    QLabel *Wrapped;

public slots:
    // Shows the bar with the field focused; a selection within one line
    // becomes what is looked for.
    void open();
    // With nothing to look for, these open the bar.
    void findNext();
    void findPrevious();
    void closeBar();
    // The text changed: the number of matches is counted again when asked.
    void forgetCount() { m_counted = false; }

signals:
    // The owner shows and hides the bar (or what holds it) on these.
    void opened();
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void find(bool backward, bool fromSelectionStart);
    void showCount(const QString &text);
    vell::FindOptions options() const;

    Target m_target;
    bool m_counted = false;
};

// Asks which line to go to (1 to lineCount, the caret's line offered) and
// gives its index from 0, a number past either end taken as that end;
// nothing when the user cancels.
std::optional<int> AskGoToLine(QWidget *parent, int lineCount, int caretLine);
