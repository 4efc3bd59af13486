#include "codegen/interfacegenerator.h"
#include "common/textfile.h"
#include "generatorcase.h"

#include <QLocale>
#include <QtTest>

#include <clocale>
#include <cmath>

using namespace vell;

namespace {

QString dataPath(const QString &name)
{
    return QStringLiteral(VELL_TEST_DATA "/") + name;
}

GeneratorInput defaultInput()
{
    GeneratorInput in;
    in.buttonVar = QStringLiteral("ButtonVar");
    in.pictureVar = QStringLiteral("PictureVar");
    in.textVar = QStringLiteral("TextVar");
    in.unitVar = QStringLiteral("UnitVar");
    return in;
}

GenButton button(int x, int y, const QString &texture)
{
    GenButton b;
    b.x = x;
    b.y = y;
    b.textureId = texture;
    return b;
}

} // namespace

class TestInterfaceGenerator : public QObject
{
    Q_OBJECT

private slots:
    void golden_data();
    void golden();
    void emptyProjectHasThirtySixLines();
    void userCodeIsCopiedUnchanged();
    void indicesFollowListOrderAfterRemoval();
    void scaleFollowsPanelSize();
    void piecesOfTheLines();
    void formatReal3_data();
    void formatReal3();
    void formatReal3IgnoresProcessLocale();
};

void TestInterfaceGenerator::golden_data()
{
    QTest::addColumn<QString>("inputFile");
    QTest::addColumn<QString>("expectedFile");
    QTest::addColumn<QString>("expectedError");

    const auto row = [](const char *name, const char *expected, const char *error = "") {
        QTest::newRow(name) << QString::fromLatin1(name) + QLatin1String(".in")
                            << QString::fromLatin1(expected) + QLatin1String(".out")
                            << QString::fromUtf8(error);
    };
    row("mixed_design_with_user_code", "mixed_design_with_user_code");
    row("empty_project", "empty_project");
    row("empty_usercode_on", "empty_project");
    row("hidden_objects", "hidden_objects");
    row("text_without_colour", "text_without_colour");
    row("wide_button", "wide_button");
    row("actions_without_usercode", "actions_without_usercode");
    row("odd_variable_names", "odd_variable_names");
    row("system_colour", "system_colour");
    row("one_new_object_of_each_kind", "one_new_object_of_each_kind");
    row("bad_colour", "bad_colour", "'reddish' is not a valid integer value");
}

void TestInterfaceGenerator::golden()
{
    QFETCH(QString, inputFile);
    QFETCH(QString, expectedFile);
    QFETCH(QString, expectedError);

    GeneratorCase c = readGeneratorCase(dataPath(inputFile));
    QVERIFY2(c.error.isEmpty(), qPrintable(c.error));
    const QString plain = GenerateInterfaceCode(c.input).text;
    c.input.mapPieces = true;
    bool readOk = false;
    const QStringList expected = readExpectedLines(dataPath(expectedFile), &readOk);
    QVERIFY2(readOk, qPrintable(expectedFile));

    const GeneratorResult result = GenerateInterfaceCode(c.input);
    QCOMPARE(result.text, plain);
    QCOMPARE(result.error, expectedError);
    QCOMPARE(result.ok(), expectedError.isEmpty());
    const QString diff = describeLineDifference(expected, result.lines());
    QVERIFY2(diff.isEmpty(), qPrintable(QLatin1Char('\n') + diff));
    // The file's bytes, made without the text, stop at the same error and
    // map the same pieces.
    const GeneratorResult bytes = GenerateInterfaceCode(c.input, GeneratorOutput::Cp1251);
    QCOMPARE(bytes.error, expectedError);
    if (bytes.ok())
        QCOMPARE(bytes.bytes, JoinTextLines(result.lines()));
    QCOMPARE(bytes.lineCount, result.lineCount);
    QCOMPARE(bytes.userCodeLine, result.userCodeLine);
    QVERIFY(bytes.pieces == result.pieces);
}

void TestInterfaceGenerator::emptyProjectHasThirtySixLines()
{
    GeneratorInput in = defaultInput();
    in.useUserCode = false;
    in.userCode = {QStringLiteral("function Unused takes nothing returns nothing"),
                   QStringLiteral("endfunction")};
    const GeneratorResult result = GenerateInterfaceCode(in);
    QVERIFY(result.ok());
    QCOMPARE(result.lines().size(), 36);
    QCOMPARE(result.lines().first(), QStringLiteral("globals"));
    QCOMPARE(result.lines().at(5),
             QStringLiteral("function InterfaceClickL_Timer takes nothing returns nothing"));
    QCOMPARE(result.lines().last(), QStringLiteral("endfunction"));
}

void TestInterfaceGenerator::userCodeIsCopiedUnchanged()
{
    GeneratorInput in = defaultInput();
    const QStringList userCode{QStringLiteral("  // indented   "), QString(),
                               QStringLiteral("\tlocal string s = \"x\""),
                               QStringLiteral("последняя строка")};
    in.userCode = userCode;
    const GeneratorResult result = GenerateInterfaceCode(in);
    QVERIFY(result.ok());
    QCOMPARE(result.lines().size(), 36 + userCode.size());
    QCOMPARE(result.lines().at(4), QStringLiteral("endglobals"));
    QCOMPARE(result.lines().mid(5, userCode.size()), userCode);
    QCOMPARE(result.lines().at(5 + userCode.size()),
             QStringLiteral("function InterfaceClickL_Timer takes nothing returns nothing"));
}

void TestInterfaceGenerator::indicesFollowListOrderAfterRemoval()
{
    GeneratorInput in = defaultInput();
    in.useUserCode = false;
    in.buttons = {button(-100, 0, QStringLiteral("B001")), button(0, 0, QStringLiteral("B002")),
                  button(100, 0, QStringLiteral("B003"))};
    in.buttons[2].leftFunction = QStringLiteral("Button_3_Left_Actions");

    const QStringList before = GenerateInterfaceCode(in).lines();
    QVERIFY(before.contains(
        QStringLiteral(" set ButtonVar[3] = BUTTON.New(0.265,0.091,0.101,0.181,1,'B003')")));

    in.buttons.removeAt(1);
    const GeneratorResult after = GenerateInterfaceCode(in);
    QVERIFY(after.ok());
    const QStringList expected{
        QStringLiteral(" set ButtonVar[1] = BUTTON.New(-0.367,0.091,0.101,0.181,1,'B001')"),
        QStringLiteral(" call ButtonVar[1].Show(true,cam)"),
        QStringLiteral(" set ButtonVar[2] = BUTTON.New(0.265,0.091,0.101,0.181,1,'B003')"),
        QStringLiteral(" call ButtonVar[2].Show(true,cam)"),
        QStringLiteral(" call ButtonVar[2].AddActionL(function Button_3_Left_Actions)"),
    };
    const qsizetype header = after.lines().indexOf(QStringLiteral("//========Button========"));
    QVERIFY(header > 0);
    QCOMPARE(after.lines().mid(header + 2, expected.size()), expected);
    QCOMPARE(after.lines().at(header + 2 + expected.size()),
             QStringLiteral("//======================"));
    QVERIFY(!after.lines().join(QLatin1Char('\n')).contains(QLatin1String("ButtonVar[3]")));
}

void TestInterfaceGenerator::scaleFollowsPanelSize()
{
    // Halves of odd panel sizes are exact: 1/100.5 and 1/50.5.
    GeneratorInput in = defaultInput();
    in.useUserCode = false;
    in.panelWidth = 201;
    in.panelHeight = 101;
    GenPicture p;
    p.x = 50;
    p.y = -20;
    p.width = 201;
    p.height = 101;
    p.textureId = QStringLiteral("P");
    in.pictures = {p};
    const GeneratorResult result = GenerateInterfaceCode(in);
    QVERIFY(result.ok());
    QVERIFY2(result.lines().contains(QStringLiteral(
                 " set PictureVar[1] = PICTURE.New(-0.498,0.594,2.000,2.000,2,'P')")),
             qPrintable(result.lines().join(QLatin1Char('\n'))));
}

// Each piece of a line as "text@column:source", the source "s" and the
// setting, "u" and the user code line, or the kind, index and field.
void TestInterfaceGenerator::piecesOfTheLines()
{
    GeneratorInput in = defaultInput();
    in.buttonVar = QStringLiteral("Knopki");
    in.unitVar = QStringLiteral("Hero");
    in.userCode = {QStringLiteral("// mine"), QStringLiteral("// more")};
    in.buttons = {button(-100, 0, QStringLiteral("B001")), button(40, 20, QStringLiteral("Bx"))};
    in.buttons[1].rightFunction = QStringLiteral("Go");
    in.texts = {GenText{7, -3, 12, 13, false, QStringLiteral("Hi"), QStringLiteral("clRed")}};
    in.mapPieces = true;
    const GeneratorResult result = GenerateInterfaceCode(in, GeneratorOutput::Cp1251);
    const QStringList lines = SplitTextLines(result.bytes);
    const auto described = [&](qsizetype line) {
        QStringList parts;
        for (const CodePiece &p : result.pieces.line(line)) {
            const QString source =
                p.source == CodePiece::Source::Setting ? QStringLiteral("s%1").arg(int(p.setting))
                : p.source == CodePiece::Source::UserCode
                    ? QStringLiteral("u%1").arg(p.index)
                    : QStringLiteral("%1/%2/%3").arg(p.kind).arg(p.index).arg(int(p.field));
            parts << lines[line].mid(p.start, p.end - p.start) + u'@' + QString::number(p.start) +
                         u':' + source;
        }
        return parts.join(u' ');
    };
    QCOMPARE(described(1), QStringLiteral("Knopki@14:s0"));
    QCOMPARE(described(6), QStringLiteral("// more@0:u1"));
    QCOMPARE(described(8), QStringLiteral("Hero@47:s3"));
    QCOMPARE(described(32), QStringLiteral("Knopki@5:s0 [2]@11:1/1/0 0.076,0.204@28:1/1/1 "
                                           "0.101,0.181@40:1/1/2 Bx@55:1/1/3"));
    QCOMPARE(described(34), QStringLiteral("Knopki@6:s0 [2]@12:1/1/0 Go@36:1/1/8"));
    QCOMPARE(described(42), QStringLiteral("TextVar@6:s2 [1]@13:3/0/0 false@22:3/0/6"));
    QCOMPARE(described(41), QStringLiteral("TextVar@5:s2 [1]@12:3/0/0 0.003,-0.051@27:3/0/1"));
    QCOMPARE(described(43),
             QStringLiteral("TextVar@21:s2 [1]@28:3/0/0 FF0000@43:3/0/5 Hi@49:3/0/4"));
    QVERIFY(result.pieces.line(44).empty());
    QCOMPARE(result.pieces.at(32, 56), &result.pieces.line(32)[4]);
    QCOMPARE(result.pieces.at(32, 57), nullptr);
}

void TestInterfaceGenerator::formatReal3_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    const double sx = 1.0 / (633 / 2.0);
    const double sy = 1.0 / (353 / 2.0);
    QTest::newRow("zero") << 0.0 << "0.000";
    QTest::newRow("negative zero") << -0.0 << "0.000";
    QTest::newRow("button left edge") << (0 - 16) * sx << "-0.051";
    QTest::newRow("button height") << 32 * sy << "0.181";
    QTest::newRow("whole panel width") << 633 * sx << "2.000";
    QTest::newRow("one") << 1.0 << "1.000";
    QTest::newRow("exact half goes up") << 0.0625 << "0.063";
    QTest::newRow("exact negative half goes down") << -0.0625 << "-0.063";
    QTest::newRow("exact half above one") << 1.0625 << "1.063";
    // The binary value decides, not its short decimal spelling.
    QTest::newRow("1.0005 is stored below the half") << 1.0005 << "1.000";
    QTest::newRow("2.0005 is stored above the half") << 2.0005 << "2.001";
    QTest::newRow("0.1235 is stored below the half") << 0.1235 << "0.123";
    QTest::newRow("0.9995 rounds up to a new digit") << 0.9995 << "1.000";
    QTest::newRow("large") << 123456.7894 << "123456.789";
    QTest::newRow("large carry") << 9999999.9996 << "10000000.000";
    QTest::newRow("negative") << -12.3456 << "-12.346";
    QTest::newRow("negative large") << -2147483648.0 << "-2147483648.000";
    QTest::newRow("huge") << 1e15 << "1000000000000000.000";
    QTest::newRow("tiny negative") << -0.0004 << "0.000";
    QTest::newRow("tiny negative quarter") << -0.00025 << "0.000";
    QTest::newRow("negligible negative") << -1e-300 << "0.000";
    QTest::newRow("smallest negative that shows") << -0.0005 << "-0.001";
    QTest::newRow("tiny positive") << 0.0004 << "0.000";
}

void TestInterfaceGenerator::formatReal3()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatReal3(value), expected);
}

void TestInterfaceGenerator::formatReal3IgnoresProcessLocale()
{
    const QLocale previousDefault;
    const QByteArray previousC = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const bool haveGermanC = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;

    const QString small = FormatReal3(-0.0506);
    const QString grouped = FormatReal3(1234567.8915);
    GeneratorInput in = defaultInput();
    in.buttons = {button(0, 0, QStringLiteral("B000"))};
    const QStringList lines = GenerateInterfaceCode(in).lines();

    std::setlocale(LC_ALL, previousC.constData());
    QLocale::setDefault(previousDefault);

    QCOMPARE(small, QStringLiteral("-0.051"));
    QCOMPARE(grouped, QStringLiteral("1234567.891"));
    QVERIFY(lines.contains(
        QStringLiteral(" set ButtonVar[1] = BUTTON.New(-0.051,0.091,0.101,0.181,1,'B000')")));
    if (!haveGermanC)
        qInfo("de_DE.UTF-8 is not installed; checked with the German Qt default locale only");
}

QTEST_GUILESS_MAIN(TestInterfaceGenerator)
#include "tst_codegen_generator.moc"
