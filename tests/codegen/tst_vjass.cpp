#include "codegen/vjasslexer.h"
#include "codegen/vjassnames.h"
#include "codegen/vjassreader.h"

#include <QtTest>

using namespace vell;

namespace {

QStringList linesOf(const QString &text)
{
    return text.split(u'\n');
}

QStringList dataLines(const QString &name)
{
    QFile file(QStringLiteral(VELL_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("cannot open ") + name};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString show(const QList<VjassError> &errors)
{
    QStringList out;
    for (const VjassError &e : errors)
        out << QStringLiteral("%1:%2 %3").arg(e.line).arg(e.column).arg(e.expected);
    return out.join(u"; ");
}

// "written access library:Name (type name, ...) end" for each function
// ("scope:Name", "-" for none), "open" for one that its own endfunction did
// not close.
QString headers(const QList<VjassFunction> &functions)
{
    QStringList out;
    for (const VjassFunction &f : functions) {
        QStringList parameters;
        for (const VjassParameter &p : f.parameters)
            parameters << p.type + u' ' + p.name;
        const char *access[] = {"plain", "private", "public"};
        out << QStringLiteral("%1 %2 %3 (%4) %5")
                   .arg(f.writtenName, QLatin1String(access[int(f.access)]),
                        f.scope.isEmpty() ? QStringLiteral("-")
                                          : (f.scopeIsLibrary ? QStringLiteral("library:")
                                                              : QStringLiteral("scope:")) +
                                                f.scope,
                        parameters.join(QStringLiteral(", ")),
                        f.closed ? QStringLiteral("end") : QStringLiteral("open"));
    }
    return out.join(QStringLiteral("; "));
}

// "kind name@line", or "" when the text ends with nothing open.
QString show(const VjassOpenPart &open)
{
    if (open.kind == VjassOpenPart::Kind::None)
        return QString();
    const char *kinds[] = {"",        "string",  "comment",  "textmacro", "zinc",  "novjass",
                           "inject",  "globals", "function", "method",    "if",    "loop",
                           "library", "scope",   "struct",   "interface", "module"};
    return QStringLiteral("%1 %2@%3")
        .arg(QLatin1String(kinds[int(open.kind)]), open.name)
        .arg(open.line);
}

QString show(const QList<VjassName> &names)
{
    QStringList out;
    for (const VjassName &n : names)
        out << QStringLiteral("%1@%2:%3").arg(n.name).arg(n.line).arg(n.column);
    return out.join(u' ');
}

// "public", "private" and the like stand for the lines that differ; the rest
// is the same in every row.
const QString kHeader = QStringLiteral("function F takes nothing returns nothing\n");

} // namespace

class TestVjass : public QObject
{
    Q_OBJECT

private slots:
    void lex_data();
    void lex();
    void readsWithoutError_data();
    void readsWithoutError();
    void firstError_data();
    void firstError();
    void lists_data();
    void lists();
    void openAtEnd_data();
    void openAtEnd();
};

void TestVjass::lex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tokens"); // kind letter, start-end; lines apart by " / "
    QTest::addColumn<QString>("state");  // left open: comment, string, textmacro, zinc, novjass
    QTest::newRow("words") << "call unit integer nothing thistype this Unit library_once _x x1"
                           << "K0-4 T5-9 T10-17 T18-25 K26-34 K35-39 I40-44 K45-57 I58-60 I61-63"
                           << "";
    QTest::newRow("numbers")
        << "1 1. .5 1.5 0x1F $1f 017 12ab 0x $ ."
        << "N0-1 R2-4 R5-7 R8-11 N12-16 N17-20 N21-24 E25-29 E30-32 E33-34 P35-36"
        << "";
    QTest::newRow("strings, rawcodes") << R"("a\"b\\" 'A000' '\'' 'ab)"
                                       << "S0-8 W9-15 W16-20 E21-24"
                                       << "";
    QTest::newRow("operators, comment")
        << "a==b!=c<=d>=e<f>g=h+i-j*k/l // x /* y"
        << "I0-1 O1-3 I3-4 O4-6 I6-7 O7-9 I9-10 O10-12 I12-13 O13-14 I14-15 O15-16 I16-17 O17-18 "
           "I18-19 O19-20 I20-21 O21-22 I22-23 O23-24 I24-25 O25-26 I26-27 C28-37"
        << "";
    QTest::newRow("block comment over lines") << "x /* a\nb\nc */ y(1)\n/* */ z"
                                              << "I0-1 C2-6 / C0-1 / C0-4 I5-6 P6-7 N7-8 P8-9 / "
                                                 "C0-5 I6-7"
                                              << "";
    QTest::newRow("string over lines") << "s = \"ab\ncd\n\ne\" + 1"
                                       << "I0-1 O2-3 S4-7 / S0-2 / . / S0-2 O3-4 N5-6"
                                       << "";
    QTest::newRow("textmacro body")
        << "  //! textmacro T takes A\n set $A$ = 1\n\n//!endtextmacro\n"
           "//! runtextmacro T(\"x\")"
        << "D2-25 / X1-12 / . / D0-15 / D0-23"
        << "";
    QTest::newRow("zinc, novjass")
        << "//! zinc\nfunction f() {}\n //! endzinc\n//! novjass\n//! endzinc\n//! endnovjass x"
        << "D0-8 / X0-15 / D1-12 / D0-11 / X0-11 / D0-16"
        << "";
    QTest::newRow("//! after code, open textmacro") << "call f() //! x\n//! textmacro X"
                                                    << "K0-4 I5-6 P6-7 P7-8 C9-14 / D0-15"
                                                    << "textmacro";
    QTest::newRow("open zinc") << "//! zinc"
                               << "D0-8"
                               << "zinc";
    QTest::newRow("open novjass") << "x\n\t//! novjass\n\n y"
                                  << "I0-1 / D1-12 / . / X1-2"
                                  << "novjass";
    QTest::newRow("open comment") << "a /* b */ /* c"
                                  << "I0-1 C2-9 C10-14"
                                  << "comment";
    QTest::newRow("open string") << "\"x\\\""
                                 << "S0-4"
                                 << "string";
    QTest::newRow("invalid") << "Привет @# x! y"
                             << "E0-6 E7-9 I10-11 E11-12 I13-14"
                             << "";
}

void TestVjass::lex()
{
    QFETCH(QString, text);
    QFETCH(QString, tokens);
    QFETCH(QString, state);
    VjassLineState s;
    QStringList seen;
    for (const QString &line : linesOf(text)) {
        QList<VjassToken> found;
        LexVjassLine(line, s, found);
        QStringList one;
        for (const VjassToken &t : found) {
            one << QStringLiteral("%1%2-%3")
                       .arg(QLatin1Char("KTINRSWCOPDXE"[int(t.kind)]))
                       .arg(t.start)
                       .arg(t.start + t.length);
            if (t.kind == VjassTokenKind::Keyword || t.kind == VjassTokenKind::TypeName) {
                const QStringView word = QStringView(line).mid(t.start, t.length);
                QCOMPARE(IsVjassKeyword(word), t.kind == VjassTokenKind::Keyword);
                QCOMPARE(IsVjassTypeName(word), t.kind == VjassTokenKind::TypeName);
            }
        }
        seen << (one.isEmpty() ? QStringLiteral(".") : one.join(u' '));
    }
    QCOMPARE(seen.join(QStringLiteral(" / ")), tokens);
    const char *const blocks[] = {"", "textmacro", "zinc", "novjass"};
    QString left = QString::fromLatin1(blocks[int(s.block)]);
    if (s.inComment)
        left = QStringLiteral("comment");
    if (s.inString)
        left = QStringLiteral("string");
    QCOMPARE(left, state);
}

void TestVjass::readsWithoutError_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("JASS") << linesOf(QStringLiteral(R"(type mytype extends handle
type IntList extends integer array [10, 100]
native GetX takes nothing returns integer
constant native GetY takes unit u, real r returns real
globals
 constant integer MAX = 10
 integer array Counts
 unit u = null
 string s = "a\"b\\n"
 boolean b = not true or false and (1 > 2)
endglobals
constant function F takes integer a, real b returns integer
 local integer i = 0
 local unit array us
 local integer uses = 0
 set uses = -i + 1
 set us[i] = null
 if a > 0 and not (b < 1.) or a == -1 then
  return 1
 elseif a != 2 then
  call F(a - 1, .5)
 else
  return F(a * 2, 0x1F + $FF + 017 + 'A000' + '\'' / i)
 endif
 loop
  exitwhen i >= 10 // done
  set i = i + 1
 endloop
 return 0
endfunction)"));
    QTest::newRow("library, struct, methods") << linesOf(QStringLiteral(
        R"(library Stack initializer Init requires optional Table, Alloc uses Debug needs X
 private keyword Impl
 private struct Node extends array
  integer value = 0
  static integer count
  readonly real r
  delegate Unit u
  static constant integer MAX = 3
  private static thistype array free[100]
  integer array grid[4][4]
  method operator double takes nothing returns integer
   return .value * 2
  endmethod
  method operator double= takes integer v returns nothing
   set .value = v / 2
  endmethod
  method operator [] takes integer i returns thistype
   return free[i]
  endmethod
  method operator []= takes integer i, thistype n returns nothing
   set free[i] = n
  endmethod
  method operator < takes thistype other returns boolean
   return this.value < other.value
  endmethod
  static method create takes nothing returns thistype
   local thistype this = thistype.allocate()
   set this.value = 0
   set thistype.count = thistype.count + 1
   call .execute()
   return this
  endmethod
  stub method onDestroy takes nothing returns nothing
   call super.onDestroy()
   set grid[1][2] = 0
  endmethod
 endstruct
 private function Init takes nothing returns nothing
  local Node n = Node.create()
  call n.destroy()
  set TextVar[1].text = "a"
  call ButtonVar[1].Show(true, -1)
  call Node.create().destroy()
  loop
   exitwhen true
  endloop
 endfunction
endlibrary
library_once Once
endlibrary)"));
    QTest::newRow("interface, module, static if") << linesOf(QStringLiteral(R"(interface Shape
 method area takes nothing returns real defaults 0.
 method name takes nothing returns string defaults nothing
endinterface
module Counted
 static integer instances = 0
 static method onInit takes nothing returns nothing
  set instances = 0
 endmethod
endmodule
struct Circle extends Shape
 implement Counted
 implement optional Missing
 static if DEBUG_MODE then
  integer checks
 else
  integer spare
 endif
 method area takes nothing returns real
  debug call BJDebugMsg("area")
  static if LIBRARY_Table then
   return 3.14
  endif
  return .evaluate(1)
 endmethod
endstruct
function interface Callback takes integer x returns nothing
hook RemoveUnit OnRemove
keyword Later
scope S initializer Go
 public function interface F takes nothing returns nothing
 globals
  private key K
 endglobals
endscope)"));
    QTest::newRow("values vJass gives their types") << linesOf(QStringLiteral(R"(scope Shop
 globals
  private key Token
  private integer Count = 0
 endglobals
 struct Item
  integer price
  static method make takes integer p returns thistype
   local thistype this = thistype.allocate()
   local integer id = this
   set this.price = p + id
   return this
  endmethod
 endstruct
 private function Price takes Item it returns integer
  local Item copy = 7
  local integer total = it + Token
  local integer key = Token
  local string prefix = SCOPE_PREFIX + SCOPE_PRIVATE
  static if DEBUG_MODE then
   local integer extra = 1
  else
   local integer extra = 2
  endif
  if LIBRARY_Table and not DEBUG_MODE and not total == 3 then
   set total = total + Item(copy).price + integer(it) + Count
  endif
  set copy = Item.make(total)
  return copy.price + extra
 endfunction
endscope)"));
    QTest::newRow("directives") << linesOf(QStringLiteral(R"(//! import "lib.j"
//! external ObjectMerger w3u hfoo hF00
//! textmacro Declare takes NAME, TYPE
 globals
  $TYPE$ $NAME$
 endglobals
//! endtextmacro
//! runtextmacro Declare("Count", "integer")
//! zinc
library Z { function f() { } }
//! endzinc
//! novjass
 this is not even code
//! endnovjass
//! inject main
 call InitBlizzard()
//! endinject
//! loaddata "x.slk")"));
    QTest::newRow("string and comment over lines") << linesOf(QStringLiteral(R"(globals
 string s = "first line
second \" line"
 /* a comment
 endglobals inside it */ integer after = 1
endglobals)"));
    QTest::newRow("published library forms") << linesOf(QStringLiteral(R"(library T /*
 */ requires /*
 */ optional Other
 globals
  private keyword Ahead
 endglobals
 struct Pool[20000]
 endstruct
 private interface Event[5000]
  method run takes nothing returns nothing
 endinterface
 function Start takes nothing returns nothing /* the timer
  starts here */
  call TimerStart(CreateTimer(), 1., false, function Pool.onExpire)
  if true then
   return
  endif
 endfunction
endlibrary
//! textmacro_once POOL takes T
 function $T$ this is not $T$ code
//! endtextmacro)"));
    for (const char *name : {"actions_without_usercode", "empty_project", "hidden_objects",
                             "mixed_design_with_user_code", "one_new_object_of_each_kind",
                             "system_colour", "text_without_colour", "wide_button"})
        QTest::newRow(name) << dataLines(QString::fromLatin1(name) + QStringLiteral(".out"));
}

void TestVjass::readsWithoutError()
{
    QFETCH(QStringList, lines);
    const VjassReadResult r = ReadVjass(lines);
    QVERIFY2(r.errors.isEmpty(), qPrintable(show(r.errors)));
    // Nor does the names and types pass find a fault.
    QStringList faults;
    for (const VjassFinding &f : CheckVjassNames(r, [](int line) { return QString::number(line); }))
        faults << QStringLiteral("%1:%2 %3").arg(f.line + 1).arg(f.column + 1).arg(f.message);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void TestVjass::firstError_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("error"); // line:column expected
    const QString f = kHeader;
    const QString deepIfs = f + QStringLiteral(" if x then\n").repeated(300) +
                            QStringLiteral(" endif\n").repeated(300) +
                            QStringLiteral("endfunction");
    const QString deepParentheses =
        f + QStringLiteral(" return ") + QStringLiteral("(").repeated(300) + QStringLiteral("1") +
        QStringLiteral(")").repeated(300) + QStringLiteral("\nendfunction");
    const struct
    {
        const char *name;
        QString text;
        const char *error;
    } rows[] = {
        {"no endfunction", f + " call X()", "1:9 ожидалось «endfunction»"},
        {"no then", f + " if x\n endif\nendfunction", "1:5 ожидалось «then»"},
        {"= for ==", f + " if a = b then\n endif\nendfunction", "1:6 ожидалось «then»"},
        {"stray endif", "endif", "0:0 лишний «endif»"},
        {"stray endfunction", "endfunction", "0:0 лишний «endfunction»"},
        {"endif left open", f + " if x then\nendfunction", "2:0 ожидалось «endif»"},
        {"else twice", f + " if a then\n else\n else\n endif\nendfunction",
         "3:1 ожидалось «endif»"},
        {"no endglobals", "globals\n integer a\n" + f + "endfunction",
         "2:0 ожидалось «endglobals»"},
        {"no argument", f + " call X(", "1:8 ожидалось выражение"},
        {"no )", f + " call F(1, 2\nendfunction", "1:12 ожидалось «)»"},
        {"no ]", f + " set a[1 = 2\nendfunction", "1:9 ожидалось «]»"},
        {"no =", f + " set x 1\nendfunction", "1:7 ожидалось «=»"},
        {"set a call", f + " set X() = 1\nendfunction", "1:6 ожидалось «=»"},
        {"call no call", f + " call X.y\nendfunction", "1:9 ожидалось «(»"},
        {"after the call", f + " call X())\nendfunction", "1:9 ожидался конец строки"},
        {"local no name", f + " local integer\nendfunction", "1:14 ожидалось имя"},
        {"function no name", "function takes nothing returns nothing\nendfunction",
         "0:9 ожидалось имя"},
        {"no returns", "function F takes nothing\nendfunction", "0:24 ожидалось «returns»"},
        {"no takes", "function F returns nothing\nendfunction", "0:11 ожидалось «takes»"},
        {"no set", f + " x = 5\nendfunction", "1:1 ожидалась инструкция"},
        {"debug alone", f + " debug\nendfunction", "1:6 ожидалась инструкция"},
        {"call outside", "call X()", "0:0 ожидалось объявление"},
        {"if outside", "if x then", "0:0 ожидалось объявление"},
        {"method in function", f + " method m takes nothing returns nothing\nendfunction",
         "1:1 ожидалась инструкция"},
        {"no endmethod",
         "struct S\n method m takes nothing returns nothing\n method n takes nothing returns "
         "nothing\n endmethod\nendstruct",
         "2:1 ожидалось «endmethod»"},
        {"function in library left open", "library A\n" + f + "endlibrary",
         "2:0 ожидалось «endfunction»"},
        {"struct in library left open", "library L\nstruct S\nendlibrary",
         "2:0 ожидалось «endstruct»"},
        {"12ab", f + " call X(12ab)\nendfunction", "1:8 ожидалось выражение"},
        {"Cyrillic name", f + " set Привет = 1\nendfunction", "1:5 ожидалось имя"},
        {"type no extends", "type T handle", "0:7 ожидалось «extends»"},
        {"globals no type", "globals\n constant\nendglobals", "1:9 ожидался тип"},
        {"textmacro left open", "//! textmacro X\n a", "1:2 ожидалось «//! endtextmacro»"},
        {"stray endtextmacro", "  //! endtextmacro", "0:2 лишний «//! endtextmacro»"},
        {"stray endinject", "//! endinject", "0:0 лишний «//! endinject»"},
        {"comment left open", "/* a", "0:4 ожидалось «*/»"},
        {"string left open", "globals\n string s = \"ab", "1:15 ожидалось «\"»"},
        {"quote missing", f + " call ECHO(\"Hi)\n call ECHO(\"x\")\nendfunction",
         "1:15 ожидалось «\"»"},
        {"statement on over a comment", f + " call X() /* one\n two */ call Y()\nendfunction",
         "2:8 ожидался конец строки"},
        {"quote missing after a comment",
         f + " call X( /* a\n */ \"Hi)\n call Y(\"x\")\nendfunction", "2:8 ожидалось «\"»"},
        {"struct size not closed", "struct S[20\nendstruct", "0:11 ожидалось «]»"},
        {"blocks too deep", deepIfs, "200:1 слишком глубокая вложенность"},
        {"parentheses too deep", deepParentheses, "1:209 слишком глубокая вложенность"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << linesOf(row.text) << QString::fromUtf8(row.error);
    QTest::newRow("generated with odd names") << dataLines(QStringLiteral("odd_variable_names.out"))
                                              << QStringLiteral("1:13 ожидалось имя");
}

void TestVjass::firstError()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, error);
    const VjassReadResult r = ReadVjass(lines);
    QVERIFY(!r.errors.isEmpty());
    QCOMPARE(show(r.errors.mid(0, 1)), error);
}

void TestVjass::lists_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("functions"); // name@line-endLine[indexed names]
    QTest::addColumn<QString>("references");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QString>("globals");
    QTest::addColumn<bool>("opaque");
    QTest::addColumn<QString>("errors");
    QTest::addColumn<QString>("headers");
    QTest::newRow("library, scope")
        << linesOf(QStringLiteral(R"(library Lib initializer Init requires Other
 globals
  private integer array Slots
  public constant real SPEED = 2.
 endglobals
 private function Init takes nothing returns nothing
  set Slots[1] = Helper(Slots[2] + Slots[3])
 endfunction
 public function Helper takes integer i returns integer
  return Other_Get(i)
 endfunction
 private struct Node
 endstruct
 scope Inner initializer Start
  private function Init takes nothing returns nothing
   call TimerStart(CreateTimer(), 1., false, function Init)
  endfunction
 endscope
endlibrary)"))
        << "Lib__Init@5-7[Slots] Lib_Helper@8-10[] Inner__Init@14-16[]"
        << "Init@0:24 Start@13:25 Init@15:54"
        << "Helper@6:17 Other_Get@9:9 TimerStart@15:8 CreateTimer@15:19"
        << "Lib Lib__Slots Lib_SPEED Lib__Node Inner" << false << ""
        << "Init private library:Lib () end; Helper public library:Lib (integer i) end; "
           "Init private scope:Inner () end";
    QTest::newRow("struct, casts, members") << linesOf(QStringLiteral(R"(struct Data
 integer x
 static method create takes nothing returns thistype
  local thistype this = thistype.allocate()
  call Log(.x)
  return this
 endmethod
endstruct
function Use takes integer i returns nothing
 local Data d = Data(i)
 set d.x = integer(d) + Count(i)
 call d.destroy()
 call Arr[i].Show(B[0][1], d.a[1], .c[2], Arr[2])
function Next takes nothing returns nothing
endfunction)")) << "Use@8-12[Arr,B] Next@13-14[]"
                                            << ""
                                            << "Log@4:7 Count@10:24"
                                            << "Data" << false << "13:0 ожидалось «endfunction»"
                                            << "Use plain - (integer i) open; Next plain - () end";
    QTest::newRow("references, opaque parts")
        << linesOf(QStringLiteral(R"(//! textmacro Make takes N
function $N$ takes nothing returns nothing
endfunction
//! endtextmacro
//! runtextmacro Make("A")
function B takes nothing returns nothing
 call TimerStart(t, 0, false, function thistype . go)
 call ExecuteFunc("A")
endfunction
hook RemoveUnit B)"))
        << "B@5-8[]"
        << "thistype.go@6:39 B@9:16"
        << "TimerStart@6:6 ExecuteFunc@7:6"
        << "" << true << ""
        << "B plain - () end";
    QTest::newRow("quote missing till the end")
        << linesOf(QStringLiteral(R"(function F takes nothing returns nothing
 call ECHO("Hi)
endfunction
function G takes nothing returns nothing
 call ECHO("x")
 set
endfunction)"))
        << "F@0-2[] G@3-6[]"
        << ""
        << "ECHO@1:6 ECHO@4:6"
        << "" << false << "1:15 ожидалось «\"»; 5:4 ожидалось имя"
        << "F plain - () end; G plain - () end";
    QTest::newRow("generated")
        << dataLines(QStringLiteral("mixed_design_with_user_code.out"))
        << "ECHO@5-7[] Button_1_Left_Actions@8-10[] "
           "InterfaceClickL_Timer@11-18[] InterfaceClickR@19-25[] "
           "CreateInterface@26-50[ButtonVar,PictureVar,TextVar]"
        << "InterfaceClickR@29:38 InterfaceClickL_Timer@30:53 "
           "Button_1_Left_Actions@36:39"
        << "DisplayTextToPlayer@6:6 GetLocalPlayer@6:26 ECHO@9:6 "
           "GetOwningPlayer@12:31 GetLocalPlayer@13:6 ClearSelection@14:8 "
           "SelectUnit@15:8 GetOrderTargetUnit@20:17 PauseUnit@21:7 "
           "GetTriggerUnit@21:17 IssueImmediateOrder@22:7 "
           "GetTriggerUnit@22:27 PauseUnit@23:7 GetTriggerUnit@23:17 "
           "CreateTrigger@27:22 TriggerRegisterPlayerUnitEvent@28:6 "
           "TriggerAddAction@29:6 TimerStart@30:6 CreateTimer@30:17 "
           "SetTextTagText@48:6"
        << "ButtonVar PictureVar TextVar" << false << ""
        << "ECHO plain - (string msg) end; Button_1_Left_Actions plain - () "
           "end; InterfaceClickL_Timer plain - () end; InterfaceClickR plain "
           "- () end; CreateInterface plain - (CAMERA cam) end";
    QTest::newRow("how functions end")
        << linesOf(QStringLiteral("library Clicks\n"
                                  "  public function MyClick takes integer a, Data . Sub b "
                                  "returns nothing\n"
                                  "  endfunction // left click\n"
                                  " private function Hidden takes nothing returns nothing\n"
                                  "\t\tendfunction x\n"
                                  " function Plain takes unit u returns nothing\n"
                                  " scope Inner\n"
                                  "  public function Cut takes nothing returns nothing\n"
                                  " endscope\n"
                                  "endlibrary\n"
                                  "private function Loose takes real r returns nothing\n"
                                  "\tendfunction/* a */\n"
                                  "function Open takes nothing returns nothing"))
        << "Clicks_MyClick@1-2[] Clicks__Hidden@3-4[] Plain@5-5[] Inner_Cut@7-7[] Loose@10-11[] "
           "Open@12-12[]"
        << ""
        << ""
        << "Clicks Inner" << false
        << "4:14 ожидался конец строки; 6:1 ожидалось «endfunction»; 8:1 ожидалось "
           "«endfunction»; 12:43 ожидалось «endfunction»"
        << "MyClick public library:Clicks (integer a, Data.Sub b) end; Hidden private "
           "library:Clicks () end; Plain plain library:Clicks (unit u) open; Cut public "
           "scope:Inner () open; Loose private - (real r) end; Open plain - () open";
}

void TestVjass::lists()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, functions);
    QFETCH(QString, references);
    QFETCH(QString, calls);
    QFETCH(QString, globals);
    QFETCH(bool, opaque);
    QFETCH(QString, errors);
    QFETCH(QString, headers);
    const VjassReadResult r = ReadVjass(lines);
    QCOMPARE(show(r.errors), errors);
    QStringList seen;
    for (const VjassFunction &f : r.functions)
        seen << QStringLiteral("%1@%2-%3[%4]")
                    .arg(f.name)
                    .arg(f.line)
                    .arg(f.endLine)
                    .arg(f.indexedNames.join(u','));
    QCOMPARE(seen.join(u' '), functions);
    QCOMPARE(show(r.functionReferences), references);
    QCOMPARE(show(r.calls), calls);
    QCOMPARE(r.globalNames.join(u' '), globals);
    QCOMPARE(r.hasOpaqueParts, opaque);
    QCOMPARE(::headers(r.functions), headers);
}

void TestVjass::openAtEnd_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("open");   // kind name@line
    QTest::addColumn<QString>("errors"); // from the error reported for it on; "-": none
    const struct
    {
        const char *name;
        QString text;
        const char *open;
        const char *errors;
    } rows[] = {
        {"nothing", kHeader + " set\nendfunction", "", "-"},
        {"function", "globals\nendglobals\n" + kHeader + " set x = 1", "function F@2",
         "3:10 ожидалось «endfunction»"},
        {"if in a method",
         "struct S\n static method Go takes nothing returns nothing\n  set = 1\n  if a then",
         "if @3", "3:11 ожидалось «endif»"},
        {"method", "struct S\n static method Go takes nothing returns nothing\n", "method Go@1",
         "2:0 ожидалось «endmethod»"},
        {"library", "library L requires M\n" + kHeader + "endfunction", "library L@0",
         "2:11 ожидалось «endlibrary»"},
        {"comment reopened", kHeader + "endfunction /* a */ /* b\n c */ /* d\n\n e", "comment @2",
         "4:2 ожидалось «*/»"},
        {"string run on", kHeader + " set\n call X(\"a\nb\", \"c\n d", "string @3",
         "2:10 ожидалось «\"»; 3:0 ожидалась инструкция; 4:1 ожидалась инструкция; 4:2 "
         "ожидалось «endfunction»"},
        {"textmacro", "//! textmacro_once T\n function $X$", "textmacro @0",
         "1:13 ожидалось «//! endtextmacro»"},
        {"inject", kHeader + "endfunction\n//! inject main\n call X()", "inject @2",
         "3:9 ожидалось «//! endinject»"},
    };
    for (const auto &row : rows) {
        QTest::newRow(row.name) << linesOf(row.text) << QString::fromUtf8(row.open)
                                << QString::fromUtf8(row.errors);
    }
}

void TestVjass::openAtEnd()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, open);
    QFETCH(QString, errors);
    const VjassReadResult r = ReadVjass(lines);
    QCOMPARE(show(r.openAtEnd), open);
    const int from = r.openAtEnd.errorIndex;
    QCOMPARE(from < 0 ? QStringLiteral("-") : show(r.errors.mid(from)), errors);
}

QTEST_APPLESS_MAIN(TestVjass)
#include "tst_vjass.moc"
