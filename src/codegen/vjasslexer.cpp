#include "codegen/vjasslexer.h"

#include "common/textforms.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace vell {

namespace {

using Kind = VjassTokenKind;
using Word = VjassWord;
using Block = VjassLineState::Block;

struct Entry
{
    std::u16string_view text;
    Kind kind;
    Word word;
};

// Every reserved word and type name starts with a lower-case letter.
constexpr Entry kWords[] = {
    {u"and", Kind::Keyword, Word::And},
    {u"array", Kind::Keyword, Word::Array},
    {u"call", Kind::Keyword, Word::Call},
    {u"constant", Kind::Keyword, Word::Constant},
    {u"debug", Kind::Keyword, Word::Debug},
    {u"defaults", Kind::Keyword, Word::Defaults},
    {u"delegate", Kind::Keyword, Word::Delegate},
    {u"else", Kind::Keyword, Word::Else},
    {u"elseif", Kind::Keyword, Word::Elseif},
    {u"endfunction", Kind::Keyword, Word::Endfunction},
    {u"endglobals", Kind::Keyword, Word::Endglobals},
    {u"endif", Kind::Keyword, Word::Endif},
    {u"endinterface", Kind::Keyword, Word::Endinterface},
    {u"endlibrary", Kind::Keyword, Word::Endlibrary},
    {u"endloop", Kind::Keyword, Word::Endloop},
    {u"endmethod", Kind::Keyword, Word::Endmethod},
    {u"endmodule", Kind::Keyword, Word::Endmodule},
    {u"endscope", Kind::Keyword, Word::Endscope},
    {u"endstruct", Kind::Keyword, Word::Endstruct},
    {u"exitwhen", Kind::Keyword, Word::Exitwhen},
    {u"extends", Kind::Keyword, Word::Extends},
    {u"false", Kind::Keyword, Word::False},
    {u"function", Kind::Keyword, Word::Function},
    {u"globals", Kind::Keyword, Word::Globals},
    {u"hook", Kind::Keyword, Word::Hook},
    {u"if", Kind::Keyword, Word::If},
    {u"implement", Kind::Keyword, Word::Implement},
    {u"initializer", Kind::Keyword, Word::Initializer},
    {u"interface", Kind::Keyword, Word::Interface},
    {u"keyword", Kind::Keyword, Word::Keyword},
    {u"library", Kind::Keyword, Word::Library},
    {u"library_once", Kind::Keyword, Word::LibraryOnce},
    {u"local", Kind::Keyword, Word::Local},
    {u"loop", Kind::Keyword, Word::Loop},
    {u"method", Kind::Keyword, Word::Method},
    {u"module", Kind::Keyword, Word::Module},
    {u"native", Kind::Keyword, Word::Native},
    {u"needs", Kind::Keyword, Word::Needs},
    {u"not", Kind::Keyword, Word::Not},
    {u"null", Kind::Keyword, Word::Null},
    {u"operator", Kind::Keyword, Word::Operator},
    {u"optional", Kind::Keyword, Word::Optional},
    {u"or", Kind::Keyword, Word::Or},
    {u"private", Kind::Keyword, Word::Private},
    {u"public", Kind::Keyword, Word::Public},
    {u"readonly", Kind::Keyword, Word::Readonly},
    {u"requires", Kind::Keyword, Word::Requires},
    {u"return", Kind::Keyword, Word::Return},
    {u"returns", Kind::Keyword, Word::Returns},
    {u"scope", Kind::Keyword, Word::Scope},
    {u"set", Kind::Keyword, Word::Set},
    {u"static", Kind::Keyword, Word::Static},
    {u"struct", Kind::Keyword, Word::Struct},
    {u"stub", Kind::Keyword, Word::Stub},
    {u"super", Kind::Keyword, Word::Super},
    {u"takes", Kind::Keyword, Word::Takes},
    {u"then", Kind::Keyword, Word::Then},
    {u"this", Kind::Keyword, Word::This},
    {u"thistype", Kind::Keyword, Word::Thistype},
    {u"true", Kind::Keyword, Word::True},
    {u"type", Kind::Keyword, Word::Type},
    {u"uses", Kind::Keyword, Word::Uses},
    {u"nothing", Kind::TypeName, Word::Nothing},
    // The primitive types, vJass's key, and the handle types of common.j.
    {u"integer", Kind::TypeName, Word::None},
    {u"real", Kind::TypeName, Word::None},
    {u"boolean", Kind::TypeName, Word::None},
    {u"string", Kind::TypeName, Word::None},
    {u"code", Kind::TypeName, Word::None},
    {u"handle", Kind::TypeName, Word::None},
    {u"key", Kind::TypeName, Word::None},
    {u"agent", Kind::TypeName, Word::None},
    {u"event", Kind::TypeName, Word::None},
    {u"player", Kind::TypeName, Word::None},
    {u"widget", Kind::TypeName, Word::None},
    {u"unit", Kind::TypeName, Word::None},
    {u"destructable", Kind::TypeName, Word::None},
    {u"item", Kind::TypeName, Word::None},
    {u"ability", Kind::TypeName, Word::None},
    {u"buff", Kind::TypeName, Word::None},
    {u"force", Kind::TypeName, Word::None},
    {u"group", Kind::TypeName, Word::None},
    {u"trigger", Kind::TypeName, Word::None},
    {u"triggercondition", Kind::TypeName, Word::None},
    {u"triggeraction", Kind::TypeName, Word::None},
    {u"timer", Kind::TypeName, Word::None},
    {u"location", Kind::TypeName, Word::None},
    {u"region", Kind::TypeName, Word::None},
    {u"rect", Kind::TypeName, Word::None},
    {u"boolexpr", Kind::TypeName, Word::None},
    {u"sound", Kind::TypeName, Word::None},
    {u"conditionfunc", Kind::TypeName, Word::None},
    {u"filterfunc", Kind::TypeName, Word::None},
    {u"unitpool", Kind::TypeName, Word::None},
    {u"itempool", Kind::TypeName, Word::None},
    {u"race", Kind::TypeName, Word::None},
    {u"alliancetype", Kind::TypeName, Word::None},
    {u"racepreference", Kind::TypeName, Word::None},
    {u"gamestate", Kind::TypeName, Word::None},
    {u"igamestate", Kind::TypeName, Word::None},
    {u"fgamestate", Kind::TypeName, Word::None},
    {u"playerstate", Kind::TypeName, Word::None},
    {u"playerscore", Kind::TypeName, Word::None},
    {u"playergameresult", Kind::TypeName, Word::None},
    {u"unitstate", Kind::TypeName, Word::None},
    {u"aidifficulty", Kind::TypeName, Word::None},
    {u"eventid", Kind::TypeName, Word::None},
    {u"gameevent", Kind::TypeName, Word::None},
    {u"playerevent", Kind::TypeName, Word::None},
    {u"playerunitevent", Kind::TypeName, Word::None},
    {u"unitevent", Kind::TypeName, Word::None},
    {u"limitop", Kind::TypeName, Word::None},
    {u"widgetevent", Kind::TypeName, Word::None},
    {u"dialogevent", Kind::TypeName, Word::None},
    {u"unittype", Kind::TypeName, Word::None},
    {u"gamespeed", Kind::TypeName, Word::None},
    {u"gamedifficulty", Kind::TypeName, Word::None},
    {u"gametype", Kind::TypeName, Word::None},
    {u"mapflag", Kind::TypeName, Word::None},
    {u"mapvisibility", Kind::TypeName, Word::None},
    {u"mapsetting", Kind::TypeName, Word::None},
    {u"mapdensity", Kind::TypeName, Word::None},
    {u"mapcontrol", Kind::TypeName, Word::None},
    {u"minimapicon", Kind::TypeName, Word::None},
    {u"playerslotstate", Kind::TypeName, Word::None},
    {u"volumegroup", Kind::TypeName, Word::None},
    {u"camerafield", Kind::TypeName, Word::None},
    {u"camerasetup", Kind::TypeName, Word::None},
    {u"playercolor", Kind::TypeName, Word::None},
    {u"placement", Kind::TypeName, Word::None},
    {u"startlocprio", Kind::TypeName, Word::None},
    {u"raritycontrol", Kind::TypeName, Word::None},
    {u"blendmode", Kind::TypeName, Word::None},
    {u"texmapflags", Kind::TypeName, Word::None},
    {u"effect", Kind::TypeName, Word::None},
    {u"effecttype", Kind::TypeName, Word::None},
    {u"weathereffect", Kind::TypeName, Word::None},
    {u"terraindeformation", Kind::TypeName, Word::None},
    {u"fogstate", Kind::TypeName, Word::None},
    {u"fogmodifier", Kind::TypeName, Word::None},
    {u"dialog", Kind::TypeName, Word::None},
    {u"button", Kind::TypeName, Word::None},
    {u"quest", Kind::TypeName, Word::None},
    {u"questitem", Kind::TypeName, Word::None},
    {u"defeatcondition", Kind::TypeName, Word::None},
    {u"timerdialog", Kind::TypeName, Word::None},
    {u"leaderboard", Kind::TypeName, Word::None},
    {u"multiboard", Kind::TypeName, Word::None},
    {u"multiboarditem", Kind::TypeName, Word::None},
    {u"trackable", Kind::TypeName, Word::None},
    {u"gamecache", Kind::TypeName, Word::None},
    {u"version", Kind::TypeName, Word::None},
    {u"itemtype", Kind::TypeName, Word::None},
    {u"texttag", Kind::TypeName, Word::None},
    {u"attacktype", Kind::TypeName, Word::None},
    {u"damagetype", Kind::TypeName, Word::None},
    {u"weapontype", Kind::TypeName, Word::None},
    {u"soundtype", Kind::TypeName, Word::None},
    {u"lightning", Kind::TypeName, Word::None},
    {u"pathingtype", Kind::TypeName, Word::None},
    {u"mousebuttontype", Kind::TypeName, Word::None},
    {u"animtype", Kind::TypeName, Word::None},
    {u"subanimtype", Kind::TypeName, Word::None},
    {u"image", Kind::TypeName, Word::None},
    {u"ubersplat", Kind::TypeName, Word::None},
    {u"hashtable", Kind::TypeName, Word::None},
    {u"framehandle", Kind::TypeName, Word::None},
    {u"originframetype", Kind::TypeName, Word::None},
    {u"framepointtype", Kind::TypeName, Word::None},
    {u"textaligntype", Kind::TypeName, Word::None},
    {u"frameeventtype", Kind::TypeName, Word::None},
    {u"oskeytype", Kind::TypeName, Word::None},
    {u"abilityintegerfield", Kind::TypeName, Word::None},
    {u"abilityrealfield", Kind::TypeName, Word::None},
    {u"abilitybooleanfield", Kind::TypeName, Word::None},
    {u"abilitystringfield", Kind::TypeName, Word::None},
    {u"abilityintegerlevelfield", Kind::TypeName, Word::None},
    {u"abilityreallevelfield", Kind::TypeName, Word::None},
    {u"abilitybooleanlevelfield", Kind::TypeName, Word::None},
    {u"abilitystringlevelfield", Kind::TypeName, Word::None},
    {u"abilityintegerlevelarrayfield", Kind::TypeName, Word::None},
    {u"abilityreallevelarrayfield", Kind::TypeName, Word::None},
    {u"abilitybooleanlevelarrayfield", Kind::TypeName, Word::None},
    {u"abilitystringlevelarrayfield", Kind::TypeName, Word::None},
    {u"unitintegerfield", Kind::TypeName, Word::None},
    {u"unitrealfield", Kind::TypeName, Word::None},
    {u"unitbooleanfield", Kind::TypeName, Word::None},
    {u"unitstringfield", Kind::TypeName, Word::None},
    {u"unitweaponintegerfield", Kind::TypeName, Word::None},
    {u"unitweaponrealfield", Kind::TypeName, Word::None},
    {u"unitweaponbooleanfield", Kind::TypeName, Word::None},
    {u"unitweaponstringfield", Kind::TypeName, Word::None},
    {u"itemintegerfield", Kind::TypeName, Word::None},
    {u"itemrealfield", Kind::TypeName, Word::None},
    {u"itembooleanfield", Kind::TypeName, Word::None},
    {u"itemstringfield", Kind::TypeName, Word::None},
    {u"movetype", Kind::TypeName, Word::None},
    {u"targetflag", Kind::TypeName, Word::None},
    {u"armortype", Kind::TypeName, Word::None},
    {u"heroattribute", Kind::TypeName, Word::None},
    {u"defensetype", Kind::TypeName, Word::None},
    {u"regentype", Kind::TypeName, Word::None},
    {u"unitcategory", Kind::TypeName, Word::None},
    {u"pathingflag", Kind::TypeName, Word::None},
    {u"commandbuttoneffect", Kind::TypeName, Word::None},
};

constexpr Entry kDirectives[] = {
    {u"textmacro", Kind::Directive, Word::Textmacro},
    {u"textmacro_once", Kind::Directive, Word::TextmacroOnce},
    {u"endtextmacro", Kind::Directive, Word::Endtextmacro},
    {u"runtextmacro", Kind::Directive, Word::Runtextmacro},
    {u"zinc", Kind::Directive, Word::Zinc},
    {u"endzinc", Kind::Directive, Word::Endzinc},
    {u"novjass", Kind::Directive, Word::Novjass},
    {u"endnovjass", Kind::Directive, Word::Endnovjass},
    {u"inject", Kind::Directive, Word::Inject},
    {u"endinject", Kind::Directive, Word::Endinject},
    {u"import", Kind::Directive, Word::Import},
};

// The words by first letter and length, so that a look-up compares one or two.
constexpr int kLongestWord = 32;

struct WordTable
{
    std::array<std::vector<const Entry *>, 26 * kLongestWord> buckets;
    WordTable()
    {
        for (const Entry &e : kWords)
            buckets[std::size_t(e.text[0] - u'a') * kLongestWord + e.text.size()].push_back(&e);
    }
};

const WordTable wordTable;

const Entry *findWord(const char16_t *s, int length)
{
    if (length == 0 || length >= kLongestWord || s[0] < u'a' || s[0] > u'z')
        return nullptr;
    // Every word of a bucket has the length looked for.
    for (const Entry *e : wordTable.buckets[std::size_t(s[0] - u'a') * kLongestWord + length]) {
        if (std::memcmp(e->text.data(), s, std::size_t(length) * sizeof(char16_t)) == 0)
            return e;
    }
    return nullptr;
}

Word directiveWord(const char16_t *s, int length)
{
    const std::u16string_view word(s, std::size_t(length));
    for (const Entry &e : kDirectives) {
        if (e.text == word)
            return e.word;
    }
    return Word::None;
}

enum CharClass : std::uint8_t
{
    Space = 1,
    Digit = 2,
    HexDigit = 4,
    WordStart = 8,
    WordChar = 16,
    StartsToken = 32, // a run of characters that cannot is one Invalid token
};

constexpr std::array<std::uint8_t, 128> kCharClasses = [] {
    std::array<std::uint8_t, 128> table{};
    for (char c : std::string_view(" \t\r\v\f"))
        table[std::size_t(c)] |= Space;
    for (char c = '0'; c <= '9'; ++c)
        table[std::size_t(c)] |= Digit | HexDigit | StartsToken;
    for (char c = 'a'; c <= 'z'; ++c)
        table[std::size_t(c)] |= WordStart | StartsToken;
    for (char c = 'A'; c <= 'Z'; ++c)
        table[std::size_t(c)] |= WordStart | StartsToken;
    for (char c : std::string_view("abcdefABCDEF"))
        table[std::size_t(c)] |= HexDigit;
    table[std::size_t('_')] |= WordStart | StartsToken;
    for (char32_t c = 0; c < 128; ++c) {
        if (IsAsciiWordChar(c))
            table[std::size_t(c)] |= WordChar;
    }
    for (char c : std::string_view(".\"'$/=!<>+-*()[],"))
        table[std::size_t(c)] |= StartsToken;
    return table;
}();

inline bool is(char16_t c, std::uint8_t what)
{
    return c < 128 && (kCharClasses[c] & what) != 0;
}

inline bool isSpace(char16_t c)
{
    return is(c, Space);
}

inline bool isDigit(char16_t c)
{
    return is(c, Digit);
}

inline bool isHexDigit(char16_t c)
{
    return is(c, HexDigit);
}

inline bool isWordStart(char16_t c)
{
    return is(c, WordStart);
}

inline bool isWordChar(char16_t c)
{
    return is(c, WordChar);
}

inline bool startsToken(char16_t c)
{
    return is(c, StartsToken);
}

// The end of a quoted text whose body starts at `from`: just past the
// closing quote, or -1 when the line ends first. A backslash takes the next
// character with it.
int quotedEnd(const char16_t *s, int from, int n, char16_t quote)
{
    for (int i = from; i < n;) {
        if (s[i] == u'\\')
            i += 2;
        else if (s[i] == quote)
            return i + 1;
        else
            ++i;
    }
    return -1;
}

// Just past the "*/" at or after `from`, or -1.
int commentEnd(const char16_t *s, int from, int n)
{
    for (int i = from; i + 1 < n; ++i) {
        if (s[i] == u'*' && s[i + 1] == u'/')
            return i + 2;
    }
    return -1;
}

bool isDirectiveAt(const char16_t *s, int i, int n)
{
    return i + 2 < n && s[i] == u'/' && s[i + 1] == u'/' && s[i + 2] == u'!';
}

// The word after the //! at i.
Word directiveWordAt(const char16_t *s, int i, int n)
{
    int from = i + 3;
    while (from < n && isSpace(s[from]))
        ++from;
    int to = from;
    while (to < n && isWordChar(s[to]))
        ++to;
    return directiveWord(s + from, to - from);
}

Word closingDirective(Block block)
{
    switch (block) {
    case Block::TextMacro:
        return Word::Endtextmacro;
    case Block::Zinc:
        return Word::Endzinc;
    case Block::NoVjass:
        return Word::Endnovjass;
    case Block::None:
        break;
    }
    return Word::None;
}

// A number at i: its end and kind. Letters or digits right after it make
// the whole run Invalid.
int numberEnd(const char16_t *s, int i, int n, Kind &kind)
{
    int j = i;
    kind = Kind::Integer;
    if (s[i] == u'.') {
        kind = Kind::Real;
        for (++j; j < n && isDigit(s[j]);)
            ++j;
    } else if (s[i] == u'$' ||
               (s[i] == u'0' && i + 1 < n && (s[i + 1] == u'x' || s[i + 1] == u'X'))) {
        j = s[i] == u'$' ? i + 1 : i + 2;
        const int digits = j;
        while (j < n && isHexDigit(s[j]))
            ++j;
        if (j == digits)
            kind = Kind::Invalid;
    } else {
        while (j < n && isDigit(s[j]))
            ++j;
        if (j < n && s[j] == u'.') {
            kind = Kind::Real;
            ++j;
            while (j < n && isDigit(s[j]))
                ++j;
        }
    }
    if (j < n && isWordChar(s[j])) {
        kind = Kind::Invalid;
        while (j < n && isWordChar(s[j]))
            ++j;
    }
    return j;
}

template <typename Tokens> void lexLine(QStringView line, VjassLineState &state, Tokens &tokens)
{
    const char16_t *s = line.utf16();
    const int n = int(line.size());
    auto add = [&](Kind kind, int from, int to, Word word = Word::None) {
        tokens.push_back(VjassToken{kind, from, to - from, word});
    };
    int first = 0;
    while (first < n && isSpace(s[first]))
        ++first;

    if (state.block != Block::None) {
        if (first == n)
            return;
        const Word word = isDirectiveAt(s, first, n) ? directiveWordAt(s, first, n) : Word::None;
        if (word != Word::None && word == closingDirective(state.block)) {
            add(Kind::Directive, first, n, word);
            state.block = Block::None;
        } else {
            add(Kind::Skipped, first, n);
        }
        return;
    }

    int i = 0;
    if (state.inComment) {
        const int end = commentEnd(s, 0, n);
        if (end < 0) {
            if (n > 0)
                add(Kind::Comment, 0, n);
            return;
        }
        add(Kind::Comment, 0, end);
        state.inComment = false;
        i = end;
    } else if (state.inString) {
        const int end = quotedEnd(s, 0, n, u'"');
        if (end < 0) {
            if (n > 0)
                add(Kind::String, 0, n);
            return;
        }
        add(Kind::String, 0, end);
        state.inString = false;
        i = end;
    } else if (isDirectiveAt(s, first, n)) {
        const Word word = directiveWordAt(s, first, n);
        add(Kind::Directive, first, n, word);
        if (word == Word::Textmacro || word == Word::TextmacroOnce)
            state.block = Block::TextMacro;
        else if (word == Word::Zinc)
            state.block = Block::Zinc;
        else if (word == Word::Novjass)
            state.block = Block::NoVjass;
        return;
    }

    while (i < n) {
        const char16_t c = s[i];
        if (isSpace(c)) {
            ++i;
            continue;
        }
        const char16_t next = i + 1 < n ? s[i + 1] : u'\0';
        if (isWordStart(c)) {
            int j = i + 1;
            while (j < n && isWordChar(s[j]))
                ++j;
            const Entry *e = findWord(s + i, j - i);
            add(e ? e->kind : Kind::Identifier, i, j, e ? e->word : Word::None);
            i = j;
        } else if (isDigit(c) || (c == u'.' && isDigit(next)) || (c == u'$' && isHexDigit(next))) {
            Kind kind;
            const int j = numberEnd(s, i, n, kind);
            add(kind, i, j);
            i = j;
        } else if (c == u'"') {
            const int end = quotedEnd(s, i + 1, n, u'"');
            add(Kind::String, i, end < 0 ? n : end);
            if (end < 0) {
                state.inString = true;
                return;
            }
            i = end;
        } else if (c == u'\'') {
            const int end = quotedEnd(s, i + 1, n, u'\'');
            add(end < 0 ? Kind::Invalid : Kind::Rawcode, i, end < 0 ? n : end);
            i = end < 0 ? n : end;
        } else if (c == u'/' && next == u'/') {
            add(Kind::Comment, i, n);
            return;
        } else if (c == u'/' && next == u'*') {
            const int end = commentEnd(s, i + 2, n);
            add(Kind::Comment, i, end < 0 ? n : end);
            if (end < 0) {
                state.inComment = true;
                return;
            }
            i = end;
        } else if ((c == u'=' || c == u'!' || c == u'<' || c == u'>') && next == u'=') {
            add(Kind::Operator, i, i + 2);
            i += 2;
        } else if (c == u'=' || c == u'<' || c == u'>' || c == u'+' || c == u'-' || c == u'*' ||
                   c == u'/') {
            add(Kind::Operator, i, i + 1);
            ++i;
        } else if (c == u'(' || c == u')' || c == u'[' || c == u']' || c == u',' || c == u'.') {
            add(Kind::Punctuation, i, i + 1);
            ++i;
        } else {
            // A lone '!' or '$', or characters that start nothing.
            int j = i + 1;
            if (c != u'!' && c != u'$') {
                while (j < n && !isSpace(s[j]) && !startsToken(s[j]))
                    ++j;
            }
            add(Kind::Invalid, i, j);
            i = j;
        }
    }
}

} // namespace

void LexVjassLine(QStringView line, VjassLineState &state, QList<VjassToken> &tokens)
{
    // Appending to a QList one by one costs several times what the lexing
    // does; the tokens go in at once.
    thread_local std::vector<VjassToken> buffer;
    buffer.clear();
    lexLine(line, state, buffer);
    const qsizetype base = tokens.size();
    tokens.resize(base + qsizetype(buffer.size()));
    std::copy(buffer.begin(), buffer.end(), tokens.begin() + base);
}

void LexVjassLine(QStringView line, VjassLineState &state, std::vector<VjassToken> &tokens)
{
    lexLine(line, state, tokens);
}

bool IsVjassKeyword(QStringView word)
{
    const Entry *e = findWord(word.utf16(), int(word.size()));
    return e && e->kind == Kind::Keyword;
}

bool IsVjassTypeName(QStringView word)
{
    const Entry *e = findWord(word.utf16(), int(word.size()));
    return e && e->kind == Kind::TypeName;
}

} // namespace vell
