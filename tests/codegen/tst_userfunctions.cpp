#include "codegen/userfunctions.h"

#include <QtTest>

using namespace vell;

namespace {

QString header(const QString &name)
{
    return QStringLiteral("function ") + name + QStringLiteral(" takes nothing returns nothing");
}

} // namespace

// Removing and replacing the user code's functions, and telling whether a
// function is still what its list writes.
class TestUserFunctions : public QObject
{
    Q_OBJECT

private slots:
    void removeFunction_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("expected");
        const QString end = QStringLiteral("endfunction");

        QTest::newRow("first of two same names")
            << QStringList{"// top",
                           header("F"),
                           " set x = 1",
                           end,
                           "function F takes integer i returns nothing",
                           " set x = i",
                           end}
            << "F"
            << QStringList{"// top", "function F takes integer i returns nothing", " set x = i",
                           end};
        // Whatever follows the closing word belongs to the function; the
        // next function stays.
        QTest::newRow("comment after endfunction")
            << QStringList{header("Button_1_Left_Actions"),
                           " call ECHO(\"hi\")",
                           "endfunction // left click",
                           header("Mine"),
                           " call A()",
                           end}
            << "Button_1_Left_Actions" << QStringList{header("Mine"), " call A()", end};
        QTest::newRow("indented, tabs after endfunction")
            << QStringList{"x", "    " + header("A"), "\t call B()", "    endfunction\t ", "y"}
            << "A" << QStringList{"x", "y"};
        QTest::newRow("in a library under its own name")
            << QStringList{"library Shop", header("A"), end, "endlibrary"} << "A"
            << QStringList{"library Shop", "endlibrary"};
        QTest::newRow("public in a library under the map's name")
            << QStringList{"library Clicks", "public " + header("MyClick"), end, "endlibrary"}
            << "Clicks_MyClick" << QStringList{"library Clicks", "endlibrary"};
        QTest::newRow("public in a library not under the written name")
            << QStringList{"library Clicks", "public " + header("MyClick"), end, "endlibrary"}
            << "MyClick"
            << QStringList{"library Clicks", "public " + header("MyClick"), end, "endlibrary"};
        // A function the reader cannot end at its own endfunction stays
        // whole; the one after it is still its own.
        QTest::newRow("no endfunction of its own")
            << QStringList{header("A"), " call B()", header("B"), end} << "A"
            << QStringList{header("A"), " call B()", header("B"), end};
        QTest::newRow("the function after one without endfunction")
            << QStringList{header("A"), " call B()", header("B"), " call C()", end} << "B"
            << QStringList{header("A"), " call B()"};
        QTest::newRow("endfunction in a string and a block comment")
            << QStringList{header("A"),
                           " call ECHO(\"endfunction\")",
                           " /* endfunction",
                           "*/",
                           end,
                           header("B"),
                           end}
            << "A" << QStringList{header("B"), end};
        // Lines that name the function without being its header stay.
        QTest::newRow("call before the header")
            << QStringList{header("Init"), " call Foo()", end, header("Foo"), " set x = 1", end}
            << "Foo" << QStringList{header("Init"), " call Foo()", end};
    }
    void removeFunction()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, name);
        QFETCH(QStringList, expected);
        const bool changed = lines != expected;
        // Putting nothing in a function's place removes it the same way.
        QCOMPARE(ReplaceUserFunctions(lines, {FunctionText{name, {}}}), expected);
        QCOMPARE(RemoveUserFunction(lines, name), changed);
        QCOMPARE(lines, expected);
    }

    void replaceInPlaceOrAppend()
    {
        const QStringList lines{"library L",  "  " + header("A"), "  endfunction // a",
                                "endlibrary", header("B"),        "endfunction"};
        const QStringList a{"  " + header("A"), "   call X()", "  endfunction"};
        const QStringList c{header("C"), "endfunction"};
        QCOMPARE(ReplaceUserFunctions(lines, {FunctionText{"C", c}, FunctionText{"A", a},
                                              FunctionText{"A", {"twice"}}}),
                 QStringList({"library L", a[0], a[1], a[2], "endlibrary", header("B"),
                              "endfunction", c[0], c[1], "twice"}));
        QCOMPARE(Indented({"function F", "", " call G()"}, IndentationOf(" \t function")),
                 QStringList({" \t function F", "", " \t  call G()"}));
        // A name's header is its first function's, ended or not; its range
        // that of the first one ended.
        const UserFunctions twice({"// x", header("A"), " call B()", header("A"), "endfunction"});
        QCOMPARE(twice.headerLine("A"), 1);
        QCOMPARE(twice.range("A").value_or(LineRange{-1, 0}).first, 3);
    }

    void sameCode_data()
    {
        QTest::addColumn<QStringList>("a");
        QTest::addColumn<QStringList>("b");
        QTest::addColumn<bool>("same");
        const QStringList f{header("F"), " call ECHO(\"a  b\")", "endfunction"};
        QTest::newRow("identical") << f << f << true;
        QTest::newRow("indentation, spacing and comments")
            << f
            << QStringList{"  function  F takes nothing returns\tnothing // mine", "",
                           "    call ECHO( \"a  b\" )", "  // done", "  endfunction /* x */"}
            << true;
        QTest::newRow("spacing inside a string")
            << f << QStringList{header("F"), " call ECHO(\"a b\")", "endfunction"} << false;
        QTest::newRow("a line joined to the next")
            << f << QStringList{header("F") + " call ECHO(\"a  b\")", "endfunction"} << false;
        QTest::newRow("another token")
            << f << QStringList{header("F"), " call ECHO(\"a  b\",1)", "endfunction"} << false;
        QTest::newRow("a line more at the end") << f << f + QStringList{" call X()"} << false;
        // Lines without strings or comments, told apart before any lexing.
        const QStringList g{header("F"), " call X( 1 )", "endfunction"};
        QTest::newRow("plain: spacing and blank lines")
            << g
            << QStringList{"function F takes  nothing returns nothing", "\t", "call X(1)",
                           "  endfunction  ", " "}
            << true;
        QTest::newRow("plain: same characters, other tokens")
            << g << QStringList{header("F"), " call X(1 )", "end function"} << false;
        QTest::newRow("plain: another number")
            << g << QStringList{header("F"), " call X( 12 )", "endfunction"} << false;
        QTest::newRow("plain: a line more at the end") << g << g + QStringList{"set x=1"} << false;
        QTest::newRow("plain: a comment more at the end")
            << g << g + QStringList{"// set x=1"} << true;
    }
    void sameCode()
    {
        QFETCH(QStringList, a);
        QFETCH(QStringList, b);
        QFETCH(bool, same);
        QCOMPARE(SameCode(a, b), same);
        QCOMPARE(SameCode(b, a), same);
    }
};

QTEST_APPLESS_MAIN(TestUserFunctions)
#include "tst_userfunctions.moc"
