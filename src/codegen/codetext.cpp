#include "codegen/codetext.h"

#include "common/textforms.h"

#include <algorithm>

namespace vell {

namespace {

// Columns of a line counting a wide character as two (its most): exact for
// lines without one.
int estimateColumns(const char16_t *p, const char16_t *end)
{
    int column = 0;
    for (; p != end; ++p) {
        if (*p == u'\t')
            column += CodeText::kTabWidth - column % CodeText::kTabWidth;
        else
            column += *p >= CodeText::kFirstWide ? 2 : 1;
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
    // A mark goes with the letter it sits on.
    if (IsWordChar(c.unicode()) || c.isMark())
        return CharClass::Word;
    if (c.isSpace())
        return CharClass::Space;
    return CharClass::Other;
}

} // namespace

CodeText::CodeText(WideColumns wideColumns)
{
    setWideColumns(std::move(wideColumns));
}

void CodeText::setText(const QString &text)
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
}

QStringList CodeText::lines() const
{
    if (m_text.isEmpty())
        return {};
    return m_text.split(QLatin1Char('\n'));
}

QStringView CodeText::lineView(int line) const
{
    const qsizetype start = m_starts[line];
    const qsizetype end = line + 1 < lineCount() ? m_starts[line + 1] - 1 : m_text.size();
    return QStringView(m_text).mid(start, end - start);
}

int CodeText::lineOf(qsizetype offset) const
{
    return int(std::upper_bound(m_starts.begin(), m_starts.end(), offset) - m_starts.begin()) - 1;
}

// --- Columns ---

void CodeText::setWideColumns(WideColumns wideColumns)
{
    m_measure = std::move(wideColumns);
    m_wide.clear();
    m_wideColumns = 0;
    for (WideLine &w : m_wideLines) {
        w.columns = w.estimate;
        w.measured = false;
        m_wideColumns = std::max(m_wideColumns, w.columns);
    }
}

int CodeText::wideColumns(QStringView character) const
{
    const char32_t code = character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1])
                                                : char32_t(character[0].unicode());
    auto it = m_wide.constFind(code);
    if (it == m_wide.constEnd())
        it = m_wide.insert(code, m_measure ? qint8(m_measure(character)) : qint8(2));
    return *it;
}

CodeText::Cell CodeText::cellAt(QStringView line, qsizetype index, int column) const
{
    const char16_t c = line[index].unicode();
    if (c == u'\t')
        return {index, 1, column, kTabWidth - column % kTabWidth, Kind::Tab};
    if (c < kFirstWide) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || QChar::category(c) == QChar::Other_Format)
            return {index, 1, column, 1, Kind::Control};
        return {index, 1, column, 1, Kind::Narrow};
    }
    if (QChar::isHighSurrogate(c) && index + 1 < line.size() &&
        QChar::isLowSurrogate(line[index + 1].unicode()))
        return {index, 2, column, wideColumns(line.mid(index, 2)), Kind::Wide};
    const QChar::Category category = QChar::category(c);
    if (QChar::isSurrogate(c) || category == QChar::Other_Format ||
        category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
        return {index, 1, column, 1, Kind::Control};
    return {index, 1, column, wideColumns(line.mid(index, 1)), Kind::Wide};
}

int CodeText::columnOf(QStringView line, qsizetype index) const
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

qsizetype CodeText::indexNear(QStringView line, qreal column) const
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

qsizetype CodeText::offsetNear(int line, qreal column) const
{
    return m_starts[line] + indexNear(lineView(line), column);
}

bool CodeText::measureLine(int line)
{
    const auto it = std::lower_bound(m_wideLines.begin(), m_wideLines.end(), line,
                                     [](const WideLine &w, int l) { return w.line < l; });
    if (it == m_wideLines.end() || it->line != line || it->measured)
        return false;
    it->columns = lineColumns(lineView(line));
    it->measured = true;
    int widest = 0;
    for (const WideLine &w : m_wideLines)
        widest = std::max(widest, w.columns);
    if (widest == m_wideColumns)
        return false;
    m_wideColumns = widest;
    return true;
}

// --- Characters and words ---

qsizetype CodeText::nextOffset(qsizetype offset) const
{
    if (offset >= m_text.size())
        return offset;
    if (m_text[offset].isHighSurrogate() && offset + 1 < m_text.size() &&
        m_text[offset + 1].isLowSurrogate())
        return offset + 2;
    return offset + 1;
}

qsizetype CodeText::previousOffset(qsizetype offset) const
{
    if (offset <= 0)
        return 0;
    if (offset >= 2 && m_text[offset - 1].isLowSurrogate() && m_text[offset - 2].isHighSurrogate())
        return offset - 2;
    return offset - 1;
}

qsizetype CodeText::nextWord(qsizetype offset) const
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

qsizetype CodeText::previousWord(qsizetype offset) const
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

std::pair<qsizetype, qsizetype> CodeText::wordAt(int l, qreal column) const
{
    const qsizetype start = m_starts[l];
    const QStringView line = lineView(l);
    qsizetype at = -1;
    int length = 0;
    walk(line, [&](const Cell &cell) {
        at = cell.index;
        length = cell.length;
        return column >= cell.column + cell.columns;
    });
    if (at < 0)
        return {start, start};
    qsizetype from = at;
    qsizetype to = at + length;
    const CharClass kind = classOf(line[at]);
    if (kind != CharClass::Other) {
        while (from > 0 && classOf(line[from - 1]) == kind)
            --from;
        while (to < line.size() && classOf(line[to]) == kind)
            ++to;
    }
    return {start + from, start + to};
}

// --- Caret and selection ---

QString CodeText::selectedText() const
{
    const qsizetype from = selectionStart();
    return m_text.mid(from, selectionEnd() - from);
}

void CodeText::setCaret(qsizetype offset, bool extend, bool keepColumn)
{
    m_caret = offset;
    if (!extend)
        m_anchor = offset;
    if (!keepColumn)
        m_wantedColumn = columnOf(lineView(caretLine()), caretIndex());
}

void CodeText::move(Move step, bool extend)
{
    const int l = caretLine();
    switch (step) {
    case Move::NextChar:
        setCaret(!extend && hasSelection() ? selectionEnd() : nextOffset(m_caret), extend);
        break;
    case Move::PreviousChar:
        setCaret(!extend && hasSelection() ? selectionStart() : previousOffset(m_caret), extend);
        break;
    case Move::NextWord:
        setCaret(nextWord(m_caret), extend);
        break;
    case Move::PreviousWord:
        setCaret(previousWord(m_caret), extend);
        break;
    case Move::LineStart:
        setCaret(m_starts[l], extend);
        break;
    case Move::LineEnd:
        setCaret(m_starts[l] + lineView(l).size(), extend);
        break;
    case Move::TextStart:
        setCaret(0, extend);
        break;
    case Move::TextEnd:
        setCaret(m_text.size(), extend);
        break;
    }
}

void CodeText::moveLines(int count, bool extend)
{
    const int l = caretLine();
    const int target = std::clamp(l + count, 0, lineCount() - 1);
    if (target == l)
        setCaret(count > 0 ? m_text.size() : 0, extend);
    else
        setCaret(offsetNear(target, m_wantedColumn), extend, true);
}

void CodeText::selectAll()
{
    m_anchor = 0;
    m_caret = m_text.size();
    m_wantedColumn = columnOf(lineView(caretLine()), caretIndex());
}

void CodeText::selectWordAt(int line, qreal column)
{
    const auto [from, to] = wordAt(line, column);
    setCaret(from, false);
    setCaret(to, true);
}

} // namespace vell
