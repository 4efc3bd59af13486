#include "common/onelinevalidator.h"

#include "common/cp1251.h"

namespace vell {

qsizetype FirstRefusedOneLineChar(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.category() == QChar::Other_Control || !IsCp1251Char(c))
            return i;
    }
    return -1;
}

QValidator::State OneLineTextValidator::validate(QString &input, int &) const
{
    return FirstRefusedOneLineChar(input) < 0 ? Acceptable : Invalid;
}

OneLinePaste PasteOneLine(const QString &pasted)
{
    QStringView text = pasted;
    if (text.endsWith(u"\r\n"))
        text.chop(2);
    else if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    const qsizetype at = FirstRefusedOneLineChar(text);
    if (at < 0)
        return {text.toString(), std::nullopt};
    // A character beyond the first plane is named whole, not by its halves.
    const QChar c = text[at];
    if (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return {QString(), QChar::surrogateToUcs4(c, text[at + 1])};
    return {QString(), c.unicode()};
}

QString RefusedPasteMessage(char32_t c)
{
    return QStringLiteral("Нельзя вставить символ U+%1")
        .arg(QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
}

} // namespace vell
