#include "common/textfile.h"

#include "common/cp1251.h"
#include "common/systemreason.h"
#include "common/vellerror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <QDir>

#include <io.h>
#include <windows.h>
#endif

namespace vell {

ByteLines::ByteLines(QByteArrayView bytes) : m_pos(bytes.data()), m_end(bytes.data())
{
    const qsizetype nul = bytes.indexOf('\0');
    m_end += nul < 0 ? bytes.size() : nul;
}

QByteArrayView ByteLines::next()
{
    const char *start = m_pos;
    const char *p = m_pos;
    // Eight bytes at a time: after an exclusive or, the bytes equal to CR
    // (or LF) are the zero ones, and (x - 0x01..) & ~x & 0x80.. flags them.
    // A borrow only runs upwards, so the lowest flag marks the first one.
    constexpr quint64 kOnes = 0x0101010101010101;
    constexpr quint64 kTops = 0x8080808080808080;
    for (; m_end - p >= 8; p += 8) {
        const quint64 word = qFromLittleEndian<quint64>(p);
        const quint64 cr = word ^ (kOnes * '\r');
        const quint64 lf = word ^ (kOnes * '\n');
        const quint64 found = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kTops;
        if (found != 0) {
            p += qCountTrailingZeroBits(found) / 8;
            break;
        }
    }
    while (p < m_end && *p != '\r' && *p != '\n')
        ++p;
    const QByteArrayView line(start, p - start);
    if (p < m_end && *p == '\r' && p + 1 < m_end && p[1] == '\n')
        ++p;
    m_pos = p < m_end ? p + 1 : p;
    return line;
}

QStringList SplitTextLines(const QByteArray &bytes)
{
    QStringList lines;
    for (ByteLines source(bytes); !source.atEnd();)
        lines.append(DecodeCp1251(source.next()));
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
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    QByteArray bytes(size, Qt::Uninitialized);
    char *out = bytes.data();
    for (const QString &line : lines) {
        if (EncodeCp1251(QStringView(line), out) >= 0)
            throw VellError(unencodableMessage(NonCp1251Chars(line)));
        out += line.size();
        *out++ = '\r';
        *out++ = '\n';
    }
    return bytes;
}

QByteArrayView EncodeTextLinesInPlace(QString &text)
{
    static const char kLineEnd[] = "\r\n";
    if (text.isEmpty())
        return QByteArrayView(kLineEnd, 2);
    // The bytes go where the text stood, from its start. A character gives
    // at most two bytes (a line feed gives CR LF), so before character i at
    // most 2i bytes are written: every byte goes over characters already
    // read (a block of ASCII is read whole before its bytes go out). The
    // text has room for a terminating character, which the last CR LF may
    // take.
    const qsizetype n = text.size();
    char *const start = reinterpret_cast<char *>(text.data());
    char *out = start;
    const QStringView all(text);
    for (qsizetype from = 0;;) {
        qsizetype end = all.indexOf(u'\n', from);
        if (end < 0)
            end = n;
        const QStringView line = all.sliced(from, end - from);
        if (const qsizetype bad = EncodeCp1251(line, out); bad >= 0) {
            // The characters from the first unencodable one on are still
            // there; those before it are of the code page.
            throw VellError(unencodableMessage(NonCp1251Chars(line.sliced(bad))));
        }
        out += line.size();
        *out++ = '\r';
        *out++ = '\n';
        if (end == n)
            break;
        from = end + 1;
    }
    return QByteArrayView(start, out - start);
}

QByteArray TextLinesBytes(QStringView text)
{
    // Code lines run far longer than 16 characters; more room is made when
    // a text's lines are shorter.
    QByteArray bytes(text.size() + text.size() / 16 + 2, Qt::Uninitialized);
    qsizetype used = 0;
    for (qsizetype start = 0;;) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        const QStringView line = text.sliced(start, end - start);
        if (used + line.size() + 2 > bytes.size())
            bytes.resize(2 * (used + line.size() + 2) + (text.size() - end));
        char *out = bytes.data() + used;
        if (EncodeCp1251(line, out) >= 0)
            throw VellError(unencodableMessage(NonCp1251Chars(line)));
        out += line.size();
        *out++ = '\r';
        *out++ = '\n';
        used += line.size() + 2;
        if (end == text.size())
            break;
        start = end + 1;
    }
    bytes.resize(used);
    return bytes;
}

#ifdef Q_OS_UNIX

namespace {

// Why a path that is there is not read.
QString notRegularReason(mode_t mode)
{
    return S_ISDIR(mode) ? SystemReason(EISDIR) : NotRegularFileReason();
}

} // namespace

std::optional<FileId> FileIdOf(const QString &path)
{
    struct stat info
    {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileId{quint64(info.st_dev), quint64(info.st_ino)};
}

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

#elif defined(Q_OS_WIN)

std::optional<FileId> FileIdOf(const QString &path)
{
    // The volume and the file index name a file whatever path or link leads
    // to it; a folder is opened only with the backup flag.
    if (path.isEmpty())
        return std::nullopt;
    const HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()),
                                 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!known)
        return std::nullopt;
    return FileId{info.dwVolumeSerialNumber,
                  (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

QByteArray ReadFileBytes(const QString &path)
{
    // Only a regular file is read: a device (CON, NUL) or a named pipe is
    // refused before any reading.
    if (QFileInfo(path).isDir())
        throw VellError(cannotOpenMessage(path, SystemReason(EISDIR)));
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throw VellError(cannotOpenMessage(path, FileDeviceReason(errno, file.error())));
    if (file.isSequential() || GetFileType(HANDLE(_get_osfhandle(file.handle()))) != FILE_TYPE_DISK)
        throw VellError(cannotOpenMessage(path, NotRegularFileReason()));
    if (file.size() > kLargestReadFile)
        throw VellError(cannotOpenMessage(path, TooLargeReason(file.size(), kLargestReadFile)));
    errno = 0;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw VellError(cannotOpenMessage(path, FileDeviceReason(errno, file.error())));
    return bytes;
}

#endif

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
        // The data reach the disk before the new file takes the old one's name.
#ifdef Q_OS_WIN
    if (::_commit(file.handle()) != 0)
#else
    if (::fsync(file.handle()) != 0)
#endif
        throw VellError(cannotCreateMessage(path, SystemReason(errno)));
}

void WriteFileBytes(const QString &path, const QByteArray &bytes)
{
    // The new file takes the old one's name, so a name that stands for
    // anything but a regular file is never written: it would put a file in
    // the place of a pipe, a device (as root, /dev/full itself) or a folder.
    // Links are followed: the file a link leads to gets the new bytes (as
    // QSaveFile writes them) and the link stays a link.
#ifdef Q_OS_UNIX
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
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw VellError(cannotCreateMessage(path, NotRegularFileReason()));
    if (info.exists() && !info.isWritable())
        throw VellError(cannotCreateMessage(path, SystemReason(EACCES)));
#endif

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
