#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>
#include <vector>

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

// One of what a function takes: the type as written (a.b for a struct's
// member type) and the name.
struct VjassParameter
{
    QString type;
    QString name;
    friend bool operator==(const VjassParameter &, const VjassParameter &) = default;
};

// A free function (not a method). A private function declared inside a
// library or scope S is named "S__Name", a public one "S_Name" (S is the
// innermost library or scope), so that private functions of one name in two
// scopes stay apart; private and public globals, structs, interfaces and
// modules are named the same way in globalNames. Calls and references keep
// the names as written.
struct VjassFunction
{
    enum class Access
    {
        Plain,
        Private,
        Public
    };
    QString name;
    int line = 0;    // of the header
    int endLine = 0; // of endfunction; when it is missing, the last line before
                     // what closed the function (the last line of the text at its end)
    // Whether the function ended at its own endfunction token (whatever
    // follows it on that line); false when something else closed it or the
    // text ended in it.
    bool closed = false;
    QString writtenName; // as the header spells it: MyClick for Clicks_MyClick
    Access access = Access::Plain;
    QString scope;                    // the innermost library or scope; empty outside any
    bool scopeIsLibrary = false;      // whether that is a library
    QString library;                  // the library it stands in, even within a scope
    QList<VjassParameter> parameters; // empty for `takes nothing`
    QString returnType;               // as written: nothing, integer, …
    // Whether its last statement is a return, or an if whose every branch
    // (an else among them) ends so, or something the reader cannot judge (a
    // loop, a static if); also for a function that did not end properly.
    bool endsWithReturn = true;
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
    // The free function it stands in (an index into `functions`), -1 outside
    // one (globals, methods, a library's initializer).
    int function = -1;
    // The function or method body it stands in, counted from 0 in text
    // order; -1 outside any.
    int body = -1;
    // For a call, how many arguments it passes; for a return, 1 when it
    // gives a value.
    int arguments = 0;
    // For an assignment, whether it gives an index.
    bool indexed = false;
    friend bool operator==(const VjassName &, const VjassName &) = default;
};

// A local of a function or method body, or a global.
struct VjassVariable
{
    QString type; // as written
    QString name; // a private or public global's as for functions
    int line = 0;
    int column = 0;    // of the name
    int function = -1; // as for VjassName
    int body = -1;     // as for VjassName; -1 for a global
    bool isArray = false;
    bool hasValue = false;
    bool isConstant = false;
    // Of a type the language itself has (integer, unit, …), not one the
    // text declares.
    bool nativeType = false;
    // A local after a statement of its body.
    bool afterStatement = false;
    // A local in a static if: another branch may declare it too.
    bool inStaticIf = false;
    friend bool operator==(const VjassVariable &, const VjassVariable &) = default;
};

// A library, as its header names it and what it requires (requires, needs
// or uses; optional ones too).
struct VjassLibrary
{
    QString name;
    int line = 0;
    QStringList required;
    friend bool operator==(const VjassLibrary &, const VjassLibrary &) = default;
};

// The type of a value as the reader found it: one of the read's typeNames,
// or what decides it once the whole text is known (a name that is no local
// or parameter of the body, a call's result).
struct VjassValue
{
    enum class From : std::uint8_t
    {
        Type,        // `type`; 0 when the reader cannot tell
        Name,        // a variable's value
        IndexedName, // an array's element
        Call,        // what a function of that name returns
    };
    From from = From::Type;
    int type = 0;
    QString name; // for the others
    bool known() const { return from != From::Type || type != 0; }
    friend bool operator==(const VjassValue &, const VjassValue &) = default;
};

// The first entries of every read's typeNames.
enum VjassTypeIndex : int
{
    kVjassUnknownType, // ""
    kVjassInteger,
    kVjassReal,
    kVjassBoolean,
    kVjassString,
    kVjassCode,
    kVjassHandle,
    kVjassNull, // the type of null
    kVjassNothing,
    kVjassFirstNamedType,
};

// A place where a value must be of some type. Places where the type
// found already fits are left out.
struct VjassTypeUse
{
    enum class Kind : std::uint8_t
    {
        Value,     // given to a variable: `what` names it
        Argument,  // passed to the function `what`, as its argument `index` (from 0)
        Return,    // returned by the function
        Condition, // of if, elseif or exitwhen (`what`)
        Operator,  // an operand of `what` (+, ==, not, and …)
    };
    Kind kind = Kind::Value;
    QString what;
    int line = 0;
    int column = 0;    // of the value; of an operator's token
    int function = -1; // as for VjassName
    int body = -1;
    // Value: 1 when the variable is given an index. Argument: its place.
    int index = 0;
    // Value: the variable's type when the reader knows it (a local, a
    // parameter, a declaration), else 0.
    int expected = 0;
    VjassValue found; // the value; an operator's right operand
    VjassValue left;  // a binary operator's left operand
    friend bool operator==(const VjassTypeUse &, const VjassTypeUse &) = default;
};

// A type the text declares: `type Name extends Parent`.
struct VjassTypeDeclaration
{
    QString name;
    QString parent;
    friend bool operator==(const VjassTypeDeclaration &, const VjassTypeDeclaration &) = default;
};

// What the text ends in, left open: the first of what the reader reports
// missing at its end. A text that ends in a string is said to end in it,
// although the reader then reads on after the line the string started on.
struct VjassOpenPart
{
    enum class Kind : std::uint8_t
    {
        None,
        String,
        Comment,
        TextMacro,
        Zinc,
        NoVjass,
        Inject,
        Globals,
        Function,
        Method,
        If, // also static if
        Loop,
        Library,
        Scope,
        Struct,
        Interface,
        Module,
    };
    Kind kind = Kind::None;
    QString name; // of a function, method, library, scope, struct, interface or module, as written
    int line = 0; // where it opened: its header, directive, quote or /*
    // The error the reader reports for it in `errors`, -1 when not listed:
    // for a string the missing quote, after which the errors come from
    // reading on as code; else what is missing at the end.
    int errorIndex = -1;
    friend bool operator==(const VjassOpenPart &, const VjassOpenPart &) = default;
};

struct VjassReadResult
{
    // In text order, at most kMaxVjassErrors. After an error the reader goes
    // on with the next line.
    QList<VjassError> errors;
    QList<VjassFunction> functions; // in order of definition
    // Methods with a body, by their names as written (operator x=), with
    // no parameters or access.
    QList<VjassFunction> methods;
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
    QList<VjassVariable> variables; // locals and globals, in text order
    // The first `set Name = ` and `set Name[…] = ` of each name in a body.
    QList<VjassName> assignments;
    // The first Name[…] of each name in a free function (a set's target
    // too), as the function's indexedNames.
    QList<VjassName> indexedUses;
    QList<VjassLibrary> libraries; // in text order
    // The return statements of free functions ("return" as the name).
    QList<VjassName> returns;
    // The types the records name by index; the language's own first (see
    // VjassTypeIndex).
    QStringList typeNames;
    QList<VjassTypeUse> typeUses; // in text order
    QList<VjassTypeDeclaration> types;
    // Struct, interface and function interface names, as written.
    QStringList structNames;
    // Text that the reader did not read could declare names: a textmacro
    // body, a zinc, novjass or inject block, //! runtextmacro or //! import.
    bool hasOpaqueParts = false;
    // The text declares a function interface (function Name may then stand
    // for one that takes arguments).
    bool hasFunctionInterfaces = false;
    VjassOpenPart openAtEnd;
};

constexpr int kMaxVjassErrors = 100;
// Blocks, and parentheses, brackets and argument lists in an expression,
// nest at most this deep; deeper is an error.
constexpr int kMaxVjassNesting = 200;

// Reads the lines as vJass: checks the syntax, recovering at the next line,
// and lists what the rest of the program needs to know. Where vJass might
// allow a form, it is accepted. A statement goes on after a block comment
// that spans lines, on the line the comment ends on. A string may run on
// over lines; when the statement it runs into does not read, or the text
// ends in it, the error is the closing quote missing at the end of the line
// it started on, and the lines after that line are read as code. Takes time
// in proportion to the text.
VjassReadResult ReadVjass(const QStringList &lines);
// The same over views of lines, which must outlive the reading.
VjassReadResult ReadVjass(std::span<const QStringView> lines);

// The lines of a text split at each '\n', as views into it (a text without
// one is one line).
std::vector<QStringView> VjassTextLines(QStringView text);

} // namespace vell
