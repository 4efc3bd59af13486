#include "project/preferences.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace vell;

class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    // Steps name files of a folder holding a, b and c, a symbolic (link) and
    // a hard link (hard) to a, and a folder "sub"; n1 … n9 do not exist.
    // "+" opens or saves one, "-" takes it off the list.
    void recentProjects_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << ""
                              << "";
        QTest::newRow("newest first") << "+a +b +c"
                                      << "c b a";
        QTest::newRow("again goes first") << "+a +b +a"
                                          << "a b";
        QTest::newRow("symbolic link: newest path") << "+a +b +link"
                                                    << "link b";
        QTest::newRow("hard link") << "+hard +a"
                                   << "a";
        QTest::newRow("dot-dot") << "+a +sub/../a"
                                 << "a";
        QTest::newRow("missing: by path") << "+n1 +n2 +sub/../n1"
                                          << "n1 n2";
        QTest::newRow("eight") << "+n1 +n2 +n3 +n4 +n5 +n6 +n7 +n8 +n9"
                               << "n9 n8 n7 n6 n5 n4 n3 n2";
        QTest::newRow("remove") << "+a +b +c -b"
                                << "c a";
        QTest::newRow("remove by a link") << "+a +b -link"
                                          << "b";
        QTest::newRow("remove missing") << "+n1 +n2 -n1"
                                        << "n2";
    }

    void recentProjects()
    {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("conf"));
        QDir::setCurrent(dir.path());
        for (const char *name : {"a.vlp", "b.vlp", "c.vlp"})
            QVERIFY(QFile(name).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link("a.vlp", "link.vlp") && !::link("a.vlp", "hard.vlp") &&
                QDir().mkdir("sub"));
        for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
            if (step.startsWith('+'))
                Preferences().addRecentProject(step.mid(1) + ".vlp");
            else
                Preferences().removeRecentProject(step.mid(1) + ".vlp");
        }
        QStringList paths;
        for (const QString &name : expected.split(' ', Qt::SkipEmptyParts))
            paths << dir.filePath(name + ".vlp");
        QCOMPARE(Preferences().recentProjects(), paths);
        // The guides are off until turned on, and apart from the list.
        QVERIFY(!Preferences().guidesOn());
        Preferences().setGuidesOn(true);
        QVERIFY(Preferences().guidesOn() && Preferences().recentProjects() == paths);
    }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
