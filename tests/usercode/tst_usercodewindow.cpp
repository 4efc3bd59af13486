#include "codegen/vjasshighlight.h"
#include "codegen/vjassreader.h"
#include "common/codefont.h"
#include "common/gui/findbar.h"
#include "common/gui/linegutter.h"
#include "filebytes.h"
#include "project/project.h"
#include "usercode/gui/tform3.h"

#include "scripteddialogs.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <memory>

using vell::Answer;

namespace {

const QString kCaption = QStringLiteral("Код пользователя");
const QString kReplaceQuestion = QStringLiteral("Вы действительно хотите заменить файл?");
const QString kFilter = QStringLiteral("JassCode (*.j)");

QStringList listEntries(const QListWidget *list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    return entries;
}

void typeText(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(w, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace

class TestUserCodeWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedDialogs> dlg;
    std::unique_ptr<vell::Project> project;
    std::unique_ptr<TForm3> w;
    std::unique_ptr<QTemporaryDir> dir;

    // Shows the window with the caret in the text area, as a user finds it.
    void open()
    {
        w->closeAndShow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->UserCode->setFocus();
    }
    QString path(const QString &name) const { return dir->filePath(name); }

private slots:
    void init()
    {
        dlg = std::make_unique<ScriptedDialogs>();
        project = std::make_unique<vell::Project>();
        w = std::make_unique<TForm3>(*project);
        dir = std::make_unique<QTemporaryDir>();
        open();
    }
    void cleanup()
    {
        w.reset();
        project.reset();
        dlg.reset();
        dir.reset();
    }

    void windowAtStart()
    {
        QCOMPARE(w->windowTitle(), kCaption);
        QCOMPARE(w->frameGeometry().size(), QSize(631, 431));
        QCOMPARE(w->FuncList->width(), 143);
        QVERIFY(w->FuncList->geometry().right() >= w->centralWidget()->width() - 1);
        QCOMPARE(w->UserCode->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(w->UserCode->viewport()->cursor().shape(), Qt::IBeamCursor);
        QCOMPARE(w->userCodeLines(), QStringList());

        QStringList menus;
        for (QAction *m : w->menuBar()->actions()) {
            menus << m->text();
            for (QAction *a : m->menu()->actions())
                menus << (a->isSeparator() ? QStringLiteral("-")
                                           : a->text() + "\t" + a->shortcut().toString());
        }
        QCOMPARE(menus, QStringList({"Файл", "Сохранить\tCtrl+S", "Сохранить как...\tCtrl+Alt+S",
                                     "Загрузить\tCtrl+O", "-", "Очистить\tCtrl+Del", "Правка",
                                     "Отмена\tCtrl+Z", "-", "Найти…\tCtrl+F", "Найти далее\tF3",
                                     "Найти ранее\tShift+F3", "Перейти к строке…\tCtrl+G"}));
        QCOMPARE(w->findChild<QToolButton *>("TBSave")->toolTip(),
                 QStringLiteral("Сохранить код в файл"));
        QCOMPARE(w->findChild<QToolButton *>("TBLoad")->toolTip(), QStringLiteral("Загрузить код"));
        QCOMPARE(w->findChild<QToolButton *>("TBUndo")->toolTip(), QStringLiteral("Отменить"));

        // The bundled monospace font of the code view: Cyrillic, digits and
        // spaces line up in columns.
        QCOMPARE(w->UserCode->font(), vell::CodeFont());
        const QFontMetricsF metrics(w->UserCode->font());
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("Жук 1")),
                 5 * metrics.horizontalAdvance(QLatin1Char('x')));
        // Closed, it comes back on the next use.
        w->close();
        w->closeAndShow();
        QVERIFY(w->isVisible());
    }

    // Colours, the caret's line, a syntax error in the gutter once the keys
    // pause, the find bar and going to a line; the text only changes by keys.
    void coloursErrorsFindAndGoToLine()
    {
        typeText(w->UserCode, "function F takes nothing returns nothing\n set x = \nendfunction");
        const QTextLayout *header = w->UserCode->document()->firstBlock().layout();
        QCOMPARE(header->formats().size(), 5);
        QCOMPARE(header->formats()[3].start, 25);
        QCOMPARE(header->formats()[3].length, 7);
        QCOMPARE(header->formats()[3].format.foreground().color(),
                 vell::HighlightColor(vell::HighlightKind::Keyword));
        QCOMPARE(header->formats()[4].format.foreground().color(),
                 vell::HighlightColor(vell::HighlightKind::TypeName));
        const auto marked = w->UserCode->extraSelections();
        QCOMPARE(marked.size(), 1);
        QCOMPARE(marked[0].cursor.blockNumber(), 2);
        QCOMPARE(marked[0].format.background().color(), vell::CurrentLineBackground());

        const vell::VjassError error = vell::ReadVjass(w->userCodeLines()).errors.value(0);
        QCOMPARE(error.line, 1);
        QCOMPARE(w->lineError(1), QString());
        QTRY_COMPARE(w->lineError(1),
                     QString("Строка 2, столбец %1: %2").arg(error.column + 1).arg(error.expected));
        QCOMPARE(w->lineError(0), QString());
        const int rowTop =
            w->UserCode->cursorRect(QTextCursor(w->UserCode->document()->findBlockByNumber(1)))
                .top();
        QHelpEvent help(QEvent::ToolTip, QPoint(2, rowTop + 3),
                        w->Gutter->mapToGlobal(QPoint(2, rowTop + 3)));
        QApplication::sendEvent(w->Gutter, &help);
        QCOMPARE(QToolTip::text(), w->lineError(1));
        QTest::keyClick(w->UserCode, Qt::Key_Up);
        QTest::keyClick(w->UserCode, Qt::Key_End);
        typeText(w->UserCode, "1");
        QTRY_COMPARE(w->lineError(1), QString());

        QTest::keyClick(w->UserCode, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w->Find->isVisible());
        QTest::keyClicks(w->Find->Needle, "NOTHING");
        QCOMPARE(w->Find->Count->text(), "2 совпадения");
        QCOMPARE(w->UserCode->textCursor().selectionStart(), 17);
        QTest::keyClick(w->Find->Needle, Qt::Key_F3);
        QCOMPARE(w->UserCode->textCursor().selectionStart(), 33);
        QCOMPARE(w->Find->Wrapped->text(), "");
        QTest::keyClick(w->UserCode, Qt::Key_F3);
        QCOMPARE(w->UserCode->textCursor().selectedText(), "nothing");
        QCOMPARE(w->UserCode->textCursor().selectionStart(), 17);
        QCOMPARE(w->Find->Wrapped->text(), "Поиск продолжен с начала");
        QTest::keyClick(w->Find->Needle, Qt::Key_Escape);
        QVERIFY(!w->Find->isVisible());
        QVERIFY(w->UserCode->hasFocus());
        QCOMPARE(w->userCodeLines(), QStringList({"function F takes nothing returns nothing",
                                                  " set x = 1", "endfunction"}));

        dlg->numbers = {2, 50};
        QTest::keyClick(w->UserCode, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(w->UserCode->textCursor().blockNumber(), 1);
        QTest::keyClick(w->UserCode, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(w->UserCode->textCursor().blockNumber(), 2);
        QCOMPARE(dlg->numberLabels, QStringList(2, "Номер строки (1–3):"));

        QTest::keyClick(w->UserCode, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w->UserCode, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList("text/plain"));
    }

    void typingListsFunctions()
    {
        QSignalSpy edited(w.get(), &TForm3::userCodeEdited);
        typeText(w->UserCode, "function Foo takes nothing returns nothing\nendfunction\n"
                              "function  Hidden\n function Indented\nfunction Bar");
        QCOMPARE(listEntries(w->FuncList), QStringList({"Foo", "Bar"}));
        QVERIFY(edited.count() > 0);
        QCOMPARE(w->userCodeLines(),
                 QStringList({"function Foo takes nothing returns nothing", "endfunction",
                              "function  Hidden", " function Indented", "function Bar"}));
        // Editing a header's name shows at once.
        QTest::keyClick(w->UserCode, Qt::Key_Backspace);
        QCOMPARE(listEntries(w->FuncList), QStringList({"Foo", "Ba"}));
        // Shift+Enter starts a new line like Enter does.
        QTest::keyClick(w->UserCode, Qt::Key_Return, Qt::ShiftModifier);
        typeText(w->UserCode, "function Baz");
        QCOMPARE(listEntries(w->FuncList), QStringList({"Foo", "Ba", "Baz"}));
        // Code the program adds starts on a line of its own.
        project->appendUserCodeLines({"", "y"});
        QCOMPARE(w->userCodeLines().mid(5), QStringList({"function Baz", "", "y"}));
    }

    void programmaticCallsAreNotUserEdits()
    {
        QSignalSpy edited(w.get(), &TForm3::userCodeEdited);
        project->appendUserCodeLines({"function A", "endfunction"});
        project->appendUserCodeLines({"function B", "endfunction"});
        project->OnMainFunc();
        project->RemoveFunc("A");
        QCOMPARE(edited.count(), 0);
        QCOMPARE(listEntries(w->FuncList), QStringList({"ECHO", "B"}));
        // The editor shows the project's own text: nothing to copy back.
        QCOMPARE(w->UserCode->document(), project->userCode());
        QVERIFY(!project->ProjectModified());
        const QString before = project->userCodeLines().join(u'\n');
        w->UserCode->moveCursor(QTextCursor::Start);
        typeText(w->UserCode, "x");
        QCOMPARE(edited.count(), 1);
        QVERIFY(project->ProjectModified());
        QCOMPARE(project->userCodeLines().join(u'\n'), u'x' + before);
    }

    void doubleClickPutsCaretOnHeader()
    {
        project->appendUserCodeLines({"globals", "endglobals", "function F takes nothing",
                                      "endfunction", "function G", "  call F()", "endfunction",
                                      "function F takes integer i", "endfunction"});
        QCOMPARE(listEntries(w->FuncList), QStringList({"F", "G", "F"}));
        // Below the entries, with none selected, nothing happens.
        w->FuncList->setFocus();
        const QPoint below =
            w->FuncList->visualItemRect(w->FuncList->item(0)).center() + QPoint(0, 100);
        QTest::mouseDClick(w->FuncList->viewport(), Qt::LeftButton, {}, below);
        QVERIFY(!w->UserCode->hasFocus());

        const QList<std::pair<int, int>> entryToLine{{1, 4}, {2, 2}, {0, 2}};
        for (const auto &[entry, line] : entryToLine) {
            w->FuncList->setFocus();
            QListWidgetItem *item = w->FuncList->item(entry);
            QTest::mouseDClick(w->FuncList->viewport(), Qt::LeftButton, {},
                               w->FuncList->visualItemRect(item).center());
            QVERIFY(w->UserCode->hasFocus());
            QCOMPARE(w->UserCode->textCursor().blockNumber(), line);
            QCOMPARE(w->UserCode->textCursor().positionInBlock(), 0);
        }
    }

    void echoOnlyWhenTheUserCodeHasNone()
    {
        typeText(w->UserCode, "function A\nendfunction\n");
        project->OnMainFunc();
        const QStringList echo{"function ECHO takes string msg returns nothing",
                               " call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)",
                               "endfunction"};
        QCOMPARE(w->userCodeLines(), echo + QStringList({"function A", "endfunction"}));
        project->OnMainFunc();
        QCOMPARE(w->userCodeLines().count(), 5);

        // After "Очистить" the next message action brings it back.
        QTest::keyClick(w->UserCode, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(w->userCodeLines(), QStringList());
        project->OnMainFunc();
        QCOMPARE(w->userCodeLines(), echo);
        // One the user typed or loaded (also below other code) is not doubled.
        project->RemoveFunc("ECHO");
        typeText(w->UserCode,
                 "function B\nendfunction\nfunction ECHO takes nothing\nendfunction\n");
        project->OnMainFunc();
        QCOMPARE(w->userCodeLines().size(), 4);
        QCOMPARE(w->userCodeLines().first(), QStringLiteral("function B"));
    }

    // "Очистить" keeps the caption and the path; undo brings the text back.
    void clearKeepsCaptionAndPathAndUndoes()
    {
        dlg->fileNames = {path("code")};
        typeText(w->UserCode, "function Kept");
        QTest::keyClick(w->UserCode, Qt::Key_S, Qt::ControlModifier);
        const QString caption = w->windowTitle();
        QSignalSpy edited(w.get(), &TForm3::userCodeEdited);
        w->findChild<QAction *>("N6")->trigger();
        QCOMPARE(w->UserCode->toPlainText(), QString());
        QCOMPARE(edited.count(), 1);
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->userCodeFileName(), path("code.j"));
        QTest::mouseClick(w->findChild<QToolButton *>("TBUndo"), Qt::LeftButton);
        QCOMPARE(w->userCodeLines(), QStringList({"function Kept"}));
        QTest::mouseClick(w->findChild<QToolButton *>("TBUndo"), Qt::LeftButton);
        QCOMPARE(w->userCodeLines(), QStringList());
    }

    void undoIsSingleLevel()
    {
        typeText(w->UserCode, "abc");
        QTest::keyClick(w->UserCode, Qt::Key_Return);
        typeText(w->UserCode, "function Second");
        QCOMPARE(listEntries(w->FuncList), QStringList({"Second"}));
        QSignalSpy edited(w.get(), &TForm3::userCodeEdited);

        QTest::keyClick(w->UserCode, Qt::Key_Z, Qt::ControlModifier);
        const QString once = w->UserCode->toPlainText();
        QVERIFY(once.startsWith("abc"));
        QVERIFY(!once.contains("Second"));
        QCOMPARE(listEntries(w->FuncList), QStringList());

        QTest::keyClick(w->UserCode, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w->UserCode->toPlainText(), QStringLiteral("abc\nfunction Second"));
        QCOMPARE(listEntries(w->FuncList), QStringList({"Second"}));

        QTest::keyClick(w->UserCode, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w->UserCode->toPlainText(), once);
        QCOMPARE(edited.count(), 3);
    }

    void refusesCharactersTheFileCannotHold()
    {
        typeText(w->UserCode, "Ж");
        typeText(w->UserCode, QString(QChar(0x4E2D)));
        QCOMPARE(w->UserCode->toPlainText(), QStringLiteral("Ж"));
        QCOMPARE(dlg->errors.size(), 1);
        QVERIFY(dlg->errors[0].endsWith(QChar(0x4E2D)));

        QGuiApplication::clipboard()->setText(QStringLiteral("ok ") + QChar(0x2603));
        QTest::keyClick(w->UserCode, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w->UserCode->toPlainText(), QStringLiteral("Ж"));
        QCOMPARE(dlg->errors.size(), 2);

        // A NUL would be saved and then cut the text when read back.
        QGuiApplication::clipboard()->setText(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
        QTest::keyClick(w->UserCode, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w->UserCode->toPlainText(), QStringLiteral("Ж"));
        QCOMPARE(dlg->errors.size(), 3);
        QVERIFY2(dlg->errors[2].endsWith(QStringLiteral("U+0000")), qPrintable(dlg->errors[2]));

        // Tabs and line breaks are welcome, and a copy gives back exactly the
        // characters shown, no-break spaces included.
        QGuiApplication::clipboard()->setText(QStringLiteral("ok\t\u00a0№\r\nx"));
        QTest::keyClick(w->UserCode, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w->userCodeLines(), QStringList({"Жok\t\u00a0№", "x"}));
        QCOMPARE(dlg->errors.size(), 3);
        QTest::keyClick(w->UserCode, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w->UserCode, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Жok\t\u00a0№\nx"));
    }

    void saveLoadRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("saved");
        const QByteArray crlf = "function Hello takes nothing returns nothing\r\n"
                                " call ECHO(\"\xcf\xf0\xe8\xe2\xe5\xf2\")\r\n"
                                "endfunction\r\n";
        const QStringList crlfLines{"function Hello takes nothing returns nothing",
                                    " call ECHO(\"Привет\")", "endfunction"};
        QTest::newRow("CR LF and Cyrillic") << crlf << crlfLines << crlf;
        QTest::newRow("lone CR and LF")
            << QByteArray("a\rb\nc") << QStringList{"a", "b", "c"} << QByteArray("a\r\nb\r\nc\r\n");
        QTest::newRow("empty lines kept") << QByteArray("\r\nx\r\n\r\n") << QStringList{"", "x", ""}
                                          << QByteArray("\r\nx\r\n\r\n");
        QTest::newRow("no-break space and tab")
            << QByteArray("a\xa0\x62\tc\r\n") << QStringList{QStringLiteral("a\u00a0b\tc")}
            << QByteArray("a\xa0\x62\tc\r\n");
        QTest::newRow("empty file") << QByteArray() << QStringList{} << QByteArray();
    }
    void saveLoadRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, saved);
        typeText(w->UserCode, "old text");
        writeBytes(path("in.j"), bytes);
        QSignalSpy edited(w.get(), &TForm3::userCodeEdited);
        dlg->fileNames = {path("in.j")};
        QTest::keyClick(w->UserCode, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(dlg->fileFilters, QStringList({kFilter}));
        QCOMPARE(w->userCodeLines(), lines);
        QCOMPARE(w->windowTitle(), kCaption + " (" + path("in.j") + ")");
        QCOMPARE(edited.count(), 1);

        dlg->fileNames = {path("out.j")};
        QTest::keyClick(w->UserCode, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(readBytes(path("out.j")), saved);
        QCOMPARE(w->windowTitle(), kCaption + " (" + path("out.j") + ")");
    }

    void loadKeepsPathWithoutExtension()
    {
        writeBytes(path("plain.txt"), "x\r\n");
        dlg->fileNames = {path("plain.txt")};
        w->findChild<QToolButton *>("TBLoad")->click();
        QCOMPARE(w->windowTitle(), kCaption + " (" + path("plain.txt") + ")");
        typeText(w->UserCode, "y");
        w->findChild<QToolButton *>("TBSave")->click();
        QCOMPARE(dlg->fileFilters.size(), 1);
        QCOMPARE(readBytes(path("plain.txt")), QByteArray("yx\r\n"));
    }

    // A file that is missing or holds a NUL changes neither text nor caption.
    void loadFailureChangesNothing()
    {
        typeText(w->UserCode, "function Kept");
        writeBytes(path("nul.j"), QByteArray("a\r\nb\0c\r\n", 8));
        dlg->fileNames = {path("absent.j"), path("nul.j")};
        QTest::keyClick(w->UserCode, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(dlg->errors.size(), 1);
        QVERIFY2(dlg->errors[0].startsWith("Cannot open file \"" + path("absent.j") + "\". "),
                 qPrintable(dlg->errors[0]));
        QTest::keyClick(w->UserCode, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(dlg->errors.size(), 2);
        QCOMPARE(w->userCodeLines(), QStringList({"function Kept"}));
        QCOMPARE(w->windowTitle(), kCaption);
        QCOMPARE(w->userCodeFileName(), QString());
    }

    void saveAppendsExtension_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "name"
                                      << "name.j";
        QTest::newRow("upper-case J") << "name.J"
                                      << "name.J.j";
        QTest::newRow("already .j") << "name.j"
                                    << "name.j";
        QTest::newRow("other extension") << "name.txt"
                                         << "name.txt.j";
    }
    void saveAppendsExtension()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        typeText(w->UserCode, "function Saved");
        dlg->fileNames = {path(chosen)};
        QTest::keyClick(w->UserCode, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(dlg->fileFilters, QStringList({kFilter}));
        QCOMPARE(readBytes(path(written)), QByteArray("function Saved\r\n"));
        QCOMPARE(w->windowTitle(), kCaption + " (" + path(written) + ")");
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList({written}));
    }

    void cancelledSaveSaysNotSaved()
    {
        typeText(w->UserCode, "x");
        QTest::keyClick(w->UserCode, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(w->windowTitle(), kCaption + " (не сохранен)");
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList());
    }

    void saveAsQuestion_data()
    {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QByteArray>("other");
        QTest::addColumn<QString>("caption");
        const QString existing = kCaption + " (%1)";
        QTest::newRow("yes replaces")
            << QList<Answer>{Answer::Yes} << QStringList{"old.j"} << QByteArray("new\r\n")
            << QByteArray("<missing>") << "old.j";
        QTest::newRow("no asks again")
            << QList<Answer>{Answer::No} << QStringList{"old", "other"} << QByteArray("old\r\n")
            << QByteArray("new\r\n") << "other.j";
        QTest::newRow("no then cancelled dialog")
            << QList<Answer>{Answer::No} << QStringList{"old.j"} << QByteArray("old\r\n")
            << QByteArray("<missing>") << "";
        QTest::newRow("cancel") << QList<Answer>{Answer::Cancel} << QStringList{"old.j", "other"}
                                << QByteArray("old\r\n") << QByteArray("<missing>") << "";
    }
    void saveAsQuestion()
    {
        QFETCH(QList<Answer>, answers);
        QFETCH(QStringList, chosen);
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, other);
        QFETCH(QString, caption);
        writeBytes(path("old.j"), "old\r\n");
        typeText(w->UserCode, "new");
        for (Answer a : answers)
            dlg->answers.push_back(a);
        for (const QString &c : chosen)
            dlg->fileNames.push_back(path(c));
        w->findChild<QAction *>("N3")->trigger();
        QCOMPARE(dlg->questions, QStringList(answers.size(), kReplaceQuestion));
        QCOMPARE(readBytes(path("old.j")), existing);
        QCOMPARE(readBytes(path("other.j")), other);
        QCOMPARE(w->windowTitle(),
                 caption.isEmpty() ? kCaption : kCaption + " (" + path(caption) + ")");
    }

    void writeFailureKeepsCaptionAndPath()
    {
        typeText(w->UserCode, "x");
        const QString target = path("missing/code");
        dlg->fileNames = {target};
        QTest::keyClick(w->UserCode, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(dlg->errors.size(), 1);
        QVERIFY2(dlg->errors[0].startsWith("Cannot create file \"" + target + ".j\". "),
                 qPrintable(dlg->errors[0]));
        QCOMPARE(w->windowTitle(), kCaption);
        QCOMPARE(w->userCodeFileName(), target + ".j");

        // The kept path is used again, without the dialog, once it can be written.
        QVERIFY(QDir(dir->path()).mkdir("missing"));
        QTest::keyClick(w->UserCode, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(dlg->fileFilters.size(), 1);
        QCOMPARE(readBytes(target + ".j"), QByteArray("x\r\n"));
        QCOMPARE(w->windowTitle(), kCaption + " (" + target + ".j)");
    }
};

QTEST_MAIN(TestUserCodeWindow)
#include "tst_usercodewindow.moc"
