#include "common/textfile.h"
#include "project/designcheck.h"
#include "project/project.h"
#include "project/projectfile.h"

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

QStringList picture(const QString &name, const QString &texture = "P000", int x = 0, int y = 0)
{
    return {name, QString::number(x), QString::number(y), "32", "32", texture, "true"};
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
        QTest::newRow("functions not looked at without user code")
            << project({button("Button_1", "B000", "L1", "R1")}, {}, {}) << true << QStringList();
        QTest::newRow("actions")
            << project({button("Button_1", "B000", "", "",
                               {"ObjShow t \"Picture_1\"", "ObjShow f \"Picture_9\"",
                                "ObjShow t \"Knopka\"", "echo \"a\\b\"", "ECHO \"x\\\"",
                                "echo \"say \"hi\"\""},
                               {"ObjShow t \"Text_1\"", "ObjShow t \"Button_1\""})},
                       {picture("Picture_1")}, {})
            << true
            << QStringList{
                   "p.vlp:14: error: левый клик: объекта \"Picture_9\" нет",
                   "p.vlp:15: error: левый клик: имя \"Knopka\" не начинается с But, Pic или Tex",
                   "p.vlp:16: error: левый клик: \" или \\ в сообщении ломают строку кода",
                   "p.vlp:20: error: правый клик: объекта \"Text_1\" нет"};
        QTest::newRow("names repeated across kinds")
            << project({button("Same"), button("Button_2")}, {picture("Same")},
                       {text("Button_2"), text("Same")})
            << true
            << QStringList{"p.vlp:26: error: имя \"Same\" уже носит другой объект",
                           "p.vlp:34: error: имя \"Button_2\" уже носит другой объект",
                           "p.vlp:40: error: имя \"Same\" уже носит другой объект"};
        QTest::newRow("quotes and backslashes in texts")
            << project({}, {}, {text("Text_1", "say \"hi\""), text("Text_2", "C:\\maps")}) << true
            << QStringList{"p.vlp:8: error: \" или \\ в тексте ломают строку кода",
                           "p.vlp:14: error: \" или \\ в тексте ломают строку кода"};
        QTest::newRow("textures and positions")
            << project(
                   {button("Button_1", "B00", "", "", {}, {}, 317, 0)},
                   {picture("Picture_1", "", 0, -177), picture("Picture_2", "P0001", -400, 900)},
                   {text("Text_1", "Hi", 0, 177)})
            << true
            << QStringList{"p.vlp:4: warning: центр объекта вне панели (X = 317, Y = 0)",
                           "p.vlp:8: warning: ID текстуры \"B00\" не из четырех символов",
                           "p.vlp:17: warning: центр объекта вне панели (X = 0, Y = -177)",
                           "p.vlp:20: warning: ID текстуры \"\" не из четырех символов",
                           "p.vlp:23: warning: центр объекта вне панели (X = -400, Y = 900)",
                           "p.vlp:27: warning: ID текстуры \"P0001\" не из четырех символов",
                           "p.vlp:32: warning: центр объекта вне панели (X = 0, Y = 177)"};
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
        QCOMPARE(lines, findings);
        QCOMPARE(HasErrors(fromFile), findings.join('\n').contains(": error: "));

        Project p;
        p.setSettings(settings);
        ApplyProjectData(p, read);
        const QStringList before = ProjectFileLines(p);
        const QList<DesignFinding> inDesigner = CheckDesign(p);
        for (const DesignFinding &f : inDesigner)
            QVERIFY(f.line == 0 && p.tables().object(f.kind, f.id)->Name == f.objectName);
        for (DesignFinding &f : fromFile)
            f.line = 0;
        QCOMPARE(inDesigner, fromFile);
        QCOMPARE(ProjectFileLines(p), before);
    }

    // A colour that names nothing can only come from the designer.
    void unknownColourInTheDesigner()
    {
        Project p;
        VellText *x = p.tables().createText();
        x->TextColor = QStringLiteral("clOrange");
        const QList<DesignFinding> findings = CheckDesign(p);
        QCOMPARE(findings.size(), 1);
        QCOMPARE(FindingText(findings.first()),
                 QStringLiteral("Text_1: ошибка: неизвестный цвет текста \"clOrange\""));
        QCOMPARE(x->TextColor, QStringLiteral("clOrange"));
    }
};

QTEST_MAIN(TestDesignCheck)
#include "tst_designcheck.moc"
