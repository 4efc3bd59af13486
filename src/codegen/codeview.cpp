#include "codegen/codeview.h"

#include "common/codefont.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Characters below this are one column wide; from it on the wide scripts
// begin, and a character takes the columns its advance fills.
constexpr char16_t kFirstWide = 0x1100;
// Characters below this, of a monospace font's own width, are drawn in runs
// with their neighbours: Latin, Greek, Cyrillic, Armenian. Later scripts may
// join or reorder, which would move them off their columns.
constexpr char16_t kRunLimit = 0x590;
// Between auto-scroll steps while a drag is held outside the view.
constexpr int kDragScrollMs = 50;

// Columns of a line counting a wide character as two (its most): exact for
// lines without one.
int estimateColumns(const char16_t *p, const char16_t *end)
{
    int column = 0;
    for (; p != end; ++p) {
        if (*p == u'\t')
            column += CodeView::kTabWidth - column % CodeView::kTabWidth;
        else
            column += *p >= kFirstWide ? 2 : 1;
    }
    return column;
}

enum class CharClass
{
    Word,
    Space,
    Other
};

CharClass classOf(QChar c)
{
    if (c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_'))
        return CharClass::Word;
    if (c.isSpace())
        return CharClass::Space;
    return CharClass::Other;
}

} // namespace

CodeView::CodeView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFont(vell::CodeFont());
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    updateMetrics();
    updateScrollBars();
}

void CodeView::setText(const QString &text)
{
    m_text = text;
    m_starts.clear();
    m_starts.push_back(0);
    m_wideLines.clear();
    m_narrowColumns = 0;
    m_wideColumns = 0;

    const char16_t *data = reinterpret_cast<const char16_t *>(m_text.constData());
    const qsizetype size = m_text.size();
    const QStringView all(m_text);
    // Most lines are plain, as many columns as characters: no tab, no wide
    // character. One pass tells whether every line is; in blocks of a fixed
    // length the compiler turns it into vector instructions.
    const auto isPlain = [](const char16_t *p, const char16_t *end) {
        char16_t highest = 0;
        char16_t tabs = 0;
        constexpr int kBlock = 64;
        for (; end - p >= kBlock; p += kBlock) {
            for (int i = 0; i < kBlock; ++i) {
                highest = std::max(highest, p[i]);
                tabs |= char16_t(p[i] == u'\t');
            }
        }
        for (; p != end; ++p) {
            highest = std::max(highest, *p);
            tabs |= char16_t(*p == u'\t');
        }
        return highest < kFirstWide && tabs == 0;
    };
    const bool allPlain = isPlain(data, data + size);
    qsizetype start = 0;
    for (int line = 0;; ++line) {
        qsizetype end = all.indexOf(u'\n', start);
        if (end < 0)
            end = size;
        if (allPlain || isPlain(data + start, data + end)) {
            m_narrowColumns = std::max(m_narrowColumns, int(end - start));
        } else {
            const int columns = estimateColumns(data + start, data + end);
            if (std::any_of(data + start, data + end, [](char16_t c) { return c >= kFirstWide; })) {
                m_wideLines.push_back({line, columns, columns, false});
                m_wideColumns = std::max(m_wideColumns, columns);
            } else {
                m_narrowColumns = std::max(m_narrowColumns, columns);
            }
        }
        if (end == size)
            break;
        start = end + 1;
        m_starts.push_back(start);
    }

    m_caret = m_anchor = 0;
    m_wantedColumn = 0;
    m_dragging = false;
    m_dragTimer.stop();
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    noteSelection();
}

QStringList CodeView::lines() const
{
    if (m_text.isEmpty())
        return {};
    return m_text.split(QLatin1Char('\n'));
}

QString CodeView::line(int index) const
{
    return lineView(index).toString();
}

QString CodeView::selectedText() const
{
    const qsizetype from = std::min(m_caret, m_anchor);
    return m_text.mid(from, std::max(m_caret, m_anchor) - from);
}

void CodeView::selectAll()
{
    m_anchor = 0;
    m_caret = m_text.size();
    m_wantedColumn = columnOf(lineView(caretLine()), caretIndex());
    viewport()->update();
    noteSelection();
}

void CodeView::noteSelection()
{
    if (hasSelection() != m_hadSelection) {
        m_hadSelection = hasSelection();
        emit copyAvailable(m_hadSelection);
    }
}

void CodeView::copy() const
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

// --- Lines and columns ---

QStringView CodeView::lineView(int line) const
{
    const qsizetype start = m_starts[line];
    const qsizetype end = line + 1 < lineCount() ? m_starts[line + 1] - 1 : m_text.size();
    return QStringView(m_text).mid(start, end - start);
}

int CodeView::lineOf(qsizetype offset) const
{
    return int(std::upper_bound(m_starts.begin(), m_starts.end(), offset) - m_starts.begin()) - 1;
}

bool CodeView::fitsRun(char16_t c) const
{
    if (c >= kRunLimit)
        return false;
    qint8 &known = m_runs[c];
    if (known < 0) {
        const QChar ch(c);
        known = !ch.isMark() &&
                std::abs(QFontMetricsF(font()).horizontalAdvance(ch) - m_column) < 0.001;
    }
    return known;
}

int CodeView::wideColumns(QStringView character) const
{
    const char32_t code = character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1])
                                                : char32_t(character[0].unicode());
    auto it = m_wide.constFind(code);
    if (it == m_wide.constEnd()) {
        const qreal advance = QFontMetricsF(font()).horizontalAdvance(character.toString());
        it = m_wide.insert(code, advance > 1.5 * m_column ? 2 : 1);
    }
    return *it;
}

CodeView::Cell CodeView::cellAt(QStringView line, qsizetype index, int column) const
{
    const char16_t c = line[index].unicode();
    if (c == u'\t')
        return {index, 1, column, kTabWidth - column % kTabWidth, Kind::Tab};
    if (c < kFirstWide) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || QChar::category(c) == QChar::Other_Format)
            return {index, 1, column, 1, Kind::Control};
        return {index, 1, column, 1, fitsRun(c) ? Kind::Run : Kind::Alone};
    }
    if (QChar::isHighSurrogate(c) && index + 1 < line.size() &&
        QChar::isLowSurrogate(line[index + 1].unicode()))
        return {index, 2, column, wideColumns(line.mid(index, 2)), Kind::Alone};
    const QChar::Category category = QChar::category(c);
    if (QChar::isSurrogate(c) || category == QChar::Other_Format ||
        category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
        return {index, 1, column, 1, Kind::Control};
    return {index, 1, column, wideColumns(line.mid(index, 1)), Kind::Alone};
}

template <typename Visit> void CodeView::walk(QStringView line, Visit visit) const
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

int CodeView::columnOf(QStringView line, qsizetype index) const
{
    int column = 0;
    walk(line, [&](const Cell &cell) {
        if (cell.index >= index)
            return false;
        column = cell.column + cell.columns;
        return true;
    });
    return column;
}

int CodeView::lineColumns(QStringView line) const
{
    return columnOf(line, line.size());
}

qsizetype CodeView::indexNear(QStringView line, qreal column) const
{
    qsizetype found = line.size();
    walk(line, [&](const Cell &cell) {
        if (column < cell.column + cell.columns / 2.0) {
            found = cell.index;
            return false;
        }
        return true;
    });
    return found;
}

qsizetype CodeView::offsetAt(const QPoint &pos) const
{
    const int row = int(std::floor(double(pos.y() - kMargin) / m_lineHeight));
    const int line = std::clamp(verticalScrollBar()->value() + row, 0, lineCount() - 1);
    const qreal column = (pos.x() - kMargin + horizontalScrollBar()->value()) / m_column;
    return m_starts[line] + indexNear(lineView(line), column);
}

// --- Geometry ---

void CodeView::updateMetrics()
{
    const QFontMetricsF metrics(font());
    m_column = metrics.horizontalAdvance(QLatin1Char('x'));
    if (m_column <= 0)
        m_column = 8;
    m_ascent = metrics.ascent();
    m_lineHeight = std::max(1, int(std::ceil(metrics.height())));
    m_runs.assign(kRunLimit, -1);
    m_wide.clear();
    // Wide lines are counted again as they come into sight.
    m_wideColumns = 0;
    for (WideLine &w : m_wideLines) {
        w.columns = w.estimate;
        w.measured = false;
        m_wideColumns = std::max(m_wideColumns, w.columns);
    }
}

int CodeView::fullLinesShown() const
{
    return std::max(1, (viewport()->height() - kMargin) / m_lineHeight);
}

int CodeView::contentWidth() const
{
    const int columns = std::max(m_narrowColumns, m_wideColumns);
    // Room for the caret after the last character; a scroll range holds an
    // int, whatever the longest line.
    const double width = std::ceil(columns * m_column) + 2 * kMargin + 1;
    return int(std::min(width, double(std::numeric_limits<int>::max() / 2)));
}

void CodeView::updateScrollBars()
{
    const int shown = fullLinesShown();
    QScrollBar *v = verticalScrollBar();
    v->setRange(0, std::max(0, lineCount() - shown));
    v->setPageStep(shown);
    v->setSingleStep(1);
    const int width = viewport()->width();
    QScrollBar *h = horizontalScrollBar();
    h->setRange(0, std::max(0, contentWidth() - width));
    h->setPageStep(width);
    h->setSingleStep(2 * int(std::ceil(m_column)));
}

void CodeView::measureLine(int line)
{
    const auto it = std::lower_bound(m_wideLines.begin(), m_wideLines.end(), line,
                                     [](const WideLine &w, int l) { return w.line < l; });
    if (it == m_wideLines.end() || it->line != line || it->measured)
        return;
    it->columns = lineColumns(lineView(line));
    it->measured = true;
    int widest = 0;
    for (const WideLine &w : m_wideLines)
        widest = std::max(widest, w.columns);
    if (widest != m_wideColumns) {
        m_wideColumns = widest;
        updateScrollBars();
    }
}

void CodeView::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void CodeView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void CodeView::changeEvent(QEvent *e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        updateMetrics();
        updateScrollBars();
        viewport()->update();
    }
}

// --- Painting ---

void CodeView::paintLine(QPainter &p, QStringView line, qreal x0, qreal top, qreal left,
                         qreal right) const
{
    const qreal baseline = top + m_ascent;
    QString run;
    qreal runX = 0;
    const auto flush = [&] {
        if (!run.isEmpty()) {
            p.drawText(QPointF(runX, baseline), run);
            run.clear();
        }
    };
    walk(line, [&](const Cell &cell) {
        const qreal x = x0 + cell.column * m_column;
        const qreal width = cell.columns * m_column;
        if (x > right)
            return false;
        // A glyph may reach a little past its columns.
        if (x + width + 2 * m_column < left)
            return true;
        switch (cell.kind) {
        case Kind::Run:
            if (run.isEmpty())
                runX = x;
            run.append(line.mid(cell.index, cell.length));
            break;
        case Kind::Tab:
            flush();
            break;
        case Kind::Alone:
            flush();
            p.drawText(QPointF(x, baseline), line.mid(cell.index, cell.length).toString());
            break;
        case Kind::Control:
            flush();
            p.drawRect(QRectF(x + 1.5, top + 3.5, width - 3, m_lineHeight - 7));
            break;
        }
        return true;
    });
    flush();
}

void CodeView::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    p.setFont(font());
    p.setBrush(Qt::NoBrush);
    const QPalette &pal = palette();
    const int first = verticalScrollBar()->value();
    const qreal x0 = kMargin - horizontalScrollBar()->value();
    const qreal right = viewport()->width();
    const int last =
        std::min(lineCount() - 1, first + (viewport()->height() - kMargin) / m_lineHeight);
    const qsizetype selFrom = std::min(m_caret, m_anchor);
    const qsizetype selTo = std::max(m_caret, m_anchor);

    for (int l = first; l <= last; ++l) {
        measureLine(l);
        const QStringView line = lineView(l);
        const qreal top = kMargin + (l - first) * m_lineHeight;
        const qsizetype start = m_starts[l];
        const qsizetype end = start + line.size();
        QRectF selected;
        if (selFrom < selTo && selFrom <= end && selTo > start) {
            const qreal from = x0 + columnOf(line, std::max(selFrom, start) - start) * m_column;
            qreal to = x0 + columnOf(line, std::min(selTo, end) - start) * m_column;
            if (selTo > end) // the line break is selected too
                to += m_column;
            selected = QRectF(from, top, to - from, m_lineHeight);
            p.fillRect(selected, pal.color(QPalette::Highlight));
        }
        p.setPen(pal.color(QPalette::Text));
        paintLine(p, line, x0, top, 0, right);
        if (!selected.isEmpty()) {
            p.save();
            p.setClipRect(selected);
            p.setPen(pal.color(QPalette::HighlightedText));
            paintLine(p, line, x0, top, selected.left(), selected.right());
            p.restore();
        }
    }

    const int caret = caretLine();
    if (hasFocus() && caret >= first && caret <= last) {
        const qreal x = x0 + columnOf(lineView(caret), caretIndex()) * m_column;
        p.fillRect(QRectF(std::floor(x), kMargin + (caret - first) * m_lineHeight, 1, m_lineHeight),
                   pal.color(QPalette::Text));
    }
}

void CodeView::focusInEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void CodeView::focusOutEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}

// --- Caret and keys ---

qsizetype CodeView::nextOffset(qsizetype offset) const
{
    if (offset >= m_text.size())
        return offset;
    if (m_text[offset].isHighSurrogate() && offset + 1 < m_text.size() &&
        m_text[offset + 1].isLowSurrogate())
        return offset + 2;
    return offset + 1;
}

qsizetype CodeView::previousOffset(qsizetype offset) const
{
    if (offset <= 0)
        return 0;
    if (offset >= 2 && m_text[offset - 1].isLowSurrogate() && m_text[offset - 2].isHighSurrogate())
        return offset - 2;
    return offset - 1;
}

qsizetype CodeView::nextWord(qsizetype offset) const
{
    const int l = lineOf(offset);
    const qsizetype start = m_starts[l];
    const QStringView line = lineView(l);
    qsizetype i = offset - start;
    if (i >= line.size())
        return l + 1 < lineCount() ? m_starts[l + 1] : offset;
    const CharClass first = classOf(line[i]);
    if (first == CharClass::Other)
        i = nextOffset(start + i) - start;
    else
        while (i < line.size() && classOf(line[i]) == first)
            ++i;
    while (i < line.size() && classOf(line[i]) == CharClass::Space)
        ++i;
    return start + i;
}

qsizetype CodeView::previousWord(qsizetype offset) const
{
    const int l = lineOf(offset);
    const qsizetype start = m_starts[l];
    const QStringView line = lineView(l);
    qsizetype i = offset - start;
    if (i == 0)
        return l > 0 ? start - 1 : 0;
    while (i > 0 && classOf(line[i - 1]) == CharClass::Space)
        --i;
    if (i == 0)
        return start;
    if (classOf(line[i - 1]) == CharClass::Word) {
        while (i > 0 && classOf(line[i - 1]) == CharClass::Word)
            --i;
        return start + i;
    }
    return previousOffset(start + i);
}

void CodeView::moveCaret(qsizetype offset, bool extend, bool keepColumn)
{
    m_caret = offset;
    if (!extend)
        m_anchor = offset;
    if (!keepColumn)
        m_wantedColumn = columnOf(lineView(caretLine()), caretIndex());
    ensureCaretVisible();
    viewport()->update();
    noteSelection();
}

void CodeView::ensureCaretVisible()
{
    const int l = caretLine();
    measureLine(l);
    QScrollBar *v = verticalScrollBar();
    const int shown = fullLinesShown();
    if (l < v->value())
        v->setValue(l);
    else if (l >= v->value() + shown)
        v->setValue(l - shown + 1);
    // Sideways the caret is brought to the middle, as text fields do.
    const qreal x = kMargin + columnOf(lineView(l), caretIndex()) * m_column;
    QScrollBar *h = horizontalScrollBar();
    const int width = viewport()->width();
    if (x - kMargin < h->value() || x + kMargin + 1 > h->value() + width)
        h->setValue(qRound(x - width / 2.0));
}

// Moves the caret for a navigation key; with apply false only tells whether
// the key is one.
bool CodeView::navigate(QKeyEvent *e, bool apply)
{
    enum Step
    {
        NextChar,
        PreviousChar,
        NextWord,
        PreviousWord,
        NextLine,
        PreviousLine,
        NextPage,
        PreviousPage,
        LineStart,
        LineEnd,
        TextStart,
        TextEnd
    };
    struct Binding
    {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        Step step;
    };
    static const Binding bindings[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, NextChar},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, PreviousChar},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, NextWord},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, PreviousWord},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, NextLine},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, PreviousLine},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, NextPage},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, PreviousPage},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, LineStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, LineEnd},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, TextStart},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, TextEnd},
    };
    const Binding *found = nullptr;
    bool extend = false;
    for (const Binding &b : bindings) {
        if (e->matches(b.move) || (extend = e->matches(b.select))) {
            found = &b;
            break;
        }
    }
    if (!found)
        return false;
    if (!apply)
        return true;

    const int l = caretLine();
    const qsizetype selFrom = std::min(m_caret, m_anchor);
    const qsizetype selTo = std::max(m_caret, m_anchor);
    // The line l moved by, at the column the caret keeps across lines;
    // beyond the first or last line, the start or end of the text.
    const auto onLine = [&](int target) -> qsizetype {
        if (target < 0)
            return 0;
        if (target >= lineCount())
            return m_text.size();
        return m_starts[target] + indexNear(lineView(target), m_wantedColumn);
    };
    switch (found->step) {
    case NextChar:
        moveCaret(!extend && hasSelection() ? selTo : nextOffset(m_caret), extend);
        break;
    case PreviousChar:
        moveCaret(!extend && hasSelection() ? selFrom : previousOffset(m_caret), extend);
        break;
    case NextWord:
        moveCaret(nextWord(m_caret), extend);
        break;
    case PreviousWord:
        moveCaret(previousWord(m_caret), extend);
        break;
    case NextLine:
        moveCaret(onLine(l + 1), extend, l + 1 < lineCount());
        break;
    case PreviousLine:
        moveCaret(onLine(l - 1), extend, l > 0);
        break;
    case NextPage:
    case PreviousPage: {
        // The view moves by a page and the caret with it, keeping its place
        // on the screen.
        const int page = found->step == NextPage ? fullLinesShown() : -fullLinesShown();
        const int target = std::clamp(l + page, 0, lineCount() - 1);
        verticalScrollBar()->setValue(verticalScrollBar()->value() + page);
        if (target == l)
            moveCaret(page > 0 ? m_text.size() : 0, extend);
        else
            moveCaret(onLine(target), extend, true);
        break;
    }
    case LineStart:
        moveCaret(m_starts[l], extend);
        break;
    case LineEnd:
        moveCaret(m_starts[l] + lineView(l).size(), extend);
        break;
    case TextStart:
        moveCaret(0, extend);
        break;
    case TextEnd:
        moveCaret(m_text.size(), extend);
        break;
    }
    return true;
}

bool CodeView::event(QEvent *e)
{
    // Keys the view uses are not taken by the window's shortcuts.
    if (e->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (key == QKeySequence::Copy || key == QKeySequence::SelectAll || navigate(key, false)) {
            key->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void CodeView::keyPressEvent(QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (e == QKeySequence::Copy || (e->key() == Qt::Key_Insert && mods == Qt::ControlModifier)) {
        copy();
        return;
    }
    if (e == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    if (navigate(e, true))
        return;
    // The text is read-only: typing, pasting and deleting reach nothing.
    e->ignore();
}

// --- Mouse ---

void CodeView::offerSelection() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void CodeView::dragTo(const QPoint &pos)
{
    m_dragPos = pos;
    moveCaret(offsetAt(pos), true);
    // Held outside the view, the drag keeps scrolling that way.
    if (viewport()->rect().contains(pos))
        m_dragTimer.stop();
    else if (!m_dragTimer.isActive())
        m_dragTimer.start(kDragScrollMs, this);
}

void CodeView::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    moveCaret(offsetAt(e->position().toPoint()), e->modifiers() & Qt::ShiftModifier);
    m_dragging = true;
    m_dragPos = e->position().toPoint();
}

void CodeView::mouseMoveEvent(QMouseEvent *e)
{
    if (m_dragging && (e->buttons() & Qt::LeftButton))
        dragTo(e->position().toPoint());
}

void CodeView::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    m_dragTimer.stop();
    offerSelection();
}

void CodeView::timerEvent(QTimerEvent *e)
{
    if (e->timerId() != m_dragTimer.timerId()) {
        QAbstractScrollArea::timerEvent(e);
        return;
    }
    if (m_dragging)
        dragTo(m_dragPos);
    else
        m_dragTimer.stop();
}

void CodeView::selectWordAt(const QPoint &pos)
{
    const int row = int(std::floor(double(pos.y() - kMargin) / m_lineHeight));
    const int l = std::clamp(verticalScrollBar()->value() + row, 0, lineCount() - 1);
    const QStringView line = lineView(l);
    const qreal column = (pos.x() - kMargin + horizontalScrollBar()->value()) / m_column;
    // The character under the pointer; past the end of the line, the last.
    qsizetype at = -1;
    int length = 0;
    walk(line, [&](const Cell &cell) {
        at = cell.index;
        length = cell.length;
        return column >= cell.column + cell.columns;
    });
    if (at < 0) {
        moveCaret(m_starts[l], false);
        return;
    }
    qsizetype from = at;
    qsizetype to = at + length;
    const CharClass kind = classOf(line[at]);
    if (kind != CharClass::Other) {
        while (from > 0 && classOf(line[from - 1]) == kind)
            --from;
        while (to < line.size() && classOf(line[to]) == kind)
            ++to;
    }
    m_anchor = m_starts[l] + from;
    moveCaret(m_starts[l] + to, true);
}

void CodeView::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    m_dragTimer.stop();
    selectWordAt(e->position().toPoint());
    offerSelection();
}

void CodeView::contextMenuEvent(QContextMenuEvent *e)
{
    // The same words as the window's own menu.
    QMenu menu(this);
    QAction *copyItem = menu.addAction(
        QStringLiteral("Копировать") + QLatin1Char('\t') +
        QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText));
    copyItem->setEnabled(hasSelection());
    connect(copyItem, &QAction::triggered, this, &CodeView::copy);
    QAction *allItem = menu.addAction(
        QStringLiteral("Выделить все") + QLatin1Char('\t') +
        QKeySequence(QKeySequence::SelectAll).toString(QKeySequence::NativeText));
    allItem->setEnabled(!m_text.isEmpty());
    connect(allItem, &QAction::triggered, this, &CodeView::selectAll);
    menu.exec(e->globalPos());
}
