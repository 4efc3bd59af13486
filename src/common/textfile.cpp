#include "common/textfile.h"

#include "common/cp1251.h"
#include "common/vellerror.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vell {

QStringList SplitTextLines(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    const QString text = DecodeCp1251(nul < 0 ? bytes : bytes.left(nul));
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString unencodableMessage(const QString &badChars)
{
    return QStringLiteral("Текст содержит символы, которые нельзя сохранить в файл: %1")
        .arg(ShortQuote(badChars));
}

QByteArray JoinTextLines(const QStringList &lines)
{
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    bytes.reserve(size);
    QByteArray encoded;
    for (const QString &line : lines) {
        if (!EncodeCp1251(line, encoded))
            throw VellError(unencodableMessage(NonCp1251Chars(line)));
        bytes.append(encoded);
        bytes.append("\r\n", 2);
    }
    return bytes;
}

QByteArray ReadFileBytes(const QString &path)
{
    // Only a regular file is read: a pipe would keep the reader waiting, and
    // a device such as /dev/zero would be read until memory runs out. The
    // file is opened without waiting and looked at before any reading.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw VellError(cannotOpenMessage(path, qt_error_string(errno)));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw VellError(cannotOpenMessage(path, file.errorString()));
    }
    struct stat info{};
    if (::fstat(fd, &info) != 0)
        throw VellError(cannotOpenMessage(path, qt_error_string(errno)));
    if (S_ISDIR(info.st_mode))
        throw VellError(cannotOpenMessage(path, QStringLiteral("file to open is a directory")));
    if (!S_ISREG(info.st_mode))
        throw VellError(cannotOpenMessage(path, QStringLiteral("not a regular file")));
    if (info.st_size > kLargestReadFile)
        throw VellError(cannotOpenMessage(
            path, QStringLiteral("the file is too large (%1 bytes; at most %2 are read)")
                      .arg(qint64(info.st_size))
                      .arg(kLargestReadFile)));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw VellError(cannotOpenMessage(path, file.errorString()));
    return bytes;
}

QStringList ReadTextFile(const QString &path)
{
    return SplitTextLines(ReadFileBytes(path));
}

void WriteAndSync(QFileDevice &file, const QString &path, const QByteArray &bytes)
{
    // A failed flush does not make QSaveFile::commit() fail: on a full disk it
    // would put an empty file in the old one's place. Every step is checked
    // here, before the commit.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError)
        throw VellError(cannotCreateMessage(path, file.errorString()));
    if (::fsync(file.handle()) != 0)
        throw VellError(cannotCreateMessage(path, qt_error_string(errno)));
}

void WriteFileBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw VellError(cannotCreateMessage(path, file.errorString()));
    try {
        WriteAndSync(file, path, bytes);
    } catch (const VellError &) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit())
        throw VellError(cannotCreateMessage(path, file.errorString()));
}

void WriteTextFile(const QString &path, const QStringList &lines)
{
    WriteFileBytes(path, JoinTextLines(lines));
}

} // namespace vell
