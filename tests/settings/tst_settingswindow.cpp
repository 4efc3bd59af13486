#include "defaultsettings.h"
#include "filebytes.h"
#include "project/project.h"
#include "settings/gui/tform2.h"

#include "scripteddialogs.h"
#include "settings/gui/colorswatch.h"
#include "usercode/gui/tform3.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kFile = QStringLiteral("vellsettings.fms");

// The colour the user sees in the middle of a swatch.
QColor shown(QWidget *swatch)
{
    return swatch->grab().toImage().pixelColor(12, 12);
}

} // namespace

class TestSettingsWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedDialogs> dlg;
    std::unique_ptr<vell::Project> project;
    QString oldDir;

private slots:
    // Every test runs in a fresh working directory, where the file is looked for.
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        oldDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        dlg = std::make_unique<ScriptedDialogs>();
        project = std::make_unique<vell::Project>();
    }
    void cleanup()
    {
        project.reset();
        dlg.reset();
        QDir::setCurrent(oldDir);
        dir.reset();
    }

    void windowAndDefaults()
    {
        TForm2 f(*project);
        QCOMPARE(f.windowTitle(), QStringLiteral("Настройки"));
        QVERIFY(f.windowFlags() & Qt::WindowStaysOnTopHint);
        f.show();
        QCOMPARE(f.size(), QSize(353, 254));
        QCOMPARE(f.PageControl1->currentIndex(), 0);
        QStringList tabs;
        for (int i = 0; i < f.PageControl1->count(); ++i)
            tabs << f.PageControl1->tabText(i);
        QCOMPARE(tabs, QStringList({"Цвета", "Компиляция", "Программа"}));

        QCOMPARE(dlg->errors, QStringList());
        QCOMPARE(readBytes(kFile), QByteArray("<missing>"));
        QCOMPARE(shown(f.findChild<QWidget *>("BtnColor")), QColor(255, 255, 255));
        QCOMPARE(shown(f.findChild<QWidget *>("PicColor")), QColor(0, 128, 128));
        QCOMPARE(shown(f.findChild<QWidget *>("SelectColor")), QColor(255, 128, 0));
        QCOMPARE(shown(f.findChild<QWidget *>("SelectColorBorder")), QColor(0, 0, 0));
        QVERIFY(f.onVJass->isChecked());
        QVERIFY(!f.onCJass->isEnabled());
        QCOMPARE(f.onVJass->text(), QStringLiteral("VJass"));
        QCOMPARE(f.UserCodeOpen->text(), QStringLiteral("Открыть код"));
        QCOMPARE(f.UseUserCode->text(), QStringLiteral("Включить код пользователя"));
        QVERIFY(f.UserCodeOpen->isEnabled());
        QCOMPARE(f.ButtonVar->text(), QStringLiteral("ButtonVar"));
        QCOMPARE(f.UnitVar->text(), QStringLiteral("UnitVar"));
        QCOMPARE(f.IsBorderMove->text(), QStringLiteral("Использовать рамку объекта при движении"));
        QVERIFY(f.SaveUserCode->isChecked());

        QStringList captions;
        for (QLabel *l : f.findChildren<QLabel *>())
            captions << l->text();
        captions.sort();
        QCOMPARE(captions, QStringList({"Название переменной изображения",
                                        "Название переменной кнопки", "Название переменной текста",
                                        "Название переменной юнита", "Цвет выбора текста",
                                        "Цвет картинки", "Цвет кнопки", "Цвет контура выделения"}));
    }

    void readsTheFile()
    {
        writeBytes(kFile, "FMVELLCREATORversionkey2.0\r\nclRed\r\n$00123456\r\nclLime\r\n"
                          "clNavy\r\ndeactivate\r\ncompilecodecjass\r\ndeactivate\r\n"
                          "\r\nPics\r\nTexts\r\nUnits\r\nnot\r\n");
        TForm2 f(*project);
        QCOMPARE(dlg->errors, QStringList());
        QCOMPARE(shown(f.BtnColor), QColor(255, 0, 0));
        QCOMPARE(shown(f.PicColor), QColor(0x56, 0x34, 0x12));
        QCOMPARE(shown(f.SelectColor), QColor(0, 255, 0));
        QCOMPARE(shown(f.SelectColorBorder), QColor(0, 0, 128));
        QVERIFY(!f.onVJass->isChecked());
        QVERIFY(f.onCJass->isChecked());
        QVERIFY(!f.UseUserCode->isChecked());
        QVERIFY(!f.UserCodeOpen->isEnabled());
        QCOMPARE(f.ButtonVar->text(), QString());
        QCOMPARE(f.PictureVar->text(), QStringLiteral("Pics"));
        QVERIFY(!f.SaveUserCode->isChecked());
        QVERIFY(!f.IsBorderMove->isChecked());
        const vell::Settings s = f.settings();
        QCOMPARE(s.buttonColor, QColor(255, 0, 0));
        QCOMPARE(s.vjass, false);
        QCOMPARE(s.buttonVar, QString());
        QCOMPARE(s.unitVar, QStringLiteral("Units"));

        // The user picks VJass again; the settings follow at once.
        f.show();
        f.PageControl1->setCurrentIndex(1);
        QSignalSpy changed(project.get(), &vell::Project::settingsChanged);
        QTest::mouseClick(f.onVJass, Qt::LeftButton);
        QCOMPARE(f.settings().vjass, true);
        QVERIFY(!f.onCJass->isChecked());
        QCOMPARE(changed.count(), 1);
    }

    void tooFewLinesKeepsFirstLook()
    {
        writeBytes(kFile, "FMVELLCREATORversionkey2.0\r\nclRed\r\nclBlue\r\nclLime\r\n"
                          "clNavy\r\ndeactivate\r\n");
        TForm2 f(*project);
        QCOMPARE(dlg->errors, QStringList({"List index out of bounds (6)"}));
        QCOMPARE(shown(f.BtnColor), QColor(255, 255, 255));
        QCOMPARE(shown(f.PicColor), QColor(255, 255, 255));
        QCOMPARE(shown(f.SelectColor), QColor(255, 255, 255));
        QCOMPARE(shown(f.SelectColorBorder), QColor(0, 0, 0));
        const vell::Settings s = f.settings();
        QCOMPARE(s.buttonColor, QColor(255, 0, 0));
        QCOMPARE(s.pictureColor, QColor(0, 0, 255));

        // The colour dialog starts from the colour read, not from the look.
        f.show();
        QTest::mouseClick(f.PicColor, Qt::LeftButton);
        QCOMPARE(dlg->colorDialogInitial, QList<QColor>({QColor(0, 0, 255)}));
    }

    // A bad colour keeps what was read before it; another first line is
    // passed over silently.
    void badColourLineAndWrongFirstLine()
    {
        writeBytes(kFile, "FMVELLCREATORversionkey2.0\r\nclRed\r\nnavy blue\r\n");
        TForm2 f(*project);
        QCOMPARE(dlg->errors, QStringList({"'navy blue' is not a valid integer value"}));
        QCOMPARE(f.settings().buttonColor, QColor(255, 0, 0));
        QCOMPARE(f.settings().pictureColor, QColor(0, 128, 128));
        QCOMPARE(shown(f.BtnColor), QColor(255, 255, 255));

        writeBytes(kFile, "FMVELLCREATORversionkey2.1\r\nclRed\r\n");
        TForm2 g(*project);
        QCOMPARE(dlg->errors.size(), 1);
        QCOMPARE(g.settings().buttonColor, QColor(255, 255, 255));
        QCOMPARE(shown(g.PicColor), QColor(0, 128, 128));
    }

    void swatchOpensColourDialog_data()
    {
        QTest::addColumn<QString>("swatch");
        QTest::addColumn<int>("button");
        QTest::addColumn<QColor>("initial");
        QTest::newRow("button colour, left")
            << "BtnColor" << int(Qt::LeftButton) << QColor(255, 255, 255);
        QTest::newRow("picture colour, right")
            << "PicColor" << int(Qt::RightButton) << QColor(0, 128, 128);
        QTest::newRow("outline colour, middle")
            << "SelectColorBorder" << int(Qt::MiddleButton) << QColor(0, 0, 0);
        QTest::newRow("selected text colour")
            << "SelectColor" << int(Qt::LeftButton) << QColor(255, 128, 0);
    }
    void swatchOpensColourDialog()
    {
        QFETCH(QString, swatch);
        QFETCH(int, button);
        QFETCH(QColor, initial);
        TForm2 f(*project);
        f.show();
        QWidget *w = f.findChild<QWidget *>(swatch);
        QSignalSpy changed(project.get(), &vell::Project::settingsChanged);

        dlg->colors = {std::nullopt};
        QTest::mousePress(w, Qt::MouseButton(button));
        QCOMPARE(dlg->colorDialogInitial, QList<QColor>({initial}));
        QCOMPARE(dlg->colorDialogWhiteCustom, QList<bool>({true}));
        QCOMPARE(shown(w), initial);
        QCOMPARE(changed.count(), 0);

        dlg->colors = {QColor(10, 20, 30)};
        QTest::mousePress(w, Qt::MouseButton(button));
        QCOMPARE(shown(w), QColor(10, 20, 30));
        QCOMPARE(changed.count(), 1);
        f.close();
        const QStringList lines = QString::fromLatin1(readBytes(kFile)).split("\r\n");
        const int line = QStringList({"BtnColor", "PicColor", "SelectColor", "SelectColorBorder"})
                             .indexOf(swatch) +
                         1;
        QCOMPARE(lines[line], QStringLiteral("$001E140A"));
    }

    void openCodeFollowsTheBox()
    {
        TForm2 f(*project);
        TForm3 editor(*project);
        f.setUserCodeWindow(&editor);
        f.show();
        f.PageControl1->setCurrentIndex(1);
        QSignalSpy changed(project.get(), &vell::Project::settingsChanged);
        QTest::mouseClick(f.UseUserCode, Qt::LeftButton);
        QVERIFY(!f.UseUserCode->isChecked());
        QVERIFY(!f.UserCodeOpen->isEnabled());
        QCOMPARE(f.settings().useUserCode, false);
        QTest::mouseClick(f.UserCodeOpen, Qt::LeftButton);
        QVERIFY(!editor.isVisible());

        QTest::mouseClick(f.UseUserCode, Qt::LeftButton);
        QVERIFY(f.UserCodeOpen->isEnabled());
        QCOMPARE(changed.count(), 2);
        QTest::mouseClick(f.UserCodeOpen, Qt::LeftButton);
        QVERIFY(editor.isVisible());
    }

    void variableNamesTypedAndStored()
    {
        TForm2 f(*project);
        f.show();
        f.PageControl1->setCurrentIndex(1);
        QSignalSpy changed(project.get(), &vell::Project::settingsChanged);
        f.TextVar->selectAll();
        QTest::keyClicks(f.TextVar, "Tx");
        QTest::sendKeyEvent(QTest::Click, f.TextVar, Qt::Key_unknown, QStringLiteral("Ы"),
                            Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Click, f.TextVar, Qt::Key_unknown, QString(QChar(0x4E2D)),
                            Qt::NoModifier);
        QCOMPARE(f.TextVar->text(), QStringLiteral("TxЫ"));
        QCOMPARE(f.settings().textVar, QStringLiteral("TxЫ"));
        QVERIFY(changed.count() >= 3);

        f.UnitVar->selectAll();
        QTest::keyClick(f.UnitVar, Qt::Key_Delete);
        QVERIFY(f.close());
        QByteArray expected = kDefaultFile;
        expected.replace("\r\nTextVar\r\n", "\r\nTx\xdb\r\n");
        expected.replace("\r\nUnitVar\r\n", "\r\n\r\n");
        QCOMPARE(readBytes(kFile), expected);

        // Read back at the next start.
        TForm2 again(*project);
        QCOMPARE(again.TextVar->text(), QStringLiteral("TxЫ"));
        QCOMPARE(again.UnitVar->text(), QString());
    }

    void variableNamesTakeNoControlCharactersAndAnyLength()
    {
        // A name longer than a line edit holds by default comes back whole.
        const QByteArray longName(40000, 'n');
        QByteArray file = kDefaultFile;
        file.replace("\r\nButtonVar\r\n", "\r\n" + longName + "\r\n");
        writeBytes(kFile, file);
        TForm2 f(*project);
        f.show();
        f.PageControl1->setCurrentIndex(1);
        QCOMPARE(f.ButtonVar->text().size(), 40000);
        QCOMPARE(f.settings().buttonVar.size(), 40000);
        // A paste, by keys or the context menu, loses one trailing line
        // break; other line breaks, NUL, control and foreign characters refuse
        // it, named in a box. Typed, they stay out silently.
        const QString refused = QStringLiteral("Нельзя вставить символ U+");
        const struct
        {
            QString pasted, text, message;
            bool menu;
        } pastes[] = {
            {"a\nb", "PictureVar", refused + "000A", false},
            {"Привет\n", "Привет", {}, false},
            {"Hi\r\n", "Hi", {}, true},
            {QString(QChar(0)), "Hi", refused + "0000", false},
            {"A\r", "A", {}, false},
            {"\x1b", "A", refused + "001B", false},
            {"☺", "A", refused + "263A", true},
            {"\r\n\r\n", "A", refused + "000D", false},
        };
        for (const auto &p : pastes) {
            dlg->messages.clear();
            QApplication::clipboard()->setText(p.pasted);
            f.PictureVar->selectAll();
            if (p.menu) {
                // What the system sends on a right click.
                QContextMenuEvent click(QContextMenuEvent::Mouse, {5, 5},
                                        f.PictureVar->mapToGlobal(QPoint(5, 5)));
                QApplication::sendEvent(f.PictureVar, &click);
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                QVERIFY(menu);
                const QList<QAction *> items = menu->actions();
                QAction *paste = *std::find_if(items.begin(), items.end(), [](QAction *a) {
                    return a->text().startsWith("&Paste");
                });
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(paste).center());
            } else {
                QTest::keyClick(f.PictureVar, Qt::Key_V, Qt::ControlModifier);
            }
            QCOMPARE(f.PictureVar->text(), p.text);
            QCOMPARE(dlg->messages, p.message.isEmpty() ? QStringList() : QStringList{p.message});
        }
        QTest::sendKeyEvent(QTest::Click, f.PictureVar, Qt::Key_unknown, QString(QChar(0)),
                            Qt::NoModifier);
        QCOMPARE(f.PictureVar->text(), QStringLiteral("A"));
        QCOMPARE(dlg->messages.size(), 1);
        QVERIFY(f.close());
        file.replace("\r\nPictureVar\r\n", "\r\nA\r\n");
        QCOMPARE(readBytes(kFile), file);
    }

    void closeAndShowWritesUnchangedSettings()
    {
        TForm2 f(*project);
        QCOMPARE(readBytes(kFile), QByteArray("<missing>"));
        QVERIFY(f.closeAndShow());
        QVERIFY(f.isVisible());
        QCOMPARE(readBytes(kFile), kDefaultFile);
        QVERIFY(QFile::remove(kFile));
        QVERIFY(f.closeAndShow());
        QVERIFY(f.isVisible());
        QCOMPARE(readBytes(kFile), kDefaultFile);
        // Closed by the user first, the dialog is written again on the next use.
        QVERIFY(f.close());
        QVERIFY(QFile::remove(kFile));
        QVERIFY(f.closeAndShow());
        QCOMPARE(readBytes(kFile), kDefaultFile);
    }

    void unwritableFileKeepsDialogOpen()
    {
        QVERIFY(QDir().mkdir(kFile)); // a folder in the file's place
        TForm2 f(*project);
        QCOMPARE(dlg->errors, QStringList());
        f.show();
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QCOMPARE(dlg->errors.size(), 1);
        QVERIFY2(dlg->errors[0].startsWith("Cannot create file \"vellsettings.fms\". "),
                 qPrintable(dlg->errors[0]));

        // Escape goes the same way.
        QTest::keyClick(&f, Qt::Key_Escape);
        QVERIFY(f.isVisible());
        QCOMPARE(dlg->errors.size(), 2);

        f.hide();
        QVERIFY(!f.closeAndShow());
        QVERIFY(!f.isVisible());
        QCOMPARE(dlg->errors.size(), 3);
    }

    void storeAtExitOnlyWhenOpen()
    {
        TForm2 f(*project);
        f.storeAtExit();
        QCOMPARE(readBytes(kFile), QByteArray("<missing>"));
        f.show();
        f.PageControl1->setCurrentIndex(2);
        QTest::mouseClick(f.IsBorderMove, Qt::LeftButton);
        QCOMPARE(f.settings().borderMove, false);
        f.storeAtExit();
        QByteArray expected = kDefaultFile;
        expected.replace("clBlack\r\nactivate", "clBlack\r\ndeactivate");
        QCOMPARE(readBytes(kFile), expected);
        QVERIFY(f.isVisible());
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
