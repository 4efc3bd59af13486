#include "app/gui/checkwindow.h"
#include "app/vellgen.h"
#include "appfixture.h"
#include "codegen/gui/codeview.h"
#include "codegen/gui/tform4.h"
#include "common/textfile.h"
#include "filebytes.h"
#include "generatorcase.h"
#include "model/settingsfile.h"
#include "project/projectio.h"
#include "settings/gui/tform2.h"
#include "usercode/gui/tform3.h"

#include <QBuffer>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTabWidget>

using namespace vell;

namespace {

// Opens the saved project in a designer started with the settings and
// presses F3; runs vellgen on the same files (the settings from the working
// folder) and compares its output with the code window's text as stored.
void compareWithF3(Project &design, QByteArray *written = nullptr)
{
    AppFixture f(JoinTextLines(SettingsToLines(design.settings())));
    SaveProjectFile(design, f.path("p.vlp"));
    f.dialogs.fileNames = {f.path("p.vlp")};
    f.form->MMLoad->trigger();
    f.key(Qt::Key_F3);
    QCOMPARE(f.dialogs.errors, QStringList());
    QVERIFY(f.app->Form4()->isVisible());
    const QByteArray shown = JoinTextLines(f.app->Form4()->Code->lines());

    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    QCOMPARE(RunVellgen({"vellgen", "p.vlp", "--output", "code.j"}, out, err), 0);
    QCOMPARE(err.data(), QByteArray());
    const QByteArray bytes = readBytes(f.path("code.j"));
    QCOMPARE(bytes.size(), shown.size());
    QCOMPARE(bytes, shown);
    if (written)
        *written = bytes;
}

} // namespace

class TestVellgenWindow : public QObject
{
    Q_OBJECT

private slots:
    // Cases whose design the designer holds exactly as given (even sizes,
    // texts of their label's width) also give the expected text.
    void goldenCasesGiveTheBytesOfF3_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("heldAsGiven");
        for (const char *name : {"actions_without_usercode", "empty_project", "hidden_objects",
                                 "mixed_design_with_user_code"})
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        for (const char *name : {"empty_usercode_on", "odd_variable_names", "system_colour",
                                 "text_without_colour", "wide_button"})
            QTest::newRow(name) << QString::fromLatin1(name) << false;
    }
    void goldenCasesGiveTheBytesOfF3()
    {
        QFETCH(QString, name);
        QFETCH(bool, heldAsGiven);
        const QString data = QStringLiteral(VELL_CODEGEN_DATA "/") + name;
        const GeneratorCase c = readGeneratorCase(data + ".in");
        QVERIFY2(c.error.isEmpty(), qPrintable(c.error));
        Project design;
        fillProject(c, design);
        QByteArray written;
        compareWithF3(design, &written);
        if (heldAsGiven) {
            bool ok = false;
            QCOMPARE(written, JoinTextLines(readExpectedLines(data + ".out", &ok)));
            QVERIFY(ok);
        }
    }

    void randomProjectsGiveTheBytesOfF3()
    {
        QRandomGenerator random(20261208);
        // Windows-1251 text with the characters a text box may hide or
        // change: tab, no-break space, control characters, a lone C1 code.
        const QStringList words{"Привет",       "a b",  "\"q\"",     "",
                                "ЁёЖ№",         "x\tz", "a\u00a0b",  "\x01\x0b\x0c\x1f\x7f",
                                "\u0098\u00ad", "\\n",  "function F"};
        const auto word = [&] {
            return words[random.bounded(int(words.size()))];
        };
        for (int round = 0; round < 12; ++round) {
            Project design;
            Settings s;
            s.useUserCode = random.bounded(2);
            s.buttonVar = word();
            s.textVar = word();
            s.unitVar = word();
            design.setSettings(s);
            ObjectTables &t = design.tables();
            for (int i = random.bounded(10); i > 0; --i) {
                VellControl *o = t.create(kObjectKinds[random.bounded(3)]);
                t.SetPosition(*o, random.bounded(-5000, 5000), random.bounded(-3000, 3001));
                t.SetSize(*o, random.bounded(0, 900), random.bounded(0, 901));
                t.SetVisible(*o, random.bounded(2));
                if (QString *texture = TextureOf(*o))
                    *texture = word();
                if (o->Kind == KindButton) {
                    static_cast<VellButton *>(o)->LeftActionsFunction = word();
                    static_cast<VellButton *>(o)->RightActionsFunction = word();
                }
                if (auto *x = o->Kind == KindText ? static_cast<VellText *>(o) : nullptr) {
                    t.SetText(*x, word() + word());
                    if (random.bounded(2))
                        t.SetTextColor(*x, QColor::fromRgb(random.bounded(1 << 24)));
                }
            }
            QStringList code;
            for (int n = random.bounded(6); n > 0; --n)
                code.append(word());
            design.appendUserCodeLines(code);
            compareWithF3(design);
            if (QTest::currentTestFailed())
                return;
        }
    }

    void checkListsFindingsAndDoubleClickSelects()
    {
        AppFixture f;
        const QString path = f.path("p.vlp");
        // Its finding is wider than the window.
        const QString kMissing =
            "Missing_function_for_the_left_click_of_the_first_button_on_the_panel";
        writeBytes(path, JoinTextLines(QStringList{kProjectFileKey, "btncount:1"} +
                                       QStringLiteral("Button_1|0|0|32|32|B0|true").split(u'|') +
                                       QStringList{kMissing} +
                                       QStringLiteral("|0|0|piccount:1|Picture_1|400|0|32|32|"
                                                      "P000|true|texcount:1|Text_1|0|0|"
                                                      "say \"hi\"|true||/usercodestart|"
                                                      "// code|function F takes nothing returns "
                                                      "nothing| call ECHO(\"x\")|endfunction|/end")
                                           .split(u'|')));
        f.dialogs.fileNames = {path};
        f.form->MMLoad->trigger();
        const QStringList before = ProjectFileLines(f.form->project());
        QVERIFY(!f.form->project().ProjectModified());
        // The last item of the Edit menu.
        f.form->N4->actions().last()->trigger();
        CheckWindow *w = f.form->checkWindow();
        QVERIFY(w && QTest::qWaitForWindowExposed(w));
        QCOMPARE(ProjectFileLines(f.form->project()), before);
        QVERIFY(!f.form->project().ProjectModified());
        QCOMPARE(w->Findings->count(), 5);
        // The long finding wraps within the list's width, whole.
        const QRect longOne = w->Findings->visualItemRect(w->Findings->item(1));
        const int oneLine = w->Findings->visualItemRect(w->Findings->item(2)).height();
        const int lineHeight = w->Findings->fontMetrics().height();
        QVERIFY(w->Findings->fontMetrics().horizontalAdvance(w->Findings->item(1)->text()) >
                w->width());
        QCOMPARE(w->Findings->textElideMode(), Qt::ElideNone);
        QVERIFY2(oneLine < 2 * lineHeight && longOne.height() >= oneLine + lineHeight,
                 qPrintable(QStringLiteral("%1 %2").arg(oneLine).arg(longOne.height())));
        QVERIFY(longOne.right() < w->Findings->viewport()->width());
        QCOMPARE(w->Summary->text(),
                 QStringLiteral(
                     "Ошибок: 3, предупреждений: 2. Двойной щелчок выделяет объект или строку кода "
                     "пользователя."));

        // What a double click delivers: a click, then the double-click press
        // and its release.
        const auto doubleClick = [&](int row) {
            QWidget *list = w->Findings->viewport();
            const QPoint at = w->Findings->visualItemRect(w->Findings->item(row)).center();
            QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, at);
            QTest::mouseDClick(list, Qt::LeftButton, Qt::NoModifier, at);
            QTest::mouseRelease(list, Qt::LeftButton, Qt::NoModifier, at);
        };
        QTest::mouseClick(w->Findings->viewport(), Qt::LeftButton, Qt::NoModifier,
                          w->Findings->visualItemRect(w->Findings->item(2)).center());
        QCOMPARE(f.surface().selectedObject(), nullptr);
        doubleClick(2);
        QCOMPARE(f.surface().selectedObject(), f.tables().picture(1));
        QCOMPARE(f.form->ObjList->currentText(), QStringLiteral("Picture_1"));
        doubleClick(3);
        QCOMPARE(f.surface().selectedObject(), f.tables().text(1));
        // Once the object has gone, its finding selects nothing else.
        f.surface().RemoveSelected();
        doubleClick(3);
        QCOMPARE(f.surface().selectedObject(), nullptr);
        // A user code finding opens the editor at its place.
        doubleClick(4);
        QVERIFY(QTest::qWaitForWindowExposed(f.app->Form3()));
        const QTextCursor caret = f.app->Form3()->UserCode->textCursor();
        QCOMPARE(caret.blockNumber(), 2);
        QCOMPARE(caret.positionInBlock(), 6);

        // A second check shows the design as it is now.
        f.tables().SetPosition(*f.tables().picture(1), 150, -60);
        f.form->MMCheck->trigger();
        QCOMPARE(w->Findings->count(), 3);
        QCOMPARE(w->Findings->item(1)->text().left(17), QStringLiteral("Button_1: ошибка:"));
    }

    // A setting's finding stands under the settings; a double click opens
    // them on the setting's page and field.
    void checkOpensTheSettingOfAFinding()
    {
        Settings settings;
        settings.pictureVar = QStringLiteral("Picture Var");
        settings.unitVar = QStringLiteral("GetUnit(");
        AppFixture f(JoinTextLines(SettingsToLines(settings)));
        f.tables().createPicture();
        f.form->MMCheck->trigger();
        CheckWindow *w = f.form->checkWindow();
        QVERIFY(w && QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->Findings->count(), 2);
        TForm2 *dialog = f.app->Form2();
        QVERIFY(!dialog->isVisible());
        const QPoint at = w->Findings->visualItemRect(w->Findings->item(1)).center();
        QTest::mouseClick(w->Findings->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(w->Findings->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(w->Findings->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(dialog->PageControl1->tabText(dialog->PageControl1->currentIndex()),
                 QStringLiteral("Компиляция"));
        QCOMPARE(dialog->focusWidget(), static_cast<QWidget *>(dialog->UnitVar));
        QVERIFY(f.surface().selectedObject() == nullptr);
    }
};

QTEST_MAIN(TestVellgenWindow)
#include "tst_vellgen_window.moc"
