#pragma once

// Shared by the fuzz targets: a property that must hold for every input.
// A broken one prints what was expected and aborts, which libFuzzer reports
// as a crash (and saves the input), and which fails a corpus replay.

#include <QByteArray>
#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <type_traits>

namespace fuzzcheck {

inline QByteArray show(const QString &s)
{
    // Escaped, so that control characters and line breaks are visible.
    QByteArray out;
    for (const QChar c : s) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\')
            out += char(c.unicode());
        else
            out += "\\u" + QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
    }
    return '"' + out + '"';
}

inline QByteArray show(const QStringList &lines)
{
    QByteArray out = "[";
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += ", ";
        if (i == 20) {
            out += "... " + QByteArray::number(lines.size() - 20) + " more";
            break;
        }
        out += show(lines[i]);
    }
    return out + "] (" + QByteArray::number(lines.size()) + " lines)";
}

inline QByteArray show(const QByteArray &bytes)
{
    return bytes.left(200).toHex(' ') + (bytes.size() > 200 ? " ..." : "") + " (" +
           QByteArray::number(bytes.size()) + " bytes)";
}

inline QByteArray show(QColor c)
{
    return c.name(QColor::HexArgb).toLatin1();
}

inline QByteArray show(QSize s)
{
    return QByteArray::number(s.width()) + "x" + QByteArray::number(s.height());
}

inline QByteArray show(QRect r)
{
    return QByteArray::number(r.x()) + "," + QByteArray::number(r.y()) + " " + show(r.size());
}

template <typename T>
    requires std::is_arithmetic_v<T>
inline QByteArray show(T v)
{
    if constexpr (std::is_same_v<T, bool>)
        return v ? "true" : "false";
    else
        return QByteArray::number(v);
}

[[noreturn]] inline void fail(const char *file, int line, const char *what, const QByteArray &detail)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n%s\n", file, line, what, detail.constData());
    std::fflush(stderr);
    std::abort();
}

} // namespace fuzzcheck

// The condition must hold.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond))                                                                               \
            fuzzcheck::fail(__FILE__, __LINE__, #cond, QByteArray());                              \
    } while (0)

// Both values must be equal; prints both when they are not.
#define FUZZ_CHECK_EQUAL(actual, expected)                                                         \
    do {                                                                                           \
        /* Copies: a reference could outlive a temporary it points into. */                       \
        const auto fuzzActual_ = (actual);                                                         \
        const auto fuzzExpected_ = (expected);                                                     \
        if (!(fuzzActual_ == fuzzExpected_))                                                       \
            fuzzcheck::fail(__FILE__, __LINE__, #actual " == " #expected,                          \
                            "actual:   " + fuzzcheck::show(fuzzActual_) +                          \
                                "\nexpected: " + fuzzcheck::show(fuzzExpected_));                  \
    } while (0)
