// Colour and integer text: any text, read both as Windows-1251 bytes and as
// UTF-8. A colour that reads writes colour text that reads back to it; an
// integer reads exactly when the text is an optional "-" and digits within
// 32 bits, and its canonical text comes back unchanged.

#include "common/cp1251.h"
#include "common/textforms.h"
#include "common/vellerror.h"
#include "fuzzcheck.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

using namespace vell;

namespace {

bool isUpperHex(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

void checkColorText(const QString &text)
{
    const std::optional<QColor> color = TryTextToColor(text);
    bool threw = false;
    QColor thrown;
    try {
        thrown = TextToColor(text);
    } catch (const VellError &e) {
        threw = true;
        FUZZ_CHECK_EQUAL(e.message().isEmpty(), false);
    }
    FUZZ_CHECK_EQUAL(threw, !color.has_value());
    if (!color)
        return;
    FUZZ_CHECK_EQUAL(thrown, *color);
    FUZZ_CHECK(color->isValid() && color->toRgb() == *color && color->alpha() == 255);

    const QString written = ColorToText(*color);
    if (written.startsWith(u'$')) {
        FUZZ_CHECK_EQUAL(int(written.size()), 9);
        FUZZ_CHECK(written.startsWith(QLatin1String("$00")));
        for (const QChar c : written.mid(1))
            FUZZ_CHECK(isUpperHex(c));
    } else {
        FUZZ_CHECK(written.startsWith(QLatin1String("cl")));
    }
    const std::optional<QColor> back = TryTextToColor(written);
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK_EQUAL(*back, *color);
    FUZZ_CHECK_EQUAL(ColorToText(*back), written);
    FUZZ_CHECK_EQUAL(BgrToColor(ColorToBgr(*color)), *color);
    FUZZ_CHECK(ColorToBgr(*color) <= 0xFFFFFFu);
}

// The integer an optional "-" and digits stand for, when it fits 32 bits.
std::optional<int> referenceInt(const QString &text)
{
    const bool negative = text.startsWith(u'-');
    QStringView digits = QStringView(text).mid(negative ? 1 : 0);
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : digits) {
        if (c.unicode() < '0' || c.unicode() > '9')
            return std::nullopt;
    }
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.mid(1);
    if (digits.size() > 10)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : digits)
        value = value * 10 + (c.unicode() - '0');
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return int(value);
}

void checkIntText(const QString &text)
{
    const std::optional<int> value = TryTextToInt(text);
    const std::optional<int> expected = referenceInt(text);
    FUZZ_CHECK_EQUAL(value.has_value(), expected.has_value());
    bool threw = false;
    try {
        const int v = TextToInt(text);
        if (value)
            FUZZ_CHECK_EQUAL(v, *value);
    } catch (const VellError &) {
        threw = true;
    }
    FUZZ_CHECK_EQUAL(threw, !value.has_value());
    if (!value)
        return;
    FUZZ_CHECK_EQUAL(*value, *expected);
    const QString canonical = IntToText(*value);
    FUZZ_CHECK_EQUAL(TryTextToInt(canonical).value_or(-1), *value);
    FUZZ_CHECK(TryTextToInt(canonical).has_value());
    // Without leading zeros and without "-0", the text is the canonical one.
    const QStringView digits = QStringView(text).mid(text.startsWith(u'-') ? 1 : 0);
    const bool isCanonical = (digits.size() == 1 || digits.front() != u'0') &&
                             !(text.startsWith(u'-') && digits == u"0");
    FUZZ_CHECK_EQUAL(canonical == text, isCanonical);
}

void checkIntValue(int value)
{
    const QString text = IntToText(value);
    FUZZ_CHECK_EQUAL(text, QString::number(value));
    FUZZ_CHECK(TryTextToInt(text).has_value());
    FUZZ_CHECK_EQUAL(*TryTextToInt(text), value);
    const QColor fromBgr = BgrToColor(quint32(value));
    FUZZ_CHECK_EQUAL(ColorToBgr(fromBgr), quint32(value) & 0xFFFFFFu);
    // An integer colour reads as its low 24 bits.
    FUZZ_CHECK(TryTextToColor(text).has_value());
    FUZZ_CHECK_EQUAL(*TryTextToColor(text), fromBgr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QString &text : {DecodeCp1251(bytes), QString::fromUtf8(bytes)}) {
        checkColorText(text);
        checkIntText(text);
        checkColorText(text.trimmed());
        checkIntText(text.trimmed());
    }
    if (size >= 4) {
        qint32 value;
        std::memcpy(&value, data, 4);
        checkIntValue(value);
    }
    return 0;
}
