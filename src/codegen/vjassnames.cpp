#include "codegen/vjassnames.h"

#include "codegen/vjasslexer.h"
#include "common/textforms.h"

#include <QHash>
#include <QSet>

#include <vector>

namespace vell {

namespace {

QString arguments(int count)
{
    return QString::number(count) + QLatin1Char(' ') +
           CountedWord(count, u"аргумент", u"аргумента", u"аргументов").toString();
}

// Where each function stands once the libraries have gone to the top: the
// libraries in the order their requirements give (those no requirement
// orders keep their text order), then the rest of the text.
std::vector<int> placesOf(const VjassReadResult &read)
{
    QHash<QString, int> libraryAt; // the first library of each name
    for (int i = int(read.libraries.size()) - 1; i >= 0; --i)
        libraryAt.insert(read.libraries[i].name, i);
    std::vector<bool> placed(read.libraries.size(), false);
    std::vector<int> libraryOrder;
    libraryOrder.reserve(read.libraries.size());
    for (;;) {
        int next = -1;
        for (int i = 0; i < int(read.libraries.size()) && next < 0; ++i) {
            if (placed[i] || libraryAt.value(read.libraries[i].name) != i)
                continue;
            bool ready = true;
            for (const QString &required : read.libraries[i].required) {
                const auto it = libraryAt.constFind(required);
                if (it != libraryAt.cend() && *it != i && !placed[*it])
                    ready = false;
            }
            if (ready)
                next = i;
        }
        // Requirements in a circle: the first left keeps its place.
        for (int i = 0; i < int(read.libraries.size()) && next < 0; ++i) {
            if (!placed[i] && libraryAt.value(read.libraries[i].name) == i)
                next = i;
        }
        if (next < 0)
            break;
        placed[next] = true;
        libraryOrder.push_back(next);
    }
    QHash<QString, int> rank;
    for (int k = 0; k < int(libraryOrder.size()); ++k)
        rank.insert(read.libraries[libraryOrder[k]].name, k);
    // Sorted by (library rank or after them all, text order).
    std::vector<int> order(read.functions.size());
    for (int i = 0; i < int(order.size()); ++i)
        order[i] = i;
    const int outside = int(libraryOrder.size());
    const auto rankOf = [&](int f) {
        const QString &library = read.functions[f].library;
        return library.isEmpty() ? outside : rank.value(library, outside);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return rankOf(a) < rankOf(b); });
    std::vector<int> place(order.size());
    for (int k = 0; k < int(order.size()); ++k)
        place[order[k]] = k;
    return place;
}

// What values of a type the language lets go where: integers widen to
// reals, null goes to handles, code and strings, a handle type to the types
// it extends. Types the text cannot tell about (structs, the map's own, a
// handle type whose chain the text does not declare) take and go anywhere.
class TypeRules
{
public:
    explicit TypeRules(const VjassReadResult &read)
    {
        for (const VjassTypeDeclaration &t : read.types) {
            if (!m_parent.contains(t.name))
                m_parent.insert(t.name, t.parent);
        }
        for (const QString &name : read.structNames)
            m_structs.insert(name);
    }

    bool fits(const QString &from, const QString &to) const
    {
        if (from == to)
            return true;
        const Class f = classOf(from);
        const Class t = classOf(to);
        if (f == Class::Unknown || t == Class::Unknown)
            return true;
        if (from == u"integer" && to == u"real")
            return true;
        if (from == u"null")
            return to == u"string" || to == u"code" || t == Class::Handle;
        if (f != Class::Handle || t != Class::Handle)
            return false;
        if (to == u"handle")
            return true;
        // Up the chain the text declares; where it stops short of handle,
        // the rest is not known.
        QString at = from;
        for (int steps = 0; steps <= m_parent.size(); ++steps) {
            const auto it = m_parent.constFind(at);
            if (it == m_parent.cend())
                return at != u"handle" || !m_parent.contains(to);
            at = *it;
            if (at == to)
                return true;
        }
        return true; // a chain in a circle
    }

    bool isNumber(const QString &type) const { return type == u"integer" || type == u"real"; }
    bool known(const QString &type) const { return classOf(type) != Class::Unknown; }

    // == and !=: two numbers, two of one type, a handle and one of its
    // chain, null and a handle, code or string.
    bool comparable(const QString &a, const QString &b) const
    {
        if (!known(a) || !known(b) || (isNumber(a) && isNumber(b)))
            return true;
        if (a == u"null" || b == u"null")
            return fits(a, b) || fits(b, a);
        return classOf(a) == Class::Handle && classOf(b) == Class::Handle ? fits(a, b) || fits(b, a)
                                                                          : a == b;
    }

private:
    enum class Class
    {
        Unknown,
        Primitive,
        Handle
    };
    Class classOf(const QString &type) const
    {
        static const QStringList primitives = {QStringLiteral("integer"), QStringLiteral("real"),
                                               QStringLiteral("boolean"), QStringLiteral("string"),
                                               QStringLiteral("code"),    QStringLiteral("nothing"),
                                               QStringLiteral("null")};
        if (type.isEmpty() || m_structs.contains(type))
            return Class::Unknown;
        if (primitives.contains(type))
            return Class::Primitive;
        if (type == u"handle" || m_parent.contains(type))
            return Class::Handle;
        // vJass's key is an integer of its own kind.
        return type != u"key" && IsVjassTypeName(type) ? Class::Handle : Class::Unknown;
    }

    QHash<QString, QString> m_parent;
    QSet<QString> m_structs;
};

QString expectedFound(const QString &expected, const QString &found)
{
    return QStringLiteral("ожидалось %1, а не %2").arg(expected, found);
}

} // namespace

QList<VjassFinding> CheckVjassNames(const VjassReadResult &read,
                                    const std::function<QString(int)> &placeOf)
{
    QList<VjassFinding> findings;
    QHash<QString, int> defined; // the first definition of each name
    defined.reserve(read.functions.size());
    for (int i = int(read.functions.size()) - 1; i >= 0; --i)
        defined.insert(read.functions[i].name, i);
    // A name as a function of the text knows it: its own library's or
    // scope's private and public functions first.
    const auto resolve = [&](const QString &name, int from) {
        if (from >= 0) {
            const QString &scope = read.functions[from].scope;
            if (!scope.isEmpty()) {
                for (const char16_t *joint : {u"__", u"_"}) {
                    const auto it = defined.constFind(scope + QString::fromUtf16(joint) + name);
                    if (it != defined.cend())
                        return *it;
                }
            }
        }
        return defined.value(name, -1);
    };
    const std::vector<int> place = placesOf(read);
    const auto checkOrder = [&](const VjassName &use, int callee) {
        // Text the reader skipped may move anything.
        if (read.hasOpaqueParts || use.function < 0 || callee == use.function ||
            place[callee] < place[use.function])
            return;
        findings.append({use.line, use.column, true,
                         QStringLiteral("функция %1 определена ниже, %2")
                             .arg(use.name, placeOf(read.functions[callee].line))});
    };
    for (const VjassName &call : read.calls) {
        const int callee = resolve(call.name, call.function);
        if (callee < 0)
            continue;
        checkOrder(call, callee);
        const int takes = int(read.functions[callee].parameters.size());
        if (call.arguments != takes) {
            findings.append(
                {call.line, call.column, true,
                 QStringLiteral("функция %1 принимает %2, %3 %4")
                     .arg(call.name, arguments(takes),
                          CountedWord(call.arguments, u"передан", u"передано", u"передано")
                              .toString(),
                          QString::number(call.arguments))});
        }
    }
    for (const VjassName &ref : read.functionReferences) {
        const int callee = resolve(ref.name, ref.function);
        if (callee < 0)
            continue;
        checkOrder(ref, callee);
        const int takes = int(read.functions[callee].parameters.size());
        if (takes > 0 && !read.hasFunctionInterfaces) {
            findings.append(
                {ref.line, ref.column, true,
                 QStringLiteral("ожидалась функция без аргументов (code), а %1 принимает %2")
                     .arg(ref.name, arguments(takes))});
        }
    }

    // Each body's locals, and the globals.
    int body = -1;
    QSet<QString> names;
    QHash<QString, const VjassVariable *> globals;
    QHash<int, QHash<QString, const VjassVariable *>> locals; // by body
    for (const VjassVariable &v : read.variables) {
        if (v.isArray && v.hasValue) {
            findings.append(
                {v.line, v.column, true,
                 QStringLiteral("массив %1 не может получить начальное значение").arg(v.name)});
        }
        if (v.body < 0) {
            if (v.isConstant && !v.hasValue) {
                findings.append(
                    {v.line, v.column, true,
                     QStringLiteral("константа %1 объявлена без значения").arg(v.name)});
            }
            if (!globals.contains(v.name))
                globals.insert(v.name, &v);
            continue;
        }
        if (v.body != body) {
            body = v.body;
            names.clear();
        }
        if (v.afterStatement) {
            findings.append({v.line, v.column, true,
                             QStringLiteral("local %1 после инструкций: локальные переменные "
                                            "объявляются в начале функции")
                                 .arg(v.name)});
        }
        bool parameter = false;
        if (v.function >= 0) {
            for (const VjassParameter &p : read.functions[v.function].parameters)
                parameter = parameter || p.name == v.name;
        }
        if (parameter) {
            findings.append({v.line, v.column, false,
                             QStringLiteral("локальная переменная %1 названа как параметр функции")
                                 .arg(v.name)});
        } else if (names.contains(v.name) && !v.inStaticIf) {
            findings.append(
                {v.line, v.column, false,
                 QStringLiteral("локальная переменная %1 объявлена дважды").arg(v.name)});
        }
        names.insert(v.name);
        locals[v.body].insert(v.name, &v);
    }

    // What a name in a free function's body stands for: a local, a
    // parameter (no variable: nullptr, found), its library's or scope's
    // global, a global.
    const auto variableOf = [&](const VjassName &use) -> std::pair<const VjassVariable *, bool> {
        if (const auto *v = locals.value(use.body).value(use.name))
            return {v, true};
        for (const VjassParameter &p : read.functions[use.function].parameters) {
            if (p.name == use.name)
                return {nullptr, true};
        }
        const QString &scope = read.functions[use.function].scope;
        if (!scope.isEmpty()) {
            for (const char16_t *joint : {u"__", u"_"}) {
                if (const auto *v = globals.value(scope + QString::fromUtf16(joint) + use.name))
                    return {v, true};
            }
        }
        const auto *v = globals.value(use.name);
        return {v, v != nullptr};
    };
    for (const VjassName &set : read.assignments) {
        if (set.function < 0)
            continue;
        const auto [v, found] = variableOf(set);
        if (!found)
            continue;
        if (v && v->isConstant) {
            findings.append(
                {set.line, set.column, true,
                 QStringLiteral("%1 — константа: ей нельзя присвоить значение").arg(set.name)});
        } else if (v && v->isArray && !set.indexed) {
            findings.append({set.line, set.column, true,
                             QStringLiteral("%1 — массив: ожидалось %1[индекс]").arg(set.name)});
        }
    }
    for (const VjassName &use : read.indexedUses) {
        if (use.function < 0)
            continue;
        // A parameter of a struct type may have an [] operator: only
        // variables are judged.
        const VjassVariable *v = variableOf(use).first;
        if (v && !v->isArray && v->nativeType) {
            findings.append({use.line, use.column, true,
                             QStringLiteral("%1 не массив: индекс не нужен").arg(use.name)});
        }
    }
    // What a function gives back.
    const QString nothing = QStringLiteral("nothing");
    for (const VjassName &r : read.returns) {
        const VjassFunction &f = read.functions[r.function];
        if (f.returnType == nothing && r.arguments > 0) {
            findings.append({r.line, r.column, true,
                             QStringLiteral("функция %1 ничего не возвращает, а return дает "
                                            "значение")
                                 .arg(f.writtenName)});
        } else if (f.returnType != nothing && !f.returnType.isEmpty() && r.arguments == 0) {
            findings.append({r.line, r.column, true,
                             QStringLiteral("функция %1 должна вернуть %2, а return без значения")
                                 .arg(f.writtenName, f.returnType)});
        }
    }
    // Types.
    const TypeRules rules(read);
    // A name's type where the reader could not tell it: a global's (in a
    // method, where a name may be a member's, not known), a function's
    // result.
    // An array read without an index is a fault of its own (a target's is
    // reported with the assignments).
    const auto typeOf = [&](const VjassValue &v, const VjassTypeUse &use,
                            bool isTarget = false) -> QString {
        if (v.from == VjassValue::From::Type)
            return read.typeNames.value(v.type);
        if (v.from == VjassValue::From::Call) {
            const int callee = resolve(v.name, use.function);
            return callee < 0 ? QString() : read.functions[callee].returnType;
        }
        if (use.function < 0 && use.body >= 0)
            return QString();
        const VjassName name{v.name, use.line, use.column, use.function, use.body, 0, false};
        const VjassVariable *variable =
            use.function >= 0 ? variableOf(name).first : globals.value(v.name);
        if (variable && variable->isArray && v.from == VjassValue::From::Name && !isTarget) {
            findings.append({use.line, use.column, true,
                             QStringLiteral("%1 — массив: ожидалось %1[индекс]").arg(v.name)});
        }
        if (!variable || variable->isArray != (v.from == VjassValue::From::IndexedName))
            return QString();
        return variable->type;
    };
    for (const VjassTypeUse &use : read.typeUses) {
        using K = VjassTypeUse::Kind;
        const QString found = typeOf(use.found, use);
        QString expected;
        switch (use.kind) {
        case K::Value:
            if (use.expected != kVjassUnknownType) {
                expected = read.typeNames.value(use.expected);
            } else {
                VjassValue target{VjassValue::From::Name, 0, use.what};
                if (use.index > 0)
                    target.from = VjassValue::From::IndexedName;
                expected = typeOf(target, use, true);
            }
            if (!rules.fits(found, expected)) {
                findings.append({use.line, use.column, true,
                                 QStringLiteral("переменная %1: ").arg(use.what) +
                                     expectedFound(expected, found)});
            }
            break;
        case K::Argument: {
            const int callee = resolve(use.what, use.function);
            if (callee < 0 || use.index >= read.functions[callee].parameters.size())
                break;
            expected = read.functions[callee].parameters[use.index].type;
            if (!rules.fits(found, expected)) {
                findings.append({use.line, use.column, true,
                                 QStringLiteral("аргумент %1 функции %2: ")
                                         .arg(QString::number(use.index + 1), use.what) +
                                     expectedFound(expected, found)});
            }
            break;
        }
        case K::Return: {
            const VjassFunction &f = read.functions[use.function];
            if (f.returnType != nothing && !rules.fits(found, f.returnType)) {
                findings.append({use.line, use.column, true,
                                 QStringLiteral("return функции %1: ").arg(f.writtenName) +
                                     expectedFound(f.returnType, found)});
            }
            break;
        }
        case K::Condition:
        case K::Operator: {
            const QString boolean = QStringLiteral("boolean");
            const bool logical = use.kind == K::Condition || use.what == u"not" ||
                                 use.what == u"and" || use.what == u"or";
            if (logical) {
                if (!rules.fits(found, boolean)) {
                    findings.append({use.line, use.column, true,
                                     (use.kind == K::Condition ? QStringLiteral("условие %1: ")
                                                               : QStringLiteral("операнд %1: "))
                                             .arg(use.what) +
                                         expectedFound(boolean, found)});
                }
                break;
            }
            const QString left = typeOf(use.left, use);
            if (!rules.known(left) || !rules.known(found))
                break;
            const bool equality = use.what == u"==" || use.what == u"!=";
            const bool joins = use.what == u"+" && rules.fits(left, QStringLiteral("string")) &&
                               rules.fits(found, QStringLiteral("string")) &&
                               !(left == u"null" && found == u"null");
            const bool fits = equality ? rules.comparable(left, found)
                                       : (rules.isNumber(left) && rules.isNumber(found)) || joins;
            if (fits)
                break;
            const QString wanted = equality ? QStringLiteral("ожидались значения одного типа")
                                   : use.what == u"+"
                                       ? QStringLiteral("ожидались два числа или две строки")
                                       : QStringLiteral("ожидались числа");
            findings.append({use.line, use.column, true,
                             QStringLiteral("операнды %1: %2, а не %3 и %4")
                                 .arg(use.what, wanted, left, found)});
            break;
        }
        }
    }

    // A return the reader skipped may stand anywhere.
    for (const VjassFunction &f : read.functions) {
        if (!read.hasOpaqueParts && f.closed && !f.endsWithReturn && f.returnType != nothing &&
            !f.returnType.isEmpty()) {
            findings.append({f.endLine, 0, true,
                             QStringLiteral("функция %1 должна вернуть %2: перед endfunction "
                                            "ожидался return")
                                 .arg(f.writtenName, f.returnType)});
        }
    }
    for (const VjassFunction &m : read.methods) {
        if (!read.hasOpaqueParts && m.closed && !m.endsWithReturn && m.returnType != nothing &&
            !m.returnType.isEmpty()) {
            findings.append({m.endLine, 0, true,
                             QStringLiteral("метод %1 должен вернуть %2: перед endmethod "
                                            "ожидался return")
                                 .arg(m.writtenName, m.returnType)});
        }
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const VjassFinding &a, const VjassFinding &b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    return findings;
}

VjassReadResult SpliceVjass(const VjassReadResult &outer, const VjassReadResult &inserted, int at,
                            int insertedLines)
{
    VjassReadResult whole;
    // Functions in text order; the old index of each, in the new list.
    qsizetype before = 0;
    while (before < outer.functions.size() && outer.functions[before].line < at)
        ++before;
    const auto outerIndex = [&](int i) {
        return i < 0 ? i : i < before ? i : int(i + inserted.functions.size());
    };
    const auto insertedIndex = [&](int i) {
        return i < 0 ? i : int(i + before);
    };
    const auto outerLine = [&](int line) {
        return line < at ? line : line + insertedLines;
    };
    whole.functions.reserve(outer.functions.size() + inserted.functions.size());
    for (qsizetype i = 0; i < before; ++i)
        whole.functions.append(outer.functions[i]);
    for (VjassFunction f : inserted.functions) {
        f.line += at;
        f.endLine += at;
        whole.functions.append(std::move(f));
    }
    for (const VjassReadResult *part : {&outer, &inserted}) {
        for (VjassFunction m : part->methods) {
            m.line = part == &inserted ? m.line + at : outerLine(m.line);
            m.endLine = part == &inserted ? m.endLine + at : outerLine(m.endLine);
            whole.methods.append(std::move(m));
        }
    }
    for (qsizetype i = before; i < outer.functions.size(); ++i) {
        VjassFunction f = outer.functions[i];
        f.line = outerLine(f.line);
        f.endLine = outerLine(f.endLine);
        whole.functions.append(std::move(f));
    }
    // Bodies are counted anew: the inserted text's after the outer's.
    int bodies = 0;
    for (const QList<VjassName> *list : {&outer.calls, &outer.functionReferences,
                                         &outer.assignments, &outer.indexedUses, &outer.returns}) {
        for (const VjassName &n : *list)
            bodies = std::max(bodies, n.body + 1);
    }
    for (const VjassVariable &v : outer.variables)
        bodies = std::max(bodies, v.body + 1);
    for (const VjassTypeUse &use : outer.typeUses)
        bodies = std::max(bodies, use.body + 1);
    const auto names = [&](const QList<VjassName> &from, bool isInserted, QList<VjassName> &to) {
        for (VjassName n : from) {
            n.line = isInserted ? n.line + at : outerLine(n.line);
            n.function = isInserted ? insertedIndex(n.function) : outerIndex(n.function);
            if (isInserted && n.body >= 0)
                n.body += bodies;
            to.append(std::move(n));
        }
    };
    for (const auto list : {&VjassReadResult::calls, &VjassReadResult::functionReferences,
                            &VjassReadResult::assignments, &VjassReadResult::indexedUses,
                            &VjassReadResult::returns}) {
        (whole.*list).reserve((outer.*list).size() + (inserted.*list).size());
        names(outer.*list, false, whole.*list);
        names(inserted.*list, true, whole.*list);
    }
    for (VjassVariable v : outer.variables) {
        v.line = outerLine(v.line);
        v.function = outerIndex(v.function);
        whole.variables.append(std::move(v));
    }
    for (VjassVariable v : inserted.variables) {
        v.line += at;
        v.function = insertedIndex(v.function);
        v.body = v.body < 0 ? v.body : v.body + bodies;
        whole.variables.append(std::move(v));
    }
    for (const VjassReadResult *part : {&outer, &inserted}) {
        for (VjassLibrary library : part->libraries) {
            library.line = part == &inserted ? library.line + at : outerLine(library.line);
            whole.libraries.append(std::move(library));
        }
        whole.globalNames += part->globalNames;
    }
    // The inserted text's types, by their index among the outer text's.
    whole.typeNames = outer.typeNames;
    QHash<QString, int> typeIndex;
    for (int i = 0; i < int(whole.typeNames.size()); ++i)
        typeIndex.insert(whole.typeNames[i], i);
    const auto outerType = [&](int type) {
        const QString &name = inserted.typeNames.value(type);
        const auto it = typeIndex.constFind(name);
        if (it != typeIndex.cend())
            return *it;
        whole.typeNames.append(name);
        return *typeIndex.insert(name, int(whole.typeNames.size() - 1));
    };
    whole.typeUses.reserve(outer.typeUses.size() + inserted.typeUses.size());
    for (VjassTypeUse use : outer.typeUses) {
        use.line = outerLine(use.line);
        use.function = outerIndex(use.function);
        whole.typeUses.append(std::move(use));
    }
    for (VjassTypeUse use : inserted.typeUses) {
        use.line += at;
        use.function = insertedIndex(use.function);
        use.body = use.body < 0 ? use.body : use.body + bodies;
        use.expected = outerType(use.expected);
        use.found.type = outerType(use.found.type);
        use.left.type = outerType(use.left.type);
        whole.typeUses.append(std::move(use));
    }
    whole.types = outer.types + inserted.types;
    whole.structNames = outer.structNames + inserted.structNames;
    std::stable_sort(whole.libraries.begin(), whole.libraries.end(),
                     [](const VjassLibrary &a, const VjassLibrary &b) { return a.line < b.line; });
    whole.hasOpaqueParts = outer.hasOpaqueParts || inserted.hasOpaqueParts;
    whole.hasFunctionInterfaces = outer.hasFunctionInterfaces || inserted.hasFunctionInterfaces;
    return whole;
}

} // namespace vell
