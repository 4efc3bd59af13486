#include "codegen/vjasshighlight.h"

#include <QtTest>

using namespace vell;

namespace {

// "K:set A:ButtonVar N:1", lines apart by " | ".
QString show(const QString &text, const QStringList &arrays)
{
    static const char kLetters[] = "KTSRNCDA";
    QStringList lines;
    VjassLineState state;
    for (const QString &line : text.split(u'\n')) {
        QStringList spans;
        for (const HighlightSpan &s : HighlightVjassLine(line, state, arrays))
            spans << QString(QLatin1Char(kLetters[int(s.kind)])) + u':' +
                         line.mid(s.start, s.length);
        lines << spans.join(u' ');
    }
    return lines.join(QStringLiteral(" | "));
}

} // namespace

class TestVjassHighlight : public QObject
{
    Q_OBJECT

private slots:
    void spans_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("spans");
        QTest::newRow("header") << "function Foo takes integer a returns nothing"
                                << "K:function K:takes T:integer K:returns T:nothing";
        QTest::newRow("words") << "exitwhen x and not y or z"
                               << "K:exitwhen K:and K:not K:or";
        QTest::newRow("handle types") << "local timer t\nlocal texttag tt\nconstant real r = 2"
                                      << "K:local T:timer | K:local T:texttag | K:constant T:real "
                                         "N:2";
        QTest::newRow("vjass") << "private static method operator [] takes thistype k returns "
                                  "effect"
                               << "K:private K:static K:method K:operator K:takes K:thistype "
                                  "K:returns T:effect";
        QTest::newRow("string holding // and quotes")
            << "call P(\"a // b \\\"q\\\" c\") // tail"
            << "K:call S:\"a // b \\\"q\\\" c\" C:// tail";
        QTest::newRow("rawcodes beside strings") << "set u = F('hfoo',\"x'y\",'A\\'0')"
                                                 << "K:set R:'hfoo' S:\"x'y\" R:'A\\'0'";
        QTest::newRow("numbers") << "set r = 1.5+.25-3.*0x1F/$ff+017+42"
                                 << "K:set N:1.5 N:.25 N:3. N:0x1F N:$ff N:017 N:42";
        QTest::newRow("block comment across lines")
            << "local unit u /* one\nstill\nend */ set u = null"
            << "K:local T:unit C:/* one | C:still | C:end */ K:set K:null";
        QTest::newRow("string across lines") << "call F(\"ab\nc\", 7)"
                                             << "K:call S:\"ab | S:c\" N:7";
        QTest::newRow("directive and skipped body")
            << "//! textmacro M takes X\nset $X$ = 1\n//! endtextmacro"
            << "D://! textmacro M takes X |  | D://! endtextmacro";
        QTest::newRow("object arrays") << "set ButtonVar[1] = TextVar[20] + buttonvar[3]"
                                       << "K:set A:ButtonVar N:1 A:TextVar N:20 N:3";
        QTest::newRow("no spans") << "x = y[2](12ab)"
                                  << "N:2";
    }
    void spans()
    {
        QFETCH(QString, text);
        QTEST(show(text, {"ButtonVar", "PictureVar", "TextVar"}), "spans");
    }

    // Every colour reads on both backgrounds of the views (WCAG AA, 4.5:1).
    void contrast()
    {
        QCOMPARE(qRound(ContrastRatio(Qt::black, Qt::white) * 100), 2100);
        QCOMPARE(qRound(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white) * 100), 448);
        QCOMPARE(qRound(ContrastRatio(Qt::white, QColor(0x3C, 0x7A, 0x32)) * 100), 522);
        for (int k = 0; k <= int(HighlightKind::ObjectArray); ++k) {
            for (const QColor &background : {CodeBackground(), CurrentLineBackground()}) {
                const double ratio = ContrastRatio(HighlightColor(HighlightKind(k)), background);
                QVERIFY2(ratio >= 4.5, qPrintable(QString("kind %1: %2").arg(k).arg(ratio)));
            }
        }
    }

    // The state at a line is the one lexing from the top gives; the lines
    // lexed for it go from the nearest checkpoint at or before it.
    void stateCache()
    {
        QStringList lines(300, QStringLiteral("set x = 1"));
        lines[70] = QStringLiteral("call F() /* opens");
        lines[200] = QStringLiteral("closes */ call F(\"and a string");
        lines[230] = QStringLiteral("ends\")");
        const auto lineAt = [&](int l) {
            return QStringView(lines[l]);
        };
        const auto fromTop = [&](int line) {
            VjassLineState state;
            QList<VjassToken> tokens;
            for (int l = 0; l < line; ++l)
                LexVjassLine(lines[l], state, tokens);
            return state;
        };
        VjassStateCache cache;
        QVERIFY(cache.stateAt(150, lineAt).inComment);
        QCOMPARE(cache.linesLexed(), 150);
        QCOMPARE(cache.stateAt(140, lineAt), fromTop(140));
        QCOMPARE(cache.linesLexed(), 150 + 12);
        QCOMPARE(cache.stateAt(213, lineAt), fromTop(213));
        QVERIFY(cache.stateAt(213, lineAt).inString);
        QCOMPARE(cache.linesLexed(), 162 + (213 - 128) + (213 - 192));
        QCOMPARE(cache.stateAt(250, lineAt), fromTop(250));
        cache.clear();
        QCOMPARE(cache.stateAt(3, lineAt), VjassLineState());
    }
};

QTEST_APPLESS_MAIN(TestVjassHighlight)
#include "tst_vjasshighlight.moc"
