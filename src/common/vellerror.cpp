#include "common/vellerror.h"

namespace vell {

QString ShortQuote(const QString &text)
{
    constexpr int kMaxQuoted = 100;
    qsizetype end = 0;
    for (int n = 0; n < kMaxQuoted && end < text.size(); ++n) {
        const bool pair =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
    }
    if (end == text.size())
        return text;
    return text.left(end) + QChar(0x2026);
}

QString VisibleChars(const QString &chars)
{
    QString shown;
    for (const QChar c : chars) {
        if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
        else
            shown += c;
    }
    return shown;
}

QString invalidIntegerMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(ShortQuote(text));
}

QString listIndexMessage(int index)
{
    return QStringLiteral("List index out of bounds (%1)").arg(index);
}

QString cannotOpenMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot open file \"%1\". %2").arg(ShortQuote(path), reason);
}

QString cannotCreateMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(ShortQuote(path), reason);
}

} // namespace vell
