#include "common/textfile.h"
#include "filebytes.h"
#include "project/project.h"
#include "project/projectcommands.h"
#include "project/recovery.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace vell;

// Recovery copies: what a copy holds and how it reads back, when a designer
// writes and removes its copy, and a designer killed at random moments
// while it edits (a child: this program run again with a switch), whose
// copy the next start finds whole.

namespace {

const char kEditAndKeep[] = "--edit-and-keep";
constexpr int kEdits = 1500;
const QString kFileName = QStringLiteral("/home/картограф/HUD магазина.vlp");

// The design of the child's run after edit k, made through the commands.
void edit(ProjectCommands &c, int k)
{
    Project &p = c.project();
    if (k == 0) {
        Settings s;
        s.buttonVar = QStringLiteral("Кнопки");
        s.textVar = QStringLiteral("Tx");
        p.setSettings(s);
        p.setProjectFileName(kFileName);
    }
    if (k % 7 == 0)
        c.create(kObjectKinds[k % 3]);
    else if (k % 7 == 3)
        p.appendUserCodeLines({QStringLiteral("// правка %1").arg(k)});
    else if (k % 41 == 40)
        p.history().undo();
    else if (const int n = p.tables().ButtonCount(); n > 0)
        c.moveTo(*p.tables().button(1 + k % n), k % 301 - 150, 97 - k % 190);
}

// The child: says "ready" once its first copy is written, keeps copies
// every millisecond through about half a second of edits, then idles until
// killed.
int editAndKeep(const QString &folder)
{
    Project p;
    ProjectCommands c(p);
    edit(c, 0);
    RecoveryKeeper keeper(p, folder, std::chrono::milliseconds(1));
    keeper.writeNow();
    keeper.waitIdle();
    std::printf("ready\n");
    std::fflush(stdout);
    for (int k = 1;; ++k) {
        if (k <= kEdits)
            edit(c, k);
        QCoreApplication::processEvents();
        QThread::usleep(k <= kEdits ? 300 : 5000);
    }
}

QByteArray copyOf(const Project &p)
{
    return RecoveryCopyBytes(TakeRecoverySnapshot(p));
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    // A copy holds the project as a save writes it, whatever the settings
    // say of the user code, with the file and array names around it; a
    // damaged one says why. The user code is taken by its count, so a line
    // "/end" in it ends nothing; copies of the earlier form read as before.
    void copyReadsBack_data()
    {
        QTest::addColumn<int>("cutAt");
        QTest::addColumn<bool>("earlierForm");
        QTest::addColumn<QString>("codeCount");
        QTest::addColumn<QString>("error");
        const QString cut = "копия повреждена: она обрывается";
        QTest::newRow("whole") << -1 << false << "" << QString();
        QTest::newRow("empty") << 0 << false << ""
                               << "это не копия для восстановления";
        QTest::newRow("header only") << 6 << false << ""
                                     << "копия повреждена: в ней нет проекта";
        QTest::newRow("cut in the second button")
            << 23 << false << ""
            << "копия повреждена: List index out of bounds (17) (строка 24)";
        QTest::newRow("cut after a /end line of the user code") << 48 << false << "" << cut;
        QTest::newRow("cut before its last line") << 51 << false << "" << cut;
        QTest::newRow("a line fewer counted") << -1 << false << "4" << cut;
        QTest::newRow("count no number")
            << -1 << false << "5 "
            << "копия повреждена: '5 ' is not a valid integer value (строка 6)";
        QTest::newRow("earlier form") << -1 << true << "" << QString();
        QTest::newRow("earlier form, cut in the user code") << 47 << true << "" << cut;
    }
    void copyReadsBack()
    {
        QFETCH(int, cutAt);
        QFETCH(bool, earlierForm);
        QFETCH(QString, codeCount);
        QFETCH(QString, error);
        Project p;
        ProjectCommands c(p);
        edit(c, 0);
        Settings s = p.settings();
        s.saveUserCode = false;
        p.setSettings(s);
        for (const ObjectKind kind : {KindText, KindButton, KindPicture})
            c.create(kind);
        c.moveTo(*p.tables().button(2), -37, 121);
        // The earlier form ended its user code at a line "/end": it has none.
        QStringList code{"function F takes nothing returns nothing", "/end", " // ё и \"кавычки\"",
                         "/end", "endfunction"};
        if (earlierForm)
            code.removeAll("/end");
        p.appendUserCodeLines(code);
        const QByteArray bytes = copyOf(p);
        QStringList lines = SplitTextLines(bytes);
        QCOMPARE(lines.mid(0, 7), QStringList({"FMVELLRECOVERY2",
                                               "/home/%D0%BA%D0%B0%D1%80%D1%82%D0%BE%D0%B3%D1%80%D0"
                                               "%B0%D1%84/HUD%20%D0%BC%D0%B0%D0%B3%D0%B0%D0%B7%D0"
                                               "%B8%D0%BD%D0%B0.vlp",
                                               "Кнопки", "PictureVar", "Tx",
                                               earlierForm ? "3" : "5", "FMVELLVERSIONKEY2.1"}));
        QCOMPARE(lines.size(), 6 + 3 + 2 * 11 + 8 + 6 + 2 + code.size());
        if (earlierForm)
            lines = QStringList("FMVELLRECOVERY1") + lines.mid(1, 4) + lines.mid(6);
        if (!codeCount.isEmpty())
            lines[5] = codeCount;
        if (cutAt >= 0)
            lines = lines.mid(0, cutAt);
        const RecoveryCopyRead read = ReadRecoveryCopy(JoinTextLines(lines));
        QCOMPARE(read.error, error);
        if (!read.ok())
            return;
        QCOMPARE(read.fileName, kFileName);
        QCOMPARE(read.arrayNames, (std::array<QString, 3>{"Кнопки", "PictureVar", "Tx"}));
        QCOMPARE(read.project.data.userCode, code);
        QCOMPARE(JoinTextLines(ProjectFileLines(read.project.data)),
                 JoinTextLines(lines.mid(earlierForm ? 5 : 6)));
    }

    // Written a moment after a change, removed by a save and at the end;
    // never more often than the interval; user code typed counts though the
    // settings keep it out of the file.
    void keeperWritesAndRemoves()
    {
        QTemporaryDir dir;
        Project p;
        ProjectCommands c(p);
        auto keeper = std::make_unique<RecoveryKeeper>(p, dir.path(), std::chrono::hours(1));
        const QString path = keeper->copyPath();
        const auto settle = [&] {
            QCoreApplication::processEvents();
            keeper->waitIdle();
        };
        settle();
        QVERIFY(!QFile::exists(path));
        c.create(KindPicture);
        settle();
        const QByteArray first = copyOf(p);
        QCOMPARE(readBytes(path), first);
        // Within the interval: not yet.
        c.create(KindText);
        settle();
        QCOMPARE(readBytes(path), first);
        c.save(dir.filePath(QStringLiteral("saved.vlp")));
        settle();
        QVERIFY(!QFile::exists(path));
        // The lock stays while the designer runs; no one else may claim it.
        QVERIFY(ClaimOrphanCopies(dir.path()).empty());

        keeper = std::make_unique<RecoveryKeeper>(p, dir.path(), std::chrono::milliseconds(0));
        Settings s;
        s.saveUserCode = false;
        p.setSettings(s);
        // Typed into the editor, which lays the document out.
        p.userCode()->documentLayout();
        QTextCursor(p.userCode()).insertText(QStringLiteral("// набрано"));
        QVERIFY(!p.ProjectModified());
        settle();
        QCOMPARE(readBytes(keeper->copyPath()), copyOf(p));
        keeper.reset();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("saved.vlp")});
        // The lock of a designer killed before its first copy goes at the
        // next start.
        const QByteArray deadLock =
            "2147483646\nvellcreator\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        QFile lock(dir.filePath(QStringLiteral("gone.vlr.lock")));
        QVERIFY(lock.open(QIODevice::WriteOnly) && lock.write(deadLock) == deadLock.size());
        lock.close();
        QVERIFY(ClaimOrphanCopies(dir.path()).empty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("saved.vlp")});

        // Locks that name no designer: left once a few seconds old, unless a
        // process holds the file locked.
        const auto leave = [&](const QString &name, const QByteArray &lock, int secondsAgo) {
            writeBytes(dir.filePath(name), copyOf(p));
            QFile file(dir.filePath(name + ".lock"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(lock) == lock.size() &&
                    file.flush());
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo),
                                     QFileDevice::FileModificationTime));
        };
        leave(QStringLiteral("empty.vlr"), "", 6);
        leave(QStringLiteral("fresh.vlr"), "", 4);
        leave(QStringLiteral("text.vlr"), "no lock\nat all\n", 7);
        leave(QStringLiteral("held.vlr"), "", 60);
        const int held = ::open(QFile::encodeName(dir.filePath("held.vlr.lock")), O_RDONLY);
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) == 0);
        QStringList claimed;
        for (const OrphanCopy &copy : ClaimOrphanCopies(dir.path()))
            claimed << QFileInfo(copy.path()).fileName() + (copy.claimed() ? "" : " unclaimed");
        ::close(held);
        claimed.sort();
        QCOMPARE(claimed, QStringList({"empty.vlr", "text.vlr"}));
    }

    // At start the copies others left are offered newest first: Нет removes
    // one, a damaged one is set aside, Да restores one and the older ones
    // stay; the restored copy goes once this designer has written its own,
    // not before. Отмена keeps the copy asked about and the ones after it.
    void copiesOfferedAtStart()
    {
        QTemporaryDir dir;
        const auto leave = [&](const QString &name, const QByteArray &bytes, int minutesAgo) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                    file.flush());
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo),
                                     QFileDevice::FileModificationTime));
        };
        Project left;
        ProjectCommands(left).create(KindText);
        RecoverySnapshot snapshot = TakeRecoverySnapshot(left);
        snapshot.fileName = kFileName;
        const QByteArray restored = RecoveryCopyBytes(snapshot);
        leave("oldest.vlr", copyOf(Project()), 50);
        leave("restored.vlr", restored, 40);
        leave("damaged.vlr", "FMVELLRECOVERY1\r\n", 30);
        leave("newest.vlr", copyOf(left), 20);
        Project p;
        QStringList told;
        QList<RecoveryChoice> answers{RecoveryChoice::Discard, RecoveryChoice::Restore};
        RecoveryOfferSteps steps;
        steps.ask = [&](const OrphanCopy &copy, const RecoveryCopyRead &read) {
            told << QFileInfo(copy.path()).fileName() + "? " + read.fileName;
            return answers.takeFirst();
        };
        steps.restore = [&](ProjectReadResult read, const QString &fileName) {
            ProjectCommands(p).restore(std::move(read), fileName);
        };
        steps.unreadable = [&](const QString &path, const QString &error, const QString &kept) {
            told << QFileInfo(path).fileName() + ": " + error + kept;
        };
        steps.notRemoved = [&](const QString &path, const QString &) {
            told << path;
        };
        const auto files = [&] {
            return QDir(dir.path()).entryList(QDir::Files);
        };
        {
            RecoveryKeeper keeper(p, dir.filePath("own"));
            OfferOrphanCopies(keeper, dir.path(), steps);
            QCOMPARE(told, QStringList({"newest.vlr? ",
                                        "damaged.vlr: копия повреждена: в ней нет проекта",
                                        "restored.vlr? " + kFileName}));
            QCOMPARE(readBytes(keeper.copyPath()), restored);
            QCOMPARE(titleOf(p.state()), "FM Vell Creator (" + kFileName + ")*");
            QCOMPARE(files(), QStringList({"damaged.vlr.damaged", "oldest.vlr"}));
        }
        leave("newer.vlr", restored, 10);
        answers = {RecoveryChoice::KeepAll, RecoveryChoice::Restore};
        // A designer that can keep no copy keeps the restored one.
        const QString blocker = dir.filePath("blocker");
        writeBytes(blocker, "a file, not a folder");
        RecoveryKeeper keeper(p, blocker + "/recovery", std::chrono::seconds(0));
        for (int i = 0; i < 2; ++i)
            OfferOrphanCopies(keeper, dir.path(), steps);
        QCOMPARE(told.mid(3), QStringList({"newer.vlr? " + kFileName, "newer.vlr? " + kFileName}));
        // Still claimed meanwhile.
        QCOMPARE(files(), QStringList({"blocker", "damaged.vlr.damaged", "newer.vlr",
                                       "newer.vlr.lock", "oldest.vlr"}));
        QVERIFY(QFile::remove(blocker));
        ProjectCommands(p).create(KindText);
        QTRY_COMPARE(files(), QStringList({"damaged.vlr.damaged", "oldest.vlr"}));
    }

    // A designer killed at random moments while it edits and its copies
    // are written: while it runs, no other designer claims its copy; once
    // it is gone, the next start finds one copy, whole, that equals one of
    // the states the killed designer had.
    void killedDesignerLeavesAWholeCopy()
    {
        QSet<QByteArray> states;
        {
            Project p;
            ProjectCommands c(p);
            for (int k = 0; k <= kEdits; ++k) {
                edit(c, k);
                states.insert(copyOf(p));
            }
        }
        QRandomGenerator random(20261208);
        QSet<QByteArray> found;
        const int kills = 12;
        for (int i = 0; i < kills; ++i) {
            QTemporaryDir dir;
            QProcess child;
            child.setStandardErrorFile(QProcess::nullDevice());
            child.start(QCoreApplication::applicationFilePath(),
                        {QLatin1String(kEditAndKeep), dir.path()});
            QVERIFY(child.waitForReadyRead(60000));
            QCOMPARE(child.readLine(), QByteArray("ready\n"));
            QThread::usleep(static_cast<unsigned long>(random.bounded(600000)));
            QVERIFY(ClaimOrphanCopies(dir.path()).empty());
            child.kill();
            QVERIFY(child.waitForFinished(30000));

            std::vector<OrphanCopy> copies = ClaimOrphanCopies(dir.path());
            QCOMPARE(int(copies.size()), 1);
            const QByteArray bytes = readBytes(copies.front().path());
            QVERIFY2(
                states.contains(bytes),
                qPrintable(QStringLiteral("kill %1: %2 bytes, no state").arg(i).arg(bytes.size())));
            QVERIFY(copies.front().read().ok());
            found.insert(bytes);
            // Another start meanwhile finds it claimed.
            QVERIFY(ClaimOrphanCopies(dir.path()).empty());
            // Gone with whatever a write cut short left beside it.
            copies.front().remove();
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        }
        qInfo("%d kills, %lld different states found", kills, qlonglong(found.size()));
        QVERIFY(found.size() > kills / 2);
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], kEditAndKeep) == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return editAndKeep(QString::fromLocal8Bit(argv[2]));
    }
    QGuiApplication app(argc, argv);
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
