#pragma once

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QTimer>

class FindBar;
class LineGutter;
class QAction;
class QListWidget;
class QPlainTextEdit;
class QSyntaxHighlighter;

namespace vell {
class Project;
}

// The user code editor: shows the project's user code, the list of its
// functions, and saves and loads it as ".j" files.
class TForm3 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm3(vell::Project &project, QWidget *parent = nullptr);
    ~TForm3() override;

    // The lines shown; a final line break does not start a further line.
    QStringList userCodeLines() const;
    // Closes the window if open, then shows it in front.
    void closeAndShow();
    // Shows the window in front with the caret at the line (from 1) and
    // column (from 1; 0: the line's start), the line scrolled into view.
    void showLine(int line, int column);

    QString userCodeFileName() const { return m_fileName; }
    // The syntax error the gutter shows for a line (from 0), several joined
    // by line breaks; empty for a line without one. Checked a moment after
    // the last change.
    QString lineError(int line) const { return m_errors.value(line); }
    // How long after the last change the code is checked, in milliseconds.
    static constexpr int kCheckDelayMs = 400;

    QPlainTextEdit *UserCode = nullptr;
    QListWidget *FuncList = nullptr;
    LineGutter *Gutter = nullptr;
    FindBar *Find = nullptr;
    QAction *MMFind = nullptr;
    QAction *MMFindNext = nullptr;
    QAction *MMFindPrevious = nullptr;
    QAction *MMGoToLine = nullptr;

signals:
    // The user changed the text: typing, paste, Clear, Load, Undo. Not
    // emitted for the changes the program makes.
    void userCodeEdited();

public slots:
    void TBSaveClick();
    void N3Click();
    void TBLoadClick();
    void N6Click();
    void N8Click();
    void FuncListDblClick();
    void MMGoToLineClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void UserCodeChange();
    void writeTo(const QString &path);
    void replaceAll(const QStringList &lines);
    void refuseInput(const QString &text);
    bool canUndo() const;
    void checkCode();

    vell::Project &m_project;
    QString m_fileName;
    // Single-level undo on top of the document's stack: an undo right after
    // an undo redoes instead, so the user never reaches an older state.
    bool m_lastWasUndo = false;
    bool m_undoing = false;
    QString m_lastText;
    QStringList m_functionNames; // as FuncList shows them
    bool m_placed = false;
    bool m_inListDblClick = false;
    QHash<int, QString> m_errors;
    QSyntaxHighlighter *m_highlighter = nullptr;
    QTimer m_checkTimer;
};
