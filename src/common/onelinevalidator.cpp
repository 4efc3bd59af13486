#include "common/onelinevalidator.h"

#include "common/cp1251.h"

namespace vell {

QValidator::State OneLineTextValidator::validate(QString &input, int &) const
{
    for (const QChar c : input) {
        if (c.category() == QChar::Other_Control || !IsCp1251Char(c))
            return Invalid;
    }
    return Acceptable;
}

} // namespace vell
