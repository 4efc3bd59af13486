#include "common/textfind.h"

#include "common/textforms.h"

#include <algorithm>

namespace vell {

namespace {

bool isWholeWord(QStringView text, qsizetype at, qsizetype length)
{
    return (at == 0 || !IsWordChar(text[at - 1].unicode())) &&
           (at + length == text.size() || !IsWordChar(text[at + length].unicode()));
}

// The first match at or after `from`, or -1.
qsizetype findForward(QStringView text, QStringView needle, qsizetype from, FindOptions options)
{
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = from; at <= text.size() - needle.size(); ++at) {
        at = text.indexOf(needle, at, cs);
        if (at < 0 || !options.wholeWord || isWholeWord(text, at, needle.size()))
            return at;
    }
    return -1;
}

// The last match that starts before `before`, or -1.
qsizetype findBackward(QStringView text, QStringView needle, qsizetype before, FindOptions options)
{
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = std::min(before - 1, text.size() - needle.size()); at >= 0; --at) {
        at = text.lastIndexOf(needle, at, cs);
        if (at < 0 || !options.wholeWord || isWholeWord(text, at, needle.size()))
            return at;
    }
    return -1;
}

} // namespace

FindHit FindInText(QStringView text, QStringView needle, qsizetype from, bool backward,
                   FindOptions options)
{
    if (needle.isEmpty() || needle.size() > text.size())
        return {};
    from = std::clamp<qsizetype>(from, 0, text.size());
    if (!backward) {
        if (const qsizetype at = findForward(text, needle, from, options); at >= 0)
            return {at, false};
        const qsizetype at = findForward(text, needle, 0, options);
        return {at, at >= 0};
    }
    if (const qsizetype at = findBackward(text, needle, from, options); at >= 0)
        return {at, false};
    const qsizetype at = findBackward(text, needle, text.size(), options);
    return {at, at >= 0};
}

int CountInText(QStringView text, QStringView needle, FindOptions options)
{
    if (needle.isEmpty())
        return 0;
    int count = 0;
    for (qsizetype at = findForward(text, needle, 0, options); at >= 0;
         at = findForward(text, needle, at + needle.size(), options))
        ++count;
    return count;
}

QString MatchCountText(int count)
{
    if (count == 0)
        return QStringLiteral("Не найдено");
    const QStringView word = CountedWord(count, u"совпадение", u"совпадения", u"совпадений");
    return QString::number(count) + QLatin1Char(' ') + word.toString();
}

int LineForNumber(qint64 number, int lineCount)
{
    return int(std::clamp<qint64>(number - 1, 0, std::max(0, lineCount - 1)));
}

} // namespace vell
