#include "designer/paneldrawing.h"
#include "model/objecttables.h"

#include <QtTest>

using namespace vell;

class TestResizeFrame : public QObject
{
    Q_OBJECT

private slots:
    void placementAroundElement()
    {
        PanelScene scene;
        // Element at left 10, top 20, 31 x 15: centre (25, 27).
        VellResizeRect frame(scene, 10 + 31 / 2, 20 + 15 / 2, 31, 15, nullptr);
        QCOMPARE(frame.FrameCentreX, 23);
        QCOMPARE(frame.FrameCentreY, 25);
        // The top-left handle covers L-2 .. L+1 and T-2 .. T+1.
        QCOMPARE(frame.handleRect(1), QRect(8, 18, 4, 4));
        QCOMPARE(frame.handleRect(2), QRect(38, 18, 4, 4));
        QCOMPARE(frame.handleRect(3), QRect(38, 32, 4, 4));
        QCOMPARE(frame.handleRect(4), QRect(8, 32, 4, 4));
        frame.MoveTo(100, 50);
        QCOMPARE(frame.handleRect(1).topLeft(), QPoint(83, 41));
        QCOMPARE(frame.handleRect(3).topLeft(), QPoint(113, 55));
        // Hidden, the handles are only places; shown, they are black squares
        // there, right above the element made before the frame.
        QVERIFY(!frame.isVisible());
        QCOMPARE(frame.handleElement(1), nullptr);
        PanelElement later(scene, ElementShape::Rectangle, QRect(80, 40, 10, 10));
        frame.SetVisible(true);
        QCOMPARE(frame.handleElement(1)->rect(), QRect(83, 41, 4, 4));
        QCOMPARE(frame.handleElement(1)->fill(), QColor(0, 0, 0));
        QCOMPARE(scene.elementAt(QPoint(85, 43)), &later);
        QCOMPARE(scene.elementAt(QPoint(114, 56)), frame.handleElement(3));
        frame.MoveTo(101, 50);
        QCOMPARE(frame.handleElement(1)->rect(), QRect(84, 41, 4, 4));
        QCOMPARE(scene.elementAt(QPoint(115, 56)), frame.handleElement(3));
        frame.SetVisible(false);
        QCOMPARE(scene.elementAt(QPoint(115, 56)), nullptr);
        QCOMPARE(scene.elementCount(), std::size_t(1));
    }

    void dragHandle_data()
    {
        QTest::addColumn<int>("handle");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("element");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        // The button starts at left 300, top 160, 32 x 32 (right 332, bottom 192).
        QTest::newRow("bottom-right")
            << 3 << QPoint(350, 200) << QRect(300, 160, 52, 42) << 10 << -5;
        QTest::newRow("top-left") << 1 << QPoint(280, 150) << QRect(282, 152, 50, 40) << -9 << 4;
        QTest::newRow("top-right") << 2 << QPoint(350, 140) << QRect(300, 142, 52, 50) << 10 << 9;
        QTest::newRow("bottom-left")
            << 4 << QPoint(290, 210) << QRect(292, 160, 40, 52) << -4 << -10;
        QTest::newRow("past the opposite side")
            << 3 << QPoint(250, 100) << QRect(300, 160, 48, 58) << 8 << -13;
        QTest::newRow("onto the neighbour's column")
            << 3 << QPoint(298, 220) << QRect(300, 160, 0, 62) << -16 << -15;
        // An odd size: the centre is the left and top edges plus half the
        // size, rounded down.
        QTest::newRow("odd size, bottom-right")
            << 3 << QPoint(351, 201) << QRect(300, 160, 53, 43) << 10 << -5;
        QTest::newRow("odd size, top-left")
            << 1 << QPoint(281, 151) << QRect(283, 153, 49, 39) << -9 << 4;
        QTest::newRow("pressed in place")
            << 3 << QPoint(330, 190) << QRect(300, 160, 32, 32) << 0 << 0;
    }

    void dragHandle()
    {
        QFETCH(int, handle);
        QFETCH(QPoint, pointer);
        QFETCH(QRect, element);
        QFETCH(int, x);
        QFETCH(int, y);
        ObjectTables t;
        PanelDrawing d(t);
        VellButton *b = t.createButton();
        d.frame(*b)->HandleMouseDown(handle);
        d.frame(*b)->DragHandleTo(pointer.x(), pointer.y());
        t.SetFramedRect(*b, d.frame(*b)->FramedRect());
        QCOMPARE(d.element(*b)->rect(), element);
        QCOMPARE(b->X, x);
        QCOMPARE(b->Y, y);
        QCOMPARE(d.frame(*b)->handleRect(handle).topLeft(), pointer);
        // The four handles still mark the corners of a rectangle.
        QCOMPARE(d.frame(*b)->handleRect(1).left(), d.frame(*b)->handleRect(4).left());
        QCOMPARE(d.frame(*b)->handleRect(2).left(), d.frame(*b)->handleRect(3).left());
        QCOMPARE(d.frame(*b)->handleRect(1).top(), d.frame(*b)->handleRect(2).top());
        QCOMPARE(d.frame(*b)->handleRect(3).top(), d.frame(*b)->handleRect(4).top());
        d.frame(*b)->HandleMouseUp();
        QCOMPARE(d.frame(*b)->ActiveHandle, 0);
    }

    void bottomRightRule()
    {
        // Width p - L + 2 and height q - T + 2, left and top kept.
        ObjectTables t;
        PanelDrawing d(t);
        VellPicture *p = t.createPicture();
        t.SetPosition(*p, -100, 50);
        const int L = d.element(*p)->left();
        const int T = d.element(*p)->top();
        d.frame(*p)->HandleMouseDown(3);
        for (const QPoint pq : {QPoint(250, 150), QPoint(400, 300), QPoint(230, 130)}) {
            d.frame(*p)->DragHandleTo(pq.x(), pq.y());
            t.SetFramedRect(*p, d.frame(*p)->FramedRect());
            QCOMPARE(d.element(*p)->width(), pq.x() - L + 2);
            QCOMPARE(d.element(*p)->height(), pq.y() - T + 2);
            QCOMPARE(d.element(*p)->left(), L);
            QCOMPARE(d.element(*p)->top(), T);
        }
    }
};

QTEST_MAIN(TestResizeFrame)
#include "tst_resizeframe.moc"
