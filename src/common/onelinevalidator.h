#pragma once

#include <QString>
#include <QValidator>

#include <optional>

namespace vell {

// The place of the first character that a one-line value going into the
// program's files cannot hold: a character Windows-1251 cannot hold, a line
// break or any other control character; -1 when there is none.
qsizetype FirstRefusedOneLineChar(QStringView text);

// Refuses, typed or pasted, what FirstRefusedOneLineChar finds.
class OneLineTextValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override;
};

// What a paste into a one-line field puts in. Copying a line from an editor
// takes its line break along: one trailing LF, CR LF or CR is dropped. Any
// other refused character refuses the whole paste and is named.
struct OneLinePaste
{
    QString text;
    // The first refused character (a whole code point), when there is one.
    std::optional<char32_t> refused;
};
OneLinePaste PasteOneLine(const QString &pasted);

// "Нельзя вставить символ U+000A": the box that tells a refused paste.
QString RefusedPasteMessage(char32_t c);

} // namespace vell
