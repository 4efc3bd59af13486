#pragma once

#include <QList>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace vell {

// The lexer of vJass (JASS with the vJass additions), one line at a time, so
// that a code view can colour the lines it draws and the reader can walk a
// whole text with the same rules.
//
// Whitespace is the space, the tab, CR, VT and FF; it is never a token, and
// every other character of a line belongs to exactly one token.

enum class VjassTokenKind : std::uint8_t
{
    Keyword,     // the reserved words of JASS and vJass, and this
    TypeName,    // a native type of common.j, vJass's key, or nothing
    Identifier,  // a letter or '_', then letters, digits and '_'
    Integer,     // 12, 017, 0x1F, $1F
    Real,        // 1., .5, 1.5
    String,      // "..." with backslash escapes; an unclosed one goes on to the next line
    Rawcode,     // 'A000', of any length, with backslash escapes ('\'')
    Comment,     // // to the end of the line, or /* ... */ (which may span lines)
    Operator,    // + - * / = == != < > <= >=
    Punctuation, // ( ) [ ] , .
    Directive,   // a line that starts with //!, from the //! to the end of the line
    Skipped,     // a line inside a textmacro body, a zinc or a novjass block
    Invalid,     // a run of characters that start no token, an unclosed rawcode, 12ab
};

// Which keyword a Keyword token is, `Nothing` for the type name nothing, and
// for a Directive token the word after the //! when it is one of the last
// group; None for everything else. The reader goes by these rather than by
// comparing text again.
enum class VjassWord : std::uint8_t
{
    None,
    And,
    Array,
    Call,
    Constant,
    Debug,
    Defaults,
    Delegate,
    Else,
    Elseif,
    Endfunction,
    Endglobals,
    Endif,
    Endinterface,
    Endlibrary,
    Endloop,
    Endmethod,
    Endmodule,
    Endscope,
    Endstruct,
    Exitwhen,
    Extends,
    False,
    Function,
    Globals,
    Hook,
    If,
    Implement,
    Initializer,
    Interface,
    Keyword,
    Library,
    LibraryOnce,
    Local,
    Loop,
    Method,
    Module,
    Native,
    Needs,
    Not,
    Null,
    Operator,
    Optional,
    Or,
    Private,
    Public,
    Readonly,
    Requires,
    Return,
    Returns,
    Scope,
    Set,
    Static,
    Struct,
    Stub,
    Super,
    Takes,
    Then,
    This,
    Thistype,
    True,
    Type,
    Uses,
    Nothing,
    // Directives.
    Textmacro,
    TextmacroOnce,
    Endtextmacro,
    Runtextmacro,
    Zinc,
    Endzinc,
    Novjass,
    Endnovjass,
    Inject,
    Endinject,
    Import,
};

// Offsets are in UTF-16 units of the line.
struct VjassToken
{
    VjassTokenKind kind = VjassTokenKind::Invalid;
    int start = 0;
    int length = 0;
    VjassWord word = VjassWord::None;
    friend bool operator==(const VjassToken &, const VjassToken &) = default;
};

// What one line leaves open for the next.
struct VjassLineState
{
    enum class Block : std::uint8_t
    {
        None,
        TextMacro, // //! textmacro (or textmacro_once) ... //! endtextmacro
        Zinc,      // //! zinc ... //! endzinc
        NoVjass,   // //! novjass ... //! endnovjass
    };
    Block block = Block::None;
    bool inComment = false; // a /* comment not closed yet
    bool inString = false;  // a string not closed yet
    friend bool operator==(const VjassLineState &, const VjassLineState &) = default;
};

// Appends the line's tokens, in order, and updates the state for the next
// line. Inside a block the line is one Skipped token from its first
// non-whitespace character on, unless it is the block's closing directive.
// A //! that is not the first thing on its line is a comment.
void LexVjassLine(QStringView line, VjassLineState &state, QList<VjassToken> &tokens);
// The same, for a reader that lexes a whole text through one buffer.
void LexVjassLine(QStringView line, VjassLineState &state, std::vector<VjassToken> &tokens);

bool IsVjassKeyword(QStringView word);
// The fixed table: integer real boolean string code handle nothing key, and
// the handle types of common.j.
bool IsVjassTypeName(QStringView word);

} // namespace vell
