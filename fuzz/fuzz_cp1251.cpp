// Windows-1251 and line splitting: any bytes decode to as many characters and
// encode back to themselves; any UTF-16 text encodes exactly when it holds
// only characters of the code page; the lines of any bytes join to the same
// text with every line end made CR LF.

#include "common/cp1251.h"
#include "common/textfile.h"
#include "common/vellerror.h"
#include "fuzzcheck.h"

#include <QSet>

#include <cstddef>
#include <cstdint>

using namespace vell;

namespace {

void checkBytes(const QByteArray &bytes)
{
    const QString text = DecodeCp1251(bytes);
    FUZZ_CHECK_EQUAL(text.size(), bytes.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        FUZZ_CHECK(IsCp1251Char(text[i]));
        if (uchar(bytes[i]) < 0x80)
            FUZZ_CHECK_EQUAL(int(text[i].unicode()), int(uchar(bytes[i])));
    }
    QByteArray back;
    FUZZ_CHECK(EncodeCp1251(text, back));
    FUZZ_CHECK_EQUAL(back, bytes);
    FUZZ_CHECK(NonCp1251Chars(text).isEmpty());
}

void checkUtf16(const QString &text)
{
    const QString bad = NonCp1251Chars(text);
    QSet<QChar> seen;
    for (const QChar c : bad) {
        FUZZ_CHECK(!IsCp1251Char(c));
        FUZZ_CHECK(text.contains(c));
        FUZZ_CHECK(!seen.contains(c));
        seen.insert(c);
    }
    for (const QChar c : text)
        FUZZ_CHECK_EQUAL(IsCp1251Char(c), !seen.contains(c));

    QByteArray out;
    const bool encoded = EncodeCp1251(text, out);
    FUZZ_CHECK_EQUAL(encoded, bad.isEmpty());
    if (encoded)
        FUZZ_CHECK_EQUAL(DecodeCp1251(out), text);

    // Lines that the code page cannot hold are refused, never altered.
    bool refused = false;
    try {
        JoinTextLines({text});
    } catch (const VellError &) {
        refused = true;
    }
    FUZZ_CHECK_EQUAL(refused, !encoded);
}

// What the lines of any bytes join to: the text up to the first NUL, every
// CR LF, lone CR and lone LF made CR LF, and a last line without one given
// one.
QByteArray joinedForm(QByteArray bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    bytes.replace("\r\n", "\n");
    bytes.replace('\r', '\n');
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes.append('\n');
    bytes.replace("\n", "\r\n");
    return bytes;
}

void checkLines(const QByteArray &bytes)
{
    const QStringList lines = SplitTextLines(bytes);
    for (const QString &line : lines)
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n') && !line.contains(QChar(0)));
    const QByteArray joined = JoinTextLines(lines);
    FUZZ_CHECK_EQUAL(joined, joinedForm(bytes));
    FUZZ_CHECK_EQUAL(SplitTextLines(joined), lines);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    checkBytes(bytes);
    checkLines(bytes);
    checkUtf16(QString(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2));
    checkUtf16(QString::fromUtf8(bytes));
    return 0;
}
