#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

class QAction;
class QListWidget;
class QPlainTextEdit;

// The user code editor: free script text, the list of its functions, and
// saving and loading it as ".j" files.
class TForm3 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm3(QWidget *parent = nullptr);

    // The editor's lines; a final line break does not start a further line.
    QStringList userCodeLines() const;
    // A project being opened appends its stored lines.
    void appendUserCodeLines(const QStringList &lines);
    // Removes the first function of that name; see vell::FunctionLineRange.
    void RemoveFunc(const QString &name);
    // Puts the ECHO function at the top, the first time only in a run.
    void OnMainFunc();
    // Appends lines at the end (action functions).
    void appendLines(const QStringList &lines);
    // Closes the window if open, then shows it in front.
    void closeAndShow();

    QString userCodeFileName() const { return m_fileName; }

    QPlainTextEdit *UserCode = nullptr;
    QListWidget *FuncList = nullptr;

signals:
    // The user changed the text through this window: typing, paste, Clear,
    // Load, Undo. Not emitted for the programmatic calls above.
    void userCodeEdited();

public slots:
    void TBSaveClick();
    void N3Click();
    void TBLoadClick();
    void N6Click();
    void N8Click();
    void FuncListDblClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void UserCodeChange();
    void writeTo(const QString &path);
    void replaceAll(const QStringList &lines);
    void insertAtTop(const QStringList &lines);
    void refuseInput(const QString &text);
    bool canUndo() const;

    QString m_fileName;
    bool m_echoInserted = false;
    // Programmatic edits in progress: they do not count as the user's.
    int m_quiet = 0;
    // Single-level undo on top of the document's stack: an undo right after
    // an undo redoes instead, so the user never reaches an older state.
    bool m_lastWasUndo = false;
    bool m_undoing = false;
    QString m_lastText;
    bool m_placed = false;
    bool m_inListDblClick = false;
};
