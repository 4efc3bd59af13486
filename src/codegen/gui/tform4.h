#pragma once

#include <QMainWindow>
#include <QStringList>

class CodeView;
class FindBar;
class QAction;
class QToolBar;

// The generated code window: shows the text of the last generation so that
// the user can select and copy it. Lives for the whole run; closing hides it.
class TForm4 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);

    // Replaces the whole text with lines separated by line feeds.
    void setCodeText(const QString &text);
    // The identifiers drawn as the objects' arrays: the button, picture and
    // text variable names of the settings.
    void setArrayNames(const QStringList &names);
    // Closes the window if it is open, then shows it in front.
    void closeAndShow();

    CodeView *Code;
    QAction *MMSelectAll;
    QAction *MMCopy;
    QAction *MMFind;
    QAction *MMFindNext;
    QAction *MMFindPrevious;
    QAction *MMGoToLine;
    FindBar *Find;

public slots:
    void TBSelectAllClick();
    void MMGoToLineClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_outerSizeFixed = false;
    // Holds the find bar under the text, shown while the bar is open.
    QToolBar *m_findArea;
};
