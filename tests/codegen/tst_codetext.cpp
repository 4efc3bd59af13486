#include "codegen/codetext.h"

#include <QtTest>

#include <array>
#include <string_view>
#include <tuple>

using namespace vell;

namespace {

// Stands in for the font: surrogate pairs and the CJK and Hangul blocks take
// two columns, every other wide character one.
int testColumns(QStringView c)
{
    const char16_t u = c[0].unicode();
    return c.size() == 2 || (u >= 0x2E80 && u < 0xA4D0) || (u >= 0xAC00 && u < 0xD7A4) ? 2 : 1;
}

// Lines start at 0, 13, 16, 17 and 36; the text is 47 units long.
const QString kText = QStringLiteral("\tint x = 中文;\nab\n\na\U0001F600b\u0001c endfunction\n"
                                     "Привет, мир");
// Columns: tab 0-7, Ж 8, 中 9-10, box 11, pair 12-13, tab 14-15, q 16.
const QString kMixed = QStringLiteral("\tЖ中\u0001\U0001F600\tq");

} // namespace

class TestCodeText : public QObject
{
    Q_OBJECT

private slots:
    void cells_data();
    void cells();
    void widest_data();
    void widest();
    void words_data();
    void words();
    void wordAt_data();
    void wordAt();
    void moves_data();
    void moves();
};

void TestCodeText::cells_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("cells"); // kind of each, and columns of tabs and wide ones
    QTest::newRow("mixed") << kMixed << "T8 N W2 C W2 T2 N";
    QTest::newRow("C0, C1, no-break space, soft hyphen")
        << QStringLiteral("a\rb\u007F\u0085\u00A0\u00AD") << "N C N C C N C";
    QTest::newRow("separator, format, ideographic space")
        << QStringLiteral("\u2028\u200B\uFEFF\u3000") << "C C C W2";
    QTest::newRow("lone and reversed surrogates")
        << QString(QChar(0xD800)) + QChar(u'x') + QChar(0xDE00) + QChar(0xD83D) << "C N C C";
    QTest::newRow("tab at 7, tab at 8")
        << QStringLiteral("abcdefg\t\tc") << "N N N N N N N T1 T8 N";
    QTest::newRow("narrow wide, Latin, Hangul") << QStringLiteral("→ü한\t") << "W1 N W2 T4";
}

void TestCodeText::cells()
{
    QFETCH(QString, line);
    QFETCH(QString, cells);
    const CodeText code(testColumns);
    QStringList seen;
    int column = 0;
    qsizetype index = 0;
    code.walk(line, [&](const CodeText::Cell &cell) {
        // Each cell starts where the one before it ended.
        if (cell.column != column || cell.index != index || code.columnOf(line, index) != column)
            seen << QStringLiteral("gap");
        // The nearest boundary: the cell's start up to its middle, then its end.
        const qreal middle = cell.column + cell.columns / 2.0;
        if (code.indexNear(line, middle - 0.1) != cell.index ||
            code.indexNear(line, middle) != cell.index + cell.length)
            seen << QStringLiteral("near");
        const QChar kind = QLatin1Char("NWTC"[int(cell.kind)]);
        seen << (kind == u'N' || kind == u'C' ? QString(kind)
                                              : kind + QString::number(cell.columns));
        column += cell.columns;
        index += cell.length;
        return true;
    });
    QCOMPARE(seen.join(QLatin1Char(' ')), cells);
    QCOMPARE(index, line.size());
    QCOMPARE(code.lineColumns(line), column);
    QCOMPARE(code.columnOf(line, line.size() + 3), column);
    QCOMPARE(code.indexNear(line, -2.5), 0);
    QCOMPARE(code.indexNear(line, column + 23.0), line.size());
    // An index inside a pair counts as after it.
    QCOMPARE(code.columnOf(kMixed, 5), 14);
}

void TestCodeText::widest_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("widest"); // before measuring, then after each line
    QTest::addColumn<int>("asked");      // wide characters measured
    QTest::newRow("tab line") << QStringLiteral("abc\n\tx") << "9 9 9" << 0;
    QTest::newRow("wide as estimated") << QStringLiteral("中文x\nab") << "5 5 5" << 2;
    QTest::newRow("narrow arrows") << QStringLiteral("ab→→→z\nabcd") << "9 6 6" << 1;
    QTest::newRow("pair and tab") << QStringLiteral("\U0001F600\tq") << "9 9" << 1;
    QTest::newRow("line separator a box") << QStringLiteral("\u0001\u0001\u2028x") << "5 4" << 0;
    QTest::newRow("an estimate keeps the widest")
        << QStringLiteral("中中\U0001F600\n文中→→\nab") << "8 8 6 6" << 4;
    QTest::newRow("empty") << QString() << "0 0" << 0;
}

void TestCodeText::widest()
{
    QFETCH(QString, text);
    QFETCH(QString, widest);
    QFETCH(int, asked);
    int measured = 0;
    CodeText code([&](QStringView c) {
        ++measured;
        return testColumns(c);
    });
    code.setText(text);
    QStringList seen{QString::number(code.widestColumns())};
    for (int l = 0; l < code.lineCount(); ++l) {
        const int before = code.widestColumns();
        const bool changed = code.measureLine(l);
        // Says when the widest changed; a second time changes nothing.
        if (changed != (code.widestColumns() != before) || code.measureLine(l))
            seen << QStringLiteral("wrong");
        seen << QString::number(code.widestColumns());
    }
    QCOMPARE(seen.join(QLatin1Char(' ')), widest);
    QCOMPARE(measured, asked);
    // Another font: counted at the estimate again until measured.
    code.setWideColumns({});
    QCOMPARE(code.widestColumns(), widest.section(QLatin1Char(' '), 0, 0).toInt());
}

void TestCodeText::words_data()
{
    QTest::addColumn<int>("offset"); // in kText
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("next");
    QTest::addColumn<int>("previous");
    // The tab, inside int, =, 中文, a line end, the empty line, a before the
    // pair, the pair, inside it, b after it, c after the box, the comma, the
    // text end.
    const std::array<int, 4> rows[] = {
        {0, 0, 1, 0},    {2, 0, 5, 1},    {7, 0, 9, 5},    {9, 0, 11, 7},   {12, 0, 13, 11},
        {16, 2, 17, 15}, {17, 3, 18, 16}, {18, 3, 20, 17}, {19, 3, 20, 18}, {20, 3, 21, 18},
        {22, 3, 24, 21}, {42, 4, 44, 36}, {47, 4, 47, 44}};
    for (const auto &[offset, line, next, previous] : rows)
        QTest::addRow("offset %d", offset) << offset << line << next << previous;
}

void TestCodeText::words()
{
    QFETCH(int, offset);
    QFETCH(int, line);
    QFETCH(int, next);
    QFETCH(int, previous);
    CodeText code(testColumns);
    code.setText(kText);
    QCOMPARE(code.lineOf(offset), line);
    QCOMPARE(code.nextWord(offset), next);
    QCOMPARE(code.previousWord(offset), previous);
}

void TestCodeText::wordAt_data()
{
    QTest::addColumn<int>("line"); // of kText
    QTest::addColumn<qreal>("column");
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("word");
    // Past the end of a line: its last character; on an empty line, nothing.
    const std::tuple<int, qreal, int, const char16_t *> rows[] = {
        {0, 3.0, 0, u"\t"},      {0, 14.2, 7, u"="}, {0, 17.9, 9, u"中文"},
        {0, 40.0, 11, u";"},     {2, 5.0, 16, u""},  {3, 2.5, 18, u"\U0001F600"},
        {3, 4.0, 21, u"\u0001"}, {3, 6.3, 23, u" "}, {4, 4.0, 36, u"Привет"}};
    for (const auto &[line, column, from, word] : rows)
        QTest::addRow("line %d column %g", line, column)
            << line << column << from << QString::fromUtf16(word);
}

void TestCodeText::wordAt()
{
    QFETCH(int, line);
    QFETCH(qreal, column);
    QFETCH(int, from);
    QFETCH(QString, word);
    CodeText code(testColumns);
    code.setText(kText);
    QCOMPARE(code.wordAt(line, column), std::make_pair(qsizetype(from), from + word.size()));
    code.selectWordAt(line, column);
    QCOMPARE(code.anchor(), from);
    QCOMPARE(code.selectedText(), word);
}

void TestCodeText::moves_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("wanted"); // column
    // > < character, w b word, ^ $ line start and end, g G text start and
    // end, j k line, J K three lines, a all; + extends, *n repeats.
    const std::tuple<const char *, int, int, int> rows[] = {
        {"$ j*3", 35, 35, 21}, {"G ^ >*2 +k", 20, 38, 2}, {"j*3 >*2 +<", 18, 20, 1},
        {"+>*3 >", 3, 3, 10},  {"$ +<*2 >", 12, 12, 21},  {"j*3 >*4 +<*2 <", 20, 20, 3},
        {"+w*3", 7, 0, 14},    {"G +b*4", 35, 47, 18},    {"J*3", 47, 47, 11},
        {"G +K*2", 4, 47, 11}, {"$ +k", 0, 12, 0},        {"G ^ +j", 47, 36, 11},
        {"a k", 28, 28, 11},   {"G +^", 36, 47, 0}};
    for (const auto &[keys, caret, anchor, wanted] : rows)
        QTest::newRow(keys) << QString::fromLatin1(keys) << caret << anchor << wanted;
}

void TestCodeText::moves()
{
    QFETCH(QString, keys);
    QFETCH(int, caret);
    QFETCH(int, anchor);
    QFETCH(int, wanted);
    CodeText code(testColumns);
    code.setText(kText);
    for (const QString &token : keys.split(QLatin1Char(' '))) {
        const bool extend = token.startsWith(QLatin1Char('+'));
        const QStringList parts = token.mid(extend ? 1 : 0).split(QLatin1Char('*'));
        for (int n = parts.value(1, QStringLiteral("1")).toInt(); n > 0; --n) {
            // The keys of Move in its order, then of moveLines.
            const char key = parts[0][0].toLatin1();
            const size_t step = std::string_view("><wb^$gG").find(key);
            const size_t lines = std::string_view("jkJK").find(key);
            if (step != std::string_view::npos)
                code.move(CodeText::Move(step), extend);
            else if (lines != std::string_view::npos)
                code.moveLines(std::array{1, -1, 3, -3}[lines], extend);
            else if (key == 'a')
                code.selectAll();
            else
                QFAIL(qPrintable(token));
        }
    }
    QCOMPARE(code.caret(), caret);
    QCOMPARE(code.anchor(), anchor);
    QCOMPARE(code.wantedColumn(), wanted);
    QCOMPARE(code.selectedText(), kText.mid(std::min(caret, anchor), std::abs(caret - anchor)));
    QCOMPARE(code.caretIndex(), caret - code.lineStart(code.caretLine()));
}

QTEST_MAIN(TestCodeText)
#include "tst_codetext.moc"
