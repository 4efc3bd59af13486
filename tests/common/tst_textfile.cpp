#include "common/cp1251.h"
#include "common/textfile.h"
#include "common/vellerror.h"
#include "filebytes.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace vell;

namespace {

// The full-disk test runs this program again with this switch, inside its
// own mount namespace, on a small file system of its own.
const char kReplaceOnFullDisk[] = "--replace-on-full-disk";

const QStringList kOldLines(200, QStringLiteral("old line of text"));

// On the file system mounted at `dir`: writes a file, fills the disk, then
// replaces the file with bigger text that still fits in Qt's write buffer, so
// that only the flush fails. Prints the error, the state of the old file and
// what the folder holds.
int replaceOnFullDisk(const QString &dir)
{
    QTextStream out(stdout);
    const QString path = dir + "/old.txt";
    try {
        WriteTextFile(path, kOldLines);
        QFile fill(dir + "/fill");
        if (!fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 2;
        const QByteArray block(4096, 'f');
        while (fill.write(block) == block.size()) {
        }
        fill.close();
        WriteTextFile(path, QStringList(400, QStringLiteral("new line of text")));
        out << "no error\n";
    } catch (const VellError &e) {
        out << e.message() << '\n';
    }
    out << (readBytes(path) == JoinTextLines(kOldLines) ? "old file whole" : "old file changed")
        << '\n'
        << QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name).join(' ') << '\n';
    return 0;
}

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = DecodeCp1251(all);
        QCOMPARE(text.size(), 256);
        QByteArray back;
        QVERIFY(EncodeCp1251(text, back));
        QCOMPARE(back, all);
        // Each byte decodes to a different character.
        QSet<QChar> seen(text.begin(), text.end());
        QCOMPARE(seen.size(), 256);
    }

    void knownBytes_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("unicode");
        QTest::newRow("ascii A") << 0x41 << 0x41;
        QTest::newRow("tilde") << 0x7E << 0x7E;
        QTest::newRow("Dje") << 0x80 << 0x0402;
        QTest::newRow("euro") << 0x88 << 0x20AC;
        QTest::newRow("unassigned") << 0x98 << 0x0098;
        QTest::newRow("trade mark") << 0x99 << 0x2122;
        QTest::newRow("nbsp") << 0xA0 << 0x00A0;
        QTest::newRow("IO") << 0xA8 << 0x0401;
        QTest::newRow("io") << 0xB8 << 0x0451;
        QTest::newRow("numero") << 0xB9 << 0x2116;
        QTest::newRow("A") << 0xC0 << 0x0410;
        QTest::newRow("Ha (X key)") << 0xD5 << 0x0425;
        QTest::newRow("U (Y key)") << 0xD3 << 0x0423;
        QTest::newRow("ya") << 0xFF << 0x044F;
    }

    void knownBytes()
    {
        QFETCH(int, byte);
        QFETCH(int, unicode);
        const QString text = DecodeCp1251(QByteArray(1, char(byte)));
        QCOMPARE(int(text.at(0).unicode()), unicode);
        QByteArray back;
        QVERIFY(EncodeCp1251(text, back));
        QCOMPARE(int(uchar(back.at(0))), byte);
    }

    void unencodableCharacters()
    {
        QByteArray out;
        QVERIFY(!EncodeCp1251(QString::fromUtf8("a\u00e9b"), out));
        QVERIFY(!IsCp1251Char(QChar(0x4E2D)));
        QVERIFY(IsCp1251Char(QChar(0x0451)));
        QCOMPARE(NonCp1251Chars(QString::fromUtf8("x\u00e9y\u00e9\u4e2d")),
                 QString::fromUtf8("\u00e9\u4e2d"));
        QVERIFY_THROWS_EXCEPTION(VellError, JoinTextLines({QString::fromUtf8("caf\u00e9")}));
        QString many;
        for (char16_t c = 0x4E00; c < 0x4E00 + 150; ++c)
            many += QChar(c);
        try {
            JoinTextLines({"ok", many});
            QFAIL("no error raised");
        } catch (const VellError &e) {
            QCOMPARE(e.message(), QStringLiteral("Текст содержит символы, которые нельзя сохранить "
                                                 "в файл: ") +
                                      many.left(100) + QChar(0x2026));
        }
    }

    void refusedControlChars_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("oneLine");
        QTest::addColumn<QString>("editorLines");
        // The whole literal, NULs included.
        const auto s = []<qsizetype N>(const char16_t(&u)[N]) {
            return QStringView(u, N - 1).toString();
        };
        QTest::newRow("code page first, then in order")
            << s(u"\n\x01\u00e9\0\r\n\u4e2d\u00e9") << s(u"\u00e9\u4e2d\n\0\r")
            << s(u"\u00e9\u4e2d\x01\0");
        QTest::newRow("controls the code page stores")
            << s(u"\x1b\x7f\u0098\x0b") << QString() << s(u"\x1b\x7f\u0098\x0b");
        QTest::newRow("control it cannot store") << s(u"\u0085") << s(u"\u0085") << s(u"\u0085");
        QTest::newRow("after ASCII, then in a later line")
            << s(u"0123456789abcdefghij\u4e2d\u00e9\n\u00e9\u0101") << s(u"\u4e2d\u00e9\u0101\n")
            << s(u"\u4e2d\u00e9\u0101");
    }
    void refusedControlChars()
    {
        QFETCH(QString, text);
        QFETCH(QString, oneLine);
        QFETCH(QString, editorLines);
        QCOMPARE(refusedLineChars(text, LineText::OneLine), oneLine);
        QCOMPARE(refusedLineChars(text, LineText::EditorLines), editorLines);
        // Written as lines split at the line feeds: the bytes, or the
        // refusal, of JoinTextLines, also when written over the text.
        const auto written = [](const std::function<QByteArray()> &write) {
            try {
                return write();
            } catch (const VellError &e) {
                return e.message().toUtf8();
            }
        };
        const QByteArray joined = written([&] { return JoinTextLines(text.split(u'\n')); });
        QCOMPARE(written([&] { return TextLinesBytes(text); }), joined);
        QString over = text;
        QCOMPARE(written([&] { return EncodeTextLinesInPlace(over).toByteArray(); }), joined);
    }

    void splitLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("one line no break") << QByteArray("abc") << QStringList{"abc"};
        QTest::newRow("final break adds nothing") << QByteArray("abc\r\n") << QStringList{"abc"};
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("lone lf") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("lone cr") << QByteArray("a\rb") << QStringList{"a", "b"};
        QTest::newRow("mixed") << QByteArray("a\r\rb\n\r\nc") << QStringList{"a", "", "b", "", "c"};
        QTest::newRow("lf cr is two breaks") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
        QTest::newRow("empty lines") << QByteArray("\r\n\r\n") << QStringList{"", ""};
        QTest::newRow("nul ends text")
            << QByteArray("ab\r\ncd\0ef\r\ngh", 12) << QStringList{"ab", "cd"};
        QTest::newRow("cyrillic") << QByteArray("\xD2\xE5\xEA\xF1\xF2")
                                  << QStringList{QStringLiteral("Текст")};
    }

    void splitLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(SplitTextLines(bytes), lines);
    }

    void joinLines()
    {
        QCOMPARE(JoinTextLines({}), QByteArray());
        QCOMPARE(JoinTextLines({""}), QByteArray("\r\n"));
        QCOMPARE(JoinTextLines({QStringLiteral("Текст"), "b"}),
                 QByteArray("\xD2\xE5\xEA\xF1\xF2\r\nb\r\n"));
    }

    void writeAndReadFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.txt");
        const QStringList lines{"FMVELLVERSIONKEY2.1", QStringLiteral("Координата Х"), "", "end"};
        WriteTextFile(path, lines);
        QCOMPARE(readBytes(path),
                 QByteArray("FMVELLVERSIONKEY2.1\r\n\xCA\xEE\xEE\xF0\xE4\xE8\xED\xE0\xF2\xE0 "
                            "\xD5\r\n\r\nend\r\n"));
        QCOMPARE(ReadTextFile(path), lines);
        // Through a link the file it leads to is replaced; the link stays.
        const QString link = dir.filePath("link.txt");
        QVERIFY(QFile::link(path, link));
        WriteTextFile(link, {"new", QStringLiteral("ё")});
        QCOMPARE(readBytes(path), QByteArray("new\r\n\xB8\r\n"));
        QVERIFY(QFileInfo(link).isSymLink());
    }

    void failedWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("keep.txt");
        WriteTextFile(path, {"old"});
        // Text the code page cannot hold: nothing is written, the old file stays.
        QVERIFY_THROWS_EXCEPTION(VellError,
                                 WriteTextFile(path, {"new", QString::fromUtf8("\u4e2d")}));
        QCOMPARE(readBytes(path), QByteArray("old\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.txt"});
    }

    // /dev/full takes the bytes into Qt's buffer, then fails: at the flush for
    // a few bytes, at once for more than the buffer holds.
    void fullDeviceFails_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("fails at flush") << QByteArray("line\r\n");
        QTest::newRow("fails at write") << QByteArray(100000, 'x');
    }
    void fullDeviceFails()
    {
        QFETCH(QByteArray, bytes);
        QFile full(QStringLiteral("/dev/full"));
        if (!full.open(QIODevice::WriteOnly))
            QSKIP("this system has no /dev/full");
        try {
            WriteAndSync(full, QStringLiteral("/some/file.txt"), bytes);
            QFAIL("no error raised");
        } catch (const VellError &e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Cannot create file \"/some/file.txt\". на диске нет места"));
        }
    }

    // On a real full disk: the old file stays whole, no temporary file stays
    // behind, and the error names the file. The small file system is mounted
    // in a mount namespace of the child alone, so it goes away with the child.
    void fullDiskKeepsOldFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString script =
            QStringLiteral(
                "mount -t tmpfs -o size=64k vell \"$0\" && echo mounted && exec \"$1\" %1 \"$0\"")
                .arg(QLatin1String(kReplaceOnFullDisk));
        QList<QStringList> ways{{"-rm"}};
        if (::geteuid() == 0)
            ways.prepend({"-m"});
        QString failures;
        for (const QStringList &way : ways) {
            QProcess child;
            child.start("unshare", way + QStringList{"sh", "-c", script, dir.path(),
                                                     QCoreApplication::applicationFilePath()});
            QVERIFY(child.waitForFinished(30000) || child.error() == QProcess::FailedToStart);
            const QString out = QString::fromUtf8(child.readAllStandardOutput());
            if (!out.startsWith(QLatin1String("mounted\n"))) {
                failures += QStringLiteral("unshare %1: %2 %3\n")
                                .arg(way.join(' '), child.errorString(),
                                     QString::fromLocal8Bit(child.readAllStandardError()));
                continue;
            }
            QCOMPARE(child.exitCode(), 0);
            const QString error =
                QStringLiteral("Cannot create file \"%1/old.txt\". на диске нет места")
                    .arg(dir.path());
            QCOMPARE(out.split('\n'),
                     QStringList({"mounted", error, "old file whole", "fill old.txt", ""}));
            return;
        }
        QSKIP(qPrintable("cannot mount a small file system in a mount namespace of its own "
                         "(needs root or user namespaces):\n" +
                         failures));
    }

    void openErrorNamesFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("missing.j");
        try {
            ReadTextFile(path);
            QFAIL("no error raised");
        } catch (const VellError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(path)),
                     qPrintable(e.message()));
            QVERIFY(e.message().size() >
                    QStringLiteral("Cannot open file \"%1\". ").arg(path).size());
        }
    }

    // Only regular files are read, and none too large for memory: a pipe
    // or a device would otherwise hang the reader or read for ever. Nor is
    // anything but a regular file replaced by one (where `writeReason` is given).
    void refusedFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("writeReason");
        QTest::newRow("directory") << "directory"
                                   << "это папка"
                                   << "не обычный файл";
        QTest::newRow("pipe without a writer") << "pipe"
                                               << "не обычный файл"
                                               << "не обычный файл";
        QTest::newRow("link to a pipe") << "link"
                                        << "не обычный файл"
                                        << "не обычный файл";
        QTest::newRow("endless device") << "/dev/zero"
                                        << "не обычный файл"
                                        << "";
        QTest::newRow("larger than the limit")
            << "large"
            << "файл слишком большой (67108865 байт; читается не больше 67108864)"
            << "";
        QTest::newRow("folder missing") << "no/p.vlp"
                                        << "нет такого файла или папки"
                                        << "нет такого файла или папки";
    }

    void refusedFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QFETCH(QString, writeReason);
        QTemporaryDir dir;
        QString path = dir.filePath("p.vlp");
        if (kind == "directory") {
            QVERIFY(QDir(dir.path()).mkdir("p.vlp"));
        } else if (kind == "pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == "link") {
            QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
            QVERIFY(QFile::link("fifo", path));
        } else if (kind == "large") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(kLargestReadFile + 1)); // sparse: nothing is written
        } else {
            path = kind.startsWith('/') ? kind : dir.filePath(kind);
        }
        try {
            ReadFileBytes(path);
            QFAIL("no error raised");
        } catch (const VellError &e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
        }
        if (writeReason.isEmpty())
            return;
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::System);
        try {
            WriteTextFile(path, {"new"});
            QFAIL("no error raised");
        } catch (const VellError &e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Cannot create file \"%1\". %2").arg(path, writeReason));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System), before);
        QCOMPARE(QFileInfo(path).isSymLink(), kind == "link");
        QVERIFY(!QFileInfo(path).isFile() && !QFileInfo(dir.filePath("fifo")).isFile());
    }

    void createErrorNamesFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("no/such/folder/x.j");
        try {
            WriteTextFile(path, {"x"});
            QFAIL("no error raised");
        } catch (const VellError &e) {
            QVERIFY2(
                e.message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)),
                qPrintable(e.message()));
        }
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kReplaceOnFullDisk) == 0)
        return replaceOnFullDisk(QFile::decodeName(argv[2]));
    TestTextFile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_textfile.moc"
