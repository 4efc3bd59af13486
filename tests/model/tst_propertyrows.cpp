#include "designer/paneldrawing.h"
#include "model/objecttables.h"
#include "model/propertyrows.h"

#include <QtTest>

using namespace vell;

namespace {

// "1|5": a caret; "[0]5": a selection; no mark: the caret at the end.
std::pair<QString, TypedAt> valueAndPlace(QString v)
{
    const qsizetype caret = v.indexOf(u'|'), from = v.indexOf(u'['), to = v.indexOf(u']');
    if (caret >= 0)
        return {v.remove(caret, 1), TypedAt{caret, 0}};
    if (from >= 0)
        return {v.remove(to, 1).remove(from, 1), TypedAt{from, to - from - 1}};
    return {v, TypedAt{v.size(), 0}};
}

QStringList lines(const QList<PropertyRow> &rows)
{
    QStringList list;
    for (const PropertyRow &r : rows)
        list << r.key + QLatin1Char('=') + r.value;
    return list;
}

} // namespace

class TestPropertyRows : public QObject
{
    Q_OBJECT

private slots:
    void rowsOfEachKind()
    {
        ObjectTables t;
        PanelDrawing d(t);
        const auto button = PropertyRowsFor(*t.createButton());
        QCOMPARE(lines(button),
                 (QStringList{QStringLiteral("Координата Х=0"), QStringLiteral("Координата У=0"),
                              QStringLiteral("Ширина=32"), QStringLiteral("Высота=32"),
                              QStringLiteral("ID текстуры=B000"), QStringLiteral("Видимость=true"),
                              QStringLiteral("Левый клик="), QStringLiteral("Правый клик=")}));
        // The last letters of the first two keys are Cyrillic, 0xD5 and 0xD3 in
        // the files' code page.
        QCOMPARE(button[0].key.back().unicode(), char16_t(0x0425));
        QCOMPARE(button[1].key.back().unicode(), char16_t(0x0423));
        QVERIFY(button[4].key.startsWith(QLatin1String("ID")));
        QCOMPARE(button[5].editor, RowEditor::PickList);
        QCOMPARE(button[5].pickList, (QStringList{"true", "false"}));
        QCOMPARE(button[6].editor, RowEditor::Ellipsis);
        QCOMPARE(button[7].editor, RowEditor::Ellipsis);
        QCOMPARE(button[0].editor, RowEditor::Plain);

        VellPicture *p = t.createPicture();
        t.SetPosition(*p, -12, 7);
        t.SetVisible(*p, false);
        p->TextureId = "P1";
        QCOMPARE(
            lines(PropertyRowsFor(*p)),
            (QStringList{QStringLiteral("Координата Х=-12"), QStringLiteral("Координата У=7"),
                         QStringLiteral("Ширина=32"), QStringLiteral("Высота=32"),
                         QStringLiteral("ID текстуры=P1"), QStringLiteral("Видимость=false")}));

        VellText *x = t.createText();
        const auto text = PropertyRowsFor(*x);
        QCOMPARE(lines(text),
                 (QStringList{QStringLiteral("Координата Х=0"), QStringLiteral("Координата У=0"),
                              QStringLiteral("Текст=Текст"), QStringLiteral("Видимость=true"),
                              QStringLiteral("Цвет текста=")}));
        QCOMPARE(text[3].editor, RowEditor::PickList);
        QCOMPARE(text[4].editor, RowEditor::Ellipsis);
    }

    void characterFilter_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("accepted");
        QTest::addColumn<QString>("rejected");
        const QString bs(QLatin1Char('\b'));
        QTest::newRow("x empty") << 1 << 1 << ""
                                 << "-05" + bs << "a+ .";
        QTest::newRow("x holding text") << 1 << 1 << "12"
                                        << "09" + bs << "-a";
        QTest::newRow("y of a text") << 3 << 2 << ""
                                     << "-7"
                                     << "x";
        QTest::newRow("y holding minus") << 2 << 2 << "-"
                                         << "3"
                                         << "-";
        QTest::newRow("width") << 1 << 3 << ""
                               << "19" + bs << "-aZ";
        QTest::newRow("height") << 2 << 4 << "3"
                                << "0"
                                << "-x";
        QTest::newRow("texture") << 1 << 5 << "B0"
                                 << "AzZ09" + bs << QStringLiteral("_-Ж ");
        QTest::newRow("visibility") << 1 << 6 << "true"
                                    << ""
                                    << "tf1" + bs;
        // A minus goes first and once: over a selection from the start, at
        // the start of a value without one.
        QTest::newRow("minus over the selected value") << 1 << 1 << "[0]"
                                                       << "-1"
                                                       << "";
        QTest::newRow("minus over a selection from the start") << 2 << 2 << "[12]3"
                                                               << "-"
                                                               << "";
        QTest::newRow("minus over a selected minus") << 3 << 1 << "[-]40"
                                                     << "-"
                                                     << "";
        QTest::newRow("minus at the start") << 1 << 2 << "|150"
                                            << "-"
                                            << "";
        QTest::newRow("minus at the start of a negative") << 2 << 1 << "|-150"
                                                          << "7"
                                                          << "-";
        QTest::newRow("minus before another") << 1 << 1 << "[1]-5"
                                              << ""
                                              << "-";
        QTest::newRow("minus inside") << 1 << 2 << "1|50"
                                      << ""
                                      << "-";
        QTest::newRow("minus over a later selection") << 3 << 2 << "2[50]"
                                                      << ""
                                                      << "-";
        QTest::newRow("minus at the end") << 2 << 1 << "-8|"
                                          << ""
                                          << "-";
        QTest::newRow("left click") << 1 << 7 << ""
                                    << "Foo1_" + bs << " -.";
        QTest::newRow("right click") << 1 << 8 << "F"
                                     << "z9_" + bs << QStringLiteral("Ж$");
        QTest::newRow("picture has no row 7") << 2 << 7 << ""
                                              << ""
                                              << "a1";
        QTest::newRow("text") << 3 << 3 << "" << QStringLiteral("Aя !\"_-ЁёЖ№€") + bs
                              << QString::fromUtf8("\u4e2d\u00e9");
        // No line breaks in the one-line text, empty or not.
        QTest::newRow("text refuses CR") << 3 << 3 << "ab"
                                         << ""
                                         << "\r";
        QTest::newRow("text refuses LF") << 3 << 3 << ""
                                         << ""
                                         << "\n";
        QTest::newRow("text visibility") << 3 << 4 << ""
                                         << ""
                                         << "tf";
        QTest::newRow("text colour") << 3 << 5 << ""
                                     << ""
                                     << "c$1";
    }

    void characterFilter()
    {
        QFETCH(int, kind);
        QFETCH(int, row);
        QFETCH(QString, value);
        QFETCH(QString, accepted);
        QFETCH(QString, rejected);
        const auto [text, at] = valueAndPlace(value);
        for (QChar c : accepted)
            QVERIFY2(AcceptsTypedChar(ObjectKind(kind), row, text, at, c), qPrintable(QString(c)));
        for (QChar c : rejected)
            QVERIFY2(!AcceptsTypedChar(ObjectKind(kind), row, text, at, c), qPrintable(QString(c)));
    }

    void applyRows()
    {
        ObjectTables t;
        PanelDrawing d(t);
        VellButton *b = t.createButton();
        QStringList values = {"-5", "7", "40", "20", "B001", "true", "Foo1", "Bar"};
        QVERIFY(ApplyRow(t, *b, 2, values).changed);
        QVERIFY(ApplyRow(t, *b, 1, values).changed);
        QCOMPARE(b->X, -5);
        QCOMPARE(b->Y, 7);
        values[1] = "";
        QVERIFY(!ApplyRow(t, *b, 2, values).changed); // empty: nothing
        values[1] = "-";
        QVERIFY(!ApplyRow(t, *b, 2, values).changed);
        QCOMPARE(b->Y, 7);
        QCOMPARE(b->X, -5);
        QVERIFY(ApplyRow(t, *b, 4, values).changed);
        QCOMPARE(d.element(*b)->size(), QSize(40, 20));
        QCOMPARE(b->X, -5); // about the centre
        values[2] = "";
        QVERIFY(!ApplyRow(t, *b, 3, values).changed);
        QCOMPARE(d.element(*b)->size(), QSize(40, 20));
        ApplyRow(t, *b, 5, values);
        QCOMPARE(b->TextureId, QStringLiteral("B001"));
        ApplyRow(t, *b, 7, values);
        ApplyRow(t, *b, 8, values);
        QCOMPARE(b->LeftActionsFunction, QStringLiteral("Foo1"));
        QCOMPARE(b->RightActionsFunction, QStringLiteral("Bar"));
        QVERIFY(!ApplyRow(t, *b, 6, values).changed);

        values[0] = "99999999999";
        const ApplyOutcome overflow = ApplyRow(t, *b, 1, values);
        QVERIFY(!overflow.changed);
        QCOMPARE(overflow.error, QStringLiteral("'99999999999' is not a valid integer value"));
        QCOMPARE(b->X, -5);
    }

    void applyTextRow()
    {
        ObjectTables t;
        PanelDrawing d(t);
        VellText *x = t.createText();
        t.SetPosition(*x, -7, 4);
        QCOMPARE(d.element(*x)->rect(), QRect(295, 166, 28, 13));
        // The label fits the new text about the same centre.
        QVERIFY(ApplyRow(t, *x, 3, {"-7", "4", "Hello, world", "true", ""}).changed);
        QCOMPARE(x->Text, QStringLiteral("Hello, world"));
        QCOMPARE(d.element(*x)->rect(), QRect(281, 166, 57, 13));
        QCOMPARE(QPoint(x->X, x->Y), QPoint(-7, 4));
        // Rows 3 and 4 of a text are not a size.
        QVERIFY(!ApplyRow(t, *x, 4, {"0", "0", "Hi", "false", ""}).changed);
        QVERIFY(x->Visible);
    }

    void extremePositionsStaySafe()
    {
        ObjectTables t;
        PanelDrawing d(t);
        VellButton *b = t.createButton();
        QVERIFY(ApplyRow(t, *b, 1, {"2147483647", "-2147483648", "32", "32"}).changed);
        QVERIFY(ApplyRow(t, *b, 2, {"2147483647", "-2147483648", "32", "32"}).changed);
        QCOMPARE(b->X, 2147483647);
        QCOMPARE(b->Y, int(-2147483648LL));
        QVERIFY(
            ApplyRow(t, *b, 3, {"2147483647", "-2147483648", "2147483647", "2000000001"}).changed);
        QCOMPARE(b->X, 2147483647);
        // The object keeps any size (less an odd pixel); only its drawing is
        // held to a size the panel can paint.
        QCOMPARE(b->Width, 2147483646);
        QCOMPARE(b->Height, 2000000000);
        QCOMPARE(PropertyRowsFor(*b).at(3).value, QStringLiteral("2000000000"));
        QCOMPARE(d.element(*b)->size(), QSize(1 << 30, 1 << 30));
        // Far off the panel, nowhere near the visible area.
        QVERIFY(!d.element(*b)->rect().intersects(QRect(0, 0, 633, 353)));
        // A far-off object keeps the size it is given.
        QVERIFY(ApplyRow(t, *b, 3, {"999999999", "0", "40", "20"}).changed);
        QVERIFY(ApplyRow(t, *b, 1, {"999999999", "0", "40", "20"}).changed);
        QVERIFY(ApplyRow(t, *b, 2, {"999999999", "0", "40", "20"}).changed);
        QVERIFY(ApplyRow(t, *b, 3, {"999999999", "0", "40", "20"}).changed);
        QCOMPARE(d.element(*b)->size(), QSize(40, 20));
        QCOMPARE(PropertyRowsFor(*b).at(2).value, QStringLiteral("40"));
        QVERIFY(d.element(*b)->left() > 633);
    }
};

QTEST_MAIN(TestPropertyRows)
#include "tst_propertyrows.moc"
