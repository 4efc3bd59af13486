#include "common/textfind.h"

#include <QtTest>

#include <limits>

using namespace vell;

namespace {

// Matches of "set" ignoring case start at 5 12 22 28 34 38; whole words are
// 5 12 28 38; in lower case 12 22 34 38.
const QString kText = QStringLiteral("call Set(a)\nset b = a_set + Set\nunset set");

} // namespace

class TestTextFind : public QObject
{
    Q_OBJECT

private slots:
    void find_data()
    {
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("backward");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("wrapped");
        QTest::newRow("first") << "set" << 0 << false << false << false << 5 << false;
        QTest::newRow("at from") << "set" << 12 << false << false << false << 12 << false;
        QTest::newRow("after from") << "set" << 6 << false << false << false << 12 << false;
        QTest::newRow("wraps to start") << "set" << 39 << false << false << false << 5 << true;
        QTest::newRow("case and word") << "set" << 13 << false << true << true << 38 << false;
        QTest::newRow("word any case") << "set" << 13 << false << false << true << 28 << false;
        QTest::newRow("back past part") << "set" << 28 << true << false << true << 12 << false;
        QTest::newRow("back wraps") << "set" << 5 << true << false << false << 38 << true;
        QTest::newRow("back case wraps") << "set" << 12 << true << true << false << 38 << true;
        QTest::newRow("back before from") << "set" << 30 << true << false << false << 28 << false;
        QTest::newRow("none in case") << "SET" << 0 << false << true << false << -1 << false;
        QTest::newRow("empty needle") << "" << 3 << false << false << false << -1 << false;
        QTest::newRow("longer than text")
            << kText + "x" << 0 << false << false << false << -1 << false;
        QTest::newRow("from past end") << "set" << 1000 << false << false << false << 5 << true;
        QTest::newRow("across a line") << "a)\nset" << 0 << false << false << false << 9 << false;
        QTest::newRow("underscore word") << "a_set" << 0 << false << false << true << 20 << false;
    }
    void find()
    {
        QFETCH(QString, needle);
        QFETCH(int, from);
        QFETCH(bool, backward);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        const FindHit hit = FindInText(kText, needle, from, backward, {matchCase, wholeWord});
        QTEST(int(hit.start), "start");
        QTEST(hit.wrapped, "wrapped");
    }

    void count_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<int>("count");
        QTest::newRow("any case") << kText << "set" << false << false << 6;
        QTest::newRow("case") << kText << "set" << true << false << 4;
        QTest::newRow("words") << kText << "SET" << false << true << 4;
        QTest::newRow("case words") << kText << "set" << true << true << 2;
        QTest::newRow("no overlap") << "aaaaa"
                                    << "aa" << false << false << 2;
        QTest::newRow("cyrillic case") << "Найти найти НАЙТИ"
                                       << "найти" << false << false << 3;
        QTest::newRow("empty") << kText << "" << false << false << 0;
    }
    void count()
    {
        QFETCH(QString, text);
        QFETCH(QString, needle);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QTEST(CountInText(text, needle, {matchCase, wholeWord}), "count");
    }

    void countText()
    {
        const QList<std::pair<int, const char *>> rows = {
            {0, "Не найдено"},       {1, "1 совпадение"},      {3, "3 совпадения"},
            {5, "5 совпадений"},     {11, "11 совпадений"},    {12, "12 совпадений"},
            {21, "21 совпадение"},   {22, "22 совпадения"},    {111, "111 совпадений"},
            {104, "104 совпадения"}, {1000, "1000 совпадений"}};
        for (const auto &[count, text] : rows)
            QCOMPARE(MatchCountText(count), QString::fromUtf8(text));
    }

    void lineForNumber()
    {
        QCOMPARE(LineForNumber(5, 10), 4);
        QCOMPARE(LineForNumber(1, 10), 0);
        QCOMPARE(LineForNumber(0, 10), 0);
        QCOMPARE(LineForNumber(-7, 10), 0);
        QCOMPARE(LineForNumber(11, 10), 9);
        QCOMPARE(LineForNumber(std::numeric_limits<int>::max(), 3), 2);
        QCOMPARE(LineForNumber(2, 0), 0);
    }
};

QTEST_APPLESS_MAIN(TestTextFind)
#include "tst_textfind.moc"
