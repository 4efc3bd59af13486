#include "codegen/gui/codeview.h"
#include "codegen/gui/tform4.h"
#include "common/codefont.h"
#include "common/gui/findbar.h"
#include "common/gui/linegutter.h"
#include "scripteddialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

namespace {

const QString kUntouched = QStringLiteral("clipboard before");

QStringList sampleLines()
{
    return {QStringLiteral("globals"), QStringLiteral(" BUTTON array ButtonVar"), QString(),
            QStringLiteral(" call SetTextTagText(TextVar[1].text,\"Привет\",0.0184)"),
            QStringLiteral("endfunction")};
}

// Code as user code may bring it: tabs, a no-break space, a surrogate pair.
QStringList mixedLines()
{
    return {QStringLiteral("globals"),
            QStringLiteral(" BUTTON array ButtonVar"),
            QString(),
            QStringLiteral(" call SetTextTagText(TextVar[1].text,\"Привет\",0.0184)"),
            QStringLiteral("\tif a\u00A0b then"),
            QStringLiteral("a\U0001F600b endfunction")};
}

QString numberedLine(int i)
{
    return QStringLiteral("L%1 call Show(%2)").arg(i).arg(i * 7 % 1013);
}

bool showWith(TForm4 &w, const QStringList &lines)
{
    w.setCodeText(lines.join('\n'));
    w.closeAndShow();
    if (!QTest::qWaitForWindowExposed(&w))
        return false;
    w.Code->setFocus();
    return true;
}

// A point in the view over a column of a line, a quarter into the column.
QPoint cellPoint(const CodeView *v, int line, int column, qreal into = 0.25)
{
    const qreal x =
        CodeView::kMargin + (column + into) * v->columnWidth() - v->horizontalScrollBar()->value();
    const int y = CodeView::kMargin + (line - v->verticalScrollBar()->value()) * v->lineHeight() +
                  v->lineHeight() / 2;
    return QPoint(qRound(x), y);
}

// What Ctrl+C leaves in the clipboard.
QString copied(CodeView *v, QKeySequence keys = QKeySequence(Qt::CTRL | Qt::Key_C))
{
    QGuiApplication::clipboard()->setText(kUntouched);
    QTest::keySequence(v, keys);
    return QGuiApplication::clipboard()->text();
}

void drag(CodeView *v, QPoint from, QPoint to)
{
    QTest::mousePress(v->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(v->viewport(), to);
    QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, to);
}

// Presses keys written as "Down Shift+End*3 Ctrl+Shift+Left": each a key
// sequence of one key, "*n" repeating it.
void press(QWidget *w, const QString &keys)
{
    for (const QString &token : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = token.split(QLatin1Char('*'));
        const QKeyCombination key = QKeySequence(parts[0])[0];
        QVERIFY2(key.key() != Qt::Key_unknown, qPrintable(token));
        for (int i = parts.value(1, QStringLiteral("1")).toInt(); i > 0; --i)
            QTest::keyClick(w, key.key(), key.keyboardModifiers());
    }
}

constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;

// Whether the colour is nearer to a than to b.
bool nearer(QColor c, QColor a, QColor b)
{
    const auto distance = [](QColor x, QColor y) {
        return std::abs(x.red() - y.red()) + std::abs(x.green() - y.green()) +
               std::abs(x.blue() - y.blue());
    };
    return distance(c, a) < distance(c, b);
}

} // namespace

class TestTForm4 : public QObject
{
    Q_OBJECT

private slots:
    void coloursFindAndGoToLine();
    void opensHiddenAndKeepsText();
    void menuHoldsSelectAll();
    void viewUsesTheBundledMonospaceFont();
    void codeTextRoundTrips_data();
    void codeTextRoundTrips();
    void newTextResetsCaretAndScrolling();
    void typingChangesNothing();
    void copyTakesExactlyTheSelection_data();
    void copyTakesExactlyTheSelection();
    void keyboardSelection_data();
    void keyboardSelection();
    void mouseDragSelection_data();
    void mouseDragSelection();
    void shiftClickExtendsSelection();
    void doubleClickSelectsWord_data();
    void doubleClickSelectsWord();
    void clickLandsOnTheColumnUnderThePointer_data();
    void clickLandsOnTheColumnUnderThePointer();
    void dragPastTheBottomScrollsAlong();
    void longLinesAreNotWrapped();
    void horizontalRangeCountsTabColumns_data();
    void horizontalRangeCountsTabColumns();
    void hundredThousandLinesReachTheLast();
    void selectionDrawnInPaletteColours();
    void contextMenuCopiesAndSelectsAll();
};

// Colours from the lexer, copying as plain text, the find bar and going to
// a line, as a user meets them.
void TestTForm4::coloursFindAndGoToLine()
{
    using vell::HighlightKind;
    ScriptedDialogs dialogs;
    TForm4 w;
    w.setArrayNames({"ButtonVar", "PictureVar", "TextVar"});
    const QStringList lines = {"globals",
                               " BUTTON array ButtonVar",
                               "endglobals",
                               "function F takes nothing returns nothing",
                               " set ButtonVar[12] = 'BHID' // buttonvar",
                               "endfunction"};
    QVERIFY(showWith(w, lines));
    QApplication::setActiveWindow(&w);
    QCOMPARE(w.Code->lineSpans(4), QList<vell::HighlightSpan>({{1, 3, HighlightKind::Keyword},
                                                               {5, 9, HighlightKind::ObjectArray},
                                                               {15, 2, HighlightKind::Number},
                                                               {21, 6, HighlightKind::Rawcode},
                                                               {28, 12, HighlightKind::Comment}}));
    // The words are drawn in their colours right of the gutter.
    QCOMPARE(w.Code->viewport()->x() - w.Code->gutter()->x(), w.Code->gutter()->width());
    const QImage image = w.Code->viewport()->grab().toImage();
    const auto inRow = [&](int row, const QColor &colour) {
        int count = 0;
        for (int y = CodeView::kMargin + row * w.Code->lineHeight();
             y < CodeView::kMargin + (row + 1) * w.Code->lineHeight(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == colour;
        return count;
    };
    QVERIFY(inRow(0, vell::HighlightColor(HighlightKind::Keyword)) > 3);
    QVERIFY(inRow(4, vell::HighlightColor(HighlightKind::ObjectArray)) > 3);
    QCOMPARE(inRow(0, vell::HighlightColor(HighlightKind::ObjectArray)), 0);
    QVERIFY(inRow(3, vell::HighlightColor(HighlightKind::TypeName)) > 3);

    QTest::keyClick(w.Code, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w.Code, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList("text/plain"));
    QCOMPARE(QGuiApplication::clipboard()->text(), lines.join('\n'));

    // Typing finds from the caret; F3 goes on and round, Shift+F3 back.
    QTest::keyClick(w.Code, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(w.Code, Qt::Key_F, Qt::ControlModifier);
    FindBar *bar = w.Find;
    QVERIFY(bar->isVisible());
    QVERIFY(bar->Needle->hasFocus());
    QTest::keyClicks(bar->Needle, "buttonvar");
    QCOMPARE(bar->Count->text(), "3 совпадения");
    QCOMPARE(w.Code->selectionRange(), std::make_pair(qsizetype(22), qsizetype(31)));
    QTest::mouseClick(bar->MatchCase, Qt::LeftButton);
    QCOMPARE(bar->Count->text(), "1 совпадение");
    QCOMPARE(w.Code->selectionRange(), std::make_pair(qsizetype(115), qsizetype(124)));
    QTest::mouseClick(bar->WholeWord, Qt::LeftButton);
    QTest::mouseClick(bar->MatchCase, Qt::LeftButton);
    QCOMPARE(bar->Count->text(), "3 совпадения");
    QCOMPARE(bar->Wrapped->text(), "");
    w.Code->setFocus();
    QTest::keyClick(w.Code, Qt::Key_F3);
    QCOMPARE(w.Code->caretLine(), 1);
    QCOMPARE(bar->Wrapped->text(), "Поиск продолжен с начала");
    QTest::keyClick(bar->Needle, Qt::Key_F3);
    QCOMPARE(w.Code->selectionRange(), std::make_pair(qsizetype(89), qsizetype(98)));
    QCOMPARE(bar->Wrapped->text(), "");
    QTest::keyClick(bar->Needle, Qt::Key_Return);
    QCOMPARE(w.Code->caretIndex(), 40);
    QTest::keyClick(w.Code, Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(bar->Needle, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(w.Code->selectionRange(), std::make_pair(qsizetype(22), qsizetype(31)));
    QTest::keyClick(w.Code, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(w.Code->selectionRange(), std::make_pair(qsizetype(115), qsizetype(124)));
    QCOMPARE(bar->Wrapped->text(), "Поиск продолжен с конца");
    QTest::mouseClick(bar->WholeWord, Qt::LeftButton);
    QTest::keyClicks(bar->Needle, "X");
    QCOMPARE(bar->Count->text(), "Не найдено");
    QCOMPARE(w.Code->selectionRange(), std::make_pair(qsizetype(115), qsizetype(124)));
    QTest::keyClick(bar->Needle, Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QVERIFY(w.Code->hasFocus());
    QCOMPARE(w.Code->lines(), lines);

    // A number outside the text goes to the nearest line.
    dialogs.numbers = {5, 1000, -2, std::nullopt};
    for (const int line : {4, 5, 0, 0}) {
        QTest::keyClick(w.Code, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(w.Code->caretLine(), line);
    }
    QCOMPARE(dialogs.numberValues, QList<int>({5, 5, 6, 1}));
    QCOMPARE(dialogs.numberLabels.first(), "Номер строки (1–6):");
}

// Hidden and empty until first shown, at its own size and place; closing
// and showing again keeps the text.
void TestTForm4::opensHiddenAndKeepsText()
{
    TForm4 w;
    QVERIFY(!w.isVisible());
    QVERIFY(!w.isModal());
    QCOMPARE(w.Code->lines(), QStringList());
    QCOMPARE(w.windowTitle(), QStringLiteral("Код интерфейса"));
    w.closeAndShow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.Code->text(), QString());
    QCOMPARE(w.Code->lineCount(), 1);
    QCOMPARE(w.Code->objectName(), QStringLiteral("Code"));
    QCOMPARE(w.frameGeometry().size(), QSize(509, 409));
    QCOMPARE(w.frameGeometry().topLeft(), QPoint(448, 325));
    QCOMPARE(w.centralWidget(), w.Code);
    // Resizable: the window accepts a new size.
    w.resize(700, 500);
    QCOMPARE(w.size(), QSize(700, 500));

    w.setCodeText(sampleLines().join('\n'));
    w.close();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.Code->lines(), sampleLines());
    w.closeAndShow();
    QVERIFY(w.isVisible());
    w.closeAndShow();
    QVERIFY(w.isVisible());
    QCOMPARE(w.Code->lines(), sampleLines());
}

void TestTForm4::menuHoldsSelectAll()
{
    TForm4 w;
    const QList<QAction *> menus = w.menuBar()->actions();
    QCOMPARE(menus.size(), 1);
    QCOMPARE(menus.first()->text(), QStringLiteral("Правка"));
    QStringList items;
    for (const QAction *a : menus.first()->menu()->actions())
        items << a->text() + " " + a->shortcut().toString();
    QCOMPARE(items,
             QStringList({"Выделить все Ctrl+A", "Копировать Ctrl+C", " ", "Найти… Ctrl+F",
                          "Найти далее F3", "Найти ранее Shift+F3", "Перейти к строке… Ctrl+G"}));
    // Copying is offered while there is a selection, and copies it.
    QVERIFY(showWith(w, sampleLines()));
    QVERIFY(!w.MMCopy->isEnabled());
    QTest::keyClick(w.Code, Qt::Key_Down);
    QTest::keyClick(w.Code, Qt::Key_End, kShift);
    QVERIFY(w.MMCopy->isEnabled());
    QGuiApplication::clipboard()->setText(kUntouched);
    w.MMCopy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" BUTTON array ButtonVar"));
    QTest::keyClick(w.Code, Qt::Key_Left);
    QVERIFY(!w.MMCopy->isEnabled());
    w.MMSelectAll->trigger();
    QCOMPARE(w.Code->selectedText(), sampleLines().join(QLatin1Char('\n')));
    QVERIFY(w.MMCopy->isEnabled());
    w.setCodeText(sampleLines().join('\n'));
    QVERIFY(!w.MMCopy->isEnabled());
}

void TestTForm4::viewUsesTheBundledMonospaceFont()
{
    TForm4 w;
    // The family the bundled file holds, read from the file itself.
    QFile file(QStringLiteral(":/fonts/DejaVuSansMono.ttf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const int id = QFontDatabase::addApplicationFontFromData(file.readAll());
    const QString bundled = QFontDatabase::applicationFontFamilies(id).value(0);
    QCOMPARE(bundled, QStringLiteral("DejaVu Sans Mono"));

    const QFont font = w.Code->font();
    QVERIFY(font != QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QCOMPARE(font.family(), bundled);
    QCOMPARE(QFontInfo(font).family(), bundled);
    QVERIFY(QFontInfo(font).fixedPitch());
    QCOMPARE(font.pixelSize(), 13);
    QCOMPARE(vell::CodeFont(), font);
    // Every column as wide as the font's own advance.
    QCOMPARE(w.Code->columnWidth(), QFontMetricsF(font).horizontalAdvance(QStringLiteral("Ж")));
}

void TestTForm4::codeTextRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    const auto row = [](const char *name, const QStringList &lines) {
        QTest::newRow(name) << lines.join(QLatin1Char('\n')) << lines;
    };
    row("sample", sampleLines());
    row("mixed", mixedLines());
    row("one line", {QStringLiteral("globals")});
    row("spaces kept",
        {QStringLiteral(" BUTTON array "), QStringLiteral("  "), QStringLiteral("a\u00A0b")});
    row("empty last lines", {QStringLiteral("endglobals"), QString(), QString()});
    row("control characters", {QStringLiteral("a\rb\u0001c"), QStringLiteral("\u2028\u00AD")});
    row("empty", {});
    QTest::newRow("final line feed")
        << QStringLiteral("a\n") << QStringList{QStringLiteral("a"), QString()};
    QTest::newRow("only line feeds")
        << QStringLiteral("\n\n") << QStringList{QString(), QString(), QString()};
    // A carriage return is a character of the line, shown and copied as is.
    QTest::newRow("carriage return kept")
        << QStringLiteral("a\r\nbc\r")
        << QStringList{QStringLiteral("a\r"), QStringLiteral("bc\r")};
}

void TestTForm4::codeTextRoundTrips()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    TForm4 w;
    w.setCodeText(text);
    QCOMPARE(w.Code->lines(), lines);
    QCOMPARE(w.Code->text(), text);
    QCOMPARE(w.Code->lineCount(), std::max<int>(1, int(lines.size())));
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(w.Code->line(i), lines[i]);
}

void TestTForm4::newTextResetsCaretAndScrolling()
{
    TForm4 w;
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << numberedLine(i) + QString(i % 7 * 40, QLatin1Char('-'));
    QVERIFY(showWith(w, many));
    QTest::keyClick(w.Code, Qt::Key_End, kCtrl);
    QVERIFY(w.Code->verticalScrollBar()->value() > 0);
    QVERIFY(w.Code->horizontalScrollBar()->value() > 0);

    const QStringList second{QStringLiteral("globals"), QStringLiteral("endglobals")};
    w.setCodeText(second.join('\n'));
    QCOMPARE(w.Code->lines(), second);
    QCOMPARE(w.Code->caretLine(), 0);
    QCOMPARE(w.Code->caretIndex(), 0);
    QVERIFY(!w.Code->hasSelection());
    QCOMPARE(w.Code->verticalScrollBar()->value(), 0);
    QCOMPARE(w.Code->horizontalScrollBar()->value(), 0);
    QCOMPARE(w.Code->verticalScrollBar()->maximum(), 0);

    // Empty text over a selection leaves nothing to select.
    QTest::keyClick(w.Code, Qt::Key_A, kCtrl);
    w.setCodeText(QString());
    QCOMPARE(w.Code->lines(), QStringList());
    QCOMPARE(w.Code->lineCount(), 1);
    QVERIFY(!w.Code->hasSelection());
    QCOMPARE(w.Code->verticalScrollBar()->maximum(), 0);
    QCOMPARE(w.Code->horizontalScrollBar()->maximum(), 0);
    press(w.Code, "Ctrl+A Ctrl+Shift+End Shift+Down");
    drag(w.Code, cellPoint(w.Code, 0, 0), cellPoint(w.Code, 2, 9));
    QCOMPARE(w.Code->caretLine(), 0);
    QCOMPARE(w.Code->caretIndex(), 0);
    QCOMPARE(copied(w.Code), kUntouched);
    w.setCodeText(QString());
    QCOMPARE(w.Code->lines(), QStringList());
}

void TestTForm4::typingChangesNothing()
{
    TForm4 w;
    QVERIFY(showWith(w, sampleLines()));
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClicks(w.Code, QStringLiteral("typed text"));
    press(w.Code, "Return Backspace Delete Ctrl+V Shift+Insert");
    QCOMPARE(w.Code->lines(), sampleLines());
    // Over a selection too: nothing is cut or replaced.
    press(w.Code, "Ctrl+A Ctrl+X Delete");
    QTest::keyClicks(w.Code, QStringLiteral("q"));
    QCOMPARE(w.Code->lines(), sampleLines());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pasted"));
    QCOMPARE(w.Code->selectedText(), sampleLines().join(QLatin1Char('\n')));
}

void TestTForm4::copyTakesExactlyTheSelection_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("shiftRights"); // 0: Ctrl+A
    QTest::addColumn<QKeySequence>("copyKeys");
    QTest::addColumn<QString>("copied");
    const QKeySequence ctrlC(Qt::CTRL | Qt::Key_C);
    const QKeySequence ctrlInsert(Qt::CTRL | Qt::Key_Insert);
    // The copy holds exactly the characters shown, no-break spaces included.
    const QStringList spaced{QStringLiteral("a\u00A0b"), QString(),
                             QStringLiteral("\u00A0 \u00A0")};
    QTest::newRow("whole, no-break spaces")
        << spaced << 0 << ctrlC << spaced.join(QLatin1Char('\n'));
    QTest::newRow("part across a line break")
        << spaced << 6 << ctrlC << QStringLiteral("a\u00A0b\n\n\u00A0");
    QTest::newRow("Ctrl+Insert") << spaced << 4 << ctrlInsert << QStringLiteral("a\u00A0b\n");
    QTest::newRow("Ctrl+Insert, whole")
        << mixedLines() << 0 << ctrlInsert << mixedLines().join(QLatin1Char('\n'));
    QTest::newRow("nothing selected") << spaced << -1 << ctrlC << kUntouched;
}

void TestTForm4::copyTakesExactlyTheSelection()
{
    QFETCH(QStringList, lines);
    QFETCH(int, shiftRights);
    QFETCH(QKeySequence, copyKeys);
    QFETCH(QString, copied);
    TForm4 w;
    QVERIFY(showWith(w, lines));
    if (shiftRights == 0)
        QTest::keyClick(w.Code, Qt::Key_A, kCtrl);
    for (int i = 0; i < shiftRights; ++i)
        QTest::keyClick(w.Code, Qt::Key_Right, kShift);
    QCOMPARE(::copied(w.Code, copyKeys), copied);
}

void TestTForm4::keyboardSelection_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("caretLine");
    QTest::addColumn<int>("caretIndex");
    const QString all = mixedLines().join(QLatin1Char('\n'));
    const auto row = [](const char *name, const char *keys, const QString &selected, int line,
                        int index) {
        QTest::newRow(name) << QString::fromLatin1(keys) << selected << line << index;
    };
    row("Shift+Right", "Shift+Right*3", QStringLiteral("glo"), 0, 3);
    row("Shift+End", "Right Shift+End", QStringLiteral("lobals"), 0, 7);
    row("Shift+Left over the line break", "Down Shift+Left", QStringLiteral("\n"), 0, 7);
    // Down keeps the column across the empty line.
    row("Shift+Down keeps the column", "Right*2 Shift+Down*3",
        QStringLiteral("obals\n BUTTON array ButtonVar\n\n c"), 3, 2);
    row("Shift+Home over a tab and a no-break space", "Down*4 End Shift+Home",
        QStringLiteral("\tif a\u00A0b then"), 4, 0);
    // The tab fills columns 0 to 7: column 11 of the line above is its a.
    row("Shift+Down onto a tab line", "Down*3 Right*11 Shift+Down",
        QStringLiteral("xtTagText(TextVar[1].text,\"Привет\",0.0184)\n\tif "), 4, 4);
    // The end of the tab line is column 19.
    row("Shift+Up from a tab line", "Down*4 End Shift+Up",
        QStringLiteral("t(TextVar[1].text,\"Привет\",0.0184)\n\tif a\u00A0b then"), 3, 19);
    row("Shift+Right over a surrogate pair", "Ctrl+End Home Right Shift+Right",
        QStringLiteral("\U0001F600"), 5, 3);
    row("Shift+Left back over a surrogate pair", "Ctrl+End Home Right*3 Shift+Left*2",
        QStringLiteral("\U0001F600b"), 5, 1);
    row("Ctrl+Shift+Right by words", "Down Ctrl+Shift+Right*2", QStringLiteral(" BUTTON "), 1, 8);
    row("Ctrl+Shift+Left by words", "Down End Ctrl+Shift+Left*2", QStringLiteral("array ButtonVar"),
        1, 8);
    row("Ctrl+Shift+End from inside a line", "Down Right*3 Ctrl+Shift+End", all.mid(11), 5, 16);
    row("Ctrl+End then Ctrl+Shift+Home", "Ctrl+End Ctrl+Shift+Home", all, 0, 0);
    // Moving without Shift drops the selection at its far end.
    row("Right ends a selection at its end", "Shift+Right*3 Right Shift+Right", QStringLiteral("b"),
        0, 4);
    row("Left ends a selection at its start", "Down Shift+End Left Shift+Left",
        QStringLiteral("\n"), 0, 7);
    row("Up on the first line goes to its start", "End Shift+Up", QStringLiteral("globals"), 0, 0);
    row("Down on the last line goes to its end", "Ctrl+End Home Right Shift+Down",
        QStringLiteral("\U0001F600b endfunction"), 5, 16);
}

void TestTForm4::keyboardSelection()
{
    QFETCH(QString, keys);
    QFETCH(QString, selected);
    QFETCH(int, caretLine);
    QFETCH(int, caretIndex);
    TForm4 w;
    QVERIFY(showWith(w, mixedLines()));
    press(w.Code, keys);
    QCOMPARE(copied(w.Code), selected);
    QCOMPARE(w.Code->caretLine(), caretLine);
    QCOMPARE(w.Code->caretIndex(), caretIndex);
}

void TestTForm4::mouseDragSelection_data()
{
    QTest::addColumn<QPoint>("from"); // line, column
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QString>("selected");
    QTest::newRow("in one line") << QPoint(0, 1) << QPoint(0, 5) << QStringLiteral("loba");
    QTest::newRow("backwards over three lines")
        << QPoint(3, 10) << QPoint(1, 3) << QStringLiteral("TTON array ButtonVar\n\n call SetT");
    QTest::newRow("Cyrillic word") << QPoint(3, 38) << QPoint(3, 44) << QStringLiteral("Привет");
    // The tab fills columns 0 to 7: a press in its right half lands after it.
    QTest::newRow("from inside a tab")
        << QPoint(4, 5) << QPoint(4, 13) << QStringLiteral("if a\u00A0");
    QTest::newRow("from the left half of a tab")
        << QPoint(4, 2) << QPoint(4, 9) << QStringLiteral("\ti");
    QTest::newRow("past the end of the line")
        << QPoint(0, 3) << QPoint(1, 60) << QStringLiteral("bals\n BUTTON array ButtonVar");
    QTest::newRow("after a surrogate pair")
        << QPoint(5, 0) << QPoint(5, 2) << QStringLiteral("a\U0001F600");
}

void TestTForm4::mouseDragSelection()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QString, selected);
    TForm4 w;
    QVERIFY(showWith(w, mixedLines()));
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection())
        clipboard->setText(kUntouched, QClipboard::Selection);
    drag(w.Code, cellPoint(w.Code, from.x(), from.y()), cellPoint(w.Code, to.x(), to.y()));
    QCOMPARE(w.Code->selectedText(), selected);
    QCOMPARE(w.Code->caretLine(), to.x());
    QCOMPARE(w.Code->anchorLine(), from.x());
    // As in other text fields, a mouse selection is offered for middle-click
    // pasting where the system has such a clipboard.
    if (clipboard->supportsSelection())
        QCOMPARE(clipboard->text(QClipboard::Selection), selected);
    QCOMPARE(copied(w.Code), selected);
}

void TestTForm4::shiftClickExtendsSelection()
{
    TForm4 w;
    QVERIFY(showWith(w, mixedLines()));
    QWidget *port = w.Code->viewport();
    QTest::mouseClick(port, Qt::LeftButton, {}, cellPoint(w.Code, 1, 8));
    QTest::mouseClick(port, Qt::LeftButton, kShift, cellPoint(w.Code, 3, 5));
    QCOMPARE(copied(w.Code), QStringLiteral("array ButtonVar\n\n call"));
    // A second Shift+click moves the same end; the first stays.
    QTest::mouseClick(port, Qt::LeftButton, kShift, cellPoint(w.Code, 0, 4));
    QCOMPARE(copied(w.Code), QStringLiteral("als\n BUTTON "));
    QCOMPARE(w.Code->anchorLine(), 1);
    QCOMPARE(w.Code->anchorIndex(), 8);
    // Shift+arrows go on from the clicked selection.
    QTest::keyClick(w.Code, Qt::Key_Right, kShift);
    QCOMPARE(copied(w.Code), QStringLiteral("ls\n BUTTON "));
    // A plain click drops it.
    QTest::mouseClick(port, Qt::LeftButton, {}, cellPoint(w.Code, 0, 2));
    QVERIFY(!w.Code->hasSelection());
    QCOMPARE(copied(w.Code), kUntouched);
}

void TestTForm4::doubleClickSelectsWord_data()
{
    QTest::addColumn<QPoint>("at"); // line, column
    QTest::addColumn<QString>("word");
    QTest::newRow("in a word") << QPoint(1, 3) << QStringLiteral("BUTTON");
    QTest::newRow("word end") << QPoint(1, 22) << QStringLiteral("ButtonVar");
    QTest::newRow("Cyrillic") << QPoint(3, 41) << QStringLiteral("Привет");
    QTest::newRow("digits") << QPoint(3, 50) << QStringLiteral("0184");
    QTest::newRow("punctuation alone") << QPoint(3, 28) << QStringLiteral("[");
    QTest::newRow("spaces") << QPoint(6, 3) << QStringLiteral("   ");
    QTest::newRow("past the line end") << QPoint(0, 30) << QStringLiteral("globals");
}

void TestTForm4::doubleClickSelectsWord()
{
    QFETCH(QPoint, at);
    QFETCH(QString, word);
    TForm4 w;
    QStringList lines = sampleLines();
    lines << QString() << QStringLiteral("if   x_1");
    QVERIFY(showWith(w, lines));
    const QPoint point = cellPoint(w.Code, at.x(), at.y(), 0.6);
    QTest::mouseDClick(w.Code->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseRelease(w.Code->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(copied(w.Code), word);
    if (QGuiApplication::clipboard()->supportsSelection())
        QCOMPARE(QGuiApplication::clipboard()->text(QClipboard::Selection), word);
}

void TestTForm4::clickLandsOnTheColumnUnderThePointer_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<qreal>("column"); // in columns, fractions too
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("nextCharacter"); // what Shift+Right then selects
    // Line 0 "\tЖук\tx": the tab fills columns 0-7, Ж 8, у 9, к 10, the
    // second tab 11-15, x 16.
    QTest::newRow("left half of a tab") << 0 << 3.2 << 0 << QStringLiteral("\t");
    QTest::newRow("right half of a tab") << 0 << 4.5 << 1 << QStringLiteral("Ж");
    QTest::newRow("left half of у") << 0 << 9.3 << 2 << QStringLiteral("у");
    QTest::newRow("right half of у") << 0 << 9.7 << 3 << QStringLiteral("к");
    QTest::newRow("short tab, left") << 0 << 13.2 << 4 << QStringLiteral("\t");
    QTest::newRow("short tab, right") << 0 << 13.8 << 5 << QStringLiteral("x");
    QTest::newRow("past the end") << 0 << 30.0 << 6 << QStringLiteral("\n");
    // Line 1 "ab\tc": the tab fills columns 2-7.
    QTest::newRow("after ab") << 1 << 2.2 << 2 << QStringLiteral("\t");
    QTest::newRow("c after a short tab") << 1 << 8.1 << 3 << QStringLiteral("c");
    // Line 2 "Щит\t\t;": tabs 3-7 and 8-15, ';' at 16.
    QTest::newRow("between two tabs") << 2 << 8.4 << 4 << QStringLiteral("\t");
    QTest::newRow("after two tabs") << 2 << 16.3 << 5 << QStringLiteral(";");
    QTest::newRow("left of the text") << 2 << -0.4 << 0 << QStringLiteral("Щ");
    // Line 3 "a\u0001b\u2028c\td": control characters one column each, the
    // tab 5-7, d at 8.
    QTest::newRow("control character") << 3 << 1.3 << 1 << QStringLiteral("\u0001");
    QTest::newRow("line separator") << 3 << 3.2 << 3 << QStringLiteral("\u2028");
    QTest::newRow("after control characters") << 3 << 8.3 << 6 << QStringLiteral("d");
}

void TestTForm4::clickLandsOnTheColumnUnderThePointer()
{
    QFETCH(int, line);
    QFETCH(qreal, column);
    QFETCH(int, index);
    QFETCH(QString, nextCharacter);
    TForm4 w;
    QVERIFY(showWith(w, {QStringLiteral("\tЖук\tx"), QStringLiteral("ab\tc"),
                         QStringLiteral("Щит\t\t;"), QStringLiteral("a\u0001b\u2028c\td")}));
    const QPoint point = cellPoint(w.Code, line, 0, column);
    QTest::mouseClick(w.Code->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(w.Code->caretLine(), line);
    QCOMPARE(w.Code->caretIndex(), index);
    QTest::keyClick(w.Code, Qt::Key_Right, kShift);
    QCOMPARE(copied(w.Code), nextCharacter);
}

void TestTForm4::dragPastTheBottomScrollsAlong()
{
    TForm4 w;
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << numberedLine(i);
    QVERIFY(showWith(w, lines));
    CodeView *v = w.Code;
    QScrollBar *bar = v->verticalScrollBar();
    QWidget *port = v->viewport();
    QTest::mousePress(port, Qt::LeftButton, {}, cellPoint(v, 2, 0));
    QTest::mouseMove(port, QPoint(20, port->height() + v->lineHeight()));
    QVERIFY(bar->value() > 0);
    // The line reached is the last one in full sight.
    const int reached = v->caretLine();
    QCOMPARE(reached, bar->value() + bar->pageStep() - 1);
    QTest::mouseMove(port, QPoint(20, port->height() + 3 * v->lineHeight()));
    QVERIFY(v->caretLine() > reached);
    QCOMPARE(v->caretLine(), bar->value() + bar->pageStep() - 1);
    const int end = v->caretLine();
    QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(20, port->height() + 3 * v->lineHeight()));
    const int index = v->caretIndex();
    QCOMPARE(copied(v), lines.mid(2, end - 2).join(QLatin1Char('\n')) + QLatin1Char('\n') +
                            lines[end].left(index));

    // And back up just above the top: one line up.
    const int first = bar->value();
    QTest::mousePress(port, Qt::LeftButton, {}, cellPoint(v, first + 1, 1));
    QTest::mouseMove(port, QPoint(20, -v->lineHeight() / 4));
    QCOMPARE(bar->value(), first - 1);
    QCOMPARE(v->caretLine(), first - 1);
    QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(20, -v->lineHeight() / 4));
    QCOMPARE(copied(v), lines[first - 1].mid(2) + QLatin1Char('\n') + lines[first] +
                            QLatin1Char('\n') + lines[first + 1].left(1));
}

void TestTForm4::longLinesAreNotWrapped()
{
    TForm4 w;
    QString longLine = QStringLiteral("call Foo(");
    for (int i = 0; i < 300; ++i)
        longLine += QString::number(i * 13 % 97) + QLatin1Char(',');
    QVERIFY(showWith(w, {QStringLiteral("short"), longLine, QStringLiteral("end")}));
    CodeView *v = w.Code;
    QCOMPARE(v->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(v->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(v->horizontalScrollBar()->isVisible());
    QVERIFY(v->verticalScrollBar()->isVisible());
    QCOMPARE(v->lineCount(), 3);
    QScrollBar *bar = v->horizontalScrollBar();
    QVERIFY(bar->maximum() + v->viewport()->width() >= longLine.size() * v->columnWidth());

    // End of the long line: the view scrolls right to its end, fully.
    QTest::keyClick(v, Qt::Key_Down);
    QTest::keyClick(v, Qt::Key_End);
    QCOMPARE(bar->value(), bar->maximum());
    const QPoint end = cellPoint(v, 1, int(longLine.size()), 0);
    QVERIFY(end.x() > 0 && end.x() < v->viewport()->width());
    // The last character is there to click on.
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cellPoint(v, 1, int(longLine.size()) - 1));
    QCOMPARE(v->caretIndex(), longLine.size() - 1);
    QTest::keyClick(v, Qt::Key_End, kShift);
    QCOMPARE(copied(v), QStringLiteral(","));
    QTest::keyClick(v, Qt::Key_Home);
    QCOMPARE(bar->value(), 0);
    // Down to a short line brings the view back left.
    QTest::keyClick(v, Qt::Key_End);
    QTest::keyClick(v, Qt::Key_Down);
    QCOMPARE(v->caretIndex(), 3);
    QCOMPARE(bar->value(), 0);
}

void TestTForm4::horizontalRangeCountsTabColumns_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("columns"); // of the widest line
    QTest::newRow("tabs at the end")
        << QStringList{QString(83, QLatin1Char('x')) + QStringLiteral("\t\t\tx")} << 105;
    QTest::newRow("short tab") << QStringList{QStringLiteral("ab\tc") +
                                              QString(100, QLatin1Char('y'))}
                               << 109;
    QTest::newRow("Cyrillic and tab")
        << QStringList{QStringLiteral("Привет\tмир") + QString(90, QLatin1Char('z'))} << 101;
    QTest::newRow("no-break spaces") << QStringList{QString(95, QChar(0x00A0))} << 95;
    QTest::newRow("widest in the middle")
        << QStringList{QString(70, QLatin1Char('a')), QString(12, QLatin1Char('\t')),
                       QStringLiteral("end")}
        << 96;
}

void TestTForm4::horizontalRangeCountsTabColumns()
{
    QFETCH(QStringList, lines);
    QFETCH(int, columns);
    TForm4 w;
    QVERIFY(showWith(w, lines));
    TForm4 plain;
    QVERIFY(showWith(plain, {QString(columns, QLatin1Char('x'))}));
    QVERIFY(plain.Code->horizontalScrollBar()->maximum() > 0);
    QCOMPARE(w.Code->horizontalScrollBar()->maximum(),
             plain.Code->horizontalScrollBar()->maximum());
}

void TestTForm4::hundredThousandLinesReachTheLast()
{
    constexpr int kLines = 100000;
    QStringList lines;
    for (int i = 0; i < kLines; ++i)
        lines << numberedLine(i);
    TForm4 w;
    QVERIFY(showWith(w, lines));
    CodeView *v = w.Code;
    QCOMPARE(v->lineCount(), kLines);
    QScrollBar *bar = v->verticalScrollBar();
    // The range covers every line: at its end the last page is in sight.
    QCOMPARE(bar->maximum() + bar->pageStep(), kLines);
    QVERIFY(bar->pageStep() > 5);

    // A page down moves the caret and the view by a page.
    press(v, "Right*2 Shift+PgDown");
    const int page = bar->pageStep();
    QCOMPARE(v->caretLine(), page);
    QCOMPARE(v->caretIndex(), 2);
    QCOMPARE(bar->value(), page);
    QCOMPARE(copied(v), (lines.mid(0, page) << lines[page].left(2)).join('\n').mid(2));
    QTest::keyClick(v, Qt::Key_PageUp, kShift);
    QCOMPARE(v->caretLine(), 0);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(copied(v), kUntouched);

    // To the bottom, then the last line by keyboard.
    QTest::keyClick(v, Qt::Key_End, kCtrl);
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(v->caretLine(), kLines - 1);
    QTest::keyClick(v, Qt::Key_Home, kShift);
    QCOMPARE(copied(v), QStringLiteral("L99999 call Show(10)"));
    // The last line on the screen is the last line of the text.
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cellPoint(v, kLines - 1, 4));
    QCOMPARE(v->caretLine(), kLines - 1);
    QCOMPARE(v->caretIndex(), 4);
    QTest::keyClick(v, Qt::Key_Up, kShift);
    QCOMPARE(copied(v), QStringLiteral("98 call Show(3)\nL999"));
    QTest::keyClick(v, Qt::Key_Home, kCtrl);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(v->caretLine(), 0);
    QCOMPARE(v->caretIndex(), 0);
    // Down to the first line out of full sight scrolls by one line.
    for (int i = 0; i < page - 1; ++i)
        QTest::keyClick(v, Qt::Key_Down);
    QCOMPARE(bar->value(), 0);
    QTest::keyClick(v, Qt::Key_Down);
    QCOMPARE(v->caretLine(), page);
    QCOMPARE(bar->value(), 1);
}

void TestTForm4::selectionDrawnInPaletteColours()
{
    TForm4 w;
    QPalette palette = w.Code->palette();
    const QColor base(250, 244, 230), text(20, 40, 110), highlight(190, 30, 60),
        highlightedText(255, 255, 120);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, highlightedText);
    w.Code->setPalette(palette);
    QVERIFY(showWith(
        w, {QStringLiteral("WWWWWWWW"), QStringLiteral("MMMM"), QStringLiteral("\u0001 \u2028")}));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(w.Code, Qt::Key_Right, kShift);
    const QImage image = w.Code->viewport()->grab().toImage();
    const qreal column = w.Code->columnWidth();
    const int top = CodeView::kMargin;
    const int height = w.Code->lineHeight();
    const auto pixel = [&](qreal x, int y) {
        return image.pixelColor(qRound(CodeView::kMargin + x * column), y);
    };
    // The top row of the line is above the letters: plain background.
    QCOMPARE(pixel(1.5, top), highlight);
    QCOMPARE(pixel(5.5, top), base);
    QCOMPARE(pixel(1.5, top + height + 1), base);
    // The letters: highlighted text on the selection, text after it.
    int onSelection = 0, afterIt = 0, wrong = 0;
    for (int y = top; y < top + height; ++y) {
        for (qreal x = 0.1; x < 8; x += 0.1) {
            const QColor c = pixel(x, y);
            if (x < 2.7) { // clear of the caret at column 3
                onSelection += nearer(c, highlightedText, highlight);
                wrong += nearer(c, text, highlightedText) && nearer(c, text, highlight);
            } else if (x > 3.3) {
                afterIt += nearer(c, text, base);
                wrong += nearer(c, highlight, base) && nearer(c, highlight, text);
            }
        }
    }
    QVERIFY(onSelection > 20);
    QVERIFY(afterIt > 20);
    QCOMPARE(wrong, 0);
    // Control characters show as a mark in their column; the space between
    // them stays blank.
    const auto marked = [&](int columnIndex) {
        int count = 0;
        for (int y = top + 2 * height; y < top + 3 * height; ++y)
            for (qreal x = columnIndex + 0.05; x < columnIndex + 1; x += 0.1)
                count += nearer(pixel(x, y), text, base);
        return count;
    };
    QVERIFY(marked(0) > 10);
    QCOMPARE(marked(1), 0);
    QVERIFY(marked(2) > 10);
}

// Opens the view's context menu as the menu key does, and once it is up
// records its items and presses the keys on it.
QStringList useContextMenu(CodeView *v, const QList<Qt::Key> &presses)
{
    QStringList items;
    QTimer::singleShot(0, v, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (const QAction *a : menu->actions())
            items << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)"));
        for (Qt::Key key : presses)
            QTest::keyClick(menu, key);
        if (menu->isVisible())
            menu->close();
    });
    const QPoint at = cellPoint(v, 0, 2);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, v->viewport()->mapToGlobal(at));
    QApplication::sendEvent(v->viewport(), &event);
    return items;
}

void TestTForm4::contextMenuCopiesAndSelectsAll()
{
    TForm4 w;
    QVERIFY(showWith(w, sampleLines()));
    QTest::keyClick(w.Code, Qt::Key_Down);
    QTest::keyClick(w.Code, Qt::Key_End, kShift);
    QGuiApplication::clipboard()->setText(kUntouched);
    QCOMPARE(useContextMenu(w.Code, {Qt::Key_Down, Qt::Key_Return}),
             (QStringList{QStringLiteral("Копировать\tCtrl+C"),
                          QStringLiteral("Выделить все\tCtrl+A")}));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" BUTTON array ButtonVar"));

    // Without a selection Copy is off; the first item on is Select All.
    QTest::keyClick(w.Code, Qt::Key_Home);
    QCOMPARE(useContextMenu(w.Code, {Qt::Key_Down, Qt::Key_Return}),
             (QStringList{QStringLiteral("Копировать\tCtrl+C (off)"),
                          QStringLiteral("Выделить все\tCtrl+A")}));
    QCOMPARE(w.Code->selectedText(), sampleLines().join(QLatin1Char('\n')));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" BUTTON array ButtonVar"));
}

QTEST_MAIN(TestTForm4)
#include "tst_codegen_window.moc"
