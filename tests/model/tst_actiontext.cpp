#include "codegen/actionpreview.h"
#include "model/actiontable.h"
#include "model/actiontext.h"
#include "project/actionupdate.h"
#include "project/project.h"

#include <QtTest>

using namespace vell;

namespace {

const QStringList kEcho{"function ECHO takes string msg returns nothing",
                        " call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)", "endfunction"};

} // namespace

class TestActionText : public QObject
{
    Q_OBJECT

private slots:
    void words_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("word");
        QTest::newRow("command") << "ObjShow t \"Button_2\"" << 0 << "ObjShow";
        QTest::newRow("flag") << "ObjShow t \"Button_2\"" << 1 << "t";
        QTest::newRow("name without quotes") << "ObjShow t \"Button_2\"" << 2 << "Button_2";
        QTest::newRow("past the last word") << "ObjShow t \"Button_2\"" << 3 << "";
        QTest::newRow("spaces inside quotes") << "echo \"Wave 2 begins\"" << 1 << "Wave 2 begins";
        QTest::newRow("a quote inside a message") << "echo \"a\"b c\"" << 1 << "ab";
        QTest::newRow("the word after it") << "echo \"a\"b c\"" << 2 << "c";
        QTest::newRow("two spaces enclose an empty word") << "a  b" << 1 << "";
        QTest::newRow("after the empty word") << "a  b" << 2 << "b";
        QTest::newRow("just echo") << "echo" << 1 << "";
    }
    void words()
    {
        QFETCH(QString, line);
        QFETCH(int, n);
        QFETCH(QString, word);
        QCOMPARE(WordAt(line, n), word);
    }

    void kindsAndCaptions_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("rebuilt");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::newRow("hide") << "ObjShow f \"Button_2\"" << int(ActionKind::ShowHide)
                              << "ObjShow f \"Button_2\""
                              << "Спрятать объект с именем Button_2" << 1;
        QTest::newRow("show") << "ObjShow t Picture_1" << int(ActionKind::ShowHide)
                              << "ObjShow t \"Picture_1\""
                              << "Показать объект с именем Picture_1" << 1;
        QTest::newRow("upper-case flag hides")
            << "ObjShow T \"Text_1\"" << int(ActionKind::ShowHide) << "ObjShow T \"Text_1\""
            << "Спрятать объект с именем Text_1" << 1;
        // Shown unquoted, "t x" would become the flag t (show) and the name x.
        QTest::newRow("flag holding a space")
            << "ObjShow \"t x\" \"Picture_1\"" << int(ActionKind::ShowHide)
            << "ObjShow \"t x\" \"Picture_1\""
            << "Спрятать объект с именем Picture_1" << 1;
        QTest::newRow("flag with a quoted space inside")
            << "ObjShow t\" \"x Text_1" << int(ActionKind::ShowHide) << "ObjShow \"t x\" \"Text_1\""
            << "Спрятать объект с именем Text_1" << 1;
        QTest::newRow("message") << "echo \"Wave 2\"" << int(ActionKind::Message)
                                 << "echo \"Wave 2\""
                                 << "Отобразить \"Wave 2\" в центре экрана для всех игроков" << 5;
        QTest::newRow("empty message") << "echo" << int(ActionKind::Message) << "echo \"\""
                                       << "Отобразить \"\" в центре экрана для всех игроков" << 5;
        QTest::newRow("lower-case objshow") << "objshow t \"A\"" << int(ActionKind::None) << ""
                                            << "" << 0;
        QTest::newRow("echo with a tab") << "echo\t\"x\"" << int(ActionKind::None) << ""
                                         << "" << 0;
        QTest::newRow("empty line") << "" << int(ActionKind::None) << ""
                                    << "" << 0;
    }
    void kindsAndCaptions()
    {
        QFETCH(QString, line);
        QFETCH(int, kind);
        QFETCH(QString, rebuilt);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        const ActionView view = ViewOfLine(line);
        QCOMPARE(int(view.kind), kind);
        QCOMPARE(view.line, rebuilt);
        QCOMPARE(view.caption, caption);
        QCOMPARE(view.icon, icon);
        // Shown again, the line stays as it is.
        QCOMPARE(ViewOfLine(view.line).line, view.line);
        QCOMPARE(ViewOfLine(view.line).caption, view.caption);
        QVERIFY(!IsShowFlag(QString()));
    }

    void actionTable()
    {
        ActionTable t;
        QVERIFY(t.CollectActionLines().isEmpty());
        int nodes[3];
        for (int i = 0; i < 3; ++i)
            t.add(QStringLiteral("echo \"%1\"").arg(i), &nodes[i]);
        FenFunc *third = t.record(3);
        t.destroy(2);
        QCOMPARE(t.ActionCount(), 2);
        QCOMPARE(t.record(2), third);
        QCOMPARE(third->Index, 2);
        QCOMPARE(third->Node, &nodes[2]);
        QCOMPARE(t.CollectActionLines(), QStringList({"echo \"0\"", "echo \"2\""}));
        t.ClearActionTable();
        QCOMPARE(t.ActionCount(), 0);
    }

    // A hand-written list longer than the table: the first 99,999 actions
    // are shown, the lines after them handed back as they are, after them.
    void anOverLongListKeepsTheRestAside_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("handedBack");
        QTest::addColumn<int>("unshown");
        const QStringList full(ActionTable::Capacity, QStringLiteral("echo \"x\""));
        // Not rebuilt as a shown line would be ("ObjShow t ...").
        const QStringList over = full + QStringList{"ObjShow \"t\" \"Button_1\""};
        QTest::newRow("one over") << over << over << 1;
        // Lines without a kind go among the shown ones, stay after them.
        QStringList mixed = full;
        mixed.insert(5, "Junk 1");
        mixed += QStringList{"Junk 2", "echo \"y\"", "Junk 3", "echo \"z\""};
        QStringList back = mixed;
        back.removeAt(5);
        QTest::newRow("without a kind") << mixed << back << 2;
        QTest::newRow("exactly full") << full + QStringList{"Junk"} << full << 0;
    }
    void anOverLongListKeepsTheRestAside()
    {
        QFETCH(QStringList, list);
        QFETCH(QStringList, handedBack);
        QFETCH(int, unshown);
        ActionTable t;
        t.add(QStringLiteral("echo \"old\""), nullptr);
        int nodes = 0;
        const int node = 0;
        QCOMPARE(t.load(list, [&](const ActionView &) { return ++nodes, &node; }), unshown);
        QCOMPARE(nodes, 99999);
        QCOMPARE(t.record(99999)->Node, &node);
        QVERIFY(!t.add(QStringLiteral("echo"), nullptr));
        QCOMPARE(t.CollectActionLines(), handedBack);
        t.ClearActionTable();
        QVERIFY(t.CollectActionLines().isEmpty());
    }

    // Two buttons and a picture; the left actions of Button_1 hide Button_2,
    // show Picture_1 and greet, with the settings' array names.
    void emittedClickFunctions()
    {
        Project p;
        p.create(KindButton);
        p.create(KindButton);
        p.create(KindPicture);
        VellButton &b = *p.tables().button(1);
        const QStringList lines{"ObjShow f \"Button_2\"", "ObjShow t \"Picture_1\"",
                                "echo \"Hello\""};
        QVERIFY(ApplyActionResult(p, b, ClickSide::Left, lines));
        const QStringList leftFunction{
            "function Button_1_Left_Actions takes nothing returns nothing",
            " call ButtonVar[2].Show(false,-1)", " call PictureVar[1].Show(true,-1)",
            " call ECHO(\"Hello\")", "endfunction"};
        QCOMPARE(p.userCodeLines(), kEcho + leftFunction);
        QCOMPARE(b.LeftActions, lines);
        QCOMPARE(b.LeftActionsFunction, QStringLiteral("Button_1_Left_Actions"));
        QVERIFY(b.RightActionsFunction.isEmpty());
        QVERIFY(p.ProjectModified());

        // The right side is a function of its own; the left one stays.
        p.appendUserCodeLines({"// mine"});
        Settings s = p.settings();
        s.buttonVar = QStringLiteral("Btns");
        p.setSettings(s);
        QVERIFY(ApplyActionResult(p, b, ClickSide::Right, {"ObjShow t \"Button_2\"", "junk"}));
        const QStringList rightFunction{
            "function Button_1_Right_Actions takes nothing returns nothing",
            " call Btns[2].Show(true,-1)", "endfunction"};
        QCOMPARE(p.userCodeLines(), kEcho + leftFunction + QStringList{"// mine"} + rightFunction);
        QCOMPARE(b.RightActionsFunction, QStringLiteral("Button_1_Right_Actions"));

        // Applying the left side again replaces its function at the end;
        // a removed target gives no call, positions are those of now.
        p.remove(KindButton, 2);
        p.create(KindPicture);
        QVERIFY(ApplyActionResult(
            p, b, ClickSide::Left,
            {"ObjShow f \"Button_2\"", "ObjShow f \"Picture_2\"", "echo \"a b\""}));
        const QStringList again{"function Button_1_Left_Actions takes nothing returns nothing",
                                " call PictureVar[2].Show(false,-1)", " call ECHO(\"a b\")",
                                "endfunction"};
        QCOMPARE(p.userCodeLines(), kEcho + QStringList{"// mine"} + rightFunction + again);
    }

    // A click in the preview: only the button's own bound function runs;
    // its lines show, hide and greet in order, and a target that is not
    // there (or has no kind) says so.
    void previewClick()
    {
        Project p;
        p.create(KindButton);
        p.create(KindText);
        p.create(KindPicture);
        VellButton &b = *p.tables().button(1);
        const ObjectByName find = p.tables().finder();
        b.LeftActions = {
            "echo \"Купить?\"",        "ObjShow f \"Text_1\"",    "junk",
            "ObjShow t \"Picture_1\"", "ObjShow t \"Picture_4\"", "ObjShow t \"Hero\""};
        QVERIFY(PreviewClick(b, ClickSide::Left, find).empty());
        b.LeftActionsFunction = QStringLiteral("Button_1_Left_Actions");
        const auto steps = PreviewClick(b, ClickSide::Left, find);
        QCOMPARE(int(steps.size()), 5);
        const QStringList messages{"Купить?", "", "", "Объект Picture_4 не найден",
                                   "Объект Hero не найден"};
        const VellControl *objects[] = {nullptr, p.tables().text(1), p.tables().picture(1), nullptr,
                                        nullptr};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(steps[i].message, messages[i]);
            QCOMPARE(steps[i].object, objects[i]);
            QCOMPARE(steps[i].shown, i == 2);
        }
        b.RightActions = {"echo \"x\""};
        b.RightActionsFunction = QStringLiteral("ShopClose");
        const auto other = PreviewClick(b, ClickSide::Right, find);
        QCOMPARE(int(other.size()), 1);
        QCOMPARE(other[0].message,
                 QStringLiteral("Функция ShopClose в предпросмотре не выполняется"));

        // Five seconds each, the eight newest.
        PreviewMessages shown;
        for (int i = 0; i < 10; ++i)
            shown.add(QString::number(i), 1000 + 300 * i);
        QCOMPARE(shown.shown(5999), QStringList({"2", "3", "4", "5", "6", "7", "8", "9"}));
        QCOMPARE(shown.shown(6600), QStringList({"3", "4", "5", "6", "7", "8", "9"}));
        QCOMPARE(shown.nextExpiry(6600), 6900);
        QCOMPARE(shown.nextExpiry(8700), -1);
    }

    void anEmptyResultChangesNothingElse()
    {
        Project p;
        auto *b = static_cast<VellButton *>(p.create(KindButton));
        b->LeftActions = QStringList{"junk"};
        b->LeftActionsFunction = QStringLiteral("Kept");
        QVERIFY(!ApplyActionResult(p, *b, ClickSide::Left, {}));
        QVERIFY(b->LeftActions.isEmpty());
        QCOMPARE(b->LeftActionsFunction, QStringLiteral("Kept"));
        QVERIFY(p.userCodeLines().isEmpty());
        QVERIFY(!p.ProjectModified());
        // Lines that all give nothing still make a function with its ends.
        QVERIFY(ApplyActionResult(p, *b, ClickSide::Left, {"ObjShow t \"Nowhere\""}));
        QCOMPARE(p.userCodeLines(),
                 QStringList({"function Button_1_Left_Actions takes nothing returns nothing",
                              "endfunction"}));
    }
};

QTEST_MAIN(TestActionText)
#include "tst_actiontext.moc"
