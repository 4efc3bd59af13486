#include "codegen/vjassreader.h"

#include "codegen/vjasslexer.h"

#include <QHash>
#include <QSet>
#include <QStringView>

#include <initializer_list>
#include <vector>

namespace vell {

namespace {

using Kind = VjassTokenKind;
using Word = VjassWord;

// What a line may hold where it stands.
enum class Ctx : std::uint8_t
{
    Top,       // declarations: outside everything, in a library or scope
    Globals,   // variable declarations
    Body,      // statements: in a function or method
    Members,   // members and methods: in a struct or module
    Interface, // members and method declarations without bodies
};

enum class BlockKind : std::uint8_t
{
    Globals,
    Function,
    Method,
    If, // also static if, which holds what the block around it holds
    Loop,
    Library,
    Scope,
    Struct,
    Interface,
    Module,
};

const char16_t *closerOf(BlockKind kind)
{
    switch (kind) {
    case BlockKind::Globals:
        return u"endglobals";
    case BlockKind::Function:
        return u"endfunction";
    case BlockKind::Method:
        return u"endmethod";
    case BlockKind::If:
        return u"endif";
    case BlockKind::Loop:
        return u"endloop";
    case BlockKind::Library:
        return u"endlibrary";
    case BlockKind::Scope:
        return u"endscope";
    case BlockKind::Struct:
        return u"endstruct";
    case BlockKind::Interface:
        return u"endinterface";
    case BlockKind::Module:
        return u"endmodule";
    }
    return u"";
}

// A closing word looks past open blocks of a lower rank only (and endif and
// endloop past each other), so that a stray endif in a function does not
// close a static if around the function.
int rankOf(BlockKind kind)
{
    switch (kind) {
    case BlockKind::If:
    case BlockKind::Loop:
        return 0;
    case BlockKind::Globals:
    case BlockKind::Function:
    case BlockKind::Method:
        return 1;
    case BlockKind::Struct:
    case BlockKind::Interface:
    case BlockKind::Module:
        return 2;
    case BlockKind::Scope:
        return 3;
    case BlockKind::Library:
        return 4;
    }
    return 0;
}

struct Block
{
    BlockKind kind = BlockKind::If;
    Ctx inner = Ctx::Top;
    bool sawElse = false;
    bool isStatic = false; // a static if
    // What has been read of the body, or of the if's branch, ends with a
    // return; every earlier branch of an if did.
    bool returned = false;
    bool branchesReturned = true;
    int function = -1; // index in the result, for a free function
    int method = -1;   // index in the result's methods, for a method with a body
    int scope = -1;    // index in the stack of the innermost library or scope, this one included
    int line = 0;      // of the header
    QStringView name;  // as written; empty for a block of no name
    QString qualifier; // of a library or scope: what private and public names in it start with
};

VjassOpenPart::Kind openKindOf(BlockKind kind)
{
    using Open = VjassOpenPart::Kind;
    switch (kind) {
    case BlockKind::Globals:
        return Open::Globals;
    case BlockKind::Function:
        return Open::Function;
    case BlockKind::Method:
        return Open::Method;
    case BlockKind::If:
        return Open::If;
    case BlockKind::Loop:
        return Open::Loop;
    case BlockKind::Library:
        return Open::Library;
    case BlockKind::Scope:
        return Open::Scope;
    case BlockKind::Struct:
        return Open::Struct;
    case BlockKind::Interface:
        return Open::Interface;
    case BlockKind::Module:
        return Open::Module;
    }
    return Open::None;
}

// A token of the line being read, with its line (a string may carry a
// statement over to the next line) and first character.
struct Tok
{
    Kind kind;
    Word word;
    char16_t c;
    int line;
    int start;
    int length;
    int end() const { return start + length; }
};

// Words that are reserved only where they mean something (a library's
// clauses, a member's modifiers); elsewhere they are names.
bool isSoftWord(Word word)
{
    switch (word) {
    case Word::Requires:
    case Word::Uses:
    case Word::Needs:
    case Word::Initializer:
    case Word::Optional:
    case Word::Defaults:
    case Word::Hook:
    case Word::Keyword:
    case Word::Stub:
    case Word::Delegate:
    case Word::Readonly:
        return true;
    default:
        return false;
    }
}

QString joined(std::initializer_list<QStringView> parts)
{
    QString s;
    for (QStringView part : parts)
        s.append(part);
    return s;
}

QString expected(QStringView what)
{
    return joined({u"ожидалось «", what, u"»"});
}

QString stray(QStringView what)
{
    return joined({u"лишний «", what, u"»"});
}

struct Modifiers
{
    bool isPrivate = false;
    bool isPublic = false;
    bool isConstant = false;
    bool any = false;
};

// A value met in an expression, while its expression is read.
struct Val
{
    VjassValue::From from = VjassValue::From::Type;
    int type = kVjassUnknownType;
    QStringView name; // for a value decided later
    int line = 0;
    int column = 0;
    // A not before an operand of a comparison: the comparison may be its
    // operand (not a == b), so it is not judged.
    bool afterNot = false;
    int call = -1; // for a call's result: the call, among those the reader lists
    bool known() const { return from != VjassValue::From::Type || type != kVjassUnknownType; }
    bool is(int t) const { return from == VjassValue::From::Type && type == t; }
    bool isNumber() const { return is(kVjassInteger) || is(kVjassReal); }
};

// A local or parameter of the body being read.
struct BodyName
{
    QStringView name;
    int type = kVjassUnknownType;
    bool isArray = false;
};

// The locals and parameters of a body: few, looked up at every name in it.
class BodyNames
{
public:
    void clear() { m_names.clear(); }
    void add(QStringView name, int type, bool isArray)
    {
        // A name declared twice keeps its first declaration.
        if (!find(name))
            m_names.push_back({name, type, isArray});
    }
    const BodyName *find(QStringView name) const
    {
        for (const BodyName &n : m_names) {
            if (n.name.size() == name.size() && n.name == name)
                return &n;
        }
        return nullptr;
    }

private:
    std::vector<BodyName> m_names;
};

// How tightly a binary operator binds: and, or; comparisons; + and -; *
// and /. -1 for a token that is no binary operator.
int levelOf(const Tok &t)
{
    if (t.word == Word::And || t.word == Word::Or)
        return 0;
    if (t.kind != Kind::Operator || (t.c == u'=' && t.length == 1))
        return -1;
    switch (t.c) {
    case u'+':
    case u'-':
        return 2;
    case u'*':
    case u'/':
        return 3;
    default:
        return 1;
    }
}

class Reader
{
public:
    explicit Reader(std::span<const QStringView> lines) : m_lines(lines)
    {
        m_result.typeNames = {QString(),
                              QStringLiteral("integer"),
                              QStringLiteral("real"),
                              QStringLiteral("boolean"),
                              QStringLiteral("string"),
                              QStringLiteral("code"),
                              QStringLiteral("handle"),
                              QStringLiteral("null"),
                              QStringLiteral("nothing")};
        for (int i = kVjassInteger; i < kVjassFirstNamedType; ++i)
            m_typeIds.insert(QStringView(m_result.typeNames[i]), i);
    }
    VjassReadResult read();

private:
    // Tokens.
    bool atEnd() const { return m_pos >= int(m_toks.size()); }
    const Tok &cur() const { return m_toks[m_pos]; }
    QStringView text(const Tok &t) const { return m_lines[t.line].mid(t.start, t.length); }
    bool isWord(Word w) const { return !atEnd() && cur().word == w; }
    bool isPunct(char16_t c) const
    {
        return !atEnd() && cur().kind == Kind::Punctuation && cur().c == c;
    }
    bool isAssign() const
    {
        return !atEnd() && cur().kind == Kind::Operator && cur().c == u'=' && cur().length == 1;
    }
    bool isNothing() const { return !atEnd() && cur().word == Word::Nothing; }
    bool isName() const
    {
        return !atEnd() && (cur().kind == Kind::Identifier || cur().kind == Kind::TypeName);
    }

    // Errors.
    void error(int line, int column, const QString &what);
    void errorAt(int index, const QString &what);
    bool missingQuote(int first, int last);
    bool fail(const QString &what)
    {
        errorAt(m_pos, what);
        return false;
    }
    bool expectEnd() { return atEnd() || fail(QStringLiteral("ожидался конец строки")); }
    bool expectWord(Word w, const char16_t *what)
    {
        if (!isWord(w))
            return fail(expected(what));
        ++m_pos;
        return true;
    }
    bool expectPunct(char16_t c, const char16_t *what)
    {
        if (!isPunct(c))
            return fail(expected(what));
        ++m_pos;
        return true;
    }

    // Blocks.
    Ctx ctx() const { return m_stack.empty() ? Ctx::Top : m_stack.back().inner; }
    void push(BlockKind kind, Ctx inner, const Tok &at, int function = -1, QStringView name = {});
    void pop(int endLine);
    int findOpen(BlockKind kind) const;
    bool reopen(bool (*allows)(Ctx), const Tok &at);
    void close(BlockKind kind, const Tok &at);
    void elseLine(const Tok &at);

    // Lines.
    void directive(int line, const VjassToken &token, bool closesBlock);
    void line();
    Modifiers modifiers();
    void declaration(Word head, const Modifiers &mods);
    void member(Word head);
    void statement(Word head);
    void variable(const Modifiers &mods);
    bool signature(QList<VjassParameter> *parameters = nullptr, QString *returns = nullptr,
                   bool ofBody = false);
    int typeIndex(int first, int end);
    bool typeRef();
    bool name(QStringView *out = nullptr);
    bool operatorName();
    bool libraryClauses();

    // Expressions.
    bool expression(int depth, Val *value = nullptr);
    bool operand(int depth, int level, Val *value);
    bool unary(int depth, Val *value);
    bool postfix(int depth, int *lastCall, Val *value = nullptr);
    bool arguments(int depth, int *count, const QString *callee);
    Val combine(const Tok &op, const Val &left, const Val &right);
    void typeUse(VjassTypeUse::Kind kind, QStringView what, const Val &found,
                 const Val *left = nullptr, int index = 0, int expected = kVjassUnknownType,
                 const Tok *at = nullptr, const QString *interned = nullptr);
    VjassValue valueOf(const Val &v);
    bool functionReference();
    bool target(int *lastCall);

    // Results.
    QString intern(QStringView name);
    QString qualified(QStringView name, const Modifiers &mods);
    void declare(QStringView name, const Modifiers &mods, bool isType);
    void recordIndexed(const Tok &t);

    std::span<const QStringView> m_lines;
    VjassReadResult m_result;
    std::vector<Tok> m_toks;
    int m_pos = 0;
    std::vector<Block> m_stack;
    int m_function = -1;
    int m_bodies = 0; // function and method bodies begun
    int m_body = -1;  // the one being read
    // Names assigned to in the body so far, plainly and with an index.
    QSet<QStringView> m_assigned;
    QSet<QStringView> m_assignedIndexed;
    QStringView m_lastAssigned;
    bool m_lastAssignedIndexed = false;
    bool m_sawStatement = false; // in the current body, before its next local
    QSet<QStringView> m_indexed;
    QStringView m_lastIndexed;
    QHash<QStringView, QString> m_interned;
    QSet<QStringView> m_types;         // struct, interface and function interface names
    QHash<QStringView, int> m_typeIds; // into m_result.typeNames
    BodyNames m_bodyNames;             // of the body being read
    bool m_inInject = false;
    int m_injectLine = 0;
    int m_errorCount = 0; // also those past kMaxVjassErrors
    int m_lastErrorLine = -1;
    qsizetype m_reread = 0;
    bool m_quiet = false; // errors are not reported
};

void Reader::error(int line, int column, const QString &what)
{
    if (m_quiet)
        return;
    ++m_errorCount;
    m_lastErrorLine = line;
    if (m_result.errors.size() < kMaxVjassErrors)
        m_result.errors.append({line, column, what});
}

void Reader::errorAt(int index, const QString &what)
{
    if (index < int(m_toks.size())) {
        error(m_toks[index].line, m_toks[index].start, what);
    } else {
        const Tok &last = m_toks.back();
        error(last.line, last.end(), what);
    }
}

QString Reader::intern(QStringView name)
{
    const auto it = m_interned.constFind(name);
    if (it != m_interned.cend())
        return it.value();
    QString s = name.toString();
    m_interned.insert(name, s);
    return s;
}

QString Reader::qualified(QStringView name, const Modifiers &mods)
{
    const int scope = m_stack.empty() ? -1 : m_stack.back().scope;
    if (scope < 0 || !(mods.isPrivate || mods.isPublic))
        return intern(name);
    return joined({m_stack[scope].qualifier, mods.isPrivate ? u"__" : u"_", name});
}

void Reader::declare(QStringView name, const Modifiers &mods, bool isType)
{
    m_result.globalNames.append(qualified(name, mods));
    if (isType) {
        m_types.insert(name);
        m_result.structNames.append(intern(name));
    }
}

void Reader::recordIndexed(const Tok &t)
{
    if (m_function < 0)
        return;
    const QStringView name = text(t);
    if (name == m_lastIndexed)
        return;
    m_lastIndexed = name;
    if (m_indexed.contains(name))
        return;
    m_indexed.insert(name);
    const QString interned = intern(name);
    m_result.functions[m_function].indexedNames.append(interned);
    m_result.indexedUses.append({interned, t.line, t.start, m_function, m_body, 0, true});
}

void Reader::push(BlockKind kind, Ctx inner, const Tok &at, int function, QStringView name)
{
    if (int(m_stack.size()) == kMaxVjassNesting)
        errorAt(int(&at - m_toks.data()), QStringLiteral("слишком глубокая вложенность"));
    Block block;
    block.kind = kind;
    block.inner = inner;
    block.function = function;
    block.scope = m_stack.empty() ? -1 : m_stack.back().scope;
    block.line = at.line;
    block.name = name;
    if (kind == BlockKind::Library || kind == BlockKind::Scope) {
        block.qualifier = name.toString();
        block.scope = int(m_stack.size());
    }
    m_stack.push_back(std::move(block));
    if (kind == BlockKind::Function || kind == BlockKind::Method) {
        m_body = m_bodies++;
        m_sawStatement = false;
        m_assigned.clear();
        m_assignedIndexed.clear();
        m_lastAssigned = QStringView();
        m_bodyNames.clear();
    }
    if (function >= 0) {
        m_function = function;
        m_indexed.clear();
        m_lastIndexed = QStringView();
    }
}

void Reader::pop(int endLine)
{
    const Block &block = m_stack.back();
    if (block.kind == BlockKind::Function || block.kind == BlockKind::Method) {
        m_body = -1;
        m_bodyNames.clear();
    }
    if (block.function >= 0) {
        VjassFunction &f = m_result.functions[block.function];
        f.endLine = qMax(f.line, endLine);
        m_function = -1;
    }
    if (block.method >= 0) {
        VjassFunction &m = m_result.methods[block.method];
        m.endLine = qMax(m.line, endLine);
    }
    m_stack.pop_back();
}

int Reader::findOpen(BlockKind kind) const
{
    const int rank = rankOf(kind);
    for (int i = int(m_stack.size()) - 1; i >= 0; --i) {
        if (m_stack[i].kind == kind)
            return i;
        const int other = rankOf(m_stack[i].kind);
        if (!(other < rank || (rank == 0 && other == 0)))
            return -1;
    }
    return -1;
}

// A line that belongs in an enclosing block: the blocks in between were left
// open. Reports the innermost one's missing end and closes them.
bool Reader::reopen(bool (*allows)(Ctx), const Tok &at)
{
    int keep = int(m_stack.size()) - 1;
    while (keep >= 0 && !allows(m_stack[keep].inner))
        --keep;
    if (keep < 0 && !allows(Ctx::Top))
        return false;
    errorAt(int(&at - m_toks.data()), expected(closerOf(m_stack.back().kind)));
    while (int(m_stack.size()) > keep + 1)
        pop(at.line - 1);
    return true;
}

void Reader::close(BlockKind kind, const Tok &at)
{
    const int index = findOpen(kind);
    if (index < 0) {
        errorAt(m_pos, stray(text(at)));
        return;
    }
    if (index != int(m_stack.size()) - 1)
        errorAt(m_pos, expected(closerOf(m_stack.back().kind)));
    const bool nested = index != int(m_stack.size()) - 1;
    while (int(m_stack.size()) > index + 1)
        pop(at.line - 1);
    const Block &block = m_stack.back();
    if (block.function >= 0 || block.method >= 0) {
        VjassFunction &f = block.function >= 0 ? m_result.functions[block.function]
                                               : m_result.methods[block.method];
        f.closed = true;
        f.endsWithReturn = nested || block.returned;
    }
    // Whether the if or loop, as a statement of the block around it, ends
    // with a return; what cannot be judged counts as one.
    const bool returns = nested || kind == BlockKind::Loop || block.isStatic ||
                         (block.sawElse && block.branchesReturned && block.returned);
    pop(at.line);
    if ((kind == BlockKind::If || kind == BlockKind::Loop) && !m_stack.empty())
        m_stack.back().returned = returns;
    ++m_pos;
    expectEnd();
}

void Reader::elseLine(const Tok &at)
{
    const int index = findOpen(BlockKind::If);
    if (index < 0) {
        errorAt(m_pos, stray(text(at)));
        return;
    }
    if (index != int(m_stack.size()) - 1)
        errorAt(m_pos, expected(closerOf(m_stack.back().kind)));
    while (int(m_stack.size()) > index + 1)
        pop(at.line - 1);
    Block &block = m_stack.back();
    if (block.sawElse) {
        fail(expected(u"endif"));
        return;
    }
    block.branchesReturned = block.branchesReturned && block.returned;
    block.returned = false;
    ++m_pos;
    if (at.word == Word::Else) {
        block.sawElse = true;
        expectEnd();
    } else {
        Val condition;
        if (!expression(0, &condition))
            return;
        if (!expectWord(Word::Then, u"then"))
            return;
        typeUse(VjassTypeUse::Kind::Condition, u"elseif", condition);
        expectEnd();
    }
}

void Reader::directive(int line, const VjassToken &token, bool closesBlock)
{
    switch (token.word) {
    case Word::Textmacro:
    case Word::TextmacroOnce:
    case Word::Zinc:
    case Word::Novjass:
    case Word::Runtextmacro:
    case Word::Import:
        m_result.hasOpaqueParts = true;
        break;
    case Word::Inject:
        m_inInject = true;
        m_injectLine = line;
        m_result.hasOpaqueParts = true;
        break;
    case Word::Endinject:
    case Word::Endtextmacro:
    case Word::Endzinc:
    case Word::Endnovjass: {
        const bool unopened = token.word == Word::Endinject ? !m_inInject : !closesBlock;
        if (token.word == Word::Endinject)
            m_inInject = false;
        if (unopened) {
            const char16_t *word = token.word == Word::Endinject      ? u"//! endinject"
                                   : token.word == Word::Endtextmacro ? u"//! endtextmacro"
                                   : token.word == Word::Endzinc      ? u"//! endzinc"
                                                                      : u"//! endnovjass";
            error(line, token.start, stray(word));
        }
        break;
    }
    default:
        break;
    }
}

// A string may go on over lines, but most often one that does lacks its
// closing quote. When the statement it runs into does not read, or the text
// ends in it, the quote is missing at the end of the line it started on, and
// the lines after that are read again, up to as many lines as the text has in
// all.
bool Reader::missingQuote(int first, int last)
{
    if (m_reread + (last - first) > qsizetype(m_lines.size()))
        return false;
    m_reread += last - first;
    while (!m_result.errors.isEmpty() && m_result.errors.back().line > first)
        m_result.errors.removeLast();
    // What the statement recorded past that line is read again as code.
    const auto dropAfter = [first](auto &list) {
        while (!list.isEmpty() && list.back().line > first)
            list.removeLast();
    };
    dropAfter(m_result.calls);
    dropAfter(m_result.functionReferences);
    dropAfter(m_result.assignments);
    dropAfter(m_result.indexedUses);
    dropAfter(m_result.returns);
    dropAfter(m_result.variables);
    dropAfter(m_result.typeUses);
    error(first, int(m_lines[first].size()), expected(u"\""));
    return true;
}

VjassReadResult Reader::read()
{
    VjassLineState state;
    std::vector<VjassToken> lineTokens;
    const int count = int(m_lines.size());
    // A statement goes on over lines in a string or a block comment; a
    // string that runs on starts at the end of the line `ranOn`.
    int ranOn = -1;
    // Where the string, comment and directive block open after the line
    // being read started.
    int stringLine = 0, commentLine = 0, blockLine = 0;
    for (int i = 0; i < count; ++i) {
        const VjassLineState before = state;
        lineTokens.clear();
        LexVjassLine(m_lines[i], state, lineTokens);
        // A line that goes on in a string or comment is one token at most;
        // one that closes it and opens another has two.
        if (state.inString && !(before.inString && lineTokens.size() <= 1))
            stringLine = i;
        if (state.inComment && !(before.inComment && lineTokens.size() <= 1))
            commentLine = i;
        if (state.block != before.block)
            blockLine = i;
        VjassOpenPart &open = m_result.openAtEnd;
        const bool endsInString =
            state.inString && i + 1 == count && open.kind == VjassOpenPart::Kind::None;
        if (endsInString)
            open = {VjassOpenPart::Kind::String, QString(), stringLine};
        if (!before.inString && !before.inComment) {
            ranOn = -1;
            m_toks.clear();
            if (!lineTokens.empty() && lineTokens.front().kind == Kind::Skipped)
                continue;
            if (!lineTokens.empty() && lineTokens.front().kind == Kind::Directive) {
                directive(i, lineTokens.front(), before.block != VjassLineState::Block::None);
                continue;
            }
        }
        if (m_inInject)
            continue;
        const QStringView text = m_lines[i];
        for (const VjassToken &t : lineTokens) {
            // The rest of a string from the line before is part of its token.
            if (t.kind == Kind::Comment ||
                (before.inString && t.start == 0 && t.kind == Kind::String))
                continue;
            const Kind kind = isSoftWord(t.word) ? Kind::Identifier : t.kind;
            m_toks.push_back({kind, t.word, text[t.start].unicode(), i, t.start, t.length});
        }
        if (state.inString) {
            if (ranOn < 0)
                ranOn = i;
            if (i + 1 == count && missingQuote(ranOn, i)) {
                const VjassError quote{ranOn, int(m_lines[ranOn].size()), expected(u"\"")};
                if (endsInString && !m_result.errors.isEmpty() && m_result.errors.back() == quote)
                    open.errorIndex = int(m_result.errors.size() - 1);
                // The statement up to the string still opens its block and
                // names what it calls; its errors would only repeat this one.
                while (!m_toks.empty() && m_toks.back().line > ranOn)
                    m_toks.pop_back();
                m_quiet = true;
                line();
                m_quiet = false;
                state = VjassLineState();
                i = ranOn;
            }
            continue;
        }
        if (state.inComment && i + 1 < count)
            continue;
        if (m_toks.empty())
            continue;
        const int errorsBefore = m_errorCount;
        line();
        // An error on a later line than the one a string ran on from comes
        // after that string.
        if (ranOn >= 0 && m_errorCount > errorsBefore && m_lastErrorLine > ranOn &&
            missingQuote(ranOn, i)) {
            state = VjassLineState();
            i = ranOn;
        }
    }

    // What the end of the text leaves open: the first of them is the error.
    if (count > 0) {
        const int last = count - 1;
        const int column = int(m_lines[last].size());
        QString missing;
        if (state.inString)
            missing = expected(u"\"");
        else if (state.inComment)
            missing = expected(u"*/");
        else if (state.block == VjassLineState::Block::TextMacro)
            missing = expected(u"//! endtextmacro");
        else if (state.block == VjassLineState::Block::Zinc)
            missing = expected(u"//! endzinc");
        else if (state.block == VjassLineState::Block::NoVjass)
            missing = expected(u"//! endnovjass");
        else if (m_inInject)
            missing = expected(u"//! endinject");
        else if (!m_stack.empty())
            missing = expected(closerOf(m_stack.back().kind));
        const int listed = int(m_result.errors.size());
        if (!missing.isEmpty())
            error(last, column, missing);
        using Open = VjassOpenPart::Kind;
        VjassOpenPart &open = m_result.openAtEnd;
        const bool opened = open.kind == Open::None;
        if (opened) {
            if (state.inComment) {
                open = {Open::Comment, QString(), commentLine};
            } else if (state.block != VjassLineState::Block::None) {
                open.kind = state.block == VjassLineState::Block::TextMacro ? Open::TextMacro
                            : state.block == VjassLineState::Block::Zinc    ? Open::Zinc
                                                                            : Open::NoVjass;
                open.line = blockLine;
            } else if (m_inInject) {
                open = {Open::Inject, QString(), m_injectLine};
            } else if (!m_stack.empty()) {
                const Block &block = m_stack.back();
                open = {openKindOf(block.kind), block.name.toString(), block.line};
            }
        }
        if ((opened || (open.errorIndex < 0 && state.inString)) && open.kind != Open::None &&
            m_result.errors.size() > listed)
            open.errorIndex = listed;
        while (!m_stack.empty())
            pop(last);
    }
    if (!m_types.isEmpty()) {
        m_result.calls.removeIf(
            [&](const VjassName &call) { return m_types.contains(QStringView(call.name)); });
    }
    return std::move(m_result);
}

bool allowsDeclarations(Ctx c)
{
    return c == Ctx::Top;
}

bool allowsMethods(Ctx c)
{
    return c == Ctx::Members || c == Ctx::Interface;
}

void Reader::line()
{
    m_pos = 0;
    if (cur().kind == Kind::Keyword && cur().word == Word::Debug) {
        ++m_pos;
        if (atEnd()) {
            fail(QStringLiteral("ожидалась инструкция"));
            return;
        }
    }
    const Tok &first = cur();
    if (first.kind == Kind::Keyword) {
        switch (first.word) {
        case Word::Endif:
            return close(BlockKind::If, first);
        case Word::Endloop:
            return close(BlockKind::Loop, first);
        case Word::Endfunction:
            return close(BlockKind::Function, first);
        case Word::Endmethod:
            return close(BlockKind::Method, first);
        case Word::Endglobals:
            return close(BlockKind::Globals, first);
        case Word::Endstruct:
            return close(BlockKind::Struct, first);
        case Word::Endinterface:
            return close(BlockKind::Interface, first);
        case Word::Endmodule:
            return close(BlockKind::Module, first);
        case Word::Endlibrary:
            return close(BlockKind::Library, first);
        case Word::Endscope:
            return close(BlockKind::Scope, first);
        case Word::Else:
        case Word::Elseif:
            return elseLine(first);
        default:
            break;
        }
    }

    const int modifiersAt = m_pos;
    const Modifiers mods = modifiers();
    const Word head = atEnd() ? Word::None : cur().word;
    if (head == Word::Static) {
        // static if: the block holds what the block around it holds.
        const Tok &at = cur();
        push(BlockKind::If, ctx(), at);
        m_stack.back().isStatic = true;
        m_pos += 2;
        if (expression(0) && expectWord(Word::Then, u"then"))
            expectEnd();
        return;
    }
    switch (head) {
    case Word::Globals:
    case Word::Function:
    case Word::Native:
    case Word::Type:
    case Word::Library:
    case Word::LibraryOnce:
    case Word::Scope:
    case Word::Struct:
    case Word::Interface:
    case Word::Module:
    case Word::Hook:
        if (ctx() != Ctx::Top)
            reopen(allowsDeclarations, cur());
        return declaration(head, mods);
    case Word::Keyword:
        // Names declared ahead, among declarations, globals or members.
        if (ctx() != Ctx::Top && ctx() != Ctx::Globals && !allowsMethods(ctx()))
            reopen(allowsDeclarations, cur());
        return declaration(head, mods);
    case Word::Method:
    case Word::Implement:
        if (!allowsMethods(ctx()) && !reopen(allowsMethods, cur())) {
            fail(ctx() == Ctx::Body ? QStringLiteral("ожидалась инструкция")
                                    : QStringLiteral("ожидалось объявление"));
            return;
        }
        return member(head);
    case Word::Local:
    case Word::Set:
    case Word::Call:
    case Word::If:
    case Word::Loop:
    case Word::Exitwhen:
    case Word::Return:
        if (ctx() != Ctx::Body) {
            fail(QStringLiteral("ожидалось объявление"));
            return;
        }
        if (mods.any) {
            errorAt(modifiersAt, QStringLiteral("ожидалась инструкция"));
            return;
        }
        return statement(head);
    default:
        break;
    }
    switch (ctx()) {
    case Ctx::Globals:
    case Ctx::Members:
    case Ctx::Interface:
        return variable(mods);
    case Ctx::Top:
        fail(QStringLiteral("ожидалось объявление"));
        return;
    case Ctx::Body:
        errorAt(modifiersAt, QStringLiteral("ожидалась инструкция"));
        return;
    }
}

Modifiers Reader::modifiers()
{
    Modifiers mods;
    while (!atEnd()) {
        const Word w = cur().word;
        if (w == Word::Static) {
            if (m_pos + 1 < int(m_toks.size()) && m_toks[m_pos + 1].word == Word::If)
                break;
        } else if (w == Word::Private) {
            mods.isPrivate = true;
        } else if (w == Word::Public) {
            mods.isPublic = true;
        } else if (w == Word::Constant) {
            mods.isConstant = true;
        } else if (w != Word::Readonly && w != Word::Delegate && w != Word::Stub) {
            break;
        }
        mods.any = true;
        ++m_pos;
    }
    return mods;
}

// A name being declared: an identifier, or leniently a type name or this.
bool Reader::name(QStringView *out)
{
    if (!isName() && !isWord(Word::This))
        return fail(QStringLiteral("ожидалось имя"));
    if (out)
        *out = text(cur());
    ++m_pos;
    return true;
}

bool Reader::typeRef()
{
    if (!isName() && !isWord(Word::Thistype))
        return fail(QStringLiteral("ожидался тип"));
    ++m_pos;
    while (isPunct(u'.') && m_pos + 1 < int(m_toks.size()) &&
           m_toks[m_pos + 1].kind == Kind::Identifier)
        m_pos += 2;
    return true;
}

// The type a declaration writes from token `first` to `end`: 0 for a
// dotted type or thistype.
int Reader::typeIndex(int first, int end)
{
    if (end != first + 1 || m_toks[first].word == Word::Thistype)
        return kVjassUnknownType;
    const QStringView name = text(m_toks[first]);
    const auto it = m_typeIds.constFind(name);
    if (it != m_typeIds.cend())
        return *it;
    const int index = int(m_result.typeNames.size());
    m_result.typeNames.append(name.toString());
    m_typeIds.insert(name, index);
    return index;
}

// `ofBody`: the signature of the function or method whose body follows,
// whose parameters are then known there.
bool Reader::signature(QList<VjassParameter> *parameters, QString *returns, bool ofBody)
{
    if (!expectWord(Word::Takes, u"takes"))
        return false;
    if (isNothing()) {
        ++m_pos;
    } else {
        for (;;) {
            const int type = m_pos;
            QStringView declared;
            if (!typeRef())
                return false;
            const int typeEnd = m_pos;
            if (!name(&declared))
                return false;
            if (parameters) {
                // A dotted type is put together without the spaces around
                // its dots.
                QString written = intern(text(m_toks[type]));
                for (int i = type + 1; i < typeEnd; ++i)
                    written += text(m_toks[i]);
                parameters->append({written, intern(declared)});
            }
            if (ofBody)
                m_bodyNames.add(declared, typeIndex(type, typeEnd), false);
            if (!isPunct(u','))
                break;
            ++m_pos;
        }
    }
    if (!expectWord(Word::Returns, u"returns"))
        return false;
    const int type = m_pos;
    if (!typeRef())
        return false;
    if (returns) {
        for (int i = type; i < m_pos; ++i)
            *returns += text(m_toks[i]);
    }
    if (isWord(Word::Defaults)) {
        ++m_pos;
        if (isNothing())
            ++m_pos;
        else if (!expression(0))
            return false;
    }
    return expectEnd();
}

bool Reader::libraryClauses()
{
    for (;;) {
        if (isWord(Word::Initializer)) {
            ++m_pos;
            if (!functionReference())
                return false;
        } else if (isWord(Word::Requires) || isWord(Word::Uses) || isWord(Word::Needs)) {
            ++m_pos;
            for (;;) {
                if (isWord(Word::Optional))
                    ++m_pos;
                QStringView required;
                if (!name(&required))
                    return false;
                if (!m_result.libraries.isEmpty() && !m_stack.empty() &&
                    m_stack.back().kind == BlockKind::Library)
                    m_result.libraries.back().required.append(intern(required));
                if (!isPunct(u','))
                    break;
                ++m_pos;
            }
        } else {
            return expectEnd();
        }
    }
}

void Reader::declaration(Word head, const Modifiers &mods)
{
    const Tok &at = cur();
    ++m_pos;
    QStringView declared;
    switch (head) {
    case Word::Globals:
        push(BlockKind::Globals, Ctx::Globals, at);
        expectEnd();
        return;
    case Word::Function:
        if (isWord(Word::Interface)) {
            ++m_pos;
            m_result.hasFunctionInterfaces = true;
            if (name(&declared)) {
                declare(declared, mods, true);
                signature();
            }
            return;
        }
        if (!name(&declared)) {
            push(BlockKind::Function, Ctx::Body, at);
            return;
        }
        {
            push(BlockKind::Function, Ctx::Body, at, int(m_result.functions.size()), declared);
            VjassFunction f;
            f.name = qualified(declared, mods);
            f.line = at.line;
            f.endLine = at.line;
            f.writtenName = intern(declared);
            f.access = mods.isPrivate  ? VjassFunction::Access::Private
                       : mods.isPublic ? VjassFunction::Access::Public
                                       : VjassFunction::Access::Plain;
            if (const int scope = m_stack.back().scope; scope >= 0) {
                f.scope = m_stack[scope].qualifier;
                f.scopeIsLibrary = m_stack[scope].kind == BlockKind::Library;
            }
            for (const Block &b : m_stack) {
                if (b.kind == BlockKind::Library)
                    f.library = b.qualifier;
            }
            m_result.functions.append(std::move(f));
            VjassFunction &made = m_result.functions.back();
            signature(&made.parameters, &made.returnType, true);
            return;
        }
    case Word::Native:
        if (name(&declared)) {
            declare(declared, mods, false);
            signature();
        }
        return;
    case Word::Type:
        if (!name(&declared))
            return;
        declare(declared, mods, false);
        if (!expectWord(Word::Extends, u"extends"))
            return;
        if (const int parent = m_pos; typeRef()) {
            m_result.types.append({intern(declared), intern(text(m_toks[parent]))});
        } else {
            return;
        }
        if (isWord(Word::Array)) {
            ++m_pos;
            if (isPunct(u'[')) {
                ++m_pos;
                if (!expression(0))
                    return;
                if (isPunct(u',')) {
                    ++m_pos;
                    if (!expression(0))
                        return;
                }
                if (!expectPunct(u']', u"]"))
                    return;
            }
        }
        expectEnd();
        return;
    case Word::Library:
    case Word::LibraryOnce:
    case Word::Scope: {
        const bool named = name(&declared);
        push(head == Word::Scope ? BlockKind::Scope : BlockKind::Library, Ctx::Top, at, -1,
             declared);
        if (named) {
            m_result.globalNames.append(intern(declared));
            if (head != Word::Scope)
                m_result.libraries.append({intern(declared), at.line, {}});
            libraryClauses();
        }
        return;
    }
    case Word::Struct:
    case Word::Interface:
    case Word::Module: {
        const bool named = name(&declared);
        if (named)
            declare(declared, mods, head != Word::Module);
        if (head == Word::Struct)
            push(BlockKind::Struct, Ctx::Members, at, -1, declared);
        else if (head == Word::Module)
            push(BlockKind::Module, Ctx::Members, at, -1, declared);
        else
            push(BlockKind::Interface, Ctx::Interface, at, -1, declared);
        if (!named)
            return;
        // How many instances there may be: struct Name[20000].
        if (head != Word::Module && isPunct(u'[')) {
            ++m_pos;
            if (!expression(0) || !expectPunct(u']', u"]"))
                return;
        }
        if (head == Word::Struct && isWord(Word::Extends)) {
            ++m_pos;
            if (isWord(Word::Array))
                ++m_pos;
            else if (!typeRef())
                return;
        }
        expectEnd();
        return;
    }
    case Word::Keyword:
        for (;;) {
            if (!name())
                return;
            if (!isPunct(u','))
                break;
            ++m_pos;
        }
        expectEnd();
        return;
    case Word::Hook:
        if (name() && functionReference())
            expectEnd();
        return;
    default:
        return;
    }
}

bool Reader::operatorName()
{
    if (isName()) {
        ++m_pos;
        if (isAssign())
            ++m_pos;
        return true;
    }
    if (isPunct(u'[')) {
        ++m_pos;
        if (!expectPunct(u']', u"]"))
            return false;
        if (isAssign())
            ++m_pos;
        return true;
    }
    if (!atEnd() && cur().kind == Kind::Operator && !isAssign()) {
        ++m_pos;
        return true;
    }
    return fail(QStringLiteral("ожидалось имя"));
}

void Reader::member(Word head)
{
    const Tok &at = cur();
    ++m_pos;
    if (head == Word::Implement) {
        if (isWord(Word::Optional))
            ++m_pos;
        if (name())
            expectEnd();
        return;
    }
    const bool body = ctx() == Ctx::Members;
    VjassFunction *method = nullptr;
    if (body) {
        push(BlockKind::Method, Ctx::Body, at);
        m_stack.back().method = int(m_result.methods.size());
        method = &m_result.methods.emplace_back();
        method->line = at.line;
        method->endLine = at.line;
    }
    const int named = m_pos;
    if (isWord(Word::Operator)) {
        ++m_pos;
        if (!operatorName())
            return;
    } else {
        QStringView declared;
        if (!name(&declared))
            return;
        if (body)
            m_stack.back().name = declared;
    }
    if (method) {
        for (int i = named; i < m_pos; ++i) {
            method->writtenName += text(m_toks[i]);
            if (m_toks[i].word == Word::Operator)
                method->writtenName += u' ';
        }
        method->name = method->writtenName;
    }
    signature(nullptr, method ? &method->returnType : nullptr, body);
}

void Reader::variable(const Modifiers &mods)
{
    const int type = m_pos;
    if (!typeRef())
        return;
    const int typeEnd = m_pos;
    const bool isArray = isWord(Word::Array);
    if (isArray)
        ++m_pos;
    const int declaredType = typeIndex(type, typeEnd);
    QStringView declared;
    if (!name(&declared))
        return;
    if (ctx() == Ctx::Globals) {
        declare(declared, mods, false);
        VjassVariable global;
        for (int i = type; i < typeEnd; ++i)
            global.type += text(m_toks[i]);
        global.nativeType = typeEnd == type + 1 && m_toks[type].kind == Kind::TypeName;
        global.name = qualified(declared, mods);
        global.line = m_toks[m_pos - 1].line;
        global.column = m_toks[m_pos - 1].start;
        global.isArray = isArray;
        global.isConstant = mods.isConstant;
        global.hasValue = isAssign();
        m_result.variables.append(std::move(global));
    }
    while (isPunct(u'[')) {
        ++m_pos;
        if (!expression(0) || !expectPunct(u']', u"]"))
            return;
    }
    if (isAssign()) {
        ++m_pos;
        Val value;
        if (!expression(0, &value))
            return;
        if (!isArray)
            typeUse(VjassTypeUse::Kind::Value, declared, value, nullptr, 0, declaredType);
    }
    expectEnd();
}

void Reader::statement(Word head)
{
    const Tok &at = cur();
    ++m_pos;
    if (head != Word::Local)
        m_sawStatement = true;
    m_stack.back().returned = head == Word::Return;
    int lastCall = -1;
    switch (head) {
    case Word::Local: {
        const int type = m_pos;
        if (!typeRef())
            return;
        VjassVariable local;
        for (int i = type; i < m_pos; ++i)
            local.type += text(m_toks[i]);
        const int declaredType = typeIndex(type, m_pos);
        local.nativeType = m_pos == type + 1 && m_toks[type].kind == Kind::TypeName;
        local.isArray = isWord(Word::Array);
        if (local.isArray)
            ++m_pos;
        if (atEnd())
            return (void)name();
        const Tok &named = cur();
        if (!name())
            return;
        local.name = intern(text(named));
        local.line = named.line;
        local.column = named.start;
        local.function = m_function;
        local.body = m_body;
        local.afterStatement = m_sawStatement;
        for (auto b = m_stack.crbegin(); b != m_stack.crend() && b->kind == BlockKind::If; ++b)
            local.inStaticIf = local.inStaticIf || b->isStatic;
        local.hasValue = isAssign();
        const bool isArray = local.isArray;
        m_bodyNames.add(text(named), declaredType, isArray);
        m_result.variables.append(std::move(local));
        if (isAssign()) {
            ++m_pos;
            Val value;
            if (!expression(0, &value))
                return;
            if (!isArray) {
                typeUse(VjassTypeUse::Kind::Value, text(named), value, nullptr, 0, declaredType);
            }
        }
        expectEnd();
        return;
    }
    case Word::Set: {
        const int first = m_pos;
        if (!target(&lastCall))
            return;
        // A plain name, or a name with an index, is what set assigns to.
        const bool scalar = m_pos == first + 1;
        const bool indexed =
            !scalar && m_toks[first + 1].kind == Kind::Punctuation && m_toks[first + 1].c == u'[' &&
            m_toks[m_pos - 1].kind == Kind::Punctuation && m_toks[m_pos - 1].c == u']';
        if (m_toks[first].kind == Kind::Identifier && m_body >= 0 && isAssign()) {
            // The first of each name and form in the body will do.
            const Tok &t = m_toks[first];
            const QStringView name = text(t);
            if ((scalar || indexed) &&
                !(name == m_lastAssigned && indexed == m_lastAssignedIndexed) &&
                !(indexed ? m_assignedIndexed : m_assigned).contains(name)) {
                m_lastAssigned = name;
                m_lastAssignedIndexed = indexed;
                (indexed ? m_assignedIndexed : m_assigned).insert(name);
                m_result.assignments.append(
                    {intern(name), t.line, t.start, m_function, m_body, 0, indexed});
            }
        }
        if (lastCall >= 0) {
            errorAt(lastCall, expected(u"="));
            return;
        }
        if (!isAssign()) {
            fail(expected(u"="));
            return;
        }
        ++m_pos;
        Val value;
        if (!expression(0, &value))
            return;
        // A plain name, or a name with one index: its type, when it is
        // the body's own, else looked up once the text is read.
        const Tok &t = m_toks[first];
        if (t.kind == Kind::Identifier && (scalar || indexed) && value.known()) {
            const QStringView name = text(t);
            const BodyName *own = m_bodyNames.find(name);
            if (!own) {
                typeUse(VjassTypeUse::Kind::Value, name, value, nullptr, indexed ? 1 : 0);
            } else if (own->isArray == indexed) {
                typeUse(VjassTypeUse::Kind::Value, name, value, nullptr, indexed ? 1 : 0,
                        own->type);
            }
        }
        expectEnd();
        return;
    }
    case Word::Call:
        if (!target(&lastCall))
            return;
        if (lastCall < 0) {
            fail(expected(u"("));
            return;
        }
        expectEnd();
        return;
    case Word::If: {
        push(BlockKind::If, Ctx::Body, at);
        Val condition;
        if (!expression(0, &condition))
            return;
        if (!expectWord(Word::Then, u"then"))
            return;
        typeUse(VjassTypeUse::Kind::Condition, u"if", condition);
        expectEnd();
        return;
    }
    case Word::Loop:
        push(BlockKind::Loop, Ctx::Body, at);
        expectEnd();
        return;
    case Word::Exitwhen: {
        Val condition;
        if (!expression(0, &condition))
            return;
        typeUse(VjassTypeUse::Kind::Condition, u"exitwhen", condition);
        expectEnd();
        return;
    }
    case Word::Return:
        if (m_function >= 0) {
            m_result.returns.append(
                {QStringLiteral("return"), at.line, at.start, m_function, m_body, atEnd() ? 0 : 1});
        }
        if (atEnd()) {
            return;
        } else {
            Val value;
            if (!expression(0, &value))
                return;
            if (m_function >= 0)
                typeUse(VjassTypeUse::Kind::Return, u"return", value);
        }
        expectEnd();
        return;
    default:
        return;
    }
}

// What set assigns to and call calls: a name, this, thistype, super or
// .member, with indexing, members and calls after it.
bool Reader::target(int *lastCall)
{
    const bool nameLike = isName() || isWord(Word::This) || isWord(Word::Thistype) ||
                          isWord(Word::Super) || isPunct(u'.');
    if (!nameLike)
        return fail(QStringLiteral("ожидалось имя"));
    return postfix(0, lastCall);
}

// An expression: operands joined by binary operators, the tighter ones
// first; what it is found to be goes to *value.
bool Reader::expression(int depth, Val *value)
{
    if (depth > kMaxVjassNesting)
        return fail(QStringLiteral("слишком глубокая вложенность"));
    Val v;
    if (!operand(depth, 0, &v))
        return false;
    if (value)
        *value = v;
    return true;
}

// Operands with the operators from `level` up between them.
bool Reader::operand(int depth, int level, Val *value)
{
    if (!unary(depth, value))
        return false;
    for (;;) {
        if (atEnd())
            return true;
        const Tok &op = cur();
        const int opLevel = levelOf(op);
        if (opLevel < level)
            return true;
        ++m_pos;
        Val right;
        if (!operand(depth, opLevel + 1, &right))
            return false;
        *value = combine(op, *value, right);
    }
}

// Signs and nots, then a primary expression with what follows it.
bool Reader::unary(int depth, Val *value)
{
    const int first = m_pos;
    while (!atEnd() &&
           (cur().word == Word::Not || (cur().kind == Kind::Operator && cur().length == 1 &&
                                        (cur().c == u'-' || cur().c == u'+'))))
        ++m_pos;
    const int last = m_pos;
    if (!postfix(depth, nullptr, value))
        return false;
    // A not before a comparison may stand for a not of the comparison.
    const bool beforeComparison = !atEnd() && levelOf(cur()) == 1;
    for (int i = last - 1; i >= first; --i) {
        const Tok &p = m_toks[i];
        Val v;
        if (p.word == Word::Not) {
            if (!beforeComparison && !value->is(kVjassBoolean))
                typeUse(VjassTypeUse::Kind::Operator, u"not", *value);
            v.type = kVjassBoolean;
            v.afterNot = beforeComparison;
        } else if (value->isNumber()) {
            v.type = value->type;
        }
        v.line = p.line;
        v.column = p.start;
        *value = v;
    }
    return true;
}

// What a binary operator makes of its operands, noting those it does not
// take.
Val Reader::combine(const Tok &op, const Val &left, const Val &right)
{
    using K = VjassTypeUse::Kind;
    const QStringView written = text(op);
    Val v;
    v.line = left.line;
    v.column = left.column;
    switch (levelOf(op)) {
    case 0: // and, or
        for (const Val *x : {&left, &right}) {
            if (!x->is(kVjassBoolean))
                typeUse(K::Operator, written, *x);
        }
        v.type = kVjassBoolean;
        return v;
    case 1: {
        v.type = kVjassBoolean;
        if (left.afterNot || !left.known() || !right.known())
            return v;
        const bool fits = (left.isNumber() && right.isNumber()) ||
                          (op.c != u'<' && op.c != u'>' && left.from == VjassValue::From::Type &&
                           right.from == VjassValue::From::Type && left.type == right.type);
        if (!fits)
            typeUse(K::Operator, written, right, &left, 0, kVjassUnknownType, &op);
        return v;
    }
    default: {
        if (left.isNumber() && right.isNumber()) {
            v.type = left.is(kVjassReal) || right.is(kVjassReal) ? kVjassReal : kVjassInteger;
        } else if (op.c == u'+' &&
                   ((left.is(kVjassString) && (right.is(kVjassString) || right.is(kVjassNull))) ||
                    (left.is(kVjassNull) && right.is(kVjassString)))) {
            v.type = kVjassString;
        } else if (left.known() && right.known()) {
            typeUse(K::Operator, written, right, &left, 0, kVjassUnknownType, &op);
        }
        return v;
    }
    }
}

// Notes a place where a value must be of some type, unless the value is
// not known or plainly fits.
// `interned`: `what`, when the caller has it as a string.
void Reader::typeUse(VjassTypeUse::Kind kind, QStringView what, const Val &found, const Val *left,
                     int index, int expected, const Tok *at, const QString *interned)
{
    using K = VjassTypeUse::Kind;
    if (!found.known())
        return;
    if (kind == K::Value && expected != kVjassUnknownType && found.is(expected))
        return;
    if (kind == K::Value && expected == kVjassReal && found.is(kVjassInteger))
        return;
    if ((kind == K::Condition || (kind == K::Operator && !left)) && found.is(kVjassBoolean))
        return;
    VjassTypeUse use;
    use.kind = kind;
    use.what = interned ? *interned : intern(what);
    use.line = at ? at->line : found.line;
    use.column = at ? at->start : found.column;
    use.function = m_function;
    use.body = m_body;
    use.index = index;
    use.expected = expected;
    use.found = valueOf(found);
    if (left)
        use.left = valueOf(*left);
    m_result.typeUses.append(std::move(use));
}

VjassValue Reader::valueOf(const Val &v)
{
    VjassValue value;
    value.from = v.from;
    value.type = v.type;
    if (v.from == VjassValue::From::Call && v.call >= 0)
        value.name = m_result.calls[v.call].name;
    else if (v.from != VjassValue::From::Type)
        value.name = intern(v.name);
    return value;
}

// A primary expression and what follows it: [index], .member, (arguments).
// *lastCall is the index of the last call's "(" when the expression ends
// with a call, else -1. *value: a literal's type, a name's, an element's,
// a call's result, what stands in parentheses; unknown for the rest.
bool Reader::postfix(int depth, int *lastCall, Val *value)
{
    if (atEnd())
        return fail(QStringLiteral("ожидалось выражение"));
    const int primary = m_pos;
    const Tok &t = cur();
    bool plain = false;
    Val v;
    switch (t.kind) {
    case Kind::Integer:
    case Kind::Rawcode:
        v.type = kVjassInteger;
        ++m_pos;
        break;
    case Kind::Real:
        v.type = kVjassReal;
        ++m_pos;
        break;
    case Kind::String:
        v.type = kVjassString;
        ++m_pos;
        break;
    case Kind::Identifier:
        plain = true;
        ++m_pos;
        break;
    case Kind::TypeName:
        ++m_pos;
        break;
    case Kind::Keyword:
        switch (t.word) {
        case Word::True:
        case Word::False:
            v.type = kVjassBoolean;
            ++m_pos;
            break;
        case Word::Null:
            v.type = kVjassNull;
            ++m_pos;
            break;
        case Word::This:
        case Word::Thistype:
        case Word::Super:
            ++m_pos;
            break;
        case Word::Function:
            ++m_pos;
            if (lastCall)
                *lastCall = -1;
            if (value) {
                value->type = kVjassCode;
                value->line = t.line;
                value->column = t.start;
            }
            return functionReference();
        default:
            return fail(QStringLiteral("ожидалось выражение"));
        }
        break;
    case Kind::Punctuation:
        if (t.c == u'(') {
            ++m_pos;
            if (!expression(depth + 1, &v) || !expectPunct(u')', u")"))
                return false;
            v.afterNot = false;
            break;
        }
        if (t.c == u'.') {
            ++m_pos;
            if (atEnd() || !(isName() || cur().kind == Kind::Keyword))
                return fail(QStringLiteral("ожидалось имя"));
            ++m_pos;
            break;
        }
        return fail(QStringLiteral("ожидалось выражение"));
    default:
        return fail(QStringLiteral("ожидалось выражение"));
    }
    v.line = t.line;
    v.column = t.start;
    int call = -1;
    int after = 0; // indexes, calls and members that follow
    int lastRecorded = -1;
    for (;; ++after) {
        if (isPunct(u'[')) {
            if (plain)
                recordIndexed(m_toks[primary]);
            ++m_pos;
            if (!expression(depth + 1) || !expectPunct(u']', u"]"))
                return false;
            call = -1;
        } else if (isPunct(u'(')) {
            int recorded = -1;
            if (plain) {
                const Tok &callee = m_toks[primary];
                recorded = int(m_result.calls.size());
                m_result.calls.append(
                    {intern(text(callee)), callee.line, callee.start, m_function, m_body, 0});
            }
            call = m_pos;
            ++m_pos;
            int count = 0;
            // The list may grow while the arguments are read.
            const QString callee = recorded >= 0 ? m_result.calls[recorded].name : QString();
            if (!arguments(depth + 1, &count, recorded >= 0 ? &callee : nullptr))
                return false;
            lastRecorded = recorded;
            if (recorded >= 0)
                m_result.calls[recorded].arguments = count;
        } else if (isPunct(u'.')) {
            ++m_pos;
            if (atEnd() || !(isName() || cur().kind == Kind::Keyword))
                return fail(QStringLiteral("ожидалось имя"));
            ++m_pos;
            call = -1;
        } else {
            break;
        }
        plain = false;
    }
    if (lastCall)
        *lastCall = call;
    if (!value)
        return true;
    if (t.kind == Kind::Identifier) {
        // A name alone, a name with an index, or a call by name.
        const QStringView name = text(t);
        const Tok *next = after == 1 ? &m_toks[primary + 1] : nullptr;
        const bool indexed = next && next->c == u'[';
        const bool called = next && next->c == u'(';
        const BodyName *own = m_bodyNames.find(name);
        v.name = name;
        if (after == 0 || indexed) {
            // An array of the body's without an index is left to the
            // names pass, which knows it for one.
            if (own && own->isArray == indexed)
                v.type = own->type;
            else if (!own || !indexed)
                v.from = indexed ? VjassValue::From::IndexedName : VjassValue::From::Name;
        } else if (called && !own && !m_types.contains(name)) {
            v.from = VjassValue::From::Call;
            v.call = lastRecorded;
        }
    } else if (after > 0) {
        v = Val{VjassValue::From::Type, kVjassUnknownType, {}, v.line, v.column};
    }
    *value = v;
    return true;
}

// `callee`: the function called by name, whose arguments' types are noted.
bool Reader::arguments(int depth, int *count, const QString *callee)
{
    if (isPunct(u')')) {
        ++m_pos;
        return true;
    }
    for (;;) {
        Val argument;
        if (!expression(depth, &argument))
            return false;
        if (callee)
            typeUse(VjassTypeUse::Kind::Argument, *callee, argument, nullptr, *count,
                    kVjassUnknownType, nullptr, callee);
        ++*count;
        if (!isPunct(u','))
            return expectPunct(u')', u")");
        ++m_pos;
    }
}

// function Name, function Struct.method, function thistype.x: recorded as
// written, without the spaces that may stand around the dots.
bool Reader::functionReference()
{
    if (!(isName() || isWord(Word::Thistype) || isWord(Word::This) || isWord(Word::Super)))
        return fail(QStringLiteral("ожидалось имя"));
    const int first = m_pos;
    ++m_pos;
    while (isPunct(u'.') && m_pos + 1 < int(m_toks.size()) &&
           (m_toks[m_pos + 1].kind == Kind::Identifier ||
            m_toks[m_pos + 1].kind == Kind::TypeName || m_toks[m_pos + 1].kind == Kind::Keyword))
        m_pos += 2;
    const Tok &a = m_toks[first];
    const Tok &b = m_toks[m_pos - 1];
    int length = 0;
    for (int i = first; i < m_pos; ++i)
        length += m_toks[i].length;
    QString written;
    if (a.line == b.line && b.end() - a.start == length) {
        // Mostly one reference to each function: not worth interning.
        written = m_lines[a.line].mid(a.start, length).toString();
    } else {
        for (int i = first; i < m_pos; ++i)
            written += text(m_toks[i]);
    }
    m_result.functionReferences.append({written, a.line, a.start, m_function, m_body, 0});
    return true;
}

} // namespace

VjassReadResult ReadVjass(std::span<const QStringView> lines)
{
    return Reader(lines).read();
}

VjassReadResult ReadVjass(const QStringList &lines)
{
    const std::vector<QStringView> views(lines.cbegin(), lines.cend());
    return ReadVjass(views);
}

std::vector<QStringView> VjassTextLines(QStringView text)
{
    std::vector<QStringView> lines;
    lines.reserve(size_t(text.count(u'\n') + 1));
    for (qsizetype from = 0;;) {
        const qsizetype end = text.indexOf(u'\n', from);
        if (end < 0) {
            lines.push_back(text.mid(from));
            return lines;
        }
        lines.push_back(text.mid(from, end - from));
        from = end + 1;
    }
}

} // namespace vell
