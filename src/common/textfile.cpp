#include "common/textfile.h"

#include "common/cp1251.h"
#include "common/systemreason.h"
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

namespace {

bool isRefusedControl(QChar c, LineText kind)
{
    if (c == u'\0')
        return true;
    const bool lineBreak = c == u'\r' || c == u'\n';
    switch (kind) {
    case LineText::OneLine:
        return lineBreak;
    case LineText::EditorLines:
        return c.category() == QChar::Other_Control && !lineBreak && c != u'\t';
    }
    return false;
}

} // namespace

QString refusedLineChars(const QString &text, LineText kind)
{
    QString refused = NonCp1251Chars(text);
    for (const QChar c : text) {
        if (isRefusedControl(c, kind) && !refused.contains(c))
            refused.append(c);
    }
    return refused;
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

namespace {

// Why a path that is there is not read.
QString notRegularReason(mode_t mode)
{
    return S_ISDIR(mode) ? SystemReason(EISDIR) : NotRegularFileReason();
}

} // namespace

QByteArray ReadFileBytes(const QString &path)
{
    // Only a regular file is read: a pipe would keep the reader waiting, and
    // a device such as /dev/zero would be read until memory runs out. The
    // file is opened without waiting and looked at before any reading.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw VellError(cannotOpenMessage(path, SystemReason(errno)));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw VellError(cannotOpenMessage(path, FileDeviceReason(0, file.error())));
    }
    struct stat info
    {};
    if (::fstat(fd, &info) != 0)
        throw VellError(cannotOpenMessage(path, SystemReason(errno)));
    if (!S_ISREG(info.st_mode))
        throw VellError(cannotOpenMessage(path, notRegularReason(info.st_mode)));
    if (info.st_size > kLargestReadFile)
        throw VellError(cannotOpenMessage(path, TooLargeReason(info.st_size, kLargestReadFile)));
    errno = 0;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw VellError(cannotOpenMessage(path, FileDeviceReason(errno, file.error())));
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
    // here, before the commit. The reason comes from the errno of the step
    // that failed: Qt's own texts are English.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError)
        throw VellError(cannotCreateMessage(path, FileDeviceReason(errno, file.error())));
    if (::fsync(file.handle()) != 0)
        throw VellError(cannotCreateMessage(path, SystemReason(errno)));
}

void WriteFileBytes(const QString &path, const QByteArray &bytes)
{
    // The new file takes the old one's name, so a name that stands for
    // anything but a regular file is never written: it would put a file in
    // the place of a pipe, a device (as root, /dev/full itself) or a folder.
    // Links are followed: the file a link leads to gets the new bytes (as
    // QSaveFile writes them) and the link stays a link.
    const QByteArray name = QFile::encodeName(path);
    struct stat info
    {};
    if (::stat(name.constData(), &info) == 0) {
        if (!S_ISREG(info.st_mode))
            throw VellError(cannotCreateMessage(path, NotRegularFileReason()));
        // QSaveFile would refuse a file it may not write with a text of its
        // own and no errno.
        if (::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0)
            throw VellError(cannotCreateMessage(path, SystemReason(errno)));
    } else if (errno != ENOENT) {
        // A missing file is made, and a missing folder fails below; a path
        // that cannot be looked at (no access, a file in place of a folder)
        // fails here.
        throw VellError(cannotCreateMessage(path, SystemReason(errno)));
    }

    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throw VellError(cannotCreateMessage(path, FileDeviceReason(errno, file.error())));
    try {
        WriteAndSync(file, path, bytes);
    } catch (const VellError &) {
        file.cancelWriting();
        throw;
    }
    errno = 0;
    if (!file.commit())
        throw VellError(cannotCreateMessage(path, FileDeviceReason(errno, file.error())));
}

void WriteTextFile(const QString &path, const QStringList &lines)
{
    WriteFileBytes(path, JoinTextLines(lines));
}

} // namespace vell
