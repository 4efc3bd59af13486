#include "common/cp1251.h"
#include "common/labelfont.h"
#include "common/textforms.h"
#include "common/vellerror.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QtTest>

using namespace vell;

class TestTextForms : public QObject
{
    Q_OBJECT

private slots:
    void boolText()
    {
        QCOMPARE(BoolToText(true), QStringLiteral("true"));
        QCOMPARE(BoolToText(false), QStringLiteral("false"));
        QVERIFY(TextToBool("true"));
        QVERIFY(!TextToBool("True"));
        QVERIFY(!TextToBool("TRUE"));
        QVERIFY(!TextToBool("false"));
        QVERIFY(!TextToBool(""));
        QVERIFY(!TextToBool(" true"));
    }

    void intText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("minus zero") << "-0" << true << 0;
        QTest::newRow("negative") << "-217" << true << -217;
        QTest::newRow("leading zeros") << "007" << true << 7;
        QTest::newRow("max") << "2147483647" << true << 2147483647;
        QTest::newRow("min") << "-2147483648" << true << int(-2147483648LL);
        QTest::newRow("max+1") << "2147483648" << false << 0;
        QTest::newRow("min-1") << "-2147483649" << false << 0;
        QTest::newRow("eleven digits") << "99999999999" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("minus only") << "-" << false << 0;
        QTest::newRow("letter after") << "12a" << false << 0;
        QTest::newRow("leading space") << " 5" << false << 0;
        QTest::newRow("trailing space") << "5 " << false << 0;
        QTest::newRow("plus") << "+5" << false << 0;
        QTest::newRow("hex") << "$10" << false << 0;
        QTest::newRow("double minus") << "--5" << false << 0;
        QTest::newRow("arabic-indic digit") << QString::fromUtf8("\u0665") << false << 0;
        // A Cyrillic letter's byte is below the digits' as a signed char.
        QTest::newRow("cyrillic after") << QStringLiteral("12я") << false << 0;
    }

    void intText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto parsed = TryTextToInt(text);
        QCOMPARE(parsed.has_value(), valid);
        // A file line's bytes read as the line decoded.
        QByteArray bytes;
        if (EncodeCp1251(text, bytes))
            QCOMPARE(TryTextToInt(QByteArrayView(bytes)), parsed);
        if (valid) {
            QCOMPARE(*parsed, value);
            QCOMPARE(TextToInt(text), value);
        } else {
            try {
                TextToInt(text);
                QFAIL("no error raised");
            } catch (const VellError &e) {
                QCOMPARE(e.message(),
                         QStringLiteral("'%1' is not a valid integer value").arg(text));
            }
        }
    }

    void intToText()
    {
        QCOMPARE(IntToText(0), QStringLiteral("0"));
        QCOMPARE(IntToText(-5), QStringLiteral("-5"));
        QCOMPARE(IntToText(1234567), QStringLiteral("1234567"));
        QCOMPARE(IntToText(int(-2147483648LL)), QStringLiteral("-2147483648"));
    }

    void colorToText_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("text");
        QTest::newRow("black") << QColor(0, 0, 0) << "clBlack";
        QTest::newRow("maroon") << QColor(128, 0, 0) << "clMaroon";
        QTest::newRow("green") << QColor(0, 128, 0) << "clGreen";
        QTest::newRow("olive") << QColor(128, 128, 0) << "clOlive";
        QTest::newRow("navy") << QColor(0, 0, 128) << "clNavy";
        QTest::newRow("purple") << QColor(128, 0, 128) << "clPurple";
        QTest::newRow("teal") << QColor(0, 128, 128) << "clTeal";
        QTest::newRow("gray") << QColor(128, 128, 128) << "clGray";
        QTest::newRow("silver") << QColor(192, 192, 192) << "clSilver";
        QTest::newRow("red") << QColor(255, 0, 0) << "clRed";
        QTest::newRow("lime") << QColor(0, 255, 0) << "clLime";
        QTest::newRow("yellow") << QColor(255, 255, 0) << "clYellow";
        QTest::newRow("blue") << QColor(0, 0, 255) << "clBlue";
        QTest::newRow("fuchsia") << QColor(255, 0, 255) << "clFuchsia";
        QTest::newRow("aqua") << QColor(0, 255, 255) << "clAqua";
        QTest::newRow("white") << QColor(255, 255, 255) << "clWhite";
        QTest::newRow("money green") << QColor(192, 220, 192) << "clMoneyGreen";
        QTest::newRow("sky blue") << QColor(166, 202, 240) << "clSkyBlue";
        QTest::newRow("cream") << QColor(255, 251, 240) << "clCream";
        QTest::newRow("med gray") << QColor(160, 160, 164) << "clMedGray";
        QTest::newRow("orange") << QColor(255, 128, 0) << "$000080FF";
        QTest::newRow("bgr order") << QColor(0x12, 0x34, 0xAB) << "$00AB3412";
        QTest::newRow("near white") << QColor(255, 255, 254) << "$00FEFFFF";
    }

    void colorToText()
    {
        QFETCH(QColor, color);
        QFETCH(QString, text);
        QCOMPARE(ColorToText(color), text);
        QCOMPARE(TextToColor(text), color);
    }

    void textToColor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QColor>("color");
        QTest::newRow("lower case name") << "clred" << true << QColor(255, 0, 0);
        QTest::newRow("upper case name") << "CLTEAL" << true << QColor(0, 128, 128);
        QTest::newRow("mixed case name") << "ClMoNeYgReEn" << true << QColor(192, 220, 192);
        QTest::newRow("hex") << "$000080FF" << true << QColor(255, 128, 0);
        QTest::newRow("hex lower") << "$0000ff00" << true << QColor(0, 255, 0);
        QTest::newRow("hex short") << "$FF" << true << QColor(255, 0, 0);
        QTest::newRow("decimal") << "33023" << true << QColor(255, 128, 0);
        QTest::newRow("decimal zero") << "0" << true << QColor(0, 0, 0);
        QTest::newRow("interface colour") << "clBtnFace" << true << QColor(240, 240, 240);
        QTest::newRow("interface colour any case") << "CLWINDOWTEXT" << true << QColor(0, 0, 0);
        QTest::newRow("none") << "clNone" << true << QColor(0, 0, 0);
        QTest::newRow("default") << "clDefault" << true << QColor(0, 0, 0);
        QTest::newRow("empty") << "" << false << QColor();
        QTest::newRow("unknown name") << "clOrange" << false << QColor();
        QTest::newRow("dollar only") << "$" << false << QColor();
        QTest::newRow("bad hex") << "$00GG00" << false << QColor();
        QTest::newRow("too many hex digits") << "$000000000" << false << QColor();
        QTest::newRow("spaced") << " clRed" << false << QColor();
        QTest::newRow("word") << "red" << false << QColor();
    }

    void textToColor()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QColor, color);
        const auto parsed = TryTextToColor(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid) {
            QCOMPARE(*parsed, color);
        } else {
            QVERIFY_THROWS_EXCEPTION(VellError, TextToColor(text));
            try {
                TextToColor(text);
            } catch (const VellError &e) {
                QCOMPARE(e.message(),
                         QStringLiteral("'%1' is not a valid integer value").arg(text));
            }
        }
    }

    // Error texts quote at most 100 characters of the user's or a file's
    // text, so that a huge line cannot fill the error box.
    void longQuotesShortened_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quoted");
        const QString hundred = QString(50, QLatin1Char('x')) + QString(50, QChar(0x0416));
        const QString ellipsis(QChar(0x2026));
        const QString emoji = QString::fromUtf8("\U0001F600");
        QTest::newRow("short") << "orange"
                               << "orange";
        QTest::newRow("100 characters whole") << hundred << hundred;
        QTest::newRow("101 characters") << hundred + "y" << hundred + ellipsis;
        QTest::newRow("1 MB") << QString(1 << 20, QLatin1Char('7')) + "z"
                              << QString(100, QLatin1Char('7')) + ellipsis;
        QTest::newRow("pair counts once")
            << QString(99, QLatin1Char('a')) + emoji << QString(99, QLatin1Char('a')) + emoji;
        QTest::newRow("pair not split at the cut")
            << QString(99, QLatin1Char('a')) + emoji + "b"
            << QString(99, QLatin1Char('a')) + emoji + ellipsis;
    }
    void longQuotesShortened()
    {
        QFETCH(QString, text);
        QFETCH(QString, quoted);
        QCOMPARE(ShortQuote(text), quoted);
        const QString message = "'" + quoted + "' is not a valid integer value";
        QCOMPARE(invalidIntegerMessage(text), message);
        try {
            TextToColor(text);
            QFAIL("no error raised");
        } catch (const VellError &e) {
            QCOMPARE(e.message(), message);
        }
        QCOMPARE(cannotOpenMessage(text, "Why"), "Cannot open file \"" + quoted + "\". Why");
        QCOMPARE(cannotCreateMessage(text, "Why"), "Cannot create file \"" + quoted + "\". Why");
    }

    void plainLines()
    {
        for (const auto &[text, plain] : std::initializer_list<std::pair<QString, bool>>{
                 {"", true},
                 {QStringLiteral("Текст, ёлка\u0301 \u00a0!"), true},
                 {"tab\there", false},
                 {QStringLiteral("line\u2028separator"), false},
                 {QStringLiteral("\u2029"), false},
                 {QStringLiteral("nul") + QChar(0), false},
                 {"\x1f", false}})
            QVERIFY2(IsPlainLine(text) == plain, qPrintable(text));
    }

    void labelSizes()
    {
        // One-line labels are 13 pixels high; widths come from the bundled
        // font and must not depend on the machine's fonts.
        const QSize hello = LabelSize("Hello");
        QCOMPARE(hello.height(), 13);
        QVERIFY2(qAbs(hello.width() - 25) <= 2, qPrintable(QString::number(hello.width())));
        const QSize text = LabelSize(QStringLiteral("Текст"));
        QCOMPARE(text.height(), 13);
        QVERIFY(text.width() > 20 && text.width() < 34);
        QVERIFY(LabelSize("Hello, world").width() > hello.width());
        QVERIFY(LabelSize("").width() > 0);
        // Very long texts are measured piece by piece: the font engine's own
        // sum overflows past 2^25 pixels (4,000,000 of these 10.375-pixel
        // letters gave a negative width).
        QCOMPARE(QFontMetricsF(LabelFont()).horizontalAdvance(QLatin1Char('W')), 10.375);
        QCOMPARE(LabelSize(QString(300000, QLatin1Char('W'))).width(), 3112500);
        QCOMPARE(LabelSize(QString(4000000, QLatin1Char('W'))).width(), 41500000);
        const QString unit = QStringLiteral("Ok, ёлка\u0301 \U0001F600!");
        QCOMPARE(LabelSize(unit.repeated(30000)).width(),
                 qRound(QFontMetricsF(LabelFont()).horizontalAdvance(unit) * 30000));
    }

    // Label widths against the font engine measuring the whole text (a very
    // long one piece by piece), and the text 64 times over, where 1/64 of a
    // pixel of difference grows to a whole one. With `pairs`, every two
    // characters of the text are measured on their own that way.
    void labelWidths_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pairs");
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
        const QString page = DecodeCp1251(bytes);
        QString everyPair;
        for (const QChar a : page) {
            for (const QChar b : page)
                everyPair += QString(a) + b;
        }
        QTest::newRow("the code page") << page << false;
        QTest::newRow("every pair of its characters") << everyPair << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("tabs") << QStringLiteral("Надпись\t1\tx") << false;
        QTest::newRow("combining mark") << QStringLiteral("ёлка\u0301 е\u0308") << false;
        QTest::newRow("surrogate pair") << QStringLiteral("a\U0001F600b") << false;
        QTest::newRow("lone surrogates")
            << QStringLiteral("a") + QChar(0xD800) + QChar(0xDC00) << false;
        QTest::newRow("string terminator") << QStringLiteral("ab\u009Ccd") << false;
        QTest::newRow("line separator") << QStringLiteral("ab\u2028cd") << false;
        QTest::newRow("Hebrew with points")
            << QStringLiteral("\u05E9\u05C1\u05BC\u05D5\u05B9") << false;
        QTest::newRow("tone letters") << QStringLiteral("\u02E5\u02E9\u02E7 \u02E6\u02E8") << false;
        QTest::newRow("long text")
            << QStringLiteral("Надпись №1, «ёлка» - ").repeated(20000) << false;
    }
    void labelWidths()
    {
        QFETCH(QString, text);
        QFETCH(bool, pairs);
        const QFontMetricsF metrics(LabelFont());
        const auto exact = [&](const QString &t) {
            const QString shown = t.isEmpty() ? QStringLiteral(" ") : t;
            double advance = 0;
            if (shown.size() <= kLongestMeasuredWhole) {
                advance = metrics.horizontalAdvance(shown);
            } else {
                for (const LabelPiece &p : LabelPieces(shown))
                    advance += p.width;
            }
            return int(qRound64(advance));
        };
        QStringList texts{text};
        if (pairs) {
            texts.clear();
            for (qsizetype i = 0; i + 1 < text.size(); i += 2)
                texts.append(text.mid(i, 2));
        }
        for (const QString &t : texts) {
            if (!pairs)
                QCOMPARE(LabelSize(t).width(), exact(t));
            QCOMPARE(LabelSize(t.repeated(64)).width(), exact(t.repeated(64)));
        }
    }
};

QTEST_MAIN(TestTextForms)
#include "tst_textforms.moc"
