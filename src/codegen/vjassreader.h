#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vell {

// Lines and columns are 0-based: an index into the lines read, and a UTF-16
// offset in the line (the line's length for "at its end").
struct VjassError
{
    int line = 0;
    int column = 0;
    QString expected; // a short phrase: "ожидалось «endfunction»", "лишний «endif»"
    friend bool operator==(const VjassError &, const VjassError &) = default;
};

// A free function (not a method). A private function declared inside a
// library or scope S is named "S__Name", a public one "S_Name" (S is the
// innermost library or scope), so that private functions of one name in two
// scopes stay apart; private and public globals, structs, interfaces and
// modules are named the same way in globalNames. Calls and references keep
// the names as written.
struct VjassFunction
{
    QString name;
    int line = 0;    // of the header
    int endLine = 0; // of endfunction; when it is missing, the last line before
                     // what closed the function (the last line of the text at its end)
    // Distinct names that are indexed with [ ] in the body, in order of first
    // use: the name itself, not a member (this.a[1] or .a[1] give nothing).
    QStringList indexedNames;
    friend bool operator==(const VjassFunction &, const VjassFunction &) = default;
};

struct VjassName
{
    QString name;
    int line = 0;
    int column = 0;
    friend bool operator==(const VjassName &, const VjassName &) = default;
};

struct VjassReadResult
{
    // In text order, at most kMaxVjassErrors. After an error the reader goes
    // on with the next line.
    QList<VjassError> errors;
    QList<VjassFunction> functions; // in order of definition
    // Names declared in globals blocks, by type and native declarations, and
    // the names of libraries, scopes, structs, interfaces, modules and
    // function interfaces; not struct members or methods.
    QStringList globalNames;
    // Every `function X` (X as written: a.b, thistype.x), and the functions
    // that a library or scope initializer and a hook name.
    QList<VjassName> functionReferences;
    // Plain calls of a function by name, `call X(...)` and X(...) in
    // expressions; not member or method calls (a.b(), X.y(), .z()), and not
    // casts to a type (integer(x), thistype(x), or a struct, interface or
    // function interface declared in the text).
    QList<VjassName> calls;
    // Text that the reader did not read could declare names: a textmacro
    // body, a zinc, novjass or inject block, //! runtextmacro or //! import.
    bool hasOpaqueParts = false;
};

constexpr int kMaxVjassErrors = 100;
// Blocks, and parentheses, brackets and argument lists in an expression,
// nest at most this deep; deeper is an error.
constexpr int kMaxVjassNesting = 200;

// Reads the lines as vJass: checks the syntax, recovering at the next line,
// and lists what the rest of the program needs to know. Where vJass might
// allow a form, it is accepted. A string may run on over lines; when the
// statement it runs into does not read, or the text ends in it, the error is
// the closing quote missing at the end of the line it started on, and the
// lines after that line are read as code. Takes time in proportion to the
// text.
VjassReadResult ReadVjass(const QStringList &lines);

} // namespace vell
