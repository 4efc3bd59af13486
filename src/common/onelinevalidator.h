#pragma once

#include <QValidator>

namespace vell {

// For one-line values that go into the program's files: refuses, typed or
// pasted, a character Windows-1251 cannot hold, a line break or any other
// control character.
class OneLineTextValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override;
};

} // namespace vell
