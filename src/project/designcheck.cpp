#include "project/designcheck.h"

#include "codegen/designinput.h"
#include "codegen/interfacegenerator.h"
#include "codegen/userfunctions.h"
#include "codegen/vjassnames.h"
#include "codegen/vjassreader.h"
#include "common/textforms.h"
#include "common/vellerror.h"
#include "model/actiontext.h"
#include "model/kindfacts.h"
#include "project/actionupdate.h"
#include "project/project.h"

#include <QSet>
#include <QStringBuilder>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <future>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace vell {

namespace {

using Severity = DesignFinding::Severity;

// An object and the file line its record starts at (0: none).
struct Entry
{
    const VellControl *object;
    int firstLine;
};

// Whether the text, put between double quotes, does not read as one JASS
// string: a double quote not escaped ends it early, and a backslash escapes
// only \" \\ \n \r \t \b \f.
bool breaksString(const QString &text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'"')
            return true;
        if (c != u'\\')
            continue;
        if (++i == n)
            return true;
        switch (text[i].unicode()) {
        case u'"':
        case u'\\':
        case u'n':
        case u'r':
        case u't':
        case u'b':
        case u'f':
            break;
        default:
            return true;
        }
    }
    return false;
}

// The words of JASS that cannot name a variable: its keywords, and the
// native types.
bool isJassKeyword(const QString &name)
{
    static const QSet<QString> words{
        QStringLiteral("function"),   QStringLiteral("endfunction"), QStringLiteral("takes"),
        QStringLiteral("returns"),    QStringLiteral("native"),      QStringLiteral("constant"),
        QStringLiteral("type"),       QStringLiteral("extends"),     QStringLiteral("globals"),
        QStringLiteral("endglobals"), QStringLiteral("local"),       QStringLiteral("set"),
        QStringLiteral("call"),       QStringLiteral("if"),          QStringLiteral("then"),
        QStringLiteral("else"),       QStringLiteral("elseif"),      QStringLiteral("endif"),
        QStringLiteral("loop"),       QStringLiteral("endloop"),     QStringLiteral("exitwhen"),
        QStringLiteral("return"),     QStringLiteral("and"),         QStringLiteral("or"),
        QStringLiteral("not"),        QStringLiteral("true"),        QStringLiteral("false"),
        QStringLiteral("null"),       QStringLiteral("array"),       QStringLiteral("debug")};
    return words.contains(name);
}

bool isJassType(const QString &name)
{
    static const QSet<QString> types{QStringLiteral("handle"), QStringLiteral("integer"),
                                     QStringLiteral("real"),   QStringLiteral("boolean"),
                                     QStringLiteral("string"), QStringLiteral("code"),
                                     QStringLiteral("nothing")};
    return types.contains(name);
}

// A letter, then letters, digits and underscores, all of ASCII.
bool isJassName(const QString &name)
{
    if (name.isEmpty() || name[0].unicode() >= 128 || !name[0].isLetter())
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](QChar c) { return IsAsciiWordChar(c.unicode()); });
}

// Whether the text reads as one JASS expression, alone and between the
// parentheses of a call.
bool isJassExpression(const QString &text)
{
    const VjassReadResult read =
        ReadVjass({QStringLiteral("function F takes nothing returns nothing"),
                   QStringLiteral(" set x = ") + text, QStringLiteral(" call F(") + text + u')',
                   QStringLiteral("endfunction")});
    return read.errors.isEmpty();
}

// "не закрыта функция Foo (строка 12)", the line counted from 1.
QString openMessage(const VjassOpenPart &open)
{
    using Kind = VjassOpenPart::Kind;
    QString what;
    switch (open.kind) {
    case Kind::None:
        return QString();
    case Kind::String:
        what = QStringLiteral("не закрыта строка");
        break;
    case Kind::Comment:
        what = QStringLiteral("не закрыт комментарий");
        break;
    case Kind::TextMacro:
        what = QStringLiteral("не закрыт блок //! textmacro");
        break;
    case Kind::Zinc:
        what = QStringLiteral("не закрыт блок //! zinc");
        break;
    case Kind::NoVjass:
        what = QStringLiteral("не закрыт блок //! novjass");
        break;
    case Kind::Inject:
        what = QStringLiteral("не закрыт блок //! inject");
        break;
    case Kind::Globals:
        what = QStringLiteral("не закрыт блок globals");
        break;
    case Kind::Function:
        what = QStringLiteral("не закрыта функция");
        break;
    case Kind::Method:
        what = QStringLiteral("не закрыт метод");
        break;
    case Kind::If:
        what = QStringLiteral("не закрыт блок if");
        break;
    case Kind::Loop:
        what = QStringLiteral("не закрыт блок loop");
        break;
    case Kind::Library:
        what = QStringLiteral("не закрыта библиотека");
        break;
    case Kind::Scope:
        what = QStringLiteral("не закрыта область");
        break;
    case Kind::Struct:
        what = QStringLiteral("не закрыта структура");
        break;
    case Kind::Interface:
        what = QStringLiteral("не закрыт интерфейс");
        break;
    case Kind::Module:
        what = QStringLiteral("не закрыт модуль");
        break;
    }
    if (!open.name.isEmpty())
        what += u' ' + open.name;
    return what + QStringLiteral(" (строка %1)").arg(open.line + 1);
}

using Setting = DesignFinding::Setting;

// The caption of the setting in the settings dialog.
QString settingCaption(Setting setting)
{
    switch (setting) {
    case Setting::ButtonVar:
        return QStringLiteral("Название переменной кнопки");
    case Setting::PictureVar:
        return QStringLiteral("Название переменной изображения");
    case Setting::TextVar:
        return QStringLiteral("Название переменной текста");
    case Setting::UnitVar:
        return QStringLiteral("Название переменной юнита");
    case Setting::None:
        break;
    }
    return QString();
}

QString quoted(const QString &text)
{
    return u'"' % ShortQuote(text) % u'"';
}

// A syntax error in a generated line of an object, for its field.
struct CodeError
{
    int field;
    QString message;
};

// Runs the work on a thread of its own, or, without one to be had, when its
// result is asked for.
template <typename Work> auto meanwhile(const Work &work)
{
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error &) {
        return std::async(std::launch::deferred, work);
    }
}

// The objects of each kind (buttons, pictures, texts) as the generator
// numbers them.
using ObjectsByKind = std::array<std::vector<const VellControl *>, 3>;

// The code the generator writes for the objects, read as vJass.
struct GeneratedCode
{
    // Without its text once read: the pieces place the errors.
    GeneratorResult result;
    VjassReadResult read;
};

// What the reading makes for itself alone, dropped once the code is handed
// over.
struct ReadingScratch
{
    GeneratorInput input;
    QString text;
    std::vector<QStringView> lines;
};

GeneratedCode readGeneratedCode(const Settings &settings, const ObjectsByKind &objects,
                                ReadingScratch &scratch)
{
    // Sizes and places do not change what is legal; a colour that names no
    // colour has its finding and is left out. The user code is read on its
    // own: what it leaves open at its end is its fault alone, not that of
    // the lines after it.
    GeneratorInput &input = scratch.input;
    input = GeneratorSettingsInput(settings, QStringList());
    input.mapPieces = true;
    input.buttons.reserve(qsizetype(objects[0].size()));
    for (const VellControl *o : objects[0])
        input.buttons.append(GeneratorButton(static_cast<const VellButton &>(*o)));
    input.pictures.reserve(qsizetype(objects[1].size()));
    for (const VellControl *o : objects[1])
        input.pictures.append(GeneratorPicture(static_cast<const VellPicture &>(*o)));
    input.texts.reserve(qsizetype(objects[2].size()));
    for (const VellControl *o : objects[2]) {
        const auto &t = static_cast<const VellText &>(*o);
        GenText &text = input.texts.emplace_back(GeneratorText(t));
        if (!t.TextColor.isEmpty() && !TryTextToColor(t.TextColor))
            text.textColor = QString();
    }
    GeneratedCode code;
    code.result = GenerateInterfaceCode(input);
    if (code.result.ok()) {
        scratch.text = std::move(code.result.text);
        if (code.result.lineCount > 0)
            scratch.lines = VjassTextLines(scratch.text);
        code.read = ReadVjass(scratch.lines);
    }
    return code;
}

// The generated code read on a thread of its own while the objects are
// checked, or, without a thread to be had, when it is asked for. The
// thread reads the settings and the objects only, as the one that asks
// does meanwhile; it hands over what it made once complete, and then drops
// what it made for itself alone while the check goes on.
class GeneratedCodeReader
{
public:
    GeneratedCodeReader(const Settings &settings, const ObjectsByKind &objects)
        : m_settings(settings), m_objects(objects), m_handed(m_code.get_future())
    {
        try {
            m_thread = std::thread([this] { run(); });
        } catch (const std::system_error &) {
            // No thread to be had: the code is read when it is asked for.
        }
    }
    ~GeneratedCodeReader()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    GeneratedCodeReader(const GeneratedCodeReader &) = delete;
    GeneratedCodeReader &operator=(const GeneratedCodeReader &) = delete;

    GeneratedCode take()
    {
        if (!m_thread.joinable())
            run();
        return m_handed.get();
    }

private:
    void run()
    {
        try {
            ReadingScratch scratch;
            m_code.set_value(readGeneratedCode(m_settings, m_objects, scratch));
        } catch (...) {
            m_code.set_exception(std::current_exception());
        }
    }

    const Settings &m_settings;
    const ObjectsByKind &m_objects;
    std::promise<GeneratedCode> m_code;
    std::future<GeneratedCode> m_handed;
    std::thread m_thread;
};

class Checker
{
public:
    // `userCodeStart`: the file line before the first user code line (0:
    // checked in the designer).
    Checker(const Settings &settings, const QStringList &userCode,
            const std::vector<Entry> &entries, int userCodeStart)
        : m_settings(settings), m_userCode(userCode), m_entries(entries),
          m_userCodeStart(userCodeStart)
    {
        m_checkFunctions = settings.useUserCode;
        // The generated code is read on a thread of its own, and the stale
        // click functions are looked for on another, while this one checks
        // the objects; each thread keeps what it makes to itself until it is
        // handed over, and the findings keep their order.
        std::optional<GeneratedCodeReader> generated;
        if (settings.vjass) {
            for (const ObjectKind kind : kObjectKinds)
                m_objects[kind - KindButton] = ofKind(kind);
            generated.emplace(settings, m_objects);
        }
        if (m_checkFunctions)
            readUserCode();
        checkSettings();
        indexNames();
        findCoveredButtons();
        if (settings.vjass && m_checkFunctions && !userCode.isEmpty())
            scanClickFunctionsMeanwhile();
        // The objects' findings go first; the errors of their generated
        // lines, found once the code is read, join each object's own.
        m_objectStarts.reserve(entries.size());
        for (const Entry &e : entries) {
            m_objectStarts.push_back(findings.size());
            checkObject(*e.object, e.firstLine);
        }
        if (generated)
            checkCode(generated->take());
        addCodeErrors();
        for (int i = 0; i < int(userCode.size()); ++i) {
            // Where the project file ends the user code.
            if (userCode[i] == QLatin1String("/end")) {
                addCode(Severity::Warning, i, 0,
                        QStringLiteral("строка \"/end\" обрежет код пользователя при открытии "
                                       "проекта"));
            }
        }
        std::stable_sort(m_codeFindings.begin(), m_codeFindings.end(),
                         [](const DesignFinding &a, const DesignFinding &b) {
                             // The user code's in line order, the others after them.
                             const auto order = [](const DesignFinding &f) {
                                 return f.userCodeLine > 0 ? f.userCodeLine : INT_MAX;
                             };
                             return order(a) < order(b);
                         });
        findings.append(std::move(m_codeFindings));
    }

    QList<DesignFinding> findings;

private:
    // The user code read on its own; its functions by the names that code
    // outside it may call them by, or not (private ones).
    void readUserCode()
    {
        m_userRead = ReadVjass(m_userCode);
        m_defined.reserve(m_userRead.functions.size());
        // Backwards, so that the first function of a name is the one kept.
        for (int i = int(m_userRead.functions.size()) - 1; i >= 0; --i) {
            const VjassFunction &f = std::as_const(m_userRead.functions)[i];
            // Code outside a library or scope cannot call its private
            // functions, by either name.
            if (f.access == VjassFunction::Access::Private && !f.scope.isEmpty()) {
                m_private.insert(f.name, i);
                m_private.insert(f.writtenName, i);
            } else {
                m_defined.insert(f.name, i);
            }
        }
    }

    // A finding on a field of the object being checked.
    DesignFinding objectFinding(Severity severity, int offset, QString message) const
    {
        // A line of no field of its own stands for the record as a whole.
        DesignFinding f{severity,
                        m_object->Kind,
                        m_object->Id,
                        m_object->Name,
                        m_firstLine ? m_firstLine + std::max(offset, 0) : 0,
                        std::move(message)};
        f.field = offset;
        return f;
    }

    void add(Severity severity, int offset, QString message)
    {
        findings.append(objectFinding(severity, offset, std::move(message)));
    }

    // A finding on a user code line (from 0 here), or, with -1, on a line of
    // the generated code that belongs to no object.
    DesignFinding codeFinding(Severity severity, int userCodeLine, int column,
                              QString message) const
    {
        DesignFinding f;
        f.severity = severity;
        f.message = std::move(message);
        if (userCodeLine >= 0) {
            f.userCodeLine = userCodeLine + 1;
            f.column = column;
            if (m_userCodeStart > 0)
                f.line = m_userCodeStart + f.userCodeLine;
        }
        return f;
    }

    void addCode(Severity severity, int userCodeLine, int column, const QString &message)
    {
        m_codeFindings.append(codeFinding(severity, userCodeLine, column, message));
    }

    // The entries of one kind, as the generator numbers them.
    std::vector<const VellControl *> ofKind(ObjectKind kind) const
    {
        std::vector<const VellControl *> objects;
        for (const Entry &e : m_entries) {
            if (e.object->Kind == kind && objects.size() < size_t(ObjectTables::Capacity))
                objects.push_back(e.object);
        }
        return objects;
    }

    // Every name once, with the first object of each kind that bears it;
    // and the objects whose name an earlier one bears: one of the same kind
    // before it, or any of a kind checked before (the entries come kind by
    // kind).
    void indexNames()
    {
        m_names.reserve(qsizetype(m_entries.size()));
        for (const Entry &e : m_entries) {
            const VellControl &o = *e.object;
            if (o.Kind < KindButton || o.Kind > KindText)
                continue;
            Bearers &bearers = m_names[o.Name];
            const int kind = o.Kind - KindButton;
            if (std::any_of(bearers.begin(), bearers.begin() + kind + 1,
                            [](const VellControl *bearer) { return bearer != nullptr; }))
                m_repeated.insert(&o);
            if (!bearers[kind])
                bearers[kind] = &o;
        }
    }

    const VellControl *find(ObjectKind kind, const QString &name) const
    {
        if (kind < KindButton || kind > KindText)
            return nullptr;
        const auto it = m_names.constFind(name);
        return it == m_names.cend() ? nullptr : (*it)[kind - KindButton];
    }

    ObjectByName finder() const
    {
        return [this](ObjectKind kind, const QString &name) {
            return find(kind, name);
        };
    }

    // Pictures are created after the buttons and take the clicks meant for
    // a button under them: each covered button is named once, with the first
    // picture over its centre.
    void findCoveredButtons()
    {
        // The pictures' areas in panel pixels, clamped to what a centre can
        // be, one array per edge: the scan below compares a centre with a
        // block of pictures at once.
        const auto clamp = [](qint64 v) {
            return int(std::clamp<qint64>(v, INT_MIN, INT_MAX));
        };
        std::vector<int> left, right, bottom, top;
        std::vector<const VellControl *> pictures;
        for (const Entry &e : m_entries) {
            const VellControl &p = *e.object;
            if (p.Kind != KindPicture)
                continue;
            const qint64 l = qint64(p.X) - p.Width / 2;
            const qint64 t = qint64(p.Y) + p.Height / 2;
            // A centre c is inside when left <= c < right and bottom < c <= top.
            left.push_back(clamp(l));
            right.push_back(clamp(l + p.Width));
            bottom.push_back(clamp(t - p.Height));
            top.push_back(clamp(t));
            pictures.push_back(&p);
        }
        if (pictures.empty())
            return;
        const int minLeft = *std::min_element(left.begin(), left.end());
        const int maxRight = *std::max_element(right.begin(), right.end());
        const int minBottom = *std::min_element(bottom.begin(), bottom.end());
        const int maxTop = *std::max_element(top.begin(), top.end());
        const size_t n = pictures.size();
        constexpr size_t kBlock = 64;
        for (const Entry &e : m_entries) {
            const VellControl &b = *e.object;
            if (b.Kind != KindButton || b.X < minLeft || b.X >= maxRight || b.Y <= minBottom ||
                b.Y > maxTop) {
                continue;
            }
            const int x = b.X, y = b.Y;
            for (size_t start = 0; start < n; start += kBlock) {
                const size_t end = std::min(n, start + kBlock);
                int any = 0;
                for (size_t i = start; i < end; ++i)
                    any |= int(x >= left[i]) & int(x < right[i]) & int(y > bottom[i]) &
                           int(y <= top[i]);
                if (!any)
                    continue;
                size_t i = start;
                while (!(x >= left[i] && x < right[i] && y > bottom[i] && y <= top[i]))
                    ++i;
                m_covered[pictures[i]].append(b.Name);
                break;
            }
        }
    }

    void checkSettings()
    {
        const std::pair<Setting, const QString *> arrays[] = {
            {Setting::ButtonVar, &m_settings.buttonVar},
            {Setting::PictureVar, &m_settings.pictureVar},
            {Setting::TextVar, &m_settings.textVar}};
        for (size_t i = 0; i < std::size(arrays); ++i) {
            const auto [setting, value] = arrays[i];
            if (!isJassName(*value)) {
                addSetting(setting, QStringLiteral("не имя JASS"));
            } else if (isJassKeyword(*value)) {
                addSetting(setting, QStringLiteral("ключевое слово JASS"));
            } else if (isJassType(*value)) {
                addSetting(setting, QStringLiteral("тип JASS"));
            } else {
                for (size_t k = 0; k < i; ++k) {
                    if (*arrays[k].second == *value) {
                        // "Название переменной кнопки" → "названием переменной кнопки".
                        const QString other = settingCaption(arrays[k].first).mid(9);
                        addSetting(setting, QStringLiteral("совпадает с названием ") + other);
                        break;
                    }
                }
            }
        }
        if (!isJassExpression(m_settings.unitVar))
            addSetting(Setting::UnitVar, QStringLiteral("не выражение JASS"));
    }

    void addSetting(Setting setting, const QString &fault)
    {
        const QString &value = setting == Setting::ButtonVar    ? m_settings.buttonVar
                               : setting == Setting::PictureVar ? m_settings.pictureVar
                               : setting == Setting::TextVar    ? m_settings.textVar
                                                                : m_settings.unitVar;
        DesignFinding f;
        f.message = settingCaption(setting) + QStringLiteral(": ") + quoted(value) +
                    QStringLiteral(" — ") + fault;
        f.setting = setting;
        findings.append(f);
        m_settingsFault = true;
    }

    void checkCode(const GeneratedCode &code);
    void codeError(const VjassError &e, const GeneratorResult &generated, qsizetype userCount);
    void generatedFinding(const VjassFinding &f, int line, const GeneratorResult &generated);
    static const CodePiece *objectPieceAt(const GeneratorResult &generated, int line, int column);
    static int fieldOf(const CodePiece &piece);
    void checkFunctions(const GeneratorResult &result, const VjassReadResult &read,
                        qsizetype userFirst, qsizetype userCount);

    // The findings of the buttons' own click functions that differ from what
    // their lists write now, made on a thread of their own. It reads the
    // buttons, the settings, the user code and the names index, none of
    // which changes from here on.
    void scanClickFunctionsMeanwhile()
    {
        QList<const VellButton *> buttons;
        buttons.reserve(qsizetype(m_objects[0].size()));
        for (const VellControl *o : m_objects[0])
            buttons.append(static_cast<const VellButton *>(o));
        m_stale = meanwhile([this, buttons, functions = UserFunctions(m_userRead)] {
            QList<DesignFinding> stale;
            for (const ActionFunctionState &f :
                 StaleActionFunctions(buttons, m_settings, finder(), m_userCode, functions)) {
                stale.append(codeFinding(Severity::Warning, f.line, 0,
                                         QStringLiteral("функция ") % f.name %
                                             QStringLiteral(" устарела: Код → Обновить функции "
                                                            "действий")));
            }
            return stale;
        });
    }
    // The array the settings name now in place of `array`, by the line of
    // the function of the user code that uses it written anew; empty when it
    // cannot be told.
    QString arrayNow(const QString &array, const VjassFunction &f, const VellButton &button,
                     ClickSide side) const;

    void checkObject(const VellControl &o, int firstLine)
    {
        m_object = &o;
        m_firstLine = firstLine;
        if (m_repeated.contains(&o))
            add(Severity::Error, 0,
                QStringLiteral("имя %1 уже носит другой объект").arg(quoted(o.Name)));

        const bool outX = std::abs(qint64(o.X)) > kPanelWidth / 2;
        if (outX || std::abs(qint64(o.Y)) > kPanelHeight / 2) {
            add(Severity::Warning, outX ? RecordLine::X : RecordLine::Y,
                QStringLiteral("центр объекта вне панели (X = %1, Y = %2)").arg(o.X).arg(o.Y));
        }
        if (const QString *texture = TextureOf(o)) {
            // One to three characters still read as a rawcode; none, or five
            // and more, do not.
            if (const qsizetype n = texture->size(); n != 4) {
                add(n >= 1 && n <= 3 ? Severity::Warning : Severity::Error, RecordLine::Texture,
                    QStringLiteral("ID текстуры %1 не из четырех символов").arg(quoted(*texture)));
            }
            if (texture->contains(u'\'') || texture->contains(u'\\')) {
                add(Severity::Error, RecordLine::Texture,
                    QStringLiteral("' или \\ в ID текстуры %1 ломают код").arg(quoted(*texture)));
            }
        }
        if (o.Kind == KindButton)
            checkButton(static_cast<const VellButton &>(o));
        else if (o.Kind == KindText)
            checkText(static_cast<const VellText &>(o));
        if (const auto covered = m_covered.constFind(&o); covered != m_covered.cend()) {
            for (const QString &button : *covered) {
                add(Severity::Warning, RecordLine::X,
                    QStringLiteral("картинка %1 лежит поверх кнопки %2: в коде картинки "
                                   "создаются после кнопок")
                        .arg(o.Name, button));
            }
        }
    }

    // The syntax errors of the objects' generated lines, each after its
    // object's own findings, on a field that has no error yet.
    void addCodeErrors()
    {
        if (m_codeErrors.isEmpty())
            return;
        QList<DesignFinding> all;
        all.reserve(findings.size() + m_codeErrors.size());
        qsizetype next = 0;
        const auto take = [&](qsizetype end) {
            for (; next < end; ++next)
                all.append(std::move(findings[next]));
        };
        for (size_t i = 0; i < m_entries.size(); ++i) {
            take(m_objectStarts[i]);
            const qsizetype own = all.size();
            take(i + 1 < m_entries.size() ? m_objectStarts[i + 1] : findings.size());
            const auto errors = m_codeErrors.constFind(m_entries[i].object);
            if (errors == m_codeErrors.cend())
                continue;
            m_object = m_entries[i].object;
            m_firstLine = m_entries[i].firstLine;
            for (const CodeError &e : *errors) {
                const bool fieldHasError =
                    std::any_of(all.cbegin() + own, all.cend(), [&](const DesignFinding &f) {
                        return f.field == e.field && f.severity == Severity::Error;
                    });
                if (!fieldHasError)
                    all.append(objectFinding(Severity::Error, e.field, e.message));
            }
        }
        take(findings.size());
        findings = std::move(all);
    }

    void checkButton(const VellButton &b)
    {
        const auto function = [&](const QString &name, int offset, const QString &side) {
            if (!m_checkFunctions || name.isEmpty())
                return;
            // Put together at once: a full table may give thousands.
            const auto message = [&](const QString &what) -> QString {
                return QStringLiteral("функция ") % side % QStringLiteral(" клика ") %
                       quoted(name) % what;
            };
            if (const auto defined = m_defined.constFind(name); defined != m_defined.cend()) {
                if (!m_userRead.functions[defined.value()].parameters.isEmpty())
                    add(Severity::Error, offset, message(QStringLiteral(" принимает аргументы")));
            } else if (const auto hidden = m_private.constFind(name); hidden != m_private.cend()) {
                const VjassFunction &f = m_userRead.functions[hidden.value()];
                add(Severity::Error, offset,
                    message((f.scopeIsLibrary ? QStringLiteral(" приватная в библиотеке ")
                                              : QStringLiteral(" приватная в области ")) +
                            f.scope));
            } else {
                add(Severity::Error, offset,
                    message(QStringLiteral(" не определена в коде пользователя")));
            }
        };
        function(b.LeftActionsFunction, RecordLine::LeftFunction, QStringLiteral("левого"));
        function(b.RightActionsFunction, RecordLine::RightFunction, QStringLiteral("правого"));
        checkActions(b.LeftActions, RecordLine::LeftActions, QStringLiteral("левый клик"));
        checkActions(b.RightActions, RecordLine::RightActions(int(b.LeftActions.size())),
                     QStringLiteral("правый клик"));
    }

    void checkActions(const QStringList &actions, int firstOffset, const QString &side)
    {
        for (int i = 0; i < actions.size(); ++i) {
            const QString &line = actions[i];
            switch (KindOfLine(line)) {
            case ActionKind::ShowHide: {
                const QString target = WordAt(line, 2);
                const ObjectKind kind = KindFromNamePrefix(target);
                if (kind == KindNone) {
                    add(Severity::Error, firstOffset + i,
                        QStringLiteral("%1: имя %2 не начинается с %3, %4 или %5")
                            .arg(side, quoted(target), factsOf(KindButton).shortPrefix,
                                 factsOf(KindPicture).shortPrefix, factsOf(KindText).shortPrefix));
                } else if (!find(kind, target)) {
                    add(Severity::Error, firstOffset + i,
                        QStringLiteral("%1: объекта %2 нет").arg(side, quoted(target)));
                }
                break;
            }
            case ActionKind::Message:
                if (breaksString(WordAt(line, 1))) {
                    add(Severity::Error, firstOffset + i,
                        QStringLiteral("%1: \" или \\ в сообщении ломают строку кода").arg(side));
                }
                break;
            case ActionKind::None:
                break;
            }
        }
    }

    void checkText(const VellText &t)
    {
        if (breaksString(t.Text))
            add(Severity::Error, RecordLine::Text,
                QStringLiteral("\" или \\ в тексте ломают строку кода"));
        if (!t.TextColor.isEmpty() && !TryTextToColor(t.TextColor)) {
            add(Severity::Error, RecordLine::TextColor,
                QStringLiteral("неизвестный цвет текста %1").arg(quoted(t.TextColor)));
        }
    }

    const Settings &m_settings;
    const QStringList &m_userCode;
    const std::vector<Entry> &m_entries;
    const int m_userCodeStart;
    ObjectsByKind m_objects;
    QHash<const VellControl *, QStringList> m_covered;
    QHash<const VellControl *, QList<CodeError>> m_codeErrors;
    // Where each entry's own findings start.
    std::vector<qsizetype> m_objectStarts;
    QList<DesignFinding> m_codeFindings;
    bool m_checkFunctions = false;
    bool m_settingsFault = false;
    VjassReadResult m_userRead;
    QHash<QString, int> m_defined;
    QHash<QString, int> m_private;
    // The first object of each kind that bears a name.
    using Bearers = std::array<const VellControl *, 3>;
    QHash<QString, Bearers> m_names;
    QSet<const VellControl *> m_repeated;
    const VellControl *m_object = nullptr;
    int m_firstLine = 0;
    // The findings of the stale click functions, made meanwhile. Last, so
    // that it is waited for before anything it reads goes.
    std::future<QList<DesignFinding>> m_stale;
};

void Checker::checkCode(const GeneratedCode &code)
{
    const GeneratorResult &generated = code.result;
    if (!generated.ok())
        return;
    const VjassReadResult &read = code.read;
    const qsizetype userFirst = generated.userCodeLine;
    const qsizetype userCount = m_settings.useUserCode ? m_userCode.size() : 0;
    // The errors in the order of the whole text, as many as one reading of
    // it lists. A setting's fault breaks the generated lines; it has its own
    // finding.
    int left = kMaxVjassErrors;
    const auto generatedErrors = [&](bool beforeUserCode) {
        for (const VjassError &e : read.errors) {
            if ((e.line < userFirst) != beforeUserCode)
                continue;
            if (left-- <= 0)
                return;
            if (!m_settingsFault)
                codeError(e, generated, userCount);
        }
    };
    generatedErrors(true);
    const VjassOpenPart &open = m_userRead.openAtEnd;
    for (int i = 0; i < int(m_userRead.errors.size()) && userCount > 0; ++i) {
        // What the user code leaves open gives one finding; after a string
        // the errors come from reading its text as code.
        if (open.errorIndex >= 0 &&
            (i == open.errorIndex ||
             (i > open.errorIndex && open.kind == VjassOpenPart::Kind::String)))
            continue;
        if (left-- <= 0)
            break;
        const VjassError &e = m_userRead.errors[i];
        addCode(Severity::Error, e.line, e.column + 1,
                QStringLiteral("синтаксическая ошибка: ") + e.expected);
    }
    if (userCount > 0 && open.kind != VjassOpenPart::Kind::None)
        addCode(Severity::Error, int(userCount - 1), 0, openMessage(open));
    generatedErrors(false);
    if (userCount > 0)
        checkFunctions(generated, read, userFirst, userCount);
}

// A syntax error in a generated line: on the field of the object whose
// piece stands at its column (or, on the generator's own text, the nearest
// piece of an object before it, else after it), else on the code as a whole.
void Checker::codeError(const VjassError &e, const GeneratorResult &generated, qsizetype userCount)
{
    // The line as the code window shows it, with the user code.
    const qsizetype line = e.line < generated.userCodeLine ? e.line : e.line + userCount;
    const QString inCode = QStringLiteral("синтаксическая ошибка: ") + e.expected +
                           QStringLiteral(" (строка %1 кода)").arg(line + 1);
    const CodePiece *piece = objectPieceAt(generated, e.line, e.column);
    if (piece) {
        const VellControl &o = *m_objects[piece->objectKind() - KindButton][size_t(piece->index)];
        m_codeErrors[&o].append(CodeError{fieldOf(*piece), inCode});
        return;
    }
    addCode(Severity::Error, -1, 0, inCode);
}

// A finding of the names and types pass on the generated line `line` (of
// the generated text alone): on the setting or object field written where
// it points, else on the code as a whole.
void Checker::generatedFinding(const VjassFinding &f, int line, const GeneratorResult &generated)
{
    const Severity severity = f.error ? Severity::Error : Severity::Warning;
    const QString message = f.message + QStringLiteral(" (строка %1 кода)").arg(f.line + 1);
    const CodePiece *at = generated.pieces.at(line, f.column);
    if (at && at->source == CodePiece::Source::Setting) {
        DesignFinding d;
        d.severity = severity;
        d.message = settingCaption(Setting(int(at->setting) + 1)) + QStringLiteral(": ") + message;
        d.setting = Setting(int(at->setting) + 1);
        findings.append(d);
        return;
    }
    // The value a finding points at begins there: a string's text after
    // its quote.
    const CodePiece *piece = nullptr;
    for (const CodePiece &p : generated.pieces.line(line)) {
        if (p.source == CodePiece::Source::Object && p.start >= f.column) {
            piece = &p;
            break;
        }
    }
    if (!piece)
        piece = objectPieceAt(generated, line, f.column);
    if (piece && f.error) {
        const VellControl &o = *m_objects[piece->objectKind() - KindButton][size_t(piece->index)];
        m_codeErrors[&o].append(CodeError{fieldOf(*piece), message});
        return;
    }
    addCode(severity, -1, 0, message);
}

// The piece of an object at a place of a generated line, or, on the
// generator's own text, the nearest piece of an object before it, else
// after it.
const CodePiece *Checker::objectPieceAt(const GeneratorResult &generated, int line, int column)
{
    const CodePiece *piece = generated.pieces.at(line, column);
    if (!piece || piece->source != CodePiece::Source::Object) {
        piece = nullptr;
        for (const CodePiece &p : generated.pieces.line(line)) {
            if (p.source != CodePiece::Source::Object)
                continue;
            if (p.start > column && piece)
                break;
            piece = &p;
        }
    }
    return piece;
}

// The record line of the field a piece of an object was written from.
int Checker::fieldOf(const CodePiece &piece)
{
    // Of no field of its own: the record as a whole.
    constexpr int kNoField = -2;
    using Field = CodePiece::Field;
    switch (piece.field) {
    case Field::Texture:
        return RecordLine::Texture;
    case Field::LeftFunction:
        return RecordLine::LeftFunction;
    case Field::RightFunction:
        return RecordLine::RightFunction;
    case Field::Text:
        return RecordLine::Text;
    case Field::Colour:
        return RecordLine::TextColor;
    case Field::Position:
    case Field::Size:
    case Field::Visibility:
    case Field::Place:
        break;
    }
    return kNoField;
}

void Checker::checkFunctions(const GeneratorResult &result, const VjassReadResult &generated,
                             qsizetype userFirst, qsizetype userCount)
{
    // Lines of the whole text, the user code in its place.
    const auto inUserCode = [&](int line) {
        return line >= userFirst && line < userFirst + userCount;
    };
    const auto userLine = [&](int line) {
        return int(line - userFirst);
    };
    const VjassReadResult &user = m_userRead;

    // The definitions in text order.
    std::vector<std::pair<const VjassFunction *, int>> functions;
    functions.reserve(size_t(generated.functions.size() + user.functions.size()));
    for (const VjassFunction &f : generated.functions) {
        if (f.line < userFirst)
            functions.emplace_back(&f, f.line);
    }
    for (const VjassFunction &f : user.functions)
        functions.emplace_back(&f, int(f.line + userFirst));
    for (const VjassFunction &f : generated.functions) {
        if (f.line >= userFirst)
            functions.emplace_back(&f, int(f.line + userCount));
    }
    // How many times each name is defined; the lines of those defined more
    // than once.
    QHash<QString, int> definitions;
    definitions.reserve(qsizetype(functions.size()));
    bool anyRepeated = false;
    for (const auto &[f, line] : functions)
        anyRepeated |= ++definitions[f->name] > 1;
    QHash<QString, QList<int>> repeated;
    if (anyRepeated) {
        for (const auto &[f, line] : functions) {
            if (definitions.value(f->name) > 1)
                repeated[f->name].append(line);
        }
    }
    for (const auto &definition : functions) {
        const VjassFunction &f = *definition.first;
        // Each name once, where it is first defined.
        const QList<int> lines = repeated.take(f.name);
        if (lines.isEmpty())
            continue;
        // Where the user can mend it: every later definition in the user
        // code, or the first when the later ones are the generator's.
        QList<int> at;
        for (qsizetype k = 1; k < lines.size(); ++k) {
            if (inUserCode(lines[k]))
                at.append(lines[k]);
        }
        if (at.isEmpty() && inUserCode(lines.first()))
            at.append(lines.first());
        for (const int line : at) {
            addCode(Severity::Error, userLine(line), 0,
                    QStringLiteral("функция %1 определена дважды").arg(f.name));
        }
    }

    // Names and types over the whole text. The generated lines meet the
    // user code where it defines what they call or name.
    const auto placeOf = [&](int line) {
        return inUserCode(line) ? QStringLiteral("в строке %1").arg(userLine(line) + 1)
                                : QStringLiteral("в строке %1 кода").arg(line + 1);
    };
    const VjassReadResult whole = SpliceVjass(generated, user, int(userFirst), int(userCount));
    for (const VjassFinding &f : CheckVjassNames(whole, placeOf)) {
        if (inUserCode(f.line)) {
            addCode(f.error ? Severity::Error : Severity::Warning, userLine(f.line), f.column + 1,
                    f.message);
        } else if (!m_settingsFault) {
            generatedFinding(f, int(f.line < userFirst ? f.line : f.line - userCount), result);
        }
    }

    // Text the reader skipped may define anything.
    const bool opaque = generated.hasOpaqueParts || user.hasOpaqueParts;
    if (!opaque) {
        const QString echo = QStringLiteral("ECHO");
        if (!definitions.contains(echo)) {
            for (const VjassName &call : user.calls) {
                if (call.name == echo) {
                    addCode(Severity::Error, call.line, call.column + 1,
                            QStringLiteral("функция ECHO вызывается, но нигде не определена"));
                    break;
                }
            }
        }
        // A private or public function of a library or scope is known there
        // by its own name: any defined name that ends with "_" + the name
        // will do.
        QSet<QString> tails;
        const auto isDefined = [&](const QString &name) {
            if (definitions.contains(name))
                return true;
            if (tails.isEmpty()) {
                for (auto it = definitions.cbegin(); it != definitions.cend(); ++it) {
                    const QString &full = it.key();
                    for (qsizetype i = full.indexOf(u'_'); i >= 0; i = full.indexOf(u'_', i + 1))
                        tails.insert(full.mid(i + 1));
                }
                tails.insert(QString()); // looked once
            }
            return tails.contains(name);
        };
        // The map's own script and the game's define functions that the
        // text cannot show.
        for (const VjassName &ref : user.functionReferences) {
            if (!ref.name.contains(u'.') && !isDefined(ref.name)) {
                addCode(Severity::Warning, ref.line, ref.column + 1,
                        QStringLiteral("ссылка на функцию %1, которая нигде не определена")
                            .arg(ref.name));
            }
        }
    }

    // The buttons' own click functions, as the actions dialog writes them.
    const auto ownFunction =
        [&](const QString &function) -> std::optional<std::pair<const VellButton *, ClickSide>> {
        const auto owner = ActionsFunctionOwnerOf(function);
        if (!owner)
            return std::nullopt;
        const auto *b = static_cast<const VellButton *>(find(KindButton, owner->buttonName));
        if (!b)
            return std::nullopt;
        return std::pair{b, owner->side};
    };
    if (!opaque) {
        QSet<QString> declared(generated.globalNames.cbegin(), generated.globalNames.cend());
        for (const QString &name : user.globalNames)
            declared.insert(name);
        for (const VjassFunction &f : user.functions) {
            if (f.indexedNames.isEmpty())
                continue;
            const auto own = ownFunction(f.name);
            if (!own)
                continue;
            for (const QString &array : f.indexedNames) {
                if (declared.contains(array))
                    continue;
                const QString now = arrayNow(array, f, *own->first, own->second);
                addCode(Severity::Error, f.line, 0,
                        now.isEmpty()
                            ? QStringLiteral("функция %1 использует массив %2, которого нет")
                                  .arg(f.name, array)
                            : QStringLiteral(
                                  "функция %1 использует массив %2, которого нет (сейчас %3)")
                                  .arg(f.name, array, now));
            }
        }
    }
    if (m_stale.valid())
        m_codeFindings.append(m_stale.get());
}

QString Checker::arrayNow(const QString &array, const VjassFunction &f, const VellButton &button,
                          ClickSide side) const
{
    // The line that uses it against the same line written now.
    const QStringList now = ActionsFunctionLines(button, side, m_settings, finder()).lines;
    const QString use = array + u'[';
    for (int line = f.line; line <= f.endLine; ++line) {
        const qsizetype k = line - f.line;
        if (line >= m_userCode.size() || !m_userCode[line].contains(use))
            continue;
        if (k < now.size()) {
            const QString &written = now[k];
            const qsizetype call = written.indexOf(QStringLiteral(" call "));
            const qsizetype bracket = written.indexOf(u'[');
            if (call == 0 && bracket > 6)
                return written.mid(6, bracket - 6);
        }
        break;
    }
    // An array of a kind under its first name.
    for (const ObjectKind kind : kObjectKinds) {
        if (array == Settings().*factsOf(kind).arrayVar)
            return m_settings.*factsOf(kind).arrayVar;
    }
    return QString();
}

template <typename T>
void appendEntries(std::vector<Entry> &entries, const std::vector<T> &records,
                   const std::vector<int> &lines)
{
    for (size_t i = 0; i < records.size(); ++i)
        entries.push_back(Entry{&records[i], i < lines.size() ? lines[i] : 0});
}

} // namespace

QList<DesignFinding> CheckDesign(const ObjectTables &tables, const Settings &settings,
                                 const QStringList &userCode)
{
    std::vector<Entry> entries;
    entries.reserve(tables.totalCount());
    for (const ObjectKind kind : kObjectKinds) {
        for (int id = 1; id <= tables.count(kind); ++id)
            entries.push_back(Entry{tables.object(kind, id), 0});
    }
    return Checker(settings, userCode, entries, 0).findings;
}

QList<DesignFinding> CheckDesign(const Project &project)
{
    return CheckDesign(project.tables(), project.settings(), project.userCodeLines());
}

QList<DesignFinding> CheckDesign(const ProjectData &data, const Settings &settings)
{
    std::vector<Entry> entries;
    entries.reserve(data.buttons.size() + data.pictures.size() + data.texts.size());
    appendEntries(entries, data.buttons, data.buttonLines);
    appendEntries(entries, data.pictures, data.pictureLines);
    appendEntries(entries, data.texts, data.textLines);
    return Checker(settings, data.hasUserCode ? data.userCode : QStringList(), entries,
                   data.userCodeLine)
        .findings;
}

GeneratorInput GeneratorInputFor(const Project &project)
{
    return GeneratorInputFor(project.tables(), project.settings(), project.userCodeLines());
}

bool HasErrors(const QList<DesignFinding> &findings)
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const DesignFinding &f) { return f.severity == Severity::Error; });
}

namespace {

QLatin1String severityWord(Severity severity)
{
    return severity == Severity::Error ? QLatin1String("error") : QLatin1String("warning");
}

} // namespace

QString FindingFileLine(const QString &file, const DesignFinding &finding)
{
    QString place;
    if (finding.line > 0) {
        place = u':' % QString::number(finding.line);
        if (finding.column > 0)
            place += u':' % QString::number(finding.column);
    }
    // Put together at once: a check may give thousands.
    return file % place % QLatin1String(": ") % severityWord(finding.severity) %
           QLatin1String(": ") % finding.message;
}

QString FindingText(const DesignFinding &finding)
{
    const QString severity = finding.severity == Severity::Error ? QStringLiteral("ошибка")
                                                                 : QStringLiteral("предупреждение");
    QString place = finding.objectName;
    if (finding.setting != DesignFinding::Setting::None) {
        place = QStringLiteral("Настройки");
    } else if (finding.userCodeLine > 0) {
        place = QStringLiteral("Код пользователя, строка %1").arg(finding.userCodeLine);
        if (finding.column > 0)
            place += QStringLiteral(", столбец %1").arg(finding.column);
    } else if (finding.kind == KindNone) {
        place = QStringLiteral("Код");
    }
    return place + QStringLiteral(": ") + severity + QStringLiteral(": ") + finding.message;
}

} // namespace vell
