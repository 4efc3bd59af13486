#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

// One line number in sight: the line (from 0), the top of its row in the
// gutter, whether the caret is on it and whether the line has an error.
struct GutterRow
{
    int line = 0;
    int top = 0;
    bool current = false;
    bool error = false;
};

// The strip left of a code view's text with the line numbers. The view says
// which rows are in sight and what the error of a line is; the gutter draws
// them and shows the error as the tooltip of its row.
class LineGutter : public QWidget
{
    Q_OBJECT

public:
    explicit LineGutter(QWidget *parent);

    std::function<QList<GutterRow>()> rows;
    std::function<QString(int line)> errorOf;
    int lineHeight = 16;

    // Pixels wide for the numbers of a text of so many lines.
    int widthFor(int lineCount) const;

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
};
