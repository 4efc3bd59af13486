#pragma once

#include "codegen/codetext.h"
#include "codegen/vjasshighlight.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QRawFont>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// A read-only view of a long text (the generated code: some 100,000 lines)
// that the user can scroll, select and copy. It keeps the text as one string
// with the offsets of its lines and draws only the lines in sight, so taking
// a new text costs about one pass over its characters.
//
// Characters sit on a grid of equal columns in the bundled monospace font: a
// tab advances to the next multiple of kTabWidth columns, control characters
// are drawn as a box one column wide, and characters of the wide scripts take
// one or two columns as the font's advance says. Drawing, clicking and the
// scroll range all count columns the same way, through vell::CodeText, which
// holds the text, the caret and the selection; the view paints and takes
// keys and the mouse.
class LineGutter;

class CodeView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr int kTabWidth = vell::CodeText::kTabWidth; // columns
    static constexpr int kMargin = 4; // pixels between the frame and the text

    explicit CodeView(QWidget *parent = nullptr);

    // Replaces the text; lines are separated by '\n'. The caret goes to the
    // start and the view to the top left.
    void setText(const QString &text);
    const QString &text() const { return m_code.text(); }
    // The lines exactly as given; an empty text has none.
    QStringList lines() const { return m_code.lines(); }
    // Lines shown: an empty text shows one empty line.
    int lineCount() const { return m_code.lineCount(); }
    QString line(int index) const { return m_code.lineView(index).toString(); }

    // The caret and the other end of the selection: line, and offset in the
    // line in UTF-16 units.
    int caretLine() const { return m_code.caretLine(); }
    int caretIndex() const { return m_code.caretIndex(); }
    int anchorLine() const { return m_code.anchorLine(); }
    int anchorIndex() const { return m_code.anchorIndex(); }
    bool hasSelection() const { return m_code.hasSelection(); }
    // The selected characters exactly, '\n' between lines.
    QString selectedText() const { return m_code.selectedText(); }

    // The selection as offsets in the text (start, end), and selecting a
    // range with the caret at its end, brought into sight.
    std::pair<qsizetype, qsizetype> selectionRange() const
    {
        return {m_code.selectionStart(), m_code.selectionEnd()};
    }
    void selectRange(qsizetype from, qsizetype to);
    // The caret to the start of the line (from 0), the line in the middle of
    // the view.
    void goToLine(int line);

    // Identifiers drawn as the objects' arrays (the settings' variable names).
    void setArrayNames(const QStringList &names);
    const QStringList &arrayNames() const { return m_arrayNames; }
    // The coloured stretches of a line as drawn.
    QList<vell::HighlightSpan> lineSpans(int line);
    LineGutter *gutter() const { return m_gutter; }
    // Lines the colouring lexed to find where the lines drawn start.
    qint64 linesLexedAhead() const { return m_states.linesLexed(); }

    // Width of a column and height of a line, in pixels.
    qreal columnWidth() const { return m_column; }
    int lineHeight() const { return m_lineHeight; }

signals:
    // Whether there is a selection to copy, when that changes.
    void copyAvailable(bool available);

public slots:
    void selectAll();
    // Puts the selection into the clipboard; without one leaves it alone.
    void copy() const;

protected:
    bool event(QEvent *e) override;
    void changeEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void timerEvent(QTimerEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    bool fitsRun(char16_t c) const;
    // The line and the column under a point of the viewport; points above or
    // below the lines in sight reach into the lines there.
    std::pair<int, qreal> lineColumnAt(const QPoint &pos) const;

    void updateMetrics();
    void updateScrollBars();
    int fullLinesShown() const;
    int contentWidth() const;
    void measureLine(int line);
    void moveCaret(qsizetype offset, bool extend);
    // After the caret moved: brought into sight, drawn, copyAvailable said.
    void caretMoved();
    // Says copyAvailable when the selection appeared or went.
    void noteSelection();
    void ensureCaretVisible();
    void dragTo(const QPoint &pos);
    void offerSelection() const;
    bool navigate(QKeyEvent *e, bool apply);
    void paintLine(QPainter &p, QStringView line, qreal x, qreal top, qreal left, qreal right,
                   const QList<vell::HighlightSpan> *spans) const;
    int lastLineShown() const;
    void updateGutter();

    vell::CodeText m_code;
    bool m_hadSelection = false;

    qreal m_column = 8;
    qreal m_ascent = 12;
    int m_lineHeight = 16;
    // Per character below the run limit: 1 drawn in a run with its
    // neighbours, 0 drawn alone, -1 not yet known. Filled as characters are
    // met.
    mutable std::vector<qint8> m_runs;
    // The glyph of each character drawn in runs: runs go to the painter as
    // glyphs on the grid, with no shaping of their text.
    QRawFont m_rawFont;
    mutable std::vector<quint32> m_glyphs;

    QStringList m_arrayNames;
    vell::VjassStateCache m_states;
    LineGutter *m_gutter;

    bool m_dragging = false;
    QPoint m_dragPos;
    QBasicTimer m_dragTimer;
};
