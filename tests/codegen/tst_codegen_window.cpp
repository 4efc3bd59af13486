#include "codegen/tform4.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

namespace {

QStringList sampleLines()
{
    return {QStringLiteral("globals"), QStringLiteral(" BUTTON array ButtonVar"), QString(),
            QStringLiteral(" call SetTextTagText(TextVar[1].text,\"Привет\",0.0184)"),
            QStringLiteral("endfunction")};
}

} // namespace

class TestTForm4 : public QObject
{
    Q_OBJECT

private slots:
    void startsHiddenAndEmpty();
    void captionSizeAndPosition();
    void menuHoldsSelectAll();
    void setCodeLinesRoundTrips_data();
    void setCodeLinesRoundTrips();
    void setCodeLinesReplacesWholeText();
    void typingChangesNothing();
    void ctrlASelectsEverything();
    void copyTakesExactlyTheSelection_data();
    void copyTakesExactlyTheSelection();
    void selectAllMenuItem();
    void longLinesAreNotWrapped();
    void closeAndShowKeepsText();
};

void TestTForm4::startsHiddenAndEmpty()
{
    TForm4 w;
    QVERIFY(!w.isVisible());
    QVERIFY(!w.isModal());
    QCOMPARE(w.codeLines(), QStringList());
    w.closeAndShow();
    QVERIFY(w.isVisible());
    QCOMPARE(w.Code->toPlainText(), QString());
}

void TestTForm4::captionSizeAndPosition()
{
    TForm4 w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Код интерфейса"));
    w.closeAndShow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.frameGeometry().size(), QSize(509, 409));
    QCOMPARE(w.frameGeometry().topLeft(), QPoint(448, 325));
    QCOMPARE(w.centralWidget(), w.Code);
    // Resizable: the window accepts a new size.
    w.resize(700, 500);
    QCOMPARE(w.size(), QSize(700, 500));
}

void TestTForm4::menuHoldsSelectAll()
{
    TForm4 w;
    const QList<QAction *> menus = w.menuBar()->actions();
    QCOMPARE(menus.size(), 1);
    QCOMPARE(menus.first()->text(), QStringLiteral("Правка"));
    const QList<QAction *> items = menus.first()->menu()->actions();
    QCOMPARE(items.size(), 1);
    QCOMPARE(items.first()->text(), QStringLiteral("Выделить все"));
    QCOMPARE(items.first()->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));
}

void TestTForm4::setCodeLinesRoundTrips_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("sample") << sampleLines();
    QTest::newRow("one line") << QStringList{QStringLiteral("globals")};
    QTest::newRow("spaces kept") << QStringList{QStringLiteral(" BUTTON array "),
                                                QStringLiteral("  "), QStringLiteral("a\u00A0b")};
    QTest::newRow("empty") << QStringList();
}

void TestTForm4::setCodeLinesRoundTrips()
{
    QFETCH(QStringList, lines);
    TForm4 w;
    w.setCodeLines(lines);
    QCOMPARE(w.codeLines(), lines);
    QCOMPARE(w.Code->blockCount(), std::max<int>(1, int(lines.size())));
}

void TestTForm4::setCodeLinesReplacesWholeText()
{
    TForm4 w;
    w.setCodeLines(sampleLines());
    const QStringList second{QStringLiteral("globals"), QStringLiteral("endglobals")};
    w.setCodeLines(second);
    QCOMPARE(w.codeLines(), second);
}

void TestTForm4::typingChangesNothing()
{
    TForm4 w;
    w.setCodeLines(sampleLines());
    w.closeAndShow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.Code->setFocus();
    QTest::keyClicks(w.Code, QStringLiteral("typed text"));
    QTest::keyClick(w.Code, Qt::Key_Return);
    QTest::keyClick(w.Code, Qt::Key_Backspace);
    QTest::keyClick(w.Code, Qt::Key_Delete);
    QTest::keyClick(w.Code, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(w.Code, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(w.codeLines(), sampleLines());
}

void TestTForm4::ctrlASelectsEverything()
{
    TForm4 w;
    w.setCodeLines(sampleLines());
    w.closeAndShow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.Code->setFocus();
    QVERIFY(!w.Code->textCursor().hasSelection());
    QTest::keyClick(w.Code, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(w.Code->textCursor().selectedText(),
             sampleLines().join(QChar(QChar::ParagraphSeparator)));
}

void TestTForm4::copyTakesExactlyTheSelection_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("shiftRights"); // 0: Ctrl+A
    QTest::addColumn<QString>("copied");
    QTest::newRow("whole sample") << sampleLines() << 0 << sampleLines().join(QLatin1Char('\n'));
    // The copy holds exactly the characters shown, no-break spaces included.
    const QStringList spaced{QStringLiteral("a\u00A0b"), QString(),
                             QStringLiteral("\u00A0 \u00A0")};
    QTest::newRow("whole, no-break spaces") << spaced << 0 << spaced.join(QLatin1Char('\n'));
    QTest::newRow("part across a line break")
        << spaced << 6 << QStringLiteral("a\u00A0b\n\n\u00A0");
}

void TestTForm4::copyTakesExactlyTheSelection()
{
    QFETCH(QStringList, lines);
    QFETCH(int, shiftRights);
    QFETCH(QString, copied);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    TForm4 w;
    w.setCodeLines(lines);
    w.closeAndShow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.Code->setFocus();
    if (shiftRights == 0)
        QTest::keyClick(w.Code, Qt::Key_A, Qt::ControlModifier);
    for (int i = 0; i < shiftRights; ++i)
        QTest::keyClick(w.Code, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(w.Code, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), copied);
}

void TestTForm4::selectAllMenuItem()
{
    TForm4 w;
    w.setCodeLines(sampleLines());
    QAction *item = w.menuBar()->actions().first()->menu()->actions().first();
    item->trigger();
    QCOMPARE(w.Code->textCursor().selectedText(),
             sampleLines().join(QChar(QChar::ParagraphSeparator)));
}

void TestTForm4::longLinesAreNotWrapped()
{
    TForm4 w;
    const QString longLine(2000, QLatin1Char('x'));
    w.setCodeLines({longLine, QStringLiteral("short")});
    w.closeAndShow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.Code->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(w.Code->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(w.Code->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(w.Code->horizontalScrollBar()->maximum() > 0);
    QCOMPARE(w.Code->document()->firstBlock().layout()->lineCount(), 1);
}

void TestTForm4::closeAndShowKeepsText()
{
    TForm4 w;
    w.setCodeLines(sampleLines());
    w.closeAndShow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.close();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.codeLines(), sampleLines());
    w.closeAndShow();
    QVERIFY(w.isVisible());
    w.closeAndShow();
    QVERIFY(w.isVisible());
    QCOMPARE(w.codeLines(), sampleLines());
}

QTEST_MAIN(TestTForm4)
#include "tst_codegen_window.moc"
