#include "common/textfile.h"
#include "common/vellerror.h"
#include "designer/paneldrawing.h"
#include "filebytes.h"
#include "project/project.h"
#include "project/projectio.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

using namespace vell;

namespace {

// A file's bytes from lines joined by LF (the reader takes any line end).
QByteArray fileOf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + '\n';
    return bytes;
}

const QString kKey = QStringLiteral("FMVELLVERSIONKEY2.1");

// A button record's eleven lines without actions.
QStringList buttonLines(const QString &name, int x = 0)
{
    return {name, QString::number(x), "0", "32", "32", "B000", "true", "", "", "0", "0"};
}

QString objectNames(const ObjectTables &t)
{
    return t.objectNames().join(u',');
}

void setSaveUserCode(Project &p, bool on)
{
    Settings s = p.settings();
    s.saveUserCode = on;
    p.setSettings(s);
}

// Every record field of both projects, kind by kind, and the user code.
void compareProjects(const Project &a, const Project &b)
{
    const ObjectTables &x = a.tables();
    const ObjectTables &y = b.tables();
    QCOMPARE(y.ButtonCount(), x.ButtonCount());
    QCOMPARE(y.PictureCount(), x.PictureCount());
    QCOMPARE(y.TextCount(), x.TextCount());
    for (int id = 1; id <= x.ButtonCount(); ++id)
        QVERIFY2(*y.button(id) == *x.button(id), qPrintable(x.button(id)->Name));
    for (int id = 1; id <= x.PictureCount(); ++id)
        QVERIFY2(*y.picture(id) == *x.picture(id), qPrintable(x.picture(id)->Name));
    for (int id = 1; id <= x.TextCount(); ++id)
        QVERIFY2(*y.text(id) == *x.text(id), qPrintable(x.text(id)->Name));
    QCOMPARE(b.userCodeLines(), a.userCodeLines());
}

} // namespace

class TestProjectFile : public QObject
{
    Q_OBJECT

private slots:
    void oneObjectOfEachKindWritesTheExpectedBytes()
    {
        Project p;
        ObjectTables &t = p.tables();
        PanelDrawing d(t);
        auto *b = t.createButton();
        t.SetPosition(*b, -100, 50);
        t.SetSize(*b, 64, 32);
        b->LeftActionsFunction = QStringLiteral("Button_1_Left_Actions");
        b->LeftActions = QStringList{QStringLiteral("ObjShow f \"Picture_1\"")};
        auto *pic = t.createPicture();
        t.SetPosition(*pic, 120, -40);
        t.SetSize(*pic, 48, 48);
        pic->TextureId = QStringLiteral("B001");
        t.SetVisible(*pic, false);
        auto *x = t.createText();
        t.SetPosition(*x, 0, 100);
        t.SetTextColor(*x, QColor(255, 0, 0));
        p.appendUserCodeLines({"function Button_1_Left_Actions takes nothing returns nothing",
                               " call PictureVar[1].Show(false,-1)", "endfunction"});
        p.setProjectModified(true);
        QTemporaryDir dir;
        const QString path = dir.filePath("a.vlp");
        SaveProjectFile(p, path);
        QVERIFY(!p.ProjectModified());
        const QByteArray expected =
            readBytes(QStringLiteral(VELL_TEST_DATA "/one_object_of_each_kind.vlp"));
        QCOMPARE(readBytes(path), expected);

        // Read back into a project that already has objects and user code.
        Project q;
        q.create(KindText);
        q.create(KindText);
        q.appendUserCodeLines({"// mine"});
        QCOMPARE(LoadProjectFile(q, path).outcome, ProjectLoad::Outcome::Loaded);
        QCOMPARE(objectNames(q.tables()), QStringLiteral("Button_1,Picture_1,Text_1"));
        QCOMPARE(q.tables().TextNameCounter, 3);
        QCOMPARE(q.userCodeLines().size(), 4);
        QCOMPARE(q.userCodeLines().first(), QStringLiteral("// mine"));
        QVERIFY(!q.ProjectModified());
        QCOMPARE(q.KnownObjectNames(), q.tables().objectNames());
        QCOMPARE(PanelDrawing(q.tables()).element(*q.tables().text(1))->textColor(),
                 QColor(255, 0, 0));
        // Without the editor's earlier text, a second save gives the same bytes.
        Project r;
        LoadProjectFile(r, path);
        SaveProjectFile(r, path);
        QCOMPARE(readBytes(path), expected);
    }

    // What a first start saves after Shift+F1, Shift+F2 and Shift+F3 (the
    // smoke test of the real program saves the same bytes).
    void oneNewObjectOfEachKindWritesTheExpectedBytes()
    {
        Project p;
        for (const ObjectKind kind : kObjectKinds)
            QVERIFY(p.create(kind));
        QCOMPARE(JoinTextLines(ProjectFileLines(p)),
                 readBytes(QStringLiteral(VELL_TEST_DATA "/one_new_object_of_each_kind.vlp")));
    }

    void emptyProjects_data()
    {
        QTest::addColumn<bool>("saveUserCode");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("without user code")
            << false
            << QByteArray("FMVELLVERSIONKEY2.1\r\nbtncount:0\r\npiccount:0\r\ntexcount:0\r\n");
        QTest::newRow("with empty user code")
            << true
            << QByteArray("FMVELLVERSIONKEY2.1\r\nbtncount:0\r\npiccount:0\r\ntexcount:0\r\n"
                          "/usercodestart\r\n/end\r\n");
    }
    void emptyProjects()
    {
        QFETCH(bool, saveUserCode);
        QFETCH(QByteArray, bytes);
        Project p;
        setSaveUserCode(p, saveUserCode);
        QCOMPARE(JoinTextLines(ProjectFileLines(p)), bytes);
    }

    // Random designs of every kind come back field for field.
    void randomProjectsRoundTrip()
    {
        QRandomGenerator random(20261207);
        const QStringList words{"Привет", "a b", "\"q\"", "", "ЁёЖ№", "ObjShow t \"Text_1\"",
                                "x\tz"};
        const auto word = [&] {
            return words[random.bounded(int(words.size()))];
        };
        for (int round = 0; round < 20; ++round) {
            Project p;
            ObjectTables &t = p.tables();
            PanelDrawing d(t);
            const int objects = random.bounded(12);
            for (int i = 0; i < objects; ++i) {
                VellControl *o = t.create(kObjectKinds[random.bounded(3)]);
                t.SetPosition(*o, random.bounded(-5000, 5000), random.bounded(-3000, 3001));
                t.SetSize(*o, random.bounded(0, 900), random.bounded(0, 901));
                // A handle leaves any size, odd ones too; they come back as they were.
                if (VellResizeRect *frame = d.frame(*o); frame && random.bounded(2)) {
                    frame->HandleMouseDown(3);
                    frame->DragHandleTo(frame->handleRect(1).left() + random.bounded(1, 300),
                                        frame->handleRect(1).top() + random.bounded(1, 200));
                    t.SetFramedRect(*o, d.frame(*o)->FramedRect());
                }
                t.SetVisible(*o, random.bounded(2));
                if (QString *texture = TextureOf(*o))
                    *texture = word();
                if (o->Kind == KindButton) {
                    auto *b = static_cast<VellButton *>(o);
                    b->LeftActionsFunction = word();
                    b->RightActionsFunction = word();
                    for (int n = random.bounded(4); n > 0; --n)
                        b->LeftActions.append(word());
                    for (int n = random.bounded(4); n > 0; --n)
                        b->RightActions.append(word());
                }
                if (o->Kind == KindText) {
                    t.SetText(*static_cast<VellText *>(o), word());
                    if (random.bounded(2))
                        t.SetTextColor(*static_cast<VellText *>(o),
                                       QColor::fromRgb(random.bounded(1 << 24)));
                }
            }
            QStringList code;
            for (int n = random.bounded(5); n > 0; --n)
                code.append(word());
            p.appendUserCodeLines(code);
            // A design with gaps in its counters.
            for (const ObjectKind kind : kObjectKinds) {
                if (t.count(kind) > 1) {
                    t.remove(kind, 1);
                    break;
                }
            }

            const QByteArray bytes = JoinTextLines(ProjectFileLines(p));
            const ProjectReadResult read = ReadProjectLines(SplitTextLines(bytes));
            QCOMPARE(read.outcome, ProjectReadResult::Outcome::Complete);
            Project q;
            ApplyProjectData(q, read);
            compareProjects(p, q);
            QCOMPARE(JoinTextLines(ProjectFileLines(q)), bytes);
        }
    }

    // What a file holds that the reader takes, refuses or stops at.
    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("failedLine");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QStringList>("userCode");
        using O = ProjectReadResult::Outcome;
        const QStringList tail{"piccount:0", "texcount:0"};
        const QStringList empty = QStringList{kKey, "btncount:0"} + tail;

        QTest::newRow("no bytes") << QByteArray() << int(O::Empty) << "Файл поврежден" << 0 << ""
                                  << QStringList();
        QTest::newRow("NUL first ends the text")
            << QByteArray("\0FMVELLVERSIONKEY2.1\n", 21) << int(O::Empty) << "Файл поврежден" << 0
            << "" << QStringList();
        QTest::newRow("key in other letter case")
            << fileOf(QStringList{"fmvellversionkey2.1"} + empty.mid(1)) << int(O::WrongKey)
            << "Файл этого проекта не подходит для данной версии программы" << 0 << ""
            << QStringList();
        QTest::newRow("count prefix ignored, CR line ends")
            << (fileOf(QStringList{kKey, "any nine:2"} + buttonLines("B1") + buttonLines("B2", 7) +
                       QStringList{"piccount:0", "XXXXXXXXX0"})
                    .replace('\n', '\r'))
            << int(O::Complete) << "" << 0 << "B1,B2" << QStringList();
        QTest::newRow("negative count reads no records")
            << fileOf({kKey, "btncount:-3", "piccount:0", "texcount:0"}) << int(O::Complete) << ""
            << 0 << "" << QStringList();
        QTest::newRow("count not a number")
            << fileOf({kKey, "btncount:two"}) << int(O::Failed)
            << "'two' is not a valid integer value" << 2 << "" << QStringList();
        QTest::newRow("short count line")
            << fileOf({kKey, "btn:1"}) << int(O::Failed) << "'' is not a valid integer value" << 2
            << "" << QStringList();
        QTest::newRow("count above a table")
            << fileOf({kKey, "btncount:0", "piccount:10000"}) << int(O::Failed)
            << "Файл поврежден (строка 3)" << 3 << "" << QStringList();
        // A table holds 9,999 objects: a full one reads whole, one more is refused
        // at its count line even with every record there.
        QStringList full{kKey, "btncount:0", "piccount:9999"};
        QStringList fullNames;
        for (int i = 1; i <= 9999; ++i) {
            fullNames << QStringLiteral("Picture_%1").arg(i);
            full << fullNames.last() << "0"
                 << "0"
                 << "32"
                 << "32"
                 << "B000"
                 << "true";
        }
        QTest::newRow("full table") << fileOf(full + QStringList{"texcount:0"}) << int(O::Complete)
                                    << "" << 0 << fullNames.join(u',') << QStringList();
        full[2] = "piccount:10000";
        QTest::newRow("one over a full table")
            << fileOf(full + QStringList{"Picture_10000", "0", "0", "32", "32", "B000", "true"})
            << int(O::Failed) << "Файл поврежден (строка 3)" << 3 << "" << QStringList();
        QTest::newRow("ends inside a record keeps what was read")
            << fileOf(QStringList{kKey, "btncount:1", "Button_9", "5"}) << int(O::Failed)
            << "List index out of bounds (4)" << 5 << "Button_9" << QStringList();
        QTest::newRow("ends before a name: default name")
            << fileOf(QStringList{kKey, "btncount:2"} + buttonLines("Button_5")) << int(O::Failed)
            << "List index out of bounds (13)" << 14 << "Button_5,Button_2" << QStringList();
        QTest::newRow("only right-click lines")
            << fileOf(QStringList{kKey, "btncount:2", "Button_1", "0", "0", "32", "32", "B000",
                                  "true", "", "R", "0", "2", "ObjShow f \"Text_1\"", "ECHO \"x\""} +
                      buttonLines("Button_2") + tail)
            << int(O::Complete) << "" << 0 << "Button_1,Button_2" << QStringList();
        QTest::newRow("bad colour stops at its line")
            << fileOf(QStringList{kKey, "btncount:0", "piccount:0", "texcount:1", "Text_4", "1",
                                  "2", "Hi", "true", "reddish"})
            << int(O::Failed) << "'reddish' is not a valid integer value" << 10 << "Text_4"
            << QStringList();
        QTest::newRow("user code up to /end")
            << fileOf(empty + QStringList{"/usercodestart", "a", "", "/end", "b"})
            << int(O::Complete) << "" << 0 << "" << QStringList{"a", ""};
        QTest::newRow("user code without /end")
            << fileOf(empty + QStringList{"/usercodestart", "a", " /end"}) << int(O::Complete) << ""
            << 0 << "" << QStringList{"a", " /end"};
        QTest::newRow("user code start as the last line")
            << fileOf(empty + QStringList{"/usercodestart"}) << int(O::Complete) << "" << 0 << ""
            << QStringList();
        QTest::newRow("other text after the tables")
            << fileOf(empty + QStringList{"/UserCodeStart", "a"}) << int(O::Complete) << "" << 0
            << "" << QStringList();
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, outcome);
        QFETCH(QString, error);
        QFETCH(int, failedLine);
        QFETCH(QString, names);
        QFETCH(QStringList, userCode);
        const ProjectReadResult read = ReadProjectLines(SplitTextLines(bytes));
        QCOMPARE(int(read.outcome), outcome);
        QCOMPARE(read.error, error);
        QCOMPARE(read.failedLine, failedLine);
        QCOMPARE(read.data.userCode, userCode);

        QTemporaryDir dir;
        const QString path = dir.filePath("p.vlp");
        writeBytes(path, bytes);
        Project p;
        p.create(KindPicture);
        p.appendUserCodeLines({"keep"});
        const ProjectLoad load = LoadProjectFile(p, path);
        QCOMPARE(load.message, error);
        if (load.outcome == ProjectLoad::Outcome::Rejected) {
            // Nothing changes.
            QCOMPARE(objectNames(p.tables()), QStringLiteral("Picture_1"));
            QCOMPARE(p.userCodeLines(), QStringList{"keep"});
            QVERIFY(!p.ProjectModified());
            return;
        }
        QCOMPARE(objectNames(p.tables()), names);
        QCOMPARE(p.userCodeLines(), QStringList{"keep"} + userCode);
        QCOMPARE(p.ProjectModified(), outcome == int(ProjectReadResult::Outcome::Failed));
    }

    void recordsReadIntoTheirFields()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("p.vlp");
        writeBytes(path,
                   "FMVELLVERSIONKEY2.1\r\nbtncount:1\nButton_3\r-7\n12\n45\n33\nQx\nfalse\nL\nR\n"
                   "1\nObjShow f \"Text_1\"\n2\nECHO \"a\"\nECHO \"b\"\npiccount:0\ntexcount:1\n"
                   "Text_8\n5\n-6\n\xcf\xf0\xe8\xe2\xe5\xf2\nfalse\n$000000FF\n");
        Project p;
        QCOMPARE(LoadProjectFile(p, path).outcome, ProjectLoad::Outcome::Loaded);
        const VellButton &b = *p.tables().button(1);
        // Odd sizes are kept as stored.
        QCOMPARE(QRect(b.X, b.Y, b.Width, b.Height), QRect(-7, 12, 45, 33));
        QCOMPARE(PanelDrawing(p.tables()).element(b)->rect(),
                 QRect(316 - 7 - 22, 176 - 12 - 16, 45, 33));
        QCOMPARE(b.TextureId, QStringLiteral("Qx"));
        QVERIFY(!b.Visible);
        QCOMPARE(b.LeftActionsFunction, QStringLiteral("L"));
        QCOMPARE(b.RightActionsFunction, QStringLiteral("R"));
        QCOMPARE(b.LeftActions, QStringList{"ObjShow f \"Text_1\""});
        QCOMPARE(b.RightActions, QStringList({"ECHO \"a\"", "ECHO \"b\""}));
        QCOMPARE(PanelDrawing(p.tables()).element(b)->fillStyle(), FillStyle::DiagCross);
        const VellText &x = *p.tables().text(1);
        QCOMPARE(x.Text, QStringLiteral("Привет"));
        QCOMPARE(QPoint(x.X, x.Y), QPoint(5, -6));
        QVERIFY(!x.Visible);
        // A colour in digits that has a name is stored under the name.
        QCOMPARE(x.TextColor, QStringLiteral("clRed"));
        QCOMPARE(p.tables().ButtonNameCounter, 1);
        QCOMPARE(p.tables().TextNameCounter, 1);
    }

    void namesStayUnique()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("p.vlp");
        // A stored name equal to a default name an earlier object gets.
        writeBytes(path, fileOf(QStringList{kKey, "btncount:3"} + buttonLines("Button_3") +
                                buttonLines("Button_1") + buttonLines("Button_7") +
                                QStringList{"piccount:0", "texcount:0"}));
        Project p;
        QCOMPARE(LoadProjectFile(p, path).outcome, ProjectLoad::Outcome::Loaded);
        QCOMPARE(objectNames(p.tables()), QStringLiteral("Button_3,Button_1,Button_7"));
        QCOMPARE(p.tables().ButtonNameCounter, 3);
        for (int i = 0; i < 4; ++i)
            p.create(KindButton);
        QCOMPARE(objectNames(p.tables()),
                 QStringLiteral("Button_3,Button_1,Button_7,Button_4,Button_5,Button_6,Button_8"));
    }

    void unwritableValuesAreRefused_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("error");
        QTest::newRow("line break in a texture")
            << 0 << "a\nb"
            << "Проект не сохранен: поле \"ID текстуры\" объекта Button_1 содержит символы, "
               "которые нельзя записать в файл: U+000A";
        QTest::newRow("NUL in an action line")
            << 1 << QStringLiteral("x") + QChar(0)
            << "Проект не сохранен: поле \"Действия правого клика\" объекта Button_1 содержит "
               "символы, которые нельзя записать в файл: U+0000";
        QTest::newRow("character outside the code page in a text")
            << 2 << QStringLiteral("中文")
            << "Проект не сохранен: поле \"Текст\" объекта Text_1 содержит символы, которые "
               "нельзя записать в файл: 中文";
        QTest::newRow("NUL in the user code")
            << 3 << QString(QChar(0)) + QStringLiteral("b")
            << "Проект не сохранен: поле \"Код\" кода пользователя (строка 3) содержит символы, "
               "которые нельзя записать в файл: U+0000";
    }
    void unwritableValuesAreRefused()
    {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(QString, error);
        Project p;
        auto *b = p.tables().createButton();
        auto *x = p.tables().createText();
        p.appendUserCodeLines({"ok"});
        switch (field) {
        case 0:
            b->TextureId = value;
            break;
        case 1:
            b->RightActions = QStringList{"ECHO", value};
            break;
        case 2:
            x->Text = value;
            break;
        case 3: {
            // A character the editor would never take, put straight into
            // the document.
            QTextCursor c(p.userCode());
            c.movePosition(QTextCursor::End);
            c.insertText(QStringLiteral("\n") + value);
            break;
        }
        }
        p.setProjectModified(true);
        QTemporaryDir dir;
        const QString path = dir.filePath("p.vlp");
        writeBytes(path, "old");
        try {
            SaveProjectFile(p, path);
            QFAIL("saved");
        } catch (const VellError &e) {
            QVERIFY2(e.message() == error, qPrintable(e.message()));
            QCOMPARE(readBytes(path), QByteArray("old"));
            QVERIFY(p.ProjectModified());
        }
    }

    void extensionRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("result");
        QTest::newRow("none") << "/d/proj"
                              << "/d/proj.vlp";
        QTest::newRow("kept") << "/d/proj.vlp"
                              << "/d/proj.vlp";
        QTest::newRow("upper case") << "/d/a.VLP"
                                    << "/d/a.VLP.vlp";
        QTest::newRow("short") << "vlp"
                               << "vlp.vlp";
        QTest::newRow("just the extension") << ".vlp"
                                            << ".vlp";
    }
    void extensionRule()
    {
        QFETCH(QString, name);
        QFETCH(QString, result);
        QCOMPARE(WithProjectExtension(name), result);
    }
};

QTEST_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
