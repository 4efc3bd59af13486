#include "appfixture.h"
#include "codegen/gui/codeview.h"
#include "codegen/gui/tform4.h"
#include "settings/gui/tform2.h"
#include "usercode/gui/tform3.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

using namespace vell;

namespace {

QStringList expectedLines(const QString &name)
{
    QFile file(QStringLiteral(VELL_CODEGEN_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestGenerate : public QObject
{
    Q_OBJECT

private slots:
    void f3WithOneNewButton()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F3);
        TForm4 *code = f.app->Form4();
        QVERIFY(code->isVisible());
        QStringList expected = expectedLines("empty_project.out");
        QCOMPARE(expected.size(), 36);
        expected.insert(28, " set ButtonVar[1] = BUTTON.New(-0.051,0.091,0.101,0.181,1,'B000')");
        expected.insert(29, " call ButtonVar[1].Show(true,cam)");
        QCOMPARE(code->Code->lines(), expected);
    }

    void mixedDesignWithUserCodeThroughTheWindows()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F2, Qt::ShiftModifier);
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        VellButton *b = f.tables().button(1);
        b->LeftActionsFunction = QStringLiteral("Button_1_Left_Actions");
        VellPicture *p = f.tables().picture(1);
        f.tables().SetPosition(*p, 100, -50);
        f.tables().SetSize(*p, 64, 32);
        p->TextureId = QStringLiteral("B001");
        f.tables().SetVisible(*p, false);
        VellText *t = f.tables().text(1);
        f.tables().SetPosition(*t, -100, 120);
        f.tables().SetText(*t, QStringLiteral("Hello"));
        f.tables().SetTextColor(*t, QColor(255, 0, 0));
        f.app->project().OnMainFunc();
        f.app->project().appendUserCodeLines(
            {"function Button_1_Left_Actions takes nothing returns nothing", " call ECHO(\"Hi\")",
             "endfunction"});
        f.form->MMGenCode->trigger();
        QCOMPARE(f.app->Form4()->Code->lines(), expectedLines("mixed_design_with_user_code.out"));
    }

    void userCodeAndVariableNamesComeFromTheSettings()
    {
        AppFixture f;
        f.app->Form2()->ButtonVar->setText(QStringLiteral("Btn"));
        f.app->Form2()->UnitVar->clear();
        f.app->Form3()->UserCode->setPlainText(QStringLiteral("// mine\r\n"));
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F3);
        QStringList lines = f.app->Form4()->Code->lines();
        QCOMPARE(lines.value(1), QStringLiteral(" BUTTON array Btn"));
        QCOMPARE(lines.value(5), QStringLiteral("// mine"));
        QCOMPARE(lines.value(7),
                 QStringLiteral(" if BUTTON.ClickPeriodicSelect(GetOwningPlayer(), true) then"));
        QVERIFY(lines.contains(QStringLiteral(" call Btn[1].Show(true,cam)")));
        f.app->Form2()->UseUserCode->setChecked(false);
        f.key(Qt::Key_F3);
        QVERIFY(!f.app->Form4()->Code->lines().contains(QStringLiteral("// mine")));
    }

    void cjassDoesNothing()
    {
        AppFixture f;
        f.key(Qt::Key_F3);
        const QStringList before = f.app->Form4()->Code->lines();
        f.app->Form4()->close();
        f.app->Form2()->onCJass->setChecked(true);
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.key(Qt::Key_F3);
        QVERIFY(!f.app->Form4()->isVisible());
        QCOMPARE(f.app->Form4()->Code->lines(), before);
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void badColourStopsWithAMessage()
    {
        AppFixture f;
        f.key(Qt::Key_F3, Qt::ShiftModifier);
        f.tables().text(1)->TextColor = QStringLiteral("clOrange");
        f.key(Qt::Key_F3);
        QCOMPARE(f.dialogs.errors, QStringList{"'clOrange' is not a valid integer value"});
        QVERIFY(!f.app->Form4()->isVisible());
        const QStringList lines = f.app->Form4()->Code->lines();
        QCOMPARE(lines.last(), QStringLiteral(" call TextVar[1].Show(true,cam)"));
    }

    void showCodeDoesNotGenerate()
    {
        AppFixture f;
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.form->MMShowGenCode->trigger();
        QVERIFY(f.app->Form4()->isVisible());
        QVERIFY(f.app->Form4()->Code->lines().isEmpty());
        f.key(Qt::Key_F3);
        const QStringList generated = f.app->Form4()->Code->lines();
        // Later edits of the design do not reach the shown text.
        f.key(Qt::Key_F1, Qt::ShiftModifier);
        f.form->MMShowGenCode->trigger();
        QCOMPARE(f.app->Form4()->Code->lines(), generated);
    }
};

QTEST_MAIN(TestGenerate)
#include "tst_generate.moc"
