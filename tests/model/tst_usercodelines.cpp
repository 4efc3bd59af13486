#include "model/usercodefile.h"
#include "model/usercodelines.h"

#include "common/vellerror.h"
#include "filebytes.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vell;

class TestUserCodeLines : public QObject
{
    Q_OBJECT

private slots:
    void headers_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "function Foo takes nothing returns nothing" << true << "Foo";
        QTest::newRow("two spaces") << "function  Foo takes nothing" << true << "";
        QTest::newRow("leading space") << " function Foo takes nothing" << false << "function";
        QTest::newRow("name at end") << "function Foo" << true << "Foo";
        QTest::newRow("tab after word") << "function\tFoo takes nothing" << true << "takes";
        QTest::newRow("tab after name") << "function Foo\ttakes nothing" << true << "Foo\ttakes";
        QTest::newRow("longer word") << "functions Bar takes nothing" << true << "Bar";
        QTest::newRow("word alone") << "function" << true << "";
        QTest::newRow("space last") << "function " << true << "";
        QTest::newRow("too short") << "functio" << false << "";
        QTest::newRow("capital") << "Function Foo" << false << "Foo";
        QTest::newRow("endfunction") << "endfunction" << false << "";
        QTest::newRow("call") << " call Foo()" << false << "call";
    }
    void headers()
    {
        QFETCH(QString, line);
        QFETCH(bool, header);
        QFETCH(QString, name);
        QCOMPARE(IsFunctionLine(line), header);
        QCOMPARE(FunctionNameOfLine(line), name);
    }

    void listsNamesInTextOrder()
    {
        const QStringList lines{"function B takes nothing returns nothing",
                                "endfunction",
                                "function  Hidden takes nothing",
                                " function Indented takes nothing",
                                "function A",
                                "endfunction",
                                "functionality C",
                                "function B takes integer i returns nothing",
                                "function"};
        QCOMPARE(ListFunctionNames(lines), QStringList({"B", "A", "C", "B"}));
        // From the text the same names, a final line without a break, a
        // carriage return kept in the name, and no empty last line.
        QCOMPARE(ListFunctionNamesInText(lines.join('\n')), QStringList({"B", "A", "C", "B"}));
        QCOMPARE(ListFunctionNamesInText(u"function X\r\n\nfunction Y z\n"),
                 QStringList({"X\r", "Y"}));
        QCOMPARE(ListFunctionNamesInText(u"\n\n"), QStringList());
        QCOMPARE(ListFunctionNamesInText(u"function P\u2029function Q\nfunction R",
                                         QChar::ParagraphSeparator),
                 QStringList({"P", "Q\nfunction"}));
    }

    void findsFirstOfDuplicates()
    {
        const QStringList lines{"globals",     "endglobals",   "function  F", "function F x",
                                "endfunction", "function F y", "endfunction"};
        QCOMPARE(FindFunctionLine(lines, "F"), 3);
        QCOMPARE(FindFunctionLine(lines, "f"), -1);
        QCOMPARE(FindFunctionLine(lines, "G"), -1);
        QCOMPARE(FindFunctionLine({" function F"}, "F"), -1);
    }

    void echoLines()
    {
        QCOMPARE(
            EchoFunctionLines(),
            QStringList({"function ECHO takes string msg returns nothing",
                         " call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)", "endfunction"}));
    }

    void textLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("back");
        QTest::newRow("empty") << "" << QStringList{} << "";
        QTest::newRow("one line") << "a" << QStringList{"a"} << "a\n";
        QTest::newRow("final break") << "a\n" << QStringList{"a"} << "a\n";
        QTest::newRow("empty last line") << "a\n\n" << QStringList{"a", ""} << "a\n\n";
        QTest::newRow("only a break") << "\n" << QStringList{""} << "\n";
        QTest::newRow("two lines") << "a\nb" << QStringList{"a", "b"} << "a\nb\n";
    }
    void textLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QFETCH(QString, back);
        QCOMPARE(TextToLines(text), lines);
        QCOMPARE(LinesToText(lines), back);
        QCOMPARE(TextToLines(LinesToText(lines)), lines);
    }

    void userCodeFileRefusesNul()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("code.j");
        writeBytes(path, QByteArray("a\r\n\0", 4));
        try {
            readUserCodeFile(path);
            QFAIL("no error");
        } catch (const VellError &e) {
            QCOMPARE(e.message(), "Файл \"" + path +
                                      "\" содержит нулевой символ: его текст нельзя загрузить без "
                                      "изменений.");
        }
    }
};

QTEST_APPLESS_MAIN(TestUserCodeLines)
#include "tst_usercodelines.moc"
