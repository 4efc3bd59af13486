#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFileDevice>
#include <QString>
#include <QStringList>

#include <optional>

#include <QtGlobal>

namespace vell {

// Splits file bytes into lines: a NUL byte ends the text; CR LF, a lone CR
// and a lone LF each end a line; a final line break adds no empty line.
QStringList SplitTextLines(const QByteArray &bytes);

// The lines SplitTextLines finds, one at a time and not decoded, for a
// reader that decodes only what it keeps. The bytes must outlive it.
class ByteLines
{
public:
    explicit ByteLines(QByteArrayView bytes);
    bool atEnd() const { return m_pos == m_end; }
    // The next line's bytes, without its line break; only before atEnd().
    QByteArrayView next();

private:
    const char *m_pos;
    const char *m_end;
};

// What a text stands for, which decides the control characters it may hold.
enum class LineText
{
    // A value written as one line of a file. A CR or LF would split it; any
    // other control character stays, so that what a file held is written
    // back the same.
    OneLine,
    // Code typed or pasted into the user code editor: CR and LF end its
    // lines, a tab is kept, and no other control character may come in.
    EditorLines,
};

// The characters of `text` that a file line may not hold, each once: first
// those Windows-1251 cannot store, in order of first appearance, then the
// refused control characters, in order of first appearance. A NUL is always
// refused: the text read back would end at it.
QString refusedLineChars(const QString &text, LineText kind);

// Joins lines with CR LF after every line, the last one included. Throws
// VellError naming the characters when a line holds one that Windows-1251
// cannot store (the text is never altered silently).
QByteArray JoinTextLines(const QStringList &lines);

// The bytes JoinTextLines gives for the lines of `text`, separated there by
// a line feed (an empty text is one empty line), made without splitting it.
// Throws as JoinTextLines does, naming the characters of the first line that
// holds any.
QByteArray TextLinesBytes(QStringView text);
// The same bytes written over the text itself, which then holds them and
// nothing else of use (on failure too): the view holds while `text` lives
// unchanged. Saves the memory of a copy of a large text.
QByteArrayView EncodeTextLinesInPlace(QString &text);

// The largest file read whole: far beyond any design or code file, well
// below what would exhaust memory.
constexpr qint64 kLargestReadFile = qint64(64) << 20;

// Reads a whole regular file's bytes. Throws VellError with
// "Cannot open file \"%s\". %s" when it cannot be read, or is no regular
// file (a directory, a pipe, a device), or is larger than kLargestReadFile.
QByteArray ReadFileBytes(const QString &path);

// A file as the system knows it, whatever the path that names it (links
// followed); nothing when no file is there.
struct FileId
{
    quint64 device; // the volume on Windows
    quint64 inode;  // the file index on Windows
    bool operator==(const FileId &) const = default;
};
std::optional<FileId> FileIdOf(const QString &path);

// Reads a whole Windows-1251 text file. Throws VellError with
// "Cannot open file \"%s\". %s" when it cannot be read.
QStringList ReadTextFile(const QString &path);

// Replaces the file at `path` with `bytes`. The new file takes the old one's
// place only once all of it is on the disk; on any failure the old file stays
// whole. A link is followed: the file it leads to is replaced and the link
// stays. Throws VellError with "Cannot create file \"%s\". %s" when it cannot
// be written, and when `path` names something other than a regular file (a
// folder, a pipe, a device), which is left as it is.
void WriteFileBytes(const QString &path, const QByteArray &bytes);

// The part of WriteFileBytes before the new file takes the old one's place:
// writes `bytes` to the open file, flushes Qt's buffer and syncs the file to
// the disk, checking each step. Throws as WriteFileBytes does, naming `path`.
void WriteAndSync(QFileDevice &file, const QString &path, const QByteArray &bytes);

// Writes a whole Windows-1251 text file with CR LF line ends through
// WriteFileBytes.
void WriteTextFile(const QString &path, const QStringList &lines);

// Message for text that holds characters Windows-1251 cannot store; quotes
// them through ShortQuote.
QString unencodableMessage(const QString &badChars);

} // namespace vell
