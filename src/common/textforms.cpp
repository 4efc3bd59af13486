#include "common/textforms.h"

#include "common/vellerror.h"

#include <algorithm>
#include <array>

namespace vell {

namespace {

struct NamedColor
{
    const char *name;
    int r, g, b;
};

// The colours that are written by name.
constexpr std::array<NamedColor, 20> kNamedColors{{
    {"clBlack", 0, 0, 0},       {"clMaroon", 128, 0, 0},         {"clGreen", 0, 128, 0},
    {"clOlive", 128, 128, 0},   {"clNavy", 0, 0, 128},           {"clPurple", 128, 0, 128},
    {"clTeal", 0, 128, 128},    {"clGray", 128, 128, 128},       {"clSilver", 192, 192, 192},
    {"clRed", 255, 0, 0},       {"clLime", 0, 255, 0},           {"clYellow", 255, 255, 0},
    {"clBlue", 0, 0, 255},      {"clFuchsia", 255, 0, 255},      {"clAqua", 0, 255, 255},
    {"clWhite", 255, 255, 255}, {"clMoneyGreen", 192, 220, 192}, {"clSkyBlue", 166, 202, 240},
    {"clCream", 255, 251, 240}, {"clMedGray", 160, 160, 164},
}};

// Names that are read but never written: the desktop's interface colours
// (with the values of the classic desktop scheme) and the two special values.
constexpr std::array<NamedColor, 32> kReadOnlyColors{{
    {"clScrollBar", 200, 200, 200},
    {"clBackground", 0, 0, 0},
    {"clActiveCaption", 153, 180, 209},
    {"clInactiveCaption", 191, 205, 219},
    {"clMenu", 240, 240, 240},
    {"clWindow", 255, 255, 255},
    {"clWindowFrame", 100, 100, 100},
    {"clMenuText", 0, 0, 0},
    {"clWindowText", 0, 0, 0},
    {"clCaptionText", 0, 0, 0},
    {"clActiveBorder", 180, 180, 180},
    {"clInactiveBorder", 244, 247, 252},
    {"clAppWorkSpace", 171, 171, 171},
    {"clHighlight", 0, 120, 215},
    {"clHighlightText", 255, 255, 255},
    {"clBtnFace", 240, 240, 240},
    {"clBtnShadow", 160, 160, 160},
    {"clGrayText", 109, 109, 109},
    {"clBtnText", 0, 0, 0},
    {"clInactiveCaptionText", 0, 0, 0},
    {"clBtnHighlight", 255, 255, 255},
    {"cl3DDkShadow", 105, 105, 105},
    {"cl3DLight", 227, 227, 227},
    {"clInfoText", 0, 0, 0},
    {"clInfoBk", 255, 255, 225},
    {"clHotLight", 0, 102, 204},
    {"clGradientActiveCaption", 185, 209, 234},
    {"clGradientInactiveCaption", 215, 228, 242},
    {"clMenuHighlight", 0, 120, 215},
    {"clMenuBar", 240, 240, 240},
    {"clNone", 0, 0, 0},
    {"clDefault", 0, 0, 0},
}};

} // namespace

QString BoolToText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

bool TextToBool(const QString &text)
{
    return text == QLatin1String("true");
}

bool TextBytesToBool(QByteArrayView bytes)
{
    return bytes == QByteArrayView("true");
}

QStringView CountedWord(int count, QStringView one, QStringView few, QStringView many)
{
    const int tens = count % 100, ones = count % 10;
    if (tens >= 11 && tens <= 14)
        return many;
    return ones == 1 ? one : ones >= 2 && ones <= 4 ? few : many;
}

QString IntToText(int value)
{
    return QString::number(value);
}

namespace {

template <typename Char> std::optional<int> textToInt(const Char *text, qsizetype size)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < size && text[i] == Char('-')) {
        negative = true;
        ++i;
    }
    if (i == size)
        return std::nullopt;
    qint64 value = 0;
    for (; i < size; ++i) {
        const Char c = text[i];
        if (c < Char('0') || c > Char('9'))
            return std::nullopt;
        value = value * 10 + (c - Char('0'));
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL || value < -2147483648LL)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

std::optional<int> TryTextToInt(const QString &text)
{
    return textToInt(text.utf16(), text.size());
}

std::optional<int> TryTextToInt(QByteArrayView bytes)
{
    return textToInt(bytes.data(), bytes.size());
}

int TextToInt(const QString &text)
{
    if (const auto v = TryTextToInt(text))
        return *v;
    throw VellError(invalidIntegerMessage(text));
}

quint32 ColorToBgr(QColor color)
{
    return quint32(color.blue()) << 16 | quint32(color.green()) << 8 | quint32(color.red());
}

QColor BgrToColor(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

bool IsPlainLine(QStringView text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029;
    });
}

QString ColorToText(QColor color)
{
    for (const NamedColor &n : kNamedColors) {
        if (color.red() == n.r && color.green() == n.g && color.blue() == n.b)
            return QLatin1String(n.name);
    }
    const quint32 bgr = ColorToBgr(color);
    QString text(9, u'$');
    for (int i = 0; i < 8; ++i)
        text[8 - i] = QLatin1Char("0123456789ABCDEF"[bgr >> (4 * i) & 0xF]);
    return text;
}

std::optional<quint32> TryDollarBgr(QStringView text)
{
    if (text.size() < 2 || text.size() > 9 || text[0] != u'$')
        return std::nullopt;
    quint32 value = 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        quint32 digit = 0;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | digit;
    }
    return value & 0xFFFFFF;
}

std::optional<QColor> TryTextToColor(const QString &text)
{
    // The form colours are stored in; no colour's name starts with "$".
    if (text.startsWith(QLatin1Char('$'))) {
        if (const std::optional<quint32> bgr = TryDollarBgr(text))
            return BgrToColor(*bgr);
        return std::nullopt;
    }
    const auto isNamed = [&text](const NamedColor &n) {
        const QLatin1String name(n.name);
        return text.size() == name.size() && text.compare(name, Qt::CaseInsensitive) == 0;
    };
    for (const NamedColor &n : kNamedColors) {
        if (isNamed(n))
            return QColor(n.r, n.g, n.b);
    }
    for (const NamedColor &n : kReadOnlyColors) {
        if (isNamed(n))
            return QColor(n.r, n.g, n.b);
    }
    if (const auto v = TryTextToInt(text))
        return BgrToColor(quint32(*v) & 0xFFFFFF);
    return std::nullopt;
}

QColor TextToColor(const QString &text)
{
    if (const auto c = TryTextToColor(text))
        return *c;
    throw VellError(invalidIntegerMessage(text));
}

} // namespace vell
