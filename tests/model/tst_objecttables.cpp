#include "common/labelfont.h"
#include "designer/paneldrawing.h"
#include "model/objecttables.h"
#include "project/projectcommands.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace vell;

namespace {
const QColor kGold(255, 215, 0);
const QColor kTeal(0, 128, 128);
} // namespace

class TestObjectTables : public QObject
{
    Q_OBJECT

private slots:
    void newObjectsAreNamedAndNumberedPerKind()
    {
        ObjectTables t;
        PanelDrawing d(t);
        VellButton *b = t.createButton();
        VellPicture *p = t.createPicture();
        VellText *x = t.createText();
        QCOMPARE(b->Name, QStringLiteral("Button_1"));
        QCOMPARE(p->Name, QStringLiteral("Picture_1"));
        QCOMPARE(x->Name, QStringLiteral("Text_1"));
        QCOMPARE(b->Id, 1);
        QCOMPARE(p->Id, 1);
        QCOMPARE(x->Id, 1);
        QCOMPARE(b->Kind, 1);
        QCOMPARE(p->Kind, 2);
        QCOMPARE(x->Kind, 3);
        QCOMPARE(b->TextureId, QStringLiteral("B000"));
        QCOMPARE(p->TextureId, QStringLiteral("B000"));
        QCOMPARE(x->Text, QStringLiteral("Текст"));
        QVERIFY(x->TextColor.isEmpty());
        QVERIFY(b->Visible && p->Visible && x->Visible);
        QVERIFY(b->LeftActions.isEmpty() && b->RightActions.isEmpty());
        QVERIFY(b->LeftActionsFunction.isEmpty() && b->RightActionsFunction.isEmpty());
    }

    void newButtonStandsAtPanelCentre()
    {
        ObjectTables t;
        PanelDrawing d(t, [](ObjectKind kind) { return kind == KindPicture ? kTeal : kGold; });
        VellButton *b = t.createButton();
        QCOMPARE(d.element(*b)->rect(), QRect(300, 160, 32, 32));
        QCOMPARE(b->X, 0);
        QCOMPARE(b->Y, 0);
        QCOMPARE(d.element(*b)->fill(), kGold);
        QCOMPARE(d.element(*b)->penWidth(), 1);
        QCOMPARE(d.element(*b)->fillStyle(), FillStyle::Solid);
        // The frame is there but hidden, its handles on the corners.
        QVERIFY(!d.frame(*b)->isVisible());
        QCOMPARE(d.frame(*b)->handleRect(1), QRect(298, 158, 4, 4));
        QCOMPARE(d.frame(*b)->handleRect(2), QRect(330, 158, 4, 4));
        QCOMPARE(d.frame(*b)->handleRect(3), QRect(330, 190, 4, 4));
        QCOMPARE(d.frame(*b)->handleRect(4), QRect(298, 190, 4, 4));
        VellPicture *p = t.createPicture();
        QCOMPARE(d.element(*p)->rect(), QRect(300, 160, 32, 32));
        QCOMPARE(d.element(*p)->fill(), kTeal);
    }

    void newTextFitsItsLabel()
    {
        ObjectTables t;
        PanelDrawing d(t);
        VellText *x = t.createText();
        const QSize size = LabelSize(QStringLiteral("Текст"));
        QCOMPARE(d.element(*x)->size(), size);
        QCOMPARE(d.element(*x)->left(), 316 - size.width() / 2);
        QCOMPARE(d.element(*x)->top(), 176 - 13 / 2);
        QCOMPARE(d.element(*x)->text(), QStringLiteral("Текст"));
    }

    void removalRenumbers()
    {
        ObjectTables t;
        PanelDrawing d(t);
        for (int i = 0; i < 3; ++i)
            t.createButton();
        t.remove(KindButton, 1);
        QCOMPARE(t.ButtonCount(), 2);
        QCOMPARE(t.button(1)->Name, QStringLiteral("Button_2"));
        QCOMPARE(t.button(1)->Id, 1);
        QCOMPARE(t.button(2)->Name, QStringLiteral("Button_3"));
        QCOMPARE(t.button(2)->Id, 2);
        VellButton *b4 = t.createButton();
        QCOMPARE(b4->Name, QStringLiteral("Button_4"));
        QCOMPARE(b4->Id, 3);
        // The removed element is gone from the panel too; a frame shown
        // adds its four handles, and they go with their object.
        QCOMPARE(int(d.scene().elementCount()), 3);
        d.frame(*t.button(2))->SetVisible(true);
        QCOMPARE(int(d.scene().elementCount()), 7);
        t.remove(KindButton, 2);
        QCOMPARE(int(d.scene().elementCount()), 2);
    }

    void removalInTheMiddle()
    {
        ObjectTables t;
        PanelDrawing d(t);
        for (int i = 0; i < 3; ++i)
            t.createText();
        t.remove(KindText, 2);
        QCOMPARE(t.objectNames(KindText), (QStringList{"Text_1", "Text_3"}));
        QCOMPARE(t.text(2)->Id, 2);
        QVERIFY(!t.text(3));
        t.remove(KindText, 7); // out of range: nothing happens
        QCOMPARE(t.TextCount(), 2);
    }

    void countersSurviveClear()
    {
        ObjectTables t;
        PanelDrawing d(t);
        t.createButton();
        t.createButton();
        t.createPicture();
        t.clearAll();
        QCOMPARE(t.ButtonCount(), 0);
        QCOMPARE(t.PictureCount(), 0);
        QVERIFY(d.scene().elementCount() == 0);
        QCOMPARE(t.createButton()->Name, QStringLiteral("Button_3"));
        QCOMPARE(t.createPicture()->Name, QStringLiteral("Picture_2"));
        QCOMPARE(t.createText()->Name, QStringLiteral("Text_1"));
    }

    void fullTableRefusesNewObject_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("other");
        QTest::addColumn<QString>("next");
        QTest::newRow("buttons") << int(KindButton) << int(KindText) << "Button_10000";
        QTest::newRow("pictures") << int(KindPicture) << int(KindButton) << "Picture_10000";
        QTest::newRow("texts") << int(KindText) << int(KindPicture) << "Text_10000";
    }
    void fullTableRefusesNewObject()
    {
        QFETCH(int, kind);
        QFETCH(int, other);
        QFETCH(QString, next);
        const auto full = ObjectKind(kind);
        ObjectTables t;
        PanelDrawing d(t);
        for (int i = 0; i < ObjectTables::Capacity; ++i)
            QVERIFY(t.create(full));
        const auto elements = d.scene().elementCount();
        QVERIFY(t.isFull(full));
        QVERIFY(!t.create(full));
        QCOMPARE(t.count(full), 9999);
        QCOMPARE(t.totalCount(), 9999);
        QCOMPARE(d.scene().elementCount(), elements);
        // Other kinds are not affected.
        QVERIFY(t.create(ObjectKind(other)));
        t.remove(full, 5000);
        QCOMPARE(t.create(full)->Name, next);
    }

    void namesAndLookUp()
    {
        ObjectTables t;
        PanelDrawing d(t);
        t.createButton();
        t.createPicture();
        t.createButton();
        t.createText();
        QCOMPARE(t.objectNames(), (QStringList{"Button_1", "Button_2", "Picture_1", "Text_1"}));
        QCOMPARE(t.FindObjectByName(KindButton, "Button_2"), t.button(2));
        QVERIFY(!t.FindObjectByName(KindButton, "button_2"));
        QVERIFY(!t.FindObjectByName(KindPicture, "Button_2"));
        QVERIFY(!t.FindObjectByName(KindNone, "Button_1"));
        QVERIFY(!t.FindObjectByName(ObjectKind(4), "Button_1"));
        // The first of two that bear a name, as objects go, come back and
        // are restored.
        const VellButton first = *t.button(1);
        const VellControl *twin = t.createNamed(KindButton, "Button_1");
        QCOMPARE(t.FindObjectByName(KindButton, "Button_1"), t.button(1));
        t.remove(KindButton, 1);
        QCOMPARE(t.FindObjectByName(KindButton, "Button_1"), twin);
        t.insert(first);
        QCOMPARE(t.FindObjectByName(KindButton, "Button_1"), t.button(1));
        VellButton renamed = first;
        renamed.Name = "Other";
        t.restore(*t.button(1), renamed);
        QCOMPARE(t.FindObjectByName(KindButton, "Button_1"), twin);
        t.clearAll();
        QVERIFY(!t.FindObjectByName(KindButton, "Button_1"));
    }

    void kindFromNamePrefix_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::newRow("button") << "Button_1" << 1;
        QTest::newRow("picture") << "Picture_3" << 2;
        QTest::newRow("text") << "Text_12" << 3;
        QTest::newRow("prefix only") << "But" << 1;
        QTest::newRow("lower case") << "button_1" << 0;
        QTest::newRow("short") << "Bu" << 0;
        QTest::newRow("other") << "Label_1" << 0;
    }

    void kindFromNamePrefix()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QCOMPARE(KindFromNamePrefix(name), kind);
    }

    void kindBoxTexts()
    {
        QCOMPARE(KindFromText(QStringLiteral("Кнопка")), 1);
        QCOMPARE(KindFromText(QStringLiteral("Картинка")), 2);
        QCOMPARE(KindFromText(QStringLiteral("Текст")), 3);
        QCOMPARE(KindFromText(QStringLiteral("кнопка")), 0);
        QCOMPARE(KindFromText(QStringLiteral("Кнопкаx")), 0);
        QCOMPARE(KindFromText(QString()), 0);
    }

    void kindTexts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("boxText");
        QTest::addColumn<QString>("fullTable");
        QTest::newRow("button") << 1 << "Кнопка"
                                << "Нельзя создать кнопку: на панели уже 9999 кнопок.";
        QTest::newRow("text") << 3 << "Текст"
                              << "Нельзя создать текст: на панели уже 9999 текстов.";
        QTest::newRow("none") << 0 << QString()
                              << "Нельзя создать текст: на панели уже 9999 текстов.";
    }
    void kindTexts()
    {
        QFETCH(int, kind);
        QFETCH(QString, boxText);
        QFETCH(QString, fullTable);
        QCOMPARE(KindBoxText(ObjectKind(kind)), boxText);
        QCOMPARE(FullTableMessage(ObjectKind(kind)), fullTable);
    }

    void mappingBothWays()
    {
        ObjectTables t;
        PanelDrawing d(t);
        VellButton *b = t.createButton();
        t.SetPosition(*b, -217, 127);
        QCOMPARE(d.element(*b)->rect(), QRect(83, 33, 32, 32));
        // The frame follows the element's centre.
        QCOMPARE(d.frame(*b)->handleRect(1).topLeft(), QPoint(81, 31));
        QCOMPARE(d.frame(*b)->handleRect(3).topLeft(), QPoint(113, 63));
        t.SetPosition(*b, 10, -20);
        QCOMPARE(d.element(*b)->rect(), QRect(310, 180, 32, 32));
    }

    void setSizeAboutCentre()
    {
        ObjectTables t;
        PanelDrawing d(t);
        VellButton *b = t.createButton();
        t.SetPosition(*b, 10, 20);
        t.SetSize(*b, 33, 21);
        QCOMPARE(d.element(*b)->size(), QSize(32, 20));
        QCOMPARE(d.element(*b)->rect(), QRect(326 - 16, 156 - 10, 32, 20));
        QCOMPARE(b->X, 10);
        QCOMPARE(b->Y, 20);
        QCOMPARE(d.frame(*b)->FrameWidth, 32);
        QCOMPARE(d.frame(*b)->handleRect(3).topLeft(), QPoint(340, 164));
        // An odd exact size on a picture never selected: its frame, made when
        // first asked for, is placed as one made with the picture would be,
        // by centre and size (the right and bottom handles a pixel inside).
        VellPicture *p = t.createPicture();
        t.SetExactSize(*p, 33, 15);
        QCOMPARE(d.element(*p)->rect(), QRect(300, 169, 33, 15));
        QCOMPARE(d.frame(*p)->handleRect(1).topLeft(), QPoint(298, 167));
        QCOMPARE(d.frame(*p)->handleRect(3).topLeft(), QPoint(330, 181));
    }

    void visibility()
    {
        ObjectTables t;
        PanelDrawing d(t);
        VellPicture *p = t.createPicture();
        t.SetVisible(*p, false);
        QVERIFY(!p->Visible);
        QCOMPARE(d.element(*p)->fillStyle(), FillStyle::DiagCross);
        t.SetVisible(*p, true);
        QCOMPARE(d.element(*p)->fillStyle(), FillStyle::Solid);
        // Given back its fields (by undo, say) while no frame was ever made
        // for it, the picture shows its visibility again.
        VellPicture hidden = *p;
        hidden.Visible = false;
        t.restore(*p, hidden);
        QCOMPARE(d.element(*p)->fillStyle(), FillStyle::DiagCross);
        VellText *x = t.createText();
        const QRect before = d.element(*x)->rect();
        t.SetVisible(*x, false);
        QVERIFY(!x->Visible);
        QVERIFY(d.element(*x)->isVisible());
        QCOMPARE(d.element(*x)->rect(), before);
        QCOMPARE(d.element(*x)->fillStyle(), FillStyle::Solid);
    }

    // The label stays centred where X and Y say, as the game places it.
    void longerTextWidensBothWays()
    {
        ObjectTables t;
        PanelDrawing d(t);
        VellText *x = t.createText();
        QCOMPARE(d.element(*x)->rect(), QRect(302, 170, 28, 13));
        t.SetText(*x, QStringLiteral("Гораздо более длинный текст"));
        QCOMPARE(d.element(*x)->rect(), QRect(239, 170, 154, 13));
        QCOMPARE(x->X, 0);
        QCOMPARE(x->Y, 0);
        t.SetTextColor(*x, QColor(255, 0, 0));
        QCOMPARE(x->TextColor, QStringLiteral("clRed"));
        QCOMPARE(d.element(*x)->textColor(), QColor(255, 0, 0));
    }

    void laterElementsLieOnTop()
    {
        ObjectTables t;
        PanelDrawing d(t);
        VellButton *first = t.createButton();
        VellButton *second = t.createButton();
        QCOMPARE(d.scene().elementAt(QPoint(310, 170)), d.element(*second));
        t.remove(KindButton, 2);
        QCOMPARE(d.scene().elementAt(QPoint(310, 170)), d.element(*first));
        // Hidden handles are not hit; a shown one lies above its own object.
        QVERIFY(!d.scene().elementAt(QPoint(299, 159)));
        QCOMPARE(d.scene().elementAt(QPoint(300, 160)), d.element(*first));
        d.frame(*first)->SetVisible(true);
        QCOMPARE(d.scene().elementAt(QPoint(299, 159)), d.frame(*first)->handleElement(1));
        QCOMPARE(d.scene().elementAt(QPoint(301, 161)), d.frame(*first)->handleElement(1));
        QVERIFY(!d.scene().elementAt(QPoint(5, 5)));
    }

    // The hit-test index gives what a scan of every element gives, on random
    // scenes with elements moving, hiding, going, and reaching off the panel.
    void hitTestIndexAgreesWithAFullScan()
    {
        QRandomGenerator random(11);
        PanelScene scene;
        std::vector<std::unique_ptr<PanelElement>> elements;
        const auto scanned = [&elements](QPoint p, const PanelElement *ignore, bool skipGhost) {
            const PanelElement *top = nullptr;
            for (const auto &e : elements) {
                if (e->isVisible() && e->rect().contains(p) && e.get() != ignore &&
                    !(skipGhost && e->shape() == ElementShape::Ghost) &&
                    (!top || e->stackOrder() > top->stackOrder()))
                    top = e.get();
            }
            return top;
        };
        const auto randomRect = [&] {
            const int w = random.bounded(8) == 0 ? random.bounded(2000) : random.bounded(1, 80);
            const int h = random.bounded(8) == 0 ? random.bounded(2000) : random.bounded(1, 80);
            return QRect(random.bounded(-900, 700), random.bounded(-900, 400), w, h);
        };
        int checked = 0;
        for (int op = 0; op < 3000; ++op) {
            const int n = int(elements.size());
            switch (n < 5 ? 0 : random.bounded(6)) {
            case 0:
            case 1:
                elements.push_back(std::make_unique<PanelElement>(
                    scene, random.bounded(10) ? ElementShape::Rectangle : ElementShape::Ghost,
                    randomRect()));
                break;
            case 2:
                elements[random.bounded(n)]->setRect(randomRect());
                break;
            case 3:
                elements[random.bounded(n)]->setVisible(random.bounded(3) != 0);
                break;
            case 4:
                elements.erase(elements.begin() + random.bounded(n));
                break;
            default:
                if (random.bounded(50) == 0) {
                    scene.beginBulkRemoval();
                    elements.resize(n / 2);
                    scene.endBulkRemoval();
                }
                break;
            }
            if (op % 25 != 0 || elements.empty())
                continue;
            const PanelElement *ignore = elements[random.bounded(int(elements.size()))].get();
            for (int i = 0; i < 200; ++i) {
                const QPoint p(random.bounded(-60, 700), random.bounded(-60, 420));
                const bool skip = random.bounded(2);
                QCOMPARE(scene.elementAt(p, nullptr, skip), scanned(p, nullptr, skip));
                QCOMPARE(scene.elementAt(p, ignore, skip), scanned(p, ignore, skip));
                checked += scene.elementAt(p) != nullptr;
            }
        }
        QVERIFY(checked > 1000); // most points hit something
    }
};

QTEST_MAIN(TestObjectTables)
#include "tst_objecttables.moc"
