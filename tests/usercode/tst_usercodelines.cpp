#include "usercode/usercodefile.h"
#include "usercode/usercodelines.h"

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

    void removeFunc_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("middle function")
            << QStringList{"function A", "endfunction", "function B takes nothing",
                           " call A()",  "endfunction", "function C",
                           "endfunction"}
            << "B" << QStringList{"function A", "endfunction", "function C", "endfunction"};
        QTest::newRow("first of two same names")
            << QStringList{"// top",      "function F takes nothing",   " set x = 1",
                           "endfunction", "function F takes integer i", " set x = i",
                           "endfunction"}
            << "F"
            << QStringList{"// top", "function F takes integer i", " set x = i", "endfunction"};
        QTest::newRow("indented closing line ends it")
            << QStringList{"function A", " call B()", " endfunction", "function B", "endfunction"}
            << "A" << QStringList{"function B", "endfunction"};
        QTest::newRow("tabs and trailing spaces around closing line")
            << QStringList{"function A", "\tendfunction  \t", "x"} << "A" << QStringList{"x"};
        QTest::newRow("longer word is no closing line")
            << QStringList{"function A", "endfunctions", "endfunction", "x"} << "A"
            << QStringList{"x"};
        QTest::newRow("no closing line leaves text")
            << QStringList{"function A", " call B()", "function B"} << "A"
            << QStringList{"function A", " call B()", "function B"};
        QTest::newRow("unknown name") << QStringList{"function A", "endfunction"} << "Z"
                                      << QStringList{"function A", "endfunction"};
        // Lines that name the function without being its header stay.
        QTest::newRow("call before the header")
            << QStringList{"function Init",
                           " call Foo()",
                           "endfunction",
                           "call Foo",
                           "function Foo takes nothing returns nothing",
                           " set x = 1",
                           "endfunction"}
            << "Foo" << QStringList{"function Init", " call Foo()", "endfunction", "call Foo"};
        QTest::newRow("call without any header") << QStringList{"call Foo", "endfunction"} << "Foo"
                                                 << QStringList{"call Foo", "endfunction"};
        QTest::newRow("word inside a longer one before the header")
            << QStringList{"callfunction Foo", "function Foo", "endfunction"} << "Foo"
            << QStringList{"callfunction Foo"};
        QTest::newRow("last function without anything after")
            << QStringList{"x", "function A", "endfunction"} << "A" << QStringList{"x"};
    }
    void removeFunc()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, name);
        QFETCH(QStringList, expected);
        const bool changed = lines != expected;
        // Putting nothing in a function's place removes it the same way.
        QCOMPARE(ReplaceFunctions(lines, {FunctionText{name, {}}}), expected);
        QCOMPARE(RemoveFunc(lines, name), changed);
        QCOMPARE(lines, expected);
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
