#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace vell {

// The code window's text without the window: lines, columns, words, caret and selection.
//
// Characters sit on a grid of equal columns: a tab advances to the next
// multiple of kTabWidth columns, control characters take one column (the
// window draws them as a box), and characters of the wide scripts take one or
// two columns as the font says. The font is the window's business; it tells
// the columns of a wide character through WideColumns, asked once for each.
class CodeText
{
public:
    static constexpr int kTabWidth = 8; // columns
    // Characters below this are one column wide; from it on the wide scripts
    // begin, and a character takes the columns its advance fills.
    static constexpr char16_t kFirstWide = 0x1100;

    // Columns (1 or 2) that one character of a wide script takes: one UTF-16
    // unit, or a surrogate pair.
    using WideColumns = std::function<int(QStringView character)>;

    enum class Kind : quint8
    {
        Narrow,  // below kFirstWide, one column
        Wide,    // as many columns as WideColumns says
        Tab,     // to the next multiple of kTabWidth
        Control, // one column, shown as a box
    };
    // One step of the walk along a line: a character (two units for a
    // surrogate pair) and the columns it covers.
    struct Cell
    {
        qsizetype index; // in the line
        int length;      // UTF-16 units
        int column;
        int columns;
        Kind kind;
    };

    enum class Move
    {
        NextChar,
        PreviousChar,
        NextWord,
        PreviousWord,
        LineStart,
        LineEnd,
        TextStart,
        TextEnd
    };

    // Without a measure every wide character takes two columns.
    explicit CodeText(WideColumns wideColumns = {});

    // Replaces the text; lines are separated by '\n'. The caret and the
    // anchor go to the start.
    void setText(const QString &text);
    const QString &text() const { return m_text; }
    // The lines exactly as given; an empty text has none.
    QStringList lines() const;
    // Lines shown: an empty text shows one empty line.
    int lineCount() const { return int(m_starts.size()); }
    qsizetype lineStart(int line) const { return m_starts[line]; }
    QStringView lineView(int line) const;
    int lineOf(qsizetype offset) const;

    // A new font: wide characters and the lines holding them are measured
    // again as they are met.
    void setWideColumns(WideColumns wideColumns);

    // Calls visit(const Cell &) for each character of the line in turn
    // until it returns false.
    template <typename Visit> void walk(QStringView line, Visit visit) const;
    // The column where the character at the index starts (an index inside a
    // surrogate pair counts as after it).
    int columnOf(QStringView line, qsizetype index) const;
    int lineColumns(QStringView line) const { return columnOf(line, line.size()); }
    // The boundary in the line nearest to the column.
    qsizetype indexNear(QStringView line, qreal column) const;
    qsizetype offsetNear(int line, qreal column) const;

    // Columns of the widest line. Lines of narrow characters are counted
    // exactly when the text is taken; lines with wide characters are counted
    // at two columns a unit until measured, then exactly.
    int widestColumns() const { return std::max(m_narrowColumns, m_wideColumns); }
    // Counts a line with wide characters exactly, once; true when the widest
    // of those lines changed with it.
    bool measureLine(int line);

    // One character on or back; a surrogate pair is passed whole.
    qsizetype nextOffset(qsizetype offset) const;
    qsizetype previousOffset(qsizetype offset) const;
    // To the start of the next word, past the spaces after it; back to the
    // start of a word. A line break is a step of its own.
    qsizetype nextWord(qsizetype offset) const;
    qsizetype previousWord(qsizetype offset) const;
    // The word, run of spaces or single other character under the column
    // (past the line's end, its last), as offsets from and to.
    std::pair<qsizetype, qsizetype> wordAt(int line, qreal column) const;

    // The caret and the other end of the selection, as offsets in the text.
    qsizetype caret() const { return m_caret; }
    qsizetype anchor() const { return m_anchor; }
    int caretLine() const { return lineOf(m_caret); }
    int caretIndex() const { return int(m_caret - m_starts[caretLine()]); }
    int anchorLine() const { return lineOf(m_anchor); }
    int anchorIndex() const { return int(m_anchor - m_starts[anchorLine()]); }
    bool hasSelection() const { return m_caret != m_anchor; }
    qsizetype selectionStart() const { return std::min(m_caret, m_anchor); }
    qsizetype selectionEnd() const { return std::max(m_caret, m_anchor); }
    // The selected characters exactly, '\n' between lines.
    QString selectedText() const;
    // The column up and down keep to across lines.
    int wantedColumn() const { return m_wantedColumn; }

    // Puts the caret at the offset; extend keeps the anchor where it is. The
    // column kept across lines becomes the caret's unless keepColumn.
    void setCaret(qsizetype offset, bool extend, bool keepColumn = false);
    // Without extend, a character step from a selection lands on its end
    // that way.
    void move(Move step, bool extend);
    // By lines, at the column kept; past the first or last line, to the start
    // or end of the text.
    void moveLines(int count, bool extend);
    void selectAll();
    void selectWordAt(int line, qreal column);

private:
    Cell cellAt(QStringView line, qsizetype index, int column) const;
    int wideColumns(QStringView character) const;

    QString m_text;
    std::vector<qsizetype> m_starts{0};
    qsizetype m_caret = 0;
    qsizetype m_anchor = 0;
    int m_wantedColumn = 0;

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

    WideColumns m_measure;
    mutable QHash<char32_t, qint8> m_wide;
};

template <typename Visit> void CodeText::walk(QStringView line, Visit visit) const
{
    int column = 0;
    for (qsizetype i = 0; i < line.size();) {
        const Cell cell = cellAt(line, i, column);
        if (!visit(cell))
            return;
        column += cell.columns;
        i += cell.length;
    }
}

} // namespace vell
