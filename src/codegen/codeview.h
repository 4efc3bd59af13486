#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QHash>
#include <QString>
#include <QStringList>

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
// scroll range all count columns the same way.
class CodeView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr int kTabWidth = 8; // columns
    static constexpr int kMargin = 4;   // pixels between the frame and the text

    explicit CodeView(QWidget *parent = nullptr);

    // Replaces the text; lines are separated by '\n'. The caret goes to the
    // start and the view to the top left.
    void setText(const QString &text);
    const QString &text() const { return m_text; }
    // The lines exactly as given; an empty text has none.
    QStringList lines() const;
    // Lines shown: an empty text shows one empty line.
    int lineCount() const { return int(m_starts.size()); }
    QString line(int index) const;

    // The caret and the other end of the selection: line, and offset in the
    // line in UTF-16 units.
    int caretLine() const { return lineOf(m_caret); }
    int caretIndex() const { return int(m_caret - m_starts[caretLine()]); }
    int anchorLine() const { return lineOf(m_anchor); }
    int anchorIndex() const { return int(m_anchor - m_starts[anchorLine()]); }
    bool hasSelection() const { return m_caret != m_anchor; }
    // The selected characters exactly, '\n' between lines.
    QString selectedText() const;

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
    // One step of the walk along a line: a character (two units for a
    // surrogate pair) and the columns it covers.
    enum class Kind : quint8
    {
        Run,
        Alone,
        Tab,
        Control
    };
    struct Cell
    {
        qsizetype index; // in the line
        int length;      // UTF-16 units
        int column;
        int columns;
        Kind kind;
    };
    template <typename Visit> void walk(QStringView line, Visit visit) const;
    Cell cellAt(QStringView line, qsizetype index, int column) const;
    bool fitsRun(char16_t c) const;
    int wideColumns(QStringView character) const;

    QStringView lineView(int line) const;
    int lineOf(qsizetype offset) const;
    int columnOf(QStringView line, qsizetype index) const;
    int lineColumns(QStringView line) const;
    // The boundary in the line nearest to the column.
    qsizetype indexNear(QStringView line, qreal column) const;
    // The offset nearest to a point of the viewport; points above or below
    // the lines in sight reach into the lines there.
    qsizetype offsetAt(const QPoint &pos) const;

    void updateMetrics();
    void updateScrollBars();
    int fullLinesShown() const;
    int contentWidth() const;
    void measureLine(int line);
    void moveCaret(qsizetype offset, bool extend, bool keepColumn = false);
    // Says copyAvailable when the selection appeared or went.
    void noteSelection();
    void ensureCaretVisible();
    void selectWordAt(const QPoint &pos);
    void dragTo(const QPoint &pos);
    void offerSelection() const;
    qsizetype nextOffset(qsizetype offset) const;
    qsizetype previousOffset(qsizetype offset) const;
    qsizetype nextWord(qsizetype offset) const;
    qsizetype previousWord(qsizetype offset) const;
    bool navigate(QKeyEvent *e, bool apply);
    void paintLine(QPainter &p, QStringView line, qreal x, qreal top, qreal left,
                   qreal right) const;

    QString m_text;
    std::vector<qsizetype> m_starts{0};
    qsizetype m_caret = 0;
    qsizetype m_anchor = 0;
    bool m_hadSelection = false;
    int m_wantedColumn = 0;

    // Widest line in columns: lines of narrow characters are counted exactly
    // when the text is taken; lines with wide characters are counted at two
    // columns a unit until they are drawn, then exactly.
    int m_narrowColumns = 0;
    struct WideLine
    {
        int line;
        int estimate;
        int columns;
        bool measured;
    };
    std::vector<WideLine> m_wideLines; // by line
    int m_wideColumns = 0;

    qreal m_column = 8;
    qreal m_ascent = 12;
    int m_lineHeight = 16;
    // Per character below U+1100: 1 drawn in a run with its neighbours, 0
    // drawn alone, -1 not yet known. Filled as characters are met.
    mutable std::vector<qint8> m_runs;
    mutable QHash<char32_t, qint8> m_wide;

    bool m_dragging = false;
    QPoint m_dragPos;
    QBasicTimer m_dragTimer;
};
