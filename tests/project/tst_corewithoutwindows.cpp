#include "common/labelfont.h"
#include "project/project.h"

#include <QtTest>

using namespace vell;

// The core library in a program without a GUI application: what needs no
// fonts works, text measurement says what it needs instead of crashing.
class TestCoreWithoutWindows : public QObject
{
    Q_OBJECT

private slots:
    void textMeasurementNeedsAGuiApplication()
    {
        QVERIFY(!qobject_cast<QGuiApplication *>(QCoreApplication::instance()));
        QVERIFY_THROWS_EXCEPTION(NoFontSupport, LabelSize(QStringLiteral("Hello")));
        try {
            LabelFont();
            QFAIL("no exception");
        } catch (const NoFontSupport &e) {
            QVERIFY(QByteArray(e.what()).contains("QGuiApplication"));
        }
        ObjectTables tables;
        VellButton *b = tables.createButton();
        QVERIFY(b);
        tables.SetSize(*b, 41, 17);
        QCOMPARE(QSize(b->Width, b->Height), QSize(40, 16));
        QVERIFY_THROWS_EXCEPTION(NoFontSupport, tables.createText());
        QCOMPARE(tables.TextCount(), 0);
        QCOMPARE(tables.ButtonCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCoreWithoutWindows)
#include "tst_corewithoutwindows.moc"
