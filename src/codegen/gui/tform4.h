#pragma once

#include <QMainWindow>
#include <QStringList>

class CodeView;
class QAction;

// The generated code window: shows the text of the last generation so that
// the user can select and copy it. Lives for the whole run; closing hides it.
class TForm4 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);

    // Replaces the whole text, one line per line.
    void setCodeLines(const QStringList &lines);
    // Replaces the whole text with lines separated by line feeds.
    void setCodeText(const QString &text);
    // The lines shown; none before the first generation or for an empty text.
    QStringList codeLines() const;
    // Closes the window if it is open, then shows it in front.
    void closeAndShow();

    CodeView *Code;
    QAction *MMSelectAll;
    QAction *MMCopy;

public slots:
    void TBSelectAllClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_outerSizeFixed = false;
};
