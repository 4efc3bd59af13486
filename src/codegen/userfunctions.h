#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <span>

namespace vell {

struct VjassReadResult;

struct LineRange
{
    int first = 0;
    int count = 0;
};

// A function's lines to put in place of the function of that name.
struct FunctionText
{
    QString name;
    QStringList lines;
};

// The functions of a user code as the vJass reader reads it on its own: at
// any indentation, in a library or scope under the name the map knows them
// by (Clicks_MyClick for `public function MyClick` in library Clicks), each
// ending at its own endfunction token, whatever follows that on its line.
// Every removal or replacement of a user-code function goes by these ranges,
// so that no other line is ever taken with it.
class UserFunctions
{
public:
    explicit UserFunctions(const QStringList &lines);
    // The same from the lines read already.
    explicit UserFunctions(const VjassReadResult &read);

    // Whether any function bears the name, ended properly or not.
    bool defines(const QString &name) const { return m_functions.contains(name); }
    // The header line of the first function of that name; -1 when none.
    int headerLine(const QString &name) const { return m_functions.value(name).header; }
    // The lines of the first function of that name that ended at its own
    // endfunction. Nothing for one the reader could not end there (a syntax
    // error inside it): such a function is never removed.
    std::optional<LineRange> range(const QString &name) const;

private:
    // The functions of one name.
    struct Named
    {
        int header = -1;
        std::optional<LineRange> range;
    };
    QHash<QString, Named> m_functions;
};

// Each function put in place of the range of its name, exactly there, the
// ones with no range appended at the end in the order given; every other
// line stays as it is.
QStringList ReplaceUserFunctions(QStringList lines, const QList<FunctionText> &functions);

// Removes the range of the function of that name; returns whether anything
// was removed.
bool RemoveUserFunction(QStringList &lines, const QString &name);

// The leading spaces and tabs of a line.
QString IndentationOf(const QString &line);
// The lines with `indentation` before each non-empty one.
QStringList Indented(QStringList lines, const QString &indentation);

// Whether two pieces of vJass are the same code: their tokens equal line by
// line once comments, spacing and lines without code are set aside.
bool SameCode(std::span<const QString> a, std::span<const QString> b);

} // namespace vell
