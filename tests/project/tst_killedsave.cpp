#include "common/textfile.h"
#include "filebytes.h"
#include "model/settingsfile.h"
#include "project/project.h"
#include "project/projectcommands.h"
#include "project/projectio.h"
#include "project/recovery.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace vell;

// A save that is killed at any moment leaves the old file or the new one,
// whole. The program saves in a child (this program run again with a
// switch) that the test kills with SIGKILL at random moments.

namespace {

// The child saves the two designs and the two settings in turn, for ever
// or for a given number of rounds, into the folder.
const char kSaveInTurns[] = "--save-in-turns";

const QString kProjectName = QStringLiteral("design.vlp");

// A large design (`variant` 0 or 1): hundreds of objects of every kind
// with actions, texts in Cyrillic and user code. The two variants differ in
// every record and in size, so that any mixture or cut of them shows.
void fillProject(Project &p, int variant)
{
    ObjectTables &t = p.tables();
    const int objects = variant == 0 ? 800 : 640;
    p.beginBulkChange();
    for (int i = 0; i < objects; ++i) {
        auto *b = static_cast<VellButton *>(p.create(KindButton));
        t.SetPosition(*b, i % 600 - 300 + variant, i % 300 - 150);
        t.SetSize(*b, 32 + 2 * (i % 20), 32 + 2 * variant);
        b->TextureId = QStringLiteral("B%1").arg(i + 1000 * variant);
        b->LeftActionsFunction = QStringLiteral("%1_Left_Actions").arg(b->Name);
        b->LeftActions = {QStringLiteral("ObjShow t \"Picture_%1\"").arg(i + 1),
                          QStringLiteral("echo \"Волна %1\"").arg(i + variant)};
        auto *pic = static_cast<VellPicture *>(p.create(KindPicture));
        t.SetPosition(*pic, -i % 300, i % 170 - variant);
        pic->TextureId = QStringLiteral("P%1").arg(i * (variant + 2));
        t.SetVisible(*pic, (i + variant) % 3 != 0);
        auto *x = static_cast<VellText *>(p.create(KindText));
        t.SetPosition(*x, i % 200, -i % 100);
        t.SetText(*x, QStringLiteral("Надпись %1.%2").arg(i).arg(variant));
        if (i % 2)
            t.SetTextColor(*x, QColor(i % 256, variant * 100, 7));
    }
    p.endBulkChange();
    QStringList code;
    for (int i = 0; i < objects; ++i)
        code << QStringLiteral("function Button_%1_Left_Actions takes nothing returns nothing")
                    .arg(i + 1)
             << QStringLiteral(" call ECHO(\"Вариант %1\")").arg(variant)
             << QStringLiteral("endfunction");
    p.appendUserCodeLines(code);
}

Settings settingsVariant(int variant)
{
    Settings s;
    if (variant == 1) {
        s.buttonColor = QColor(1, 2, 3);
        s.vjass = false;
        s.saveUserCode = false;
        s.buttonVar = QStringLiteral("Кнопки_второго_варианта");
        s.unitVar = QStringLiteral("udg_Hero");
    }
    return s;
}

QByteArray projectBytes(int variant)
{
    Project p;
    fillProject(p, variant);
    return JoinTextLines(ProjectFileLines(p));
}

QByteArray settingsBytes(int variant)
{
    return JoinTextLines(SettingsToLines(settingsVariant(variant)));
}

// The child: says "ready" once both designs are built, then saves design 0,
// settings 0, design 1, settings 1, ... until killed or `rounds` are done.
int saveInTurns(const QString &dir, int rounds)
{
    Project designs[2];
    fillProject(designs[0], 0);
    fillProject(designs[1], 1);
    const QString projectPath = QDir(dir).filePath(kProjectName);
    const QString settingsPath = QDir(dir).filePath(kSettingsFileName);
    std::printf("ready\n");
    std::fflush(stdout);
    for (int round = 0; rounds < 0 || round < rounds; ++round) {
        for (int variant = 0; variant < 2; ++variant) {
            SaveProjectFile(designs[variant], projectPath);
            WriteSettingsFile(settingsPath, settingsVariant(variant));
        }
    }
    return 0;
}

QProcess *startChild(const QString &dir, int rounds)
{
    auto *child = new QProcess;
    // Its warnings (a missing runtime folder, say) would only repeat the
    // parent's a hundred times.
    child->setStandardErrorFile(QProcess::nullDevice());
    child->start(QCoreApplication::applicationFilePath(),
                 {QLatin1String(kSaveInTurns), dir, QString::number(rounds)});
    return child;
}

bool waitForReady(QProcess &child)
{
    QElapsedTimer timer;
    timer.start();
    while (!child.canReadLine()) {
        if (timer.elapsed() > 60000 || !child.waitForReadyRead(1000)) {
            if (child.state() == QProcess::NotRunning || timer.elapsed() > 60000)
                return false;
        }
    }
    return child.readLine() == "ready\n";
}

// A designer keeping recovery copies in the folder, a text more at each
// step: "ready" once its first copy is there, then on until killed.
const char kKeepCopies[] = "--keep-copies";
// Runs in a mount namespace of its own, where the folder is a small file
// system, and tells what the next designer finds.
const char kFullFolder[] = "--full-folder";

int keepCopies(const QString &folder)
{
    Project p;
    RecoveryKeeper keeper(p, folder, std::chrono::milliseconds(1));
    for (int step = 1;; ++step) {
        ProjectCommands(p).create(KindText);
        QCoreApplication::processEvents();
        if (step == 1) {
            keeper.waitIdle();
            std::printf("ready\n");
            std::fflush(stdout);
        }
        QThread::msleep(1);
    }
}

int fullFolder(const QString &folder)
{
    const auto killDesigner = [&](const auto &meanwhile) {
        QProcess designer;
        designer.start(QCoreApplication::applicationFilePath(), {kKeepCopies, folder});
        waitForReady(designer);
        meanwhile();
        designer.kill();
        designer.waitForFinished();
    };
    // The disk fills while the designer writes its copies.
    QFile filler(QDir(folder).filePath(QStringLiteral("filler")));
    killDesigner([&] {
        filler.open(QIODevice::WriteOnly);
        while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
        }
        filler.close();
        QThread::msleep(100);
    });
    std::vector<OrphanCopy> copies = ClaimOrphanCopies(folder);
    if (copies.size() != 1)
        return 1;
    std::printf("%d %d\n", copies.front().claimed(), copies.front().read().ok());
    {
        // The next designer says once that it can keep no copy, and does
        // once there is room.
        Project next;
        RecoveryKeeper keeper(next, folder, std::chrono::milliseconds(0));
        QStringList told;
        QObject::connect(&keeper, &RecoveryKeeper::copyNotKept,
                         [&](const QString &reason) { told << reason; });
        for (const ObjectKind kind : {KindPicture, KindText, KindButton}) {
            if (kind == KindButton) { // Нет first: a full disk lets the copy go.
                std::printf("%s|", qPrintable(copies.front().remove()));
                filler.remove();
            }
            ProjectCommands(next).create(kind);
            QCoreApplication::processEvents();
            keeper.waitIdle();
            QCoreApplication::processEvents();
            std::printf("%s %d\n", qPrintable(told.join('|')), !keeper.copyPath().isEmpty());
        }
    }
    killDesigner([] {});
    QProcess::execute("mount", {"-o", "remount,ro", folder});
    copies = ClaimOrphanCopies(folder);
    if (copies.size() != 1)
        return 2;
    std::printf("%d %s\n", copies.front().claimed(), qPrintable(copies.front().remove()));
    return 0;
}

} // namespace

class TestKilledSave : public QObject
{
    Q_OBJECT

private:
    QByteArray m_projects[2];
    QByteArray m_settings[2];

private slots:
    void initTestCase()
    {
        m_projects[0] = projectBytes(0);
        m_projects[1] = projectBytes(1);
        m_settings[0] = settingsBytes(0);
        m_settings[1] = settingsBytes(1);
        // Large, and different in size, so that a cut file cannot pass.
        QVERIFY(m_projects[0].size() > 150000);
        QVERIFY(m_projects[1].size() > 120000);
        QVERIFY(m_projects[0].size() != m_projects[1].size());
        QVERIFY(m_settings[0].size() != m_settings[1].size());
    }

    // Without a kill the child writes exactly the expected bytes, the last
    // variant last.
    void childSavesBothVariants()
    {
        QTemporaryDir dir;
        std::unique_ptr<QProcess> child(startChild(dir.path(), 1));
        QVERIFY(waitForReady(*child));
        QVERIFY(child->waitForFinished(120000));
        QCOMPARE(child->exitStatus(), QProcess::NormalExit);
        QCOMPARE(child->exitCode(), 0);
        QCOMPARE(readBytes(dir.filePath(kProjectName)), m_projects[1]);
        QCOMPARE(readBytes(dir.filePath(kSettingsFileName)), m_settings[1]);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 QStringList({kProjectName, kSettingsFileName}));
    }

    // Killed at random moments while it saves, many times over the same
    // files: each file is always one of the two variants, whole; anything
    // else left in the folder is a whole new file under a temporary name.
    void killedAtRandomMomentsLeavesWholeFiles()
    {
        QTemporaryDir dir;
        const QString projectPath = dir.filePath(kProjectName);
        const QString settingsPath = dir.filePath(kSettingsFileName);
        WriteFileBytes(projectPath, m_projects[0]);
        WriteFileBytes(settingsPath, m_settings[0]);

        // How long one round of four saves takes, to spread the kills over
        // a few rounds.
        QElapsedTimer timer;
        {
            std::unique_ptr<QProcess> child(startChild(dir.path(), 2));
            QVERIFY(waitForReady(*child));
            timer.start();
            QVERIFY(child->waitForFinished(120000));
        }
        const qint64 roundMs = std::max<qint64>(timer.elapsed() / 2, 1);

        QRandomGenerator random(20261207);
        int seen[2][2] = {{0, 0}, {0, 0}};
        int killedWhileRunning = 0;
        int leftBehind = 0;
        const int kills = 100;
        for (int i = 0; i < kills; ++i) {
            std::unique_ptr<QProcess> child(startChild(dir.path(), -1));
            QVERIFY(waitForReady(*child));
            // Anywhere in the first two rounds, often inside a write.
            const qint64 delayUs = random.bounded(qint64(2 * roundMs * 1000 + 1));
            QThread::usleep(static_cast<unsigned long>(delayUs));
            if (child->state() == QProcess::Running)
                ++killedWhileRunning;
            child->kill();
            QVERIFY(child->waitForFinished(30000));
            QCOMPARE(child->exitStatus(), QProcess::CrashExit);

            const QByteArray project = readBytes(projectPath);
            const QByteArray settings = readBytes(settingsPath);
            const int p = project == m_projects[0] ? 0 : project == m_projects[1] ? 1 : -1;
            const int s = settings == m_settings[0] ? 0 : settings == m_settings[1] ? 1 : -1;
            QVERIFY2(p >= 0, qPrintable(QStringLiteral("kill %1 after %2 us: the design file is "
                                                       "neither variant (%3 bytes)")
                                            .arg(i)
                                            .arg(delayUs)
                                            .arg(project.size())));
            QVERIFY2(s >= 0, qPrintable(QStringLiteral("kill %1 after %2 us: the settings file "
                                                       "is neither variant (%3 bytes)")
                                            .arg(i)
                                            .arg(delayUs)
                                            .arg(settings.size())));
            ++seen[0][p];
            ++seen[1][s];
            // A kill between the new file's naming and its taking the old
            // one's place leaves it under its temporary name: whole, as the
            // saved file, but left behind.
            for (const QString &name :
                 QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
                if (name == kProjectName || name == kSettingsFileName)
                    continue;
                const bool design = name.startsWith(kProjectName + u'.');
                QVERIFY2(design || name.startsWith(kSettingsFileName + u'.'), qPrintable(name));
                const QByteArray left = readBytes(dir.filePath(name));
                QVERIFY2(design ? left == m_projects[0] || left == m_projects[1]
                                : left == m_settings[0] || left == m_settings[1],
                         qPrintable(name + QStringLiteral(" is not a whole file")));
                ++leftBehind;
                QVERIFY(QFile::remove(dir.filePath(name)));
            }
        }
        qInfo("%d kills, one round of saves %lld ms: design 0 %d times, design 1 %d times, "
              "settings 0 %d times, settings 1 %d times, %d whole new files left under their "
              "temporary names",
              kills, roundMs, seen[0][0], seen[0][1], seen[1][0], seen[1][1], leftBehind);
        QCOMPARE(killedWhileRunning, kills);
        // The kills fell at different moments of the rounds.
        QVERIFY(seen[0][0] > 0 && seen[0][1] > 0);
        QVERIFY(seen[1][0] > 0 && seen[1][1] > 0);
    }

    // A designer killed while its disk is full leaves its copy whole, and
    // the next one claims it though Qt could not replace its lock there. On
    // a read-only disk a killed designer's copy is offered unclaimed.
    void killedWithAFullDisk()
    {
        QTemporaryDir dir;
        const QString script = QStringLiteral("mount -t tmpfs -o size=256k vell \"$0\" && "
                                              "echo mounted && exec \"$1\" %1 \"$0\"")
                                   .arg(QLatin1String(kFullFolder));
        for (const QString &way : {"-m", "-rm"}) {
            QProcess child;
            child.start("unshare", {way, "sh", "-c", script, dir.path(),
                                    QCoreApplication::applicationFilePath()});
            child.waitForFinished(60000);
            const QString out = QString::fromUtf8(child.readAllStandardOutput());
            if (!out.startsWith(QLatin1String("mounted\n")))
                continue;
            QCOMPARE(out, "mounted\n1 1\nна диске нет места 0\nна диске нет места 0\n"
                          "|на диске нет места 1\n0 файловая система только для чтения\n");
            return;
        }
        QSKIP("cannot mount a small file system in a mount namespace of its own");
    }
};

int main(int argc, char *argv[])
{
    // Texts are measured with the bundled font: an offscreen GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], kSaveInTurns) == 0)
        return saveInTurns(QFile::decodeName(argv[2]), QByteArray(argv[3]).toInt());
    if (argc == 3 && qstrcmp(argv[1], kKeepCopies) == 0)
        return keepCopies(QFile::decodeName(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], kFullFolder) == 0)
        return fullFolder(QFile::decodeName(argv[2]));
    TestKilledSave test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_killedsave.moc"
