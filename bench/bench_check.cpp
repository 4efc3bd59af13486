// Times the design check on full tables, which reads the whole generated
// code as vJass, against splitting the same text into lines; and the update
// of every button's two click functions after a rename of the arrays.
#include "benchtiming.h"
#include "codegen/designinput.h"
#include "codegen/interfacegenerator.h"
#include "codegen/vjassreader.h"
#include "project/designcheck.h"
#include "project/project.h"
#include "project/projectcommands.h"

#include <QApplication>

#include <cstdio>

using namespace vell;

namespace {

constexpr int kTableSize = 9999;

// Full tables; every button with both click functions bound to its own
// names, the pictures beside the buttons (none covers one: every button is
// compared with every picture).
void fill(Project &p, bool withFunctions)
{
    ObjectTables &t = p.tables();
    p.beginBulkChange();
    QStringList code;
    for (int i = 0; i < kTableSize; ++i) {
        VellButton *b = t.createButton();
        t.SetPosition(*b, -300 + i % 300, -170 + i % 170);
        b->LeftActions = QStringList{QStringLiteral("ObjShow f \"Picture_%1\"").arg(i + 1)};
        b->RightActions = QStringList{QStringLiteral("echo \"click %1\"").arg(i)};
        b->LeftActionsFunction = b->Name + QStringLiteral("_Left_Actions");
        b->RightActionsFunction = b->Name + QStringLiteral("_Right_Actions");
        VellPicture *pic = t.createPicture();
        t.SetPosition(*pic, 200 + i % 100, -170 + i % 340);
        t.SetSize(*pic, 20 + i % 50, 20 + i % 30);
        VellText *x = t.createText();
        t.SetText(*x, QStringLiteral("Надпись %1").arg(i));
        t.SetPosition(*x, -100 + i % 200, -150 + i % 300);
    }
    p.endBulkChange();
    if (withFunctions) {
        // The functions as written before the arrays were renamed.
        for (int i = 1; i <= kTableSize; ++i) {
            code << QStringLiteral("function Button_%1_Left_Actions takes nothing returns nothing")
                        .arg(i)
                 << QStringLiteral(" call PictureVar[%1].Show(false,-1)").arg(i)
                 << QStringLiteral("endfunction")
                 << QStringLiteral("function Button_%1_Right_Actions takes nothing returns nothing")
                        .arg(i)
                 << QStringLiteral(" call ECHO(\"click %1\")").arg(i - 1)
                 << QStringLiteral("endfunction");
        }
    } else {
        // Ten thousand lines of a user's own.
        for (int i = 0; code.size() < 10000 - 3; ++i) {
            code << QStringLiteral("function Helper%1 takes integer n returns integer").arg(i)
                 << QStringLiteral(" local integer k = n * %1 + 7").arg(i)
                 << QStringLiteral(" if k > 100 and not (k == 3) then")
                 << QStringLiteral("  set k = k - GetRandomInt(0, 5)") << QStringLiteral(" endif")
                 << QStringLiteral(" return k") << QStringLiteral("endfunction");
        }
    }
    code.prepend(QStringLiteral("endfunction"));
    code.prepend(QStringLiteral(" call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)"));
    code.prepend(QStringLiteral("function ECHO takes string msg returns nothing"));
    p.appendUserCodeLines(code);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    {
        Project p;
        fill(p, false);
        const GeneratorResult generated = GenerateInterfaceCode(GeneratorInputFor(p));
        QList<DesignFinding> findings;
        const double check = median(5, [&] { findings = CheckDesign(p); });
        const double split = median(5, [&] { (void)generated.text.split(u'\n'); });
        std::printf("generated lines: %lld (user code %lld)\n", qlonglong(generated.lineCount),
                    qlonglong(p.userCodeLines().size()));
        std::printf("design check, full tables:   %7.1f ms  (goal 100 ms; %zu findings)\n", check,
                    size_t(findings.size()));
        std::printf("splitting the code (floor):  %7.1f ms\n", split);
        const QStringList lines = generated.lines();
        const double read = median(5, [&] { (void)ReadVjass(lines); });
        std::printf("reading it as vJass:         %7.1f ms\n", read);
    }
    {
        Project p;
        ProjectCommands c(p);
        fill(p, true);
        Settings renamed = p.settings();
        renamed.pictureVar = QStringLiteral("Pics");
        p.setSettings(renamed);
        qsizetype stale = 0;
        const double update = median(1, [&] {
            const ActionFunctionScan scan = c.scanActionFunctions();
            stale = scan.stale.size();
            c.updateActionFunctions(scan);
        });
        std::printf("update of %lld stale action functions: %7.1f ms  (goal 1000 ms)\n",
                    qlonglong(stale), update);
        const double undo = median(1, [&] { p.history().undo(); });
        std::printf("its undo:                    %7.1f ms\n", undo);
    }
    return 0;
}
