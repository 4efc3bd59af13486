#include "codegen/gui/codeview.h"

#include "common/codefont.h"
#include "common/gui/linegutter.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGlyphRun>
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

// Characters below this, of a monospace font's own width, are drawn in runs
// with their neighbours: Latin, Greek, Cyrillic, Armenian. Later scripts may
// join or reorder, which would move them off their columns.
constexpr char16_t kRunLimit = 0x590;
// Between auto-scroll steps while a drag is held outside the view.
constexpr int kDragScrollMs = 50;

} // namespace

CodeView::CodeView(QWidget *parent) : QAbstractScrollArea(parent), m_gutter(new LineGutter(this))
{
    setFont(vell::CodeFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Base, vell::CodeBackground());
    pal.setColor(QPalette::Text, Qt::black);
    setPalette(pal);
    m_gutter->rows = [this] {
        QList<GutterRow> rows;
        const int first = verticalScrollBar()->value();
        const int caret = caretLine();
        for (int l = first; l <= lastLineShown(); ++l)
            rows.append({l, kMargin + (l - first) * m_lineHeight, l == caret, false});
        return rows;
    };
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    updateMetrics();
    updateGutter();
    updateScrollBars();
}

void CodeView::setText(const QString &text)
{
    m_code.setText(text);
    m_states.clear();
    m_dragging = false;
    m_dragTimer.stop();
    updateGutter();
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    noteSelection();
}

void CodeView::setArrayNames(const QStringList &names)
{
    m_arrayNames = names;
    viewport()->update();
}

QList<vell::HighlightSpan> CodeView::lineSpans(int line)
{
    vell::VjassLineState state =
        m_states.stateAt(line, [this](int l) { return m_code.lineView(l); });
    return vell::HighlightVjassLine(m_code.lineView(line), state, m_arrayNames);
}

void CodeView::selectRange(qsizetype from, qsizetype to)
{
    m_code.setCaret(from, false);
    m_code.setCaret(to, true);
    caretMoved();
}

void CodeView::goToLine(int line)
{
    line = std::clamp(line, 0, lineCount() - 1);
    m_code.setCaret(m_code.lineStart(line), false);
    verticalScrollBar()->setValue(line - fullLinesShown() / 2);
    caretMoved();
}

void CodeView::selectAll()
{
    m_code.selectAll();
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

// --- Characters drawn and points ---

bool CodeView::fitsRun(char16_t c) const
{
    if (c >= kRunLimit)
        return false;
    qint8 &known = m_runs[c];
    if (known < 0) {
        const QChar ch(c);
        const QList<quint32> glyphs = m_rawFont.glyphIndexesForString(QString(ch));
        m_glyphs[c] = glyphs.size() == 1 ? glyphs[0] : 0;
        known = !ch.isMark() && m_glyphs[c] != 0 &&
                std::abs(QFontMetricsF(font()).horizontalAdvance(ch) - m_column) < 0.001;
    }
    return known;
}

std::pair<int, qreal> CodeView::lineColumnAt(const QPoint &pos) const
{
    const int row = int(std::floor(double(pos.y() - kMargin) / m_lineHeight));
    const int line = std::clamp(verticalScrollBar()->value() + row, 0, lineCount() - 1);
    const qreal column = (pos.x() - kMargin + horizontalScrollBar()->value()) / m_column;
    return {line, column};
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
    m_glyphs.assign(kRunLimit, 0);
    m_rawFont = QRawFont::fromFont(font());
    // Wide lines are counted again as they come into sight.
    m_code.setWideColumns([metrics, column = m_column](QStringView character) {
        return metrics.horizontalAdvance(character.toString()) > 1.5 * column ? 2 : 1;
    });
}

int CodeView::lastLineShown() const
{
    return std::min(lineCount() - 1,
                    verticalScrollBar()->value() + (viewport()->height() - kMargin) / m_lineHeight);
}

void CodeView::updateGutter()
{
    m_gutter->setFont(font());
    m_gutter->lineHeight = m_lineHeight;
    const int width = m_gutter->widthFor(lineCount());
    if (width != viewportMargins().left())
        setViewportMargins(width, 0, 0, 0);
    const QRect area = contentsRect();
    m_gutter->setGeometry(area.left(), area.top(), width, viewport()->height());
    m_gutter->update();
}

int CodeView::fullLinesShown() const
{
    return std::max(1, (viewport()->height() - kMargin) / m_lineHeight);
}

int CodeView::contentWidth() const
{
    const int columns = m_code.widestColumns();
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
    if (m_code.measureLine(line))
        updateScrollBars();
}

void CodeView::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    updateGutter();
    updateScrollBars();
}

void CodeView::scrollContentsBy(int, int dy)
{
    viewport()->update();
    if (dy != 0)
        m_gutter->update();
}

void CodeView::changeEvent(QEvent *e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        updateMetrics();
        updateGutter();
        updateScrollBars();
        viewport()->update();
    }
}

// --- Painting ---

void CodeView::paintLine(QPainter &p, QStringView line, qreal x0, qreal top, qreal left,
                         qreal right, const QList<vell::HighlightSpan> *spans) const
{
    const qreal baseline = top + m_ascent;
    // The colour changes where a span starts or ends; runs break there.
    const QColor plain = p.pen().color();
    QColor current = plain;
    qsizetype span = 0;
    const auto colourAt = [&](qsizetype index) {
        while (span < spans->size() && (*spans)[span].start + (*spans)[span].length <= index)
            ++span;
        if (span < spans->size() && (*spans)[span].start <= index)
            return vell::HighlightColor((*spans)[span].kind);
        return plain;
    };
    QList<quint32> glyphs;
    QList<QPointF> positions;
    const auto flush = [&] {
        if (!glyphs.isEmpty()) {
            QGlyphRun run;
            run.setRawFont(m_rawFont);
            run.setGlyphIndexes(glyphs);
            run.setPositions(positions);
            p.drawGlyphRun(QPointF(0, 0), run);
            glyphs.clear();
            positions.clear();
        }
    };
    using Cell = vell::CodeText::Cell;
    using Kind = vell::CodeText::Kind;
    m_code.walk(line, [&](const Cell &cell) {
        const qreal x = x0 + cell.column * m_column;
        const qreal width = cell.columns * m_column;
        if (x > right)
            return false;
        // A glyph may reach a little past its columns.
        if (x + width + 2 * m_column < left)
            return true;
        // A space looks the same in any colour and stays in the run.
        if (spans && line[cell.index] != u' ') {
            const QColor colour = colourAt(cell.index);
            if (colour != current) {
                flush();
                current = colour;
                p.setPen(colour);
            }
        }
        switch (cell.kind) {
        case Kind::Narrow:
            if (const char16_t c = line[cell.index].unicode(); fitsRun(c)) {
                if (c != u' ') {
                    glyphs.append(m_glyphs[c]);
                    positions.append(QPointF(x, baseline));
                }
                break;
            }
            [[fallthrough]];
        case Kind::Wide:
            flush();
            p.drawText(QPointF(x, baseline), line.mid(cell.index, cell.length).toString());
            break;
        case Kind::Tab:
            flush();
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
    const int last = lastLineShown();
    vell::VjassLineState state =
        m_states.stateAt(first, [this](int l) { return m_code.lineView(l); });
    const qsizetype selFrom = m_code.selectionStart();
    const qsizetype selTo = m_code.selectionEnd();

    for (int l = first; l <= last; ++l) {
        measureLine(l);
        const QStringView line = m_code.lineView(l);
        const qreal top = kMargin + (l - first) * m_lineHeight;
        const qsizetype start = m_code.lineStart(l);
        const qsizetype end = start + line.size();
        const QList<vell::HighlightSpan> spans =
            vell::HighlightVjassLine(line, state, m_arrayNames);
        QRectF selected;
        if (selFrom < selTo && selFrom <= end && selTo > start) {
            const qreal from =
                x0 + m_code.columnOf(line, std::max(selFrom, start) - start) * m_column;
            qreal to = x0 + m_code.columnOf(line, std::min(selTo, end) - start) * m_column;
            if (selTo > end) // the line break is selected too
                to += m_column;
            selected = QRectF(from, top, to - from, m_lineHeight);
            p.fillRect(selected, pal.color(QPalette::Highlight));
        }
        p.setPen(pal.color(QPalette::Text));
        paintLine(p, line, x0, top, 0, right, &spans);
        if (!selected.isEmpty()) {
            p.save();
            p.setClipRect(selected);
            p.setPen(pal.color(QPalette::HighlightedText));
            paintLine(p, line, x0, top, selected.left(), selected.right(), nullptr);
            p.restore();
        }
    }

    const int caret = caretLine();
    if (hasFocus() && caret >= first && caret <= last) {
        const qreal x = x0 + m_code.columnOf(m_code.lineView(caret), caretIndex()) * m_column;
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

void CodeView::moveCaret(qsizetype offset, bool extend)
{
    m_code.setCaret(offset, extend);
    caretMoved();
}

void CodeView::caretMoved()
{
    ensureCaretVisible();
    viewport()->update();
    m_gutter->update();
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
    const qreal x = kMargin + m_code.columnOf(m_code.lineView(l), caretIndex()) * m_column;
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

    using Move = vell::CodeText::Move;
    switch (found->step) {
    case NextChar:
        m_code.move(Move::NextChar, extend);
        break;
    case PreviousChar:
        m_code.move(Move::PreviousChar, extend);
        break;
    case NextWord:
        m_code.move(Move::NextWord, extend);
        break;
    case PreviousWord:
        m_code.move(Move::PreviousWord, extend);
        break;
    case NextLine:
        m_code.moveLines(1, extend);
        break;
    case PreviousLine:
        m_code.moveLines(-1, extend);
        break;
    case NextPage:
    case PreviousPage: {
        // The view moves by a page and the caret with it, keeping its place
        // on the screen.
        const int page = found->step == NextPage ? fullLinesShown() : -fullLinesShown();
        verticalScrollBar()->setValue(verticalScrollBar()->value() + page);
        m_code.moveLines(page, extend);
        break;
    }
    case LineStart:
        m_code.move(Move::LineStart, extend);
        break;
    case LineEnd:
        m_code.move(Move::LineEnd, extend);
        break;
    case TextStart:
        m_code.move(Move::TextStart, extend);
        break;
    case TextEnd:
        m_code.move(Move::TextEnd, extend);
        break;
    }
    caretMoved();
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
    const auto [line, column] = lineColumnAt(pos);
    moveCaret(m_code.offsetNear(line, column), true);
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
    const auto [line, column] = lineColumnAt(e->position().toPoint());
    moveCaret(m_code.offsetNear(line, column), e->modifiers() & Qt::ShiftModifier);
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

void CodeView::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    m_dragTimer.stop();
    const auto [line, column] = lineColumnAt(e->position().toPoint());
    m_code.selectWordAt(line, column);
    caretMoved();
    offerSelection();
}

void CodeView::contextMenuEvent(QContextMenuEvent *e)
{
    // The same words as the window's own menu.
    QMenu menu(this);
    QAction *copyItem =
        menu.addAction(QStringLiteral("Копировать") + QLatin1Char('\t') +
                       QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText));
    copyItem->setEnabled(hasSelection());
    connect(copyItem, &QAction::triggered, this, &CodeView::copy);
    QAction *allItem =
        menu.addAction(QStringLiteral("Выделить все") + QLatin1Char('\t') +
                       QKeySequence(QKeySequence::SelectAll).toString(QKeySequence::NativeText));
    allItem->setEnabled(!text().isEmpty());
    connect(allItem, &QAction::triggered, this, &CodeView::selectAll);
    menu.exec(e->globalPos());
}
