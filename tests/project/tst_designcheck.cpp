#include "codegen/designinput.h"
#include "codegen/interfacegenerator.h"
#include "codegen/vjassreader.h"
#include "common/textfile.h"
#include "project/actionupdate.h"
#include "project/designcheck.h"
#include "project/project.h"
#include "project/projectio.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace vell;

namespace {

const QStringList kEnd{"piccount:0", "texcount:0"};

QStringList button(const QString &name, const QString &texture = "B000", const QString &left = "",
                   const QString &right = "", const QStringList &leftActions = {},
                   const QStringList &rightActions = {}, int x = 0, int y = 0)
{
    return QStringList{name,
                       QString::number(x),
                       QString::number(y),
                       "32",
                       "32",
                       texture,
                       "true",
                       left,
                       right,
                       QString::number(leftActions.size())} +
           leftActions + QStringList{QString::number(rightActions.size())} + rightActions;
}

QStringList picture(const QString &name, const QString &texture = "P000", int x = 200, int y = -100,
                    int width = 32, int height = 32)
{
    return {name,
            QString::number(x),
            QString::number(y),
            QString::number(width),
            QString::number(height),
            texture,
            "true"};
}

QStringList text(const QString &name, const QString &value = "Hi", int x = 0, int y = 0)
{
    return {name, QString::number(x), QString::number(y), value, "true", ""};
}

QStringList project(const QList<QStringList> &buttons, const QList<QStringList> &pictures,
                    const QList<QStringList> &texts, const QStringList &userCode = {})
{
    QStringList lines{kProjectFileKey, "btncount:" + QString::number(buttons.size())};
    for (const QStringList &b : buttons)
        lines += b;
    lines += "piccount:" + QString::number(pictures.size());
    for (const QStringList &p : pictures)
        lines += p;
    lines += "texcount:" + QString::number(texts.size());
    for (const QStringList &t : texts)
        lines += t;
    if (!userCode.isEmpty())
        lines += QStringList{"/usercodestart"} + userCode + QStringList{"/end"};
    return lines;
}

const QStringList kDefinesL1{"function L1 takes nothing returns nothing", "endfunction"};

} // namespace

class TestDesignCheck : public QObject
{
    Q_OBJECT

private slots:
    // Each finding of a project file with its line; the same design in the
    // designer gives the same findings without lines.
    void findingsWithTheirLines_data()
    {
        QTest::addColumn<QStringList>("file");
        QTest::addColumn<bool>("useUserCode");
        QTest::addColumn<QStringList>("findings");
        const QStringList calls =
            project({button("Button_1", "B000", "L1", "R1"), button("Button_2", "B000", "", "L1")},
                    {}, {}, kDefinesL1);
        QTest::newRow("clean design")
            << project({button("Button_1", "BTN1", "L1", "",
                               {"ObjShow t \"Picture_1\"", "echo \"hi\""}),
                        button("Button_2", "BTN2", "", "", {}, {}, -316, 176)},
                       {picture("Picture_1", "P001", 316, -176)}, {text("Text_1", "Счет: 10")},
                       kDefinesL1)
            << true << QStringList();
        QTest::newRow("click function the user code lacks")
            << calls << true
            << QStringList{"p.vlp:11: error: функция правого клика \"R1\" не определена в коде "
                           "пользователя"};
        QTest::newRow("functions not looked at when the user code is left out")
            << calls << false << QStringList();
        QTest::newRow("functions looked at in no user code")
            << project({button("Button_1", "B000", "L1", "R1")}, {}, {}) << true
            << QStringList{"p.vlp:10: error: функция левого клика \"L1\" не определена в коде "
                           "пользователя",
                           "p.vlp:11: error: функция правого клика \"R1\" не определена в коде "
                           "пользователя"};
        // How the user code may define a click function.
        QTest::newRow("click functions as vJass defines them")
            << project({button("Button_1", "B000", "Clicks_MyClick", "Inner"),
                        button("Button_2", "B000", "MyClick", "Hidden"),
                        button("Button_3", "B000", "Clicks__MyClick", "Takes"),
                        button("Button_4", "B000", "Loose", "Clicks_Hidden")},
                       {}, {},
                       {"library Clicks", " public function MyClick takes nothing returns nothing",
                        " endfunction // left click",
                        " private function MyClick takes nothing returns nothing", " endfunction",
                        " scope Deep", "  private function Hidden takes nothing returns nothing",
                        "  endfunction", "    function Inner takes nothing returns nothing",
                        "    endfunction", " endscope", "endlibrary",
                        "\tfunction Takes takes integer i, real r returns nothing", "\tendfunction",
                        "private function Loose takes nothing returns nothing", "endfunction"})
            << true
            << QStringList{"p.vlp:21: error: функция левого клика \"MyClick\" приватная в "
                           "библиотеке Clicks",
                           "p.vlp:22: error: функция правого клика \"Hidden\" приватная в "
                           "области Deep",
                           "p.vlp:32: error: функция левого клика \"Clicks__MyClick\" приватная в "
                           "библиотеке Clicks",
                           "p.vlp:33: error: функция правого клика \"Takes\" принимает аргументы",
                           "p.vlp:44: error: функция правого клика \"Clicks_Hidden\" не "
                           "определена в коде пользователя"};
        // The first function of the name is the one looked at.
        QTest::newRow("a click function defined twice")
            << project({button("Button_1", "B000", "Twice")}, {}, {},
                       {"function Twice takes nothing returns nothing", "endfunction",
                        "function Twice takes integer i returns nothing", "endfunction"})
            << true << QStringList{"p.vlp:19: error: функция Twice определена дважды"};
        QTest::newRow("actions")
            << project({button("Button_1", "B000", "", "",
                               {"ObjShow t \"Picture_1\"", "ObjShow f \"Picture_9\"",
                                "ObjShow t \"Knopka\"", "echo \"a\\b\"", "ECHO \"x\\\"",
                                "echo \"say \"hi\"\"", "echo \"a\\qb\"",
                                "echo \"end\\\\ \\n\\r\\t\\f\"", "echo \"tail\\\""},
                               {"ObjShow t \"Text_1\"", "ObjShow t \"Button_1\""})},
                       {picture("Picture_1")}, {})
            << true
            << QStringList{
                   "p.vlp:14: error: левый клик: объекта \"Picture_9\" нет",
                   "p.vlp:15: error: левый клик: имя \"Knopka\" не начинается с But, Pic или Tex",
                   "p.vlp:19: error: левый клик: \" или \\ в сообщении ломают строку кода",
                   "p.vlp:21: error: левый клик: \" или \\ в сообщении ломают строку кода",
                   "p.vlp:23: error: правый клик: объекта \"Text_1\" нет"};
        QTest::newRow("names repeated across kinds")
            << project({button("Same"), button("Button_2")}, {picture("Same")},
                       {text("Button_2"), text("Same")})
            << true
            << QStringList{"p.vlp:26: error: имя \"Same\" уже носит другой объект",
                           "p.vlp:34: error: имя \"Button_2\" уже носит другой объект",
                           "p.vlp:40: error: имя \"Same\" уже носит другой объект"};
        QTest::newRow("names repeated within a kind")
            << project({button("Twin"), button("Button_2"), button("Twin")},
                       {picture("Picture_1"), picture("Picture_1")}, {})
            << true
            << QStringList{"p.vlp:25: error: имя \"Twin\" уже носит другой объект",
                           "p.vlp:44: error: имя \"Picture_1\" уже носит другой объект"};
        QTest::newRow("quotes and backslashes in texts")
            << project({}, {},
                       {text("Text_1", "say \"hi\""), text("Text_2", "C:\\maps"),
                        text("Text_3", "C:\\\\maps\\n\\\"q\\\"\\t\\r\\b\\f"),
                        text("Text_4", "end\\")})
            << true
            << QStringList{"p.vlp:8: error: \" или \\ в тексте ломают строку кода",
                           "p.vlp:14: error: \" или \\ в тексте ломают строку кода",
                           "p.vlp:26: error: \" или \\ в тексте ломают строку кода"};
        QTest::newRow("textures and positions")
            << project(
                   {button("Button_1", "B00", "", "", {}, {}, 317, 0)},
                   {picture("Picture_1", "", 0, -177), picture("Picture_2", "P0001", -400, 900)},
                   {text("Text_1", "Hi", 0, 177)})
            << true
            << QStringList{"p.vlp:4: warning: центр объекта вне панели (X = 317, Y = 0)",
                           "p.vlp:8: warning: ID текстуры \"B00\" не из четырех символов",
                           "p.vlp:17: warning: центр объекта вне панели (X = 0, Y = -177)",
                           "p.vlp:20: error: ID текстуры \"\" не из четырех символов",
                           "p.vlp:23: warning: центр объекта вне панели (X = -400, Y = 900)",
                           "p.vlp:27: error: ID текстуры \"P0001\" не из четырех символов",
                           "p.vlp:32: warning: центр объекта вне панели (X = 0, Y = 177)"};
        // The generated code read as vJass, with the user code in it.
        const QStringList own{"function Button_1_Left_Actions takes nothing returns nothing",
                              " call OldPics[1].Show(false,-1)", "endfunction"};
        QTest::newRow("code: user code read with the generated code")
            << project({button("Button_1", "B'01", "Button_1_Left_Actions", "",
                               {"ObjShow f \"Picture_1\""}, {}, 37, 21)},
                       {picture("Picture_1", "P001", 40, 25, 96, 64)}, {},
                       kDefinesL1 + kDefinesL1 + own +
                           QStringList{"function G takes nothing returns nothing",
                                       " call ECHO(\"x\")",
                                       " call TimerStart(CreateTimer(), 1, false, function Gone)",
                                       " set = 1", "endfunction"})
            << true
            << QStringList{
                   "p.vlp:8: error: ' или \\ в ID текстуры \"B'01\" ломают код",
                   "p.vlp:17: warning: картинка Picture_1 лежит поверх кнопки Button_1: в коде "
                   "картинки создаются после кнопок",
                   "p.vlp:27: error: функция L1 определена дважды",
                   "p.vlp:29: error: функция Button_1_Left_Actions использует массив OldPics, "
                   "которого нет (сейчас PictureVar)",
                   "p.vlp:29: warning: функция Button_1_Left_Actions устарела: Код → Обновить "
                   "функции действий",
                   "p.vlp:33:7: error: функция ECHO вызывается, но нигде не определена",
                   "p.vlp:34:52: warning: ссылка на функцию Gone, которая нигде не определена",
                   "p.vlp:35:6: error: синтаксическая ошибка: ожидалось имя"};
        QTest::newRow("code: a published library's forms")
            << project({button("Button_1", "B000", "T_Click")}, {}, {},
                       {"library T /*", " */ requires /*", " */ optional Other", " globals",
                        "  private keyword Later", " endglobals", " private struct Pool[20000]",
                        " endstruct", " interface Event[5000]", " endinterface",
                        " public function Click takes nothing returns nothing",
                        "  call TimerStart(CreateTimer(), 1., false, function Missing)", "  return",
                        " endfunction", "endlibrary"})
            << true
            << QStringList{"p.vlp:28:54: warning: ссылка на функцию Missing, которая нигде не "
                           "определена"};
        // Order as vJass lays the text out (libraries first, as required),
        // calls of the text's functions, and each body's locals.
        QTest::newRow("code: order, calls and locals")
            << project({}, {}, {},
                       {"function Early takes nothing returns nothing",
                        " call Later(1, 2)",
                        " call Early()",
                        "endfunction",
                        "library B requires A",
                        " function InB takes nothing returns nothing",
                        "  local integer i = 0",
                        "  set i = i + 1",
                        "  local real r",
                        "  call InA(i)",
                        "  call Early(1, 2)",
                        " endfunction",
                        "endlibrary",
                        "library A",
                        " function InA takes integer x, real y returns nothing",
                        "  local integer x",
                        "  local unit u",
                        "  local unit u",
                        "  local integer array a = 1",
                        "  call InB.execute()",
                        " endfunction",
                        "endlibrary",
                        "function Later takes integer a returns nothing",
                        " call TimerStart(CreateTimer(), 1., false, function Later)",
                        "endfunction",
                        "library C",
                        " function InC takes nothing returns nothing",
                        "  call InD()",
                        " endfunction",
                        "endlibrary",
                        "library_once D",
                        " function InD takes nothing returns nothing",
                        " endfunction",
                        "endlibrary"})
            << true
            << QStringList{
                   "p.vlp:7:7: error: функция Later определена ниже, в строке 23",
                   "p.vlp:7:7: error: функция Later принимает 1 аргумент, передано 2",
                   "p.vlp:14:14: error: local r после инструкций: локальные переменные "
                   "объявляются в начале функции",
                   "p.vlp:15:8: error: функция InA принимает 2 аргумента, передан 1",
                   "p.vlp:16:8: error: функция Early определена ниже, в строке 1",
                   "p.vlp:16:8: error: функция Early принимает 0 аргументов, передано 2",
                   "p.vlp:21:17: warning: локальная переменная x названа как параметр функции",
                   "p.vlp:23:14: warning: локальная переменная u объявлена дважды",
                   "p.vlp:24:23: error: массив a не может получить начальное значение",
                   "p.vlp:29:53: error: ожидалась функция без аргументов (code), а Later "
                   "принимает 1 аргумент",
                   "p.vlp:33:8: error: функция InD определена ниже, в строке 32"};
        QTest::newRow("code: constants, arrays and scalars")
            << project({}, {}, {},
                       {"globals",
                        " constant integer LIMIT = 3",
                        " constant real RATE",
                        " integer array Slots",
                        " integer Count = 0",
                        " integer array Bad = 2",
                        "endglobals",
                        "function Use takes integer n returns nothing",
                        " local unit u",
                        " local Stack st",
                        " set LIMIT = 4",
                        " set Slots = 1",
                        " set Count[1] = 2",
                        " set n = u[2] + n",
                        " set Slots[n] = Slots",
                        " set n = st[n]",
                        "endfunction",
                        "scope S",
                        " globals",
                        "  private constant integer K = 1",
                        " endglobals",
                        " function F takes nothing returns nothing",
                        "  set K = 2",
                        " endfunction",
                        "endscope"})
            << true
            << QStringList{"p.vlp:8:16: error: константа RATE объявлена без значения",
                           "p.vlp:11:16: error: массив Bad не может получить начальное значение",
                           "p.vlp:16:6: error: LIMIT — константа: ей нельзя присвоить значение",
                           "p.vlp:17:6: error: Slots — массив: ожидалось Slots[индекс]",
                           "p.vlp:18:6: error: Count не массив: индекс не нужен",
                           "p.vlp:19:10: error: u не массив: индекс не нужен",
                           "p.vlp:20:17: error: Slots — массив: ожидалось Slots[индекс]",
                           "p.vlp:28:7: error: K — константа: ей нельзя присвоить значение"};
        QTest::newRow("code: returns")
            << project({}, {}, {},
                       {"function Nothing takes nothing returns nothing",
                        " return 1",
                        "endfunction",
                        "function Sign takes integer n returns integer",
                        " if n > 0 then",
                        "  return 1",
                        " elseif n < 0 then",
                        "  return -1",
                        " else",
                        "  return 0",
                        " endif",
                        "endfunction",
                        "function Half takes integer n returns integer",
                        " if n > 0 then",
                        "  return 1",
                        " endif",
                        "endfunction",
                        "function Empty takes nothing returns real",
                        " return",
                        "endfunction",
                        "function Spin takes nothing returns boolean",
                        " loop",
                        "  return true",
                        " endloop",
                        "endfunction",
                        "function Pick takes integer n returns integer",
                        " if n > 0 then",
                        "  set n = 1",
                        " else",
                        "  return 0",
                        " endif",
                        "endfunction",
                        "struct Box",
                        " method operator size takes nothing returns integer",
                        "  if true then",
                        "   return 1",
                        "  endif",
                        " endmethod",
                        " method name takes nothing returns string",
                        "  loop",
                        "   return \"box\"",
                        "  endloop",
                        " endmethod",
                        "endstruct"})
            << true
            << QStringList{"p.vlp:7:2: error: функция Nothing ничего не возвращает, а return дает "
                           "значение",
                           "p.vlp:22:1: error: функция Half должна вернуть integer: перед "
                           "endfunction ожидался return",
                           "p.vlp:24:2: error: функция Empty должна вернуть real, а return без "
                           "значения",
                           "p.vlp:37:1: error: функция Pick должна вернуть integer: перед "
                           "endfunction ожидался return",
                           "p.vlp:43:1: error: метод operator size должен вернуть integer: "
                           "перед endmethod ожидался return"};
        QTest::newRow("code: types")
            << project({}, {}, {},
                       {"globals",
                        " integer Count = 2.5",
                        " real Rate = 3",
                        " string array Names",
                        " unit Hero = null",
                        " boolean Ready = null",
                        "endglobals",
                        "type widget extends handle",
                        "type unit extends widget",
                        "type item extends widget",
                        "function Add takes integer a, real b returns real",
                        " local string s = a",
                        " set Count = b",
                        " set Names[1] = 7",
                        " set Rate = a * 2 + Count - Names[2] * 0",
                        " if a then",
                        " elseif a > \"x\" or Ready then",
                        " endif",
                        " loop",
                        "  exitwhen not a",
                        " endloop",
                        " set s = s + a",
                        " set s = s + null + Names[a]",
                        " if Hero == a or Hero != null then",
                        " endif",
                        " return s",
                        "endfunction",
                        "function Use takes unit u, widget w returns widget",
                        " local item i = u",
                        " local widget v = i",
                        " local timer t = u",
                        " local unit back = t",
                        " call Add(\"one\", Count)",
                        " call Add(Rate, Count)",
                        " set Count = Add(1, 2)",
                        " if u == i or w == u then",
                        " endif",
                        " set w = u",
                        " if Count and Ready then",
                        " endif",
                        " set Count = \"a\" * 2",
                        " return i",
                        "endfunction"})
            << true
            << QStringList{
                   "p.vlp:7:18: error: переменная Count: ожидалось integer, а не real",
                   "p.vlp:11:18: error: переменная Ready: ожидалось boolean, а не null",
                   "p.vlp:17:19: error: переменная s: ожидалось string, а не integer",
                   "p.vlp:18:14: error: переменная Count: ожидалось integer, а не real",
                   "p.vlp:19:17: error: переменная Names: ожидалось string, а не integer",
                   "p.vlp:20:38: error: операнды *: ожидались числа, а не string и integer",
                   "p.vlp:21:5: error: условие if: ожидалось boolean, а не integer",
                   "p.vlp:22:11: error: операнды >: ожидались числа, а не integer и string",
                   "p.vlp:25:16: error: операнд not: ожидалось boolean, а не integer",
                   "p.vlp:27:12: error: операнды +: ожидались два числа или две строки, а не "
                   "string и integer",
                   "p.vlp:29:10: error: операнды ==: ожидались значения одного типа, а не unit и "
                   "integer",
                   "p.vlp:31:9: error: return функции Add: ожидалось real, а не string",
                   "p.vlp:34:17: error: переменная i: ожидалось item, а не unit",
                   "p.vlp:38:11: error: аргумент 1 функции Add: ожидалось integer, а не string",
                   "p.vlp:39:11: error: аргумент 1 функции Add: ожидалось integer, а не real",
                   "p.vlp:40:14: error: переменная Count: ожидалось integer, а не real",
                   "p.vlp:41:7: error: операнды ==: ожидались значения одного типа, а не unit и "
                   "item",
                   "p.vlp:44:5: error: операнд and: ожидалось boolean, а не integer",
                   "p.vlp:46:18: error: операнды *: ожидались числа, а не string и integer"};
        // The user code shadows what the generated lines call: each finding
        // goes to the setting, the object's field or the code as a whole.
        QTest::newRow("code: types where the generated lines meet the user code")
            << project(
                   {}, {}, {text("Text_1")},
                   {"globals", " integer UnitVar", "endglobals",
                    "function CreateTrigger takes nothing returns integer", " return 0",
                    "endfunction",
                    "function SetTextTagText takes texttag t, integer s, real h returns nothing",
                    "endfunction", "function GetOwningPlayer takes unit u returns player",
                    " return null", "endfunction"})
            << true
            << QStringList{"p.vlp: error: Название переменной юнита: аргумент 1 функции "
                           "GetOwningPlayer: ожидалось unit, а не integer (строка 18 кода)",
                           "p.vlp:8: error: аргумент 2 функции SetTextTagText: ожидалось integer, "
                           "а не string (строка 48 кода)",
                           "p.vlp: error: переменная trig: ожидалось trigger, а не integer (строка "
                           "33 кода)"};
        QTest::newRow("code: no order where text is not read")
            << project({}, {}, {},
                       {"//! runtextmacro Make()", "function A takes nothing returns nothing",
                        " call B()", "endfunction", "function B takes nothing returns nothing",
                        "endfunction"})
            << true << QStringList{};
        // What the user code leaves open at its end: one error on its last
        // line, and none in the generated lines after it.
        QTest::newRow("code: user code ends in a function")
            << project({}, {}, {}, {"function Foo takes nothing returns nothing", " set = 1"})
            << true
            << QStringList{"p.vlp:7:6: error: синтаксическая ошибка: ожидалось имя",
                           "p.vlp:7: error: не закрыта функция Foo (строка 1)"};
        QTest::newRow("code: user code ends in a comment")
            << project(
                   {button("Button_1")}, {}, {},
                   {"function A takes nothing returns nothing", "endfunction /* note", "", " more"})
            << true << QStringList{"p.vlp:20: error: не закрыт комментарий (строка 2)"};
        QTest::newRow("code: user code ends in a string")
            << project({}, {}, {},
                       {"function A takes nothing returns nothing", " call Show(\"Hi)",
                        "endfunction", " set"})
            << true << QStringList{"p.vlp:9: error: не закрыта строка (строка 2)"};
        QTest::newRow("code: user code ends in globals")
            << project({}, {}, {text("Text_1")}, {"globals", " integer x"}) << true
            << QStringList{"p.vlp:13: error: не закрыт блок globals (строка 1)"};
        QTest::newRow("code: a generated line broken by a field")
            << project({button("Button_1", "B000", "Bad name")}, {}, {}) << false
            << QStringList{
                   "p.vlp:10: error: синтаксическая ошибка: ожидалось «)» (строка 31 кода)"};
        // Each object's broken lines after its own findings, before the next
        // object's.
        QTest::newRow("code: generated lines broken by two objects")
            << project({button("Button_1", "B000", "Bad name", "", {}, {}, 400, 0),
                        button("Button_2", "B1", "", "Bad two")},
                       {}, {})
            << false
            << QStringList{
                   "p.vlp:4: warning: центр объекта вне панели (X = 400, Y = 0)",
                   "p.vlp:10: error: синтаксическая ошибка: ожидалось «)» (строка 31 кода)",
                   "p.vlp:19: warning: ID текстуры \"B1\" не из четырех символов",
                   "p.vlp:22: error: синтаксическая ошибка: ожидалось «)» (строка 34 кода)"};
    }
    void findingsWithTheirLines()
    {
        QFETCH(QStringList, file);
        QFETCH(bool, useUserCode);
        QFETCH(QStringList, findings);
        const ProjectReadResult read = ReadProjectLines(SplitTextLines(JoinTextLines(file)));
        QCOMPARE(read.outcome, ProjectReadResult::Outcome::Complete);
        Settings settings;
        settings.useUserCode = useUserCode;
        QList<DesignFinding> fromFile = CheckDesign(read.data, settings);
        QStringList lines;
        for (const DesignFinding &f : fromFile)
            lines << FindingFileLine("p.vlp", f);
        if (lines != findings)
            qDebug().noquote() << lines.join("\n");
        QCOMPARE(lines, findings);
        QCOMPARE(HasErrors(fromFile), findings.join('\n').contains(": error: "));

        Project p;
        p.setSettings(settings);
        ApplyProjectData(p, read);
        const QStringList before = ProjectFileLines(p);
        const QList<DesignFinding> inDesigner = CheckDesign(p);
        for (const DesignFinding &f : inDesigner) {
            QVERIFY(f.line == 0);
            QVERIFY(f.userCodeLine > 0 || f.kind == KindNone ||
                    p.tables().object(f.kind, f.id)->Name == f.objectName);
        }
        for (DesignFinding &f : fromFile)
            f.line = 0;
        QCOMPARE(inDesigner, fromFile);
        QCOMPARE(ProjectFileLines(p), before);
    }

    // Random designs that pass the check, with every kind, actions, the user
    // code in and out and the arrays under either names, give code that
    // reads as vJass without an error.
    void randomDesignsReadWithoutError()
    {
        QRandomGenerator random(2412);
        const auto pick = [&](const QString &from, int n) {
            QString s;
            for (int i = 0; i < n; ++i)
                s += from[random.bounded(int(from.size()))];
            return s;
        };
        const QString alnum = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz0123456789";
        const QString printable = alnum + " !#$%&()*+,-./:;<=>?@[]^_`{|}~'Счёт№«»€";
        const auto coordinate = [&](int half) {
            return random.bounded(-half, half + 1);
        };
        for (int round = 0; round < 80; ++round) {
            const int counts[3] = {random.bounded(4), random.bounded(4), random.bounded(4)};
            const auto target = [&] {
                int kind = random.bounded(3);
                while (counts[kind] == 0) // a button names it, so buttons are there
                    kind = random.bounded(3);
                const char *prefix[] = {"Button_", "Picture_", "Text_"};
                return QString::fromLatin1(prefix[kind]) +
                       QString::number(1 + random.bounded(counts[kind]));
            };
            QList<QStringList> buttons, pictures, texts;
            for (int i = 1; i <= counts[1]; ++i)
                pictures << picture("Picture_" + QString::number(i), pick(alnum, 4),
                                    coordinate(316), coordinate(176));
            for (int i = 1; i <= counts[2]; ++i)
                texts << text("Text_" + QString::number(i), pick(printable, random.bounded(12)),
                              coordinate(316), coordinate(176));
            for (int i = 1; i <= counts[0]; ++i) {
                const QString name = "Button_" + QString::number(i);
                QStringList sides[2];
                for (QStringList &actions : sides) {
                    for (int k = random.bounded(3); k > 0; --k)
                        actions << (random.bounded(3) == 0
                                        ? "echo \"" + pick(printable, 5) + "\""
                                        : QString("ObjShow %1 \"%2\"")
                                              .arg(random.bounded(2) ? "t" : "f", target()));
                }
                buttons << button(name, pick(alnum, 4),
                                  sides[0].isEmpty() ? "" : name + "_Left_Actions",
                                  sides[1].isEmpty() ? "" : name + "_Right_Actions", sides[0],
                                  sides[1], coordinate(316), coordinate(176));
            }
            const ProjectReadResult read =
                ReadProjectLines(SplitTextLines(JoinTextLines(project(buttons, pictures, texts))));
            Project p;
            Settings settings;
            settings.useUserCode = random.bounded(2);
            if (random.bounded(2)) {
                settings.buttonVar = "Knopki";
                settings.pictureVar = "Kartinki_1";
                settings.textVar = "Nadpisi";
            }
            p.setSettings(settings);
            ApplyProjectData(p, read);
            for (int id = 1; id <= p.tables().ButtonCount(); ++id) {
                for (const ClickSide side : {ClickSide::Left, ClickSide::Right})
                    EmitButtonActions(p, *p.tables().button(id), side);
            }
            QStringList errors;
            for (const DesignFinding &f : CheckDesign(p)) {
                if (f.severity == DesignFinding::Severity::Error)
                    errors << FindingText(f);
            }
            const QStringList lines = GenerateInterfaceCode(GeneratorInputFor(p)).lines();
            QVERIFY2(errors.isEmpty() && ReadVjass(lines).errors.isEmpty(),
                     qPrintable(errors.join('\n') + '\n' + lines.join('\n')));
        }
    }

    // The names the settings give the generated code, and user code lines a
    // project file cannot hold: each fault one finding, and no error in the
    // generated lines a setting breaks.
    void settingsAndUserCodeInTheDesigner_data()
    {
        QTest::addColumn<QStringList>("names"); // button, picture, text array; unit
        QTest::addColumn<QStringList>("userCode");
        QTest::addColumn<QStringList>("findings");
        const QStringList defaults{"ButtonVar", "PictureVar", "TextVar", "UnitVar"};
        QTest::newRow("array names that are no JASS names")
            << QStringList{"Button Var", "1Pics", "TextЁ", "GetTriggerUnit()"} << QStringList()
            << QStringList{
                   "Настройки: ошибка: Название переменной кнопки: \"Button Var\" — не имя JASS",
                   "Настройки: ошибка: Название переменной изображения: \"1Pics\" — не имя JASS",
                   "Настройки: ошибка: Название переменной текста: \"TextЁ\" — не имя JASS"};
        QTest::newRow("array names taken or repeated")
            << QStringList{"Pics_", "Pics_", "integer", "udg_Hero[1]"} << QStringList()
            << QStringList{"Настройки: ошибка: Название переменной изображения: \"Pics_\" — "
                           "совпадает с названием переменной кнопки",
                           "Настройки: ошибка: Название переменной текста: \"integer\" — тип "
                           "JASS"};
        QTest::newRow("array names repeated apart, keyword")
            << QStringList{"Items", "exitwhen", "Items", "u"} << QStringList()
            << QStringList{"Настройки: ошибка: Название переменной изображения: \"exitwhen\" — "
                           "ключевое слово JASS",
                           "Настройки: ошибка: Название переменной текста: \"Items\" — "
                           "совпадает с названием переменной кнопки"};
        for (const char *unit : {"udg_Hero[1", "a) + (b", "u // c", "", "GetUnit(1, 2"}) {
            QTest::newRow(unit) << QStringList{"Btn", "Pic", "Txt", unit} << QStringList()
                                << QStringList{"Настройки: ошибка: Название переменной юнита: \"" +
                                               QString(unit) + "\" — не выражение JASS"};
        }
        QTest::newRow("array name and unit, apart")
            << QStringList{"ButtonVar", "Picture Var", "TextVar", "GetUnit("} << QStringList()
            << QStringList{"Настройки: ошибка: Название переменной изображения: \"Picture Var\" "
                           "— не имя JASS",
                           "Настройки: ошибка: Название переменной юнита: \"GetUnit(\" — не "
                           "выражение JASS"};
        QTest::newRow("a user code finding with its column")
            << defaults
            << QStringList{"function F takes nothing returns nothing", " call ECHO(\"x\")",
                           "endfunction"}
            << QStringList{"Код пользователя, строка 4, столбец 7: ошибка: функция ECHO "
                           "вызывается, но нигде не определена"};
        QTest::newRow("/end in the user code")
            << defaults << QStringList{"/*", "/end", " /end", "/end ", "*/"}
            << QStringList{"Код пользователя, строка 4: предупреждение: строка \"/end\" обрежет "
                           "код пользователя при открытии проекта"};
    }
    void settingsAndUserCodeInTheDesigner()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, userCode);
        QFETCH(QStringList, findings);
        Project p;
        Settings settings;
        settings.buttonVar = names[0];
        settings.pictureVar = names[1];
        settings.textVar = names[2];
        settings.unitVar = names[3];
        p.setSettings(settings);
        p.appendUserCodeLines(
            QStringList{"function B1 takes nothing returns nothing", "endfunction"} + userCode);
        p.tables().createButton()->LeftActionsFunction = "B1";
        p.tables().SetPosition(*p.tables().createPicture(), 200, 100);
        p.tables().createText();
        // A setting's finding names the setting the settings window opens.
        const QString labels[] = {"", "кнопки", "изображения", "текста", "юнита"};
        QStringList shown;
        for (const DesignFinding &f : CheckDesign(p)) {
            shown << FindingText(f);
            QVERIFY(f.setting == DesignFinding::Setting::None ||
                    f.message.startsWith("Название переменной " + labels[int(f.setting)] + ':'));
        }
        QCOMPARE(shown.join(u'\n'), findings.join(u'\n'));
    }

    // A colour that names nothing can only come from the designer.
    void unknownColourInTheDesigner()
    {
        Project p;
        VellText *x = p.tables().createText();
        x->TextColor = QStringLiteral("clOrange");
        // The colour is left out of the code, which is still read.
        p.appendUserCodeLines(
            {"function F takes nothing returns nothing", " set = 1", "endfunction"});
        const QList<DesignFinding> findings = CheckDesign(p);
        QCOMPARE(findings.size(), 2);
        QCOMPARE(FindingText(findings.first()),
                 QStringLiteral("Text_1: ошибка: неизвестный цвет текста \"clOrange\""));
        QCOMPARE(FindingText(findings.last()),
                 QStringLiteral("Код пользователя, строка 2, столбец 6: ошибка: синтаксическая "
                                "ошибка: ожидалось имя"));
        QCOMPARE(x->TextColor, QStringLiteral("clOrange"));
    }
};

QTEST_MAIN(TestDesignCheck)
#include "tst_designcheck.moc"
