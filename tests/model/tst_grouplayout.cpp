#include "model/grouplayout.h"
#include "project/project.h"
#include "project/projectcommands.h"

#include <QtTest>

#include <climits>

using namespace vell;

using Points = QList<QPoint>;

class TestGroupLayout : public QObject
{
    Q_OBJECT

private slots:
    void stepNamesAndDragsAndPastes()
    {
        QCOMPARE(GroupStepName("перемещение", 6), "перемещение 6 объектов");
        QCOMPARE(GroupStepName("удаление", 21), "удаление 21 объекта");
        QCOMPARE(GroupStepName("удаление", 11), "удаление 11 объектов");
        QCOMPARE(GroupStepName("удаление", 111), "удаление 111 объектов");
        // Each coordinate stays on the panel on its own.
        QCOMPARE(DraggedCentre({100, -50}, {250, 60}), QPoint(316, 10));
        QCOMPARE(DraggedCentre({5, -3}, {INT_MAX, INT_MIN}), QPoint(316, -176));
        const Points copied{{40, -12}, {-100, 30}, {INT_MAX, INT_MIN}};
        const std::vector<QPoint> pasted{{140, -42}, {0, 0}, {INT_MAX, INT_MIN}};
        QCOMPARE(PastedCentres(copied, 1), pasted);
    }

    void nudges_data()
    {
        QTest::addColumn<Points>("centres");
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<QPoint>("step");
        QTest::newRow("one") << Points{{310, -172}} << QPoint(10, -10) << QPoint(6, -4);
        QTest::newRow("longest key")
            << Points{{0, 0}} << QPoint(INT_MIN, INT_MAX) << QPoint(-316, 176);
        QTest::newRow("the nearest stops all, the far one not")
            << Points{{-200, 20}, {300, -170}, {INT_MIN, INT_MAX}} << QPoint(40, -10)
            << QPoint(16, -6);
        QTest::newRow("beyond, out")
            << Points{{400, 10}, {0, -180}} << QPoint(5, -3) << QPoint(0, 0);
        QTest::newRow("beyond, in")
            << Points{{400, 10}, {0, -180}} << QPoint(-7, 4) << QPoint(-7, 4);
        QTest::newRow("none") << Points{} << QPoint(3, 4) << QPoint(0, 0);
    }
    void nudges()
    {
        QFETCH(Points, centres);
        QFETCH(QPoint, by);
        QFETCH(QPoint, step);
        QCOMPARE(GroupNudgeStep(centres, by), step);
        if (centres.size() == 1) { // as the object alone moves
            Project p;
            ProjectCommands c(p);
            VellControl &o = *c.create(KindPicture);
            p.tables().SetPosition(o, centres[0].x(), centres[0].y());
            c.nudge(o, by.x(), by.y(), false);
            QCOMPARE(QPoint(o.X, o.Y), centres[0] + step);
        }
    }

    // Objects as X, Y, Width, Height; aligned to the first (drawn at 311,
    // 148, 31 by 17), or distributed.
    void arranges_data()
    {
        QTest::addColumn<QList<int>>("objects");
        QTest::addColumn<int>("how"); // a GroupAlign; 6 across, 7 down
        QTest::addColumn<Points>("to");
        // A text-sized one beyond the bounds, and one too large to draw whole
        // (2^30 + 5 by 2^30 + 3).
        const QList<int> four{10,  20,   31, 17, -50, -7, 20,         45,
                              400, -190, 29, 13, -3,  5,  1073741829, 1073741827};
        const auto row = [&](const char *name, QList<int> objects, int how, Points to) {
            QTest::newRow(name) << (objects.isEmpty() ? four : objects) << how << to;
        };
        row("left", {}, 0, {{10, 20}, {5, -7}, {9, -190}, {536870909, 5}});
        row("centre", {}, 1, {{10, 20}, {10, -7}, {10, -190}, {12, 5}});
        row("right", {}, 2, {{10, 20}, {16, -7}, {11, -190}, {-536870884, 5}});
        row("top", {}, 3, {{10, 20}, {-50, 6}, {400, 22}, {-3, -536870885}});
        row("middle", {}, 4, {{10, 20}, {-50, 20}, {400, 20}, {-3, 19}});
        row("bottom", {}, 5, {{10, 20}, {-50, 34}, {400, 18}, {-3, 536870922}});
        // Gaps 55, 54, 54, 54 between B, C, E (C's centre, after it), D, A;
        // C, 11 wide, starts at 181.
        row("across", {100, 0, 31, 10, -200, 5, 20, 10, 0, -3, 11, 10, 50, 7, 40, 10, 0, 9, 7, 10},
            6, {{100, 0}, {-200, 5}, {-130, -3}, {11, 7}, {-67, 9}});
        // Overlapping by 94 pixels: gaps -31, -31, -32 down the panel.
        row("down", {5, 100, 10, 60, -8, 90, 10, 51, 3, 40, 10, 80, 0, 70, 10, 33}, 7,
            {{5, 100}, {-8, 76}, {3, 40}, {0, 65}});
        row("alone", {7, -9, 3, 5}, 7, {{7, -9}});
    }
    void arranges()
    {
        QFETCH(QList<int>, objects);
        QFETCH(int, how);
        QFETCH(Points, to);
        std::vector<VellControl> group;
        for (qsizetype i = 0; i < objects.size(); i += 4)
            group.push_back(
                {KindButton, {}, 0, objects[i], objects[i + 1], objects[i + 2], objects[i + 3]});
        std::vector<const VellControl *> pointers;
        for (const VellControl &o : group)
            pointers.push_back(&o);
        const auto got =
            how < 6 ? AlignedCentres(pointers, group[0], GroupAlign(how))
                    : DistributedCentres(pointers, how == 6 ? Qt::Horizontal : Qt::Vertical);
        QCOMPARE(Points(got.begin(), got.end()), to);
    }
};

QTEST_MAIN(TestGroupLayout)
#include "tst_grouplayout.moc"
