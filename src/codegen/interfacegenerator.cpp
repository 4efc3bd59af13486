#include "codegen/interfacegenerator.h"

#include "common/cp1251.h"
#include "common/textfile.h"
#include "common/textforms.h"
#include "common/vellerror.h"
#include "model/kindfacts.h"

#include <QHash>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

namespace vell {

namespace {

// Beyond this, value × 1000 nears 2^52 and the rounding below stops being
// exact; such values (never panel coordinates) go to the general conversion.
constexpr double kFastLimit = 1e12;

// Rounds |value| × 1000 to the nearest integer, halves away from zero, judged
// on the exact binary value: a product that looks like a half may sit just
// below or above it.
std::int64_t roundedThousandths(double magnitude)
{
    const double t = magnitude * 1000.0;
    const double f = std::floor(t);
    const double d = t - f;
    if (d > 0.5)
        return std::int64_t(f) + 1;
    if (d < 0.5)
        return std::int64_t(f);
    const double residue = std::fma(magnitude, 1000.0, -t);
    return residue < 0 ? std::int64_t(f) : std::int64_t(f) + 1;
}

// Writes the digits right to left into the end of a buffer; returns the start.
template <typename Char> Char *writeReal3(double value, Char *end)
{
    const bool negative = value < 0;
    std::int64_t r = roundedThousandths(negative ? -value : value);
    // A value that rounds to zero is written without a sign.
    const bool minus = negative && r != 0;
    Char *p = end;
    // Panel values are small: the common case stays in 32-bit arithmetic.
    if (r < 0x7fffffff) {
        auto n = std::uint32_t(r);
        const std::uint32_t fraction = n % 1000;
        n /= 1000;
        *--p = Char('0' + fraction % 10);
        *--p = Char('0' + fraction / 10 % 10);
        *--p = Char('0' + fraction / 100);
        *--p = Char('.');
        do {
            *--p = Char('0' + n % 10);
            n /= 10;
        } while (n != 0);
    } else {
        for (int k = 0; k < 3; ++k) {
            *--p = Char('0' + r % 10);
            r /= 10;
        }
        *--p = Char('.');
        do {
            *--p = Char('0' + r % 10);
            r /= 10;
        } while (r != 0);
    }
    if (minus)
        *--p = Char('-');
    return p;
}

bool fitsFastPath(double value)
{
    return std::isfinite(value) && std::fabs(value) < kFastLimit;
}

QString slowReal3(double value)
{
    return QString::number(value, 'f', 3);
}

// Appends the output, line by line, to one buffer. With char16_t it is the
// text (lines separated by a line feed); with char the file's bytes, each
// line encoded in Windows-1251 and ended by CR LF, made without the text.
// Writing straight into one growing buffer costs little more than copying
// the finished output.
template <typename Char> class LineWriter
{
    static constexpr bool kBytes = std::is_same_v<Char, char>;
    using Buffer = std::conditional_t<kBytes, QByteArray, QString>;

public:
    LineWriter(GeneratorResult &result, qsizetype expectedSize, CodePieces *pieces)
        : m_buffer(bufferOf(result)), m_count(result.lineCount), m_pieces(pieces)
    {
        m_buffer.resize(qMax<qsizetype>(expectedSize, 256));
        m_data = reinterpret_cast<Char *>(m_buffer.data());
    }
    // Cuts the buffer to what was written; call before handing it on.
    void finish() { m_buffer.truncate(m_size); }
    // Whether a piece held a character that Windows-1251 cannot store (only
    // bytes are encoded); what follows it is then incomplete.
    bool unencodable() const { return m_unencodable; }

    // Whether the pieces of the lines are recorded.
    bool mapping() const { return m_pieces != nullptr; }
    // The column the next character goes to.
    int column() const
    {
        if constexpr (!kBytes) {
            if (!m_open)
                return 0;
        }
        return int(m_size - m_lineStart);
    }
    // Records that the columns from `start` up to `end` of the open line
    // are the piece.
    void mark(int start, int end, CodePiece piece)
    {
        piece.start = start;
        piece.end = end;
        m_pieces->add(piece);
    }
    // Records what the function writes as the piece, when recording.
    template <typename Write> LineWriter &piece(const CodePiece &piece, Write write)
    {
        if (!m_pieces) {
            write();
            return *this;
        }
        const int start = column();
        write();
        mark(start, column(), piece);
        return *this;
    }

    template <std::size_t N> LineWriter &operator<<(const char16_t (&literal)[N])
    {
        return copy(literal, N - 1);
    }
    LineWriter &operator<<(const QString &text) { return *this << QStringView(text); }
    LineWriter &operator<<(QStringView text)
    {
        if constexpr (kBytes) {
            reserve(std::size_t(text.size()));
            const qsizetype bad = EncodeCp1251(text, m_data + m_size);
            if (bad >= 0) {
                m_unencodable = true;
                m_size += bad;
            } else {
                m_size += text.size();
            }
            return *this;
        } else {
            return piece(text.utf16(), std::size_t(text.size()));
        }
    }
    LineWriter &operator<<(const std::u16string &text) { return piece(text.data(), text.size()); }
    LineWriter &real(double value)
    {
        if (!fitsFastPath(value))
            return *this << slowReal3(value);
        Char digits[32];
        Char *end = digits + 32;
        const Char *start = writeReal3(value, end);
        return copy(start, std::size_t(end - start));
    }
    LineWriter &boolean(bool value)
    {
        if (value)
            return *this << u"true";
        return *this << u"false";
    }
    void endLine()
    {
        if constexpr (kBytes) {
            reserve(2);
            m_data[m_size++] = '\r';
            m_data[m_size++] = '\n';
            m_lineStart = m_size;
        } else if (!m_open) {
            // An empty line.
            reserve(0);
        }
        ++m_count;
        m_open = false;
        if (m_pieces)
            m_pieces->endLine();
    }
    // A whole line at once.
    void line(const QString &text)
    {
        *this << text;
        endLine();
    }
    template <std::size_t N> void line(const char16_t (&literal)[N])
    {
        *this << literal;
        endLine();
    }

private:
    static Buffer &bufferOf(GeneratorResult &result)
    {
        if constexpr (kBytes)
            return result.bytes;
        else
            return result.text;
    }
    // Room for size more characters, and in the text the line feed before
    // a line's first piece.
    [[gnu::always_inline]] void reserve(std::size_t size)
    {
        if (m_size + qsizetype(size) + 2 > m_buffer.size()) {
            m_buffer.resize(2 * (m_size + qsizetype(size) + 2));
            m_data = reinterpret_cast<Char *>(m_buffer.data());
        }
        if constexpr (!kBytes) {
            if (!m_open) {
                if (m_count > 0)
                    m_data[m_size++] = u'\n';
                m_lineStart = m_size;
                m_open = true;
            }
        }
    }
    // ASCII (every literal of the code) or, in the text, any characters.
    template <typename From>
    [[gnu::always_inline]] LineWriter &copy(const From *data, std::size_t size)
    {
        reserve(size);
        Char *d = m_data + m_size;
        // Most pieces are a few characters long, where a plain loop beats a
        // call to memcpy.
        if constexpr (std::is_same_v<From, Char>) {
            if (size > 16) {
                std::memcpy(d, data, size * sizeof(Char));
                m_size += qsizetype(size);
                return *this;
            }
        }
        for (std::size_t k = 0; k < size; ++k)
            d[k] = Char(data[k]);
        m_size += qsizetype(size);
        return *this;
    }
    [[gnu::always_inline]] LineWriter &piece(const char16_t *data, std::size_t size)
    {
        if constexpr (kBytes) {
            // Names built by the generator ("Var[i]") hold what the
            // variable's name holds.
            return *this << QStringView(data, qsizetype(size));
        } else {
            return copy(data, size);
        }
    }

    Buffer &m_buffer;
    qsizetype &m_count;
    CodePieces *m_pieces;
    Char *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_lineStart = 0;
    bool m_open = false;
    bool m_unencodable = false;
};

// "Var[i]", the start of every line of one object. Reuses the capacity of s.
void setIndexedName(std::u16string &s, const QString &var, qsizetype index)
{
    s.assign(reinterpret_cast<const char16_t *>(var.constData()), std::size_t(var.size()));
    s += u'[';
    char16_t digits[24];
    char16_t *end = digits + 24;
    char16_t *p = end;
    auto n = std::uint64_t(index);
    do {
        *--p = char16_t(u'0' + n % 10);
        n /= 10;
    } while (n != 0);
    s.append(p, std::size_t(end - p));
    s += u']';
}

// The centre moved by half a size, halved toward zero; in 64 bits so that no
// int input overflows.
double lowEdge(int centre, int size)
{
    return double(std::int64_t(centre) - size / 2);
}

double highEdge(int centre, int size)
{
    return double(std::int64_t(centre) + size / 2);
}

// The six hex digits RRGGBB of colour texts. A "$" text (one per colour, as
// a rule) is read where it stands; the others, colour names, are looked up
// once each.
class ColourDigits
{
public:
    // False when the text names no colour.
    bool write(const QString &text, char16_t (&digits)[6])
    {
        std::optional<std::uint32_t> bgr = TryDollarBgr(text);
        if (!bgr) {
            auto it = m_named.constFind(text);
            if (it == m_named.cend()) {
                const std::optional<QColor> colour = TryTextToColor(text);
                if (!colour)
                    return false;
                it = m_named.insert(text, ColorToBgr(*colour));
            }
            bgr = *it;
        }
        static constexpr char16_t kHex[] = u"0123456789ABCDEF";
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t part = *bgr >> (8 * k) & 0xFF;
            digits[2 * k] = kHex[part >> 4];
            digits[2 * k + 1] = kHex[part & 0xF];
        }
        return true;
    }

private:
    QHash<QString, std::uint32_t> m_named;
};

} // namespace

QString FormatReal3(double value)
{
    if (!fitsFastPath(value))
        return slowReal3(value);
    char16_t digits[32];
    char16_t *end = digits + 32;
    const char16_t *start = writeReal3(value, end);
    return QString(reinterpret_cast<const QChar *>(start), qsizetype(end - start));
}

namespace {

CodePiece objectPiece(ObjectKind kind, qsizetype index, CodePiece::Field field)
{
    CodePiece p;
    p.source = CodePiece::Source::Object;
    p.kind = std::uint8_t(kind);
    p.index = int(index);
    p.field = field;
    return p;
}

CodePiece settingPiece(CodePiece::Setting setting)
{
    CodePiece p;
    p.source = CodePiece::Source::Setting;
    p.setting = setting;
    return p;
}

// The setting that names the array of a kind.
CodePiece::Setting arraySetting(ObjectKind kind)
{
    return kind == KindButton    ? CodePiece::Setting::ButtonVar
           : kind == KindPicture ? CodePiece::Setting::PictureVar
                                 : CodePiece::Setting::TextVar;
}

// Returns false when a character could not be encoded (only bytes are).
template <typename Char> bool generate(const GeneratorInput &input, GeneratorResult &result)
{
    // About 60 characters a line.
    qsizetype userCodeSize = 0;
    if (input.useUserCode) {
        for (const QString &line : input.userCode)
            userCodeSize += line.size() + 1;
    }
    const qsizetype objectLines =
        4 * input.buttons.size() + 3 * input.pictures.size() + 3 * input.texts.size();
    LineWriter<Char> out(result, 2400 + userCodeSize + 60 * objectLines,
                         input.mapPieces ? &result.pieces : nullptr);
    if (input.mapPieces) {
        // Three to five pieces a line of an object.
        const qsizetype userLines = input.useUserCode ? input.userCode.size() : 0;
        result.pieces.reserve(size_t(40 + userLines + objectLines),
                              size_t(10 + userLines + 4 * objectLines));
    }

    using Field = CodePiece::Field;
    using Setting = CodePiece::Setting;
    const double sx = 1.0 / (input.panelWidth / 2.0);
    const double sy = 1.0 / (input.panelHeight / 2.0);
    // The array name of a setting.
    const auto writeSetting = [&](Setting setting, const QString &name) {
        out.piece(settingPiece(setting), [&] { out << name; });
    };

    out.line(u"globals");
    out << u" " << factsOf(KindButton).codeType << u" array ";
    writeSetting(Setting::ButtonVar, input.buttonVar);
    out.endLine();
    out << u" " << factsOf(KindPicture).codeType << u" array ";
    writeSetting(Setting::PictureVar, input.pictureVar);
    out.endLine();
    out << u" " << factsOf(KindText).codeType << u" array ";
    writeSetting(Setting::TextVar, input.textVar);
    out.endLine();
    out.line(u"endglobals");
    result.userCodeLine = int(result.lineCount);
    if (input.useUserCode) {
        CodePiece userLine;
        userLine.source = CodePiece::Source::UserCode;
        for (const QString &line : input.userCode) {
            out.piece(userLine, [&] { out << line; });
            out.endLine();
            ++userLine.index;
        }
    }
    out.line(u"function InterfaceClickL_Timer takes nothing returns nothing");
    out << u" if BUTTON.ClickPeriodicSelect(GetOwningPlayer(";
    writeSetting(Setting::UnitVar, input.unitVar);
    out << u"), true) then";
    out.endLine();
    out.line(u"  if (GetLocalPlayer() == GamePlayer) then");
    out.line(u"   call ClearSelection()");
    out.line(u"   call SelectUnit(GameUnit, true)");
    out.line(u"  endif");
    out.line(u" endif");
    out.line(u"endfunction");
    out.line(u"function InterfaceClickR takes nothing returns nothing");
    out.line(u" if BUTTON.Click(GetOrderTargetUnit(), false) then");
    out.line(u"  call PauseUnit(GetTriggerUnit(), true)");
    out.line(u"  call IssueImmediateOrder(GetTriggerUnit(), \"stop\")");
    out.line(u"  call PauseUnit(GetTriggerUnit(), false)");
    out.line(u" endif");
    out.line(u"endfunction");
    out.line(u"function CreateInterface takes CAMERA cam returns nothing");
    out.line(u" local trigger trig = CreateTrigger()");
    out.line(u" call TriggerRegisterPlayerUnitEvent(trig, GamePlayer, "
             u"EVENT_PLAYER_UNIT_ISSUED_UNIT_ORDER, null)");
    out.line(u" call TriggerAddAction(trig, function InterfaceClickR)");
    out.line(u" call TimerStart(CreateTimer(), 0.01, true, function InterfaceClickL_Timer)");

    const QString rule = QStringLiteral("//======================");
    std::u16string name;
    ObjectKind kind = KindNone;
    qsizetype index = 0;
    qsizetype varSize = 0;
    // "Var[i]" of the object written now: the setting's name, then its place.
    const auto setObject = [&](ObjectKind k, const QString &var, qsizetype i) {
        kind = k;
        index = i;
        varSize = var.size();
        setIndexedName(name, var, i + 1);
    };
    const auto writeName = [&] {
        if (!out.mapping()) {
            out << name;
            return;
        }
        const int start = out.column();
        out << name;
        const int place = start + int(varSize);
        out.mark(start, place, settingPiece(arraySetting(kind)));
        out.mark(place, out.column(), objectPiece(kind, index, Field::Place));
    };
    // A field of the object written now.
    const auto field = [&](Field f) {
        return objectPiece(kind, index, f);
    };
    // " set Var[i] = TYPE.New(", the start of an object's first line.
    const auto writeSetNew = [&] {
        out << u" set ";
        writeName();
        out << u" = " << factsOf(kind).codeType << u".New(";
    };
    // " set Var[i] = TYPE.New(x,y,w,h,kind,'texture')" of a button or picture;
    // the kind is written as its number.
    const auto writeNew = [&](int x, int y, int width, int height, const QString &texture) {
        const char16_t number = char16_t(u'0' + kind);
        writeSetNew();
        out.piece(field(Field::Position), [&] {
            out.real(lowEdge(x, width) * sx) << u",";
            out.real(highEdge(y, height) * sy);
        });
        out << u",";
        out.piece(field(Field::Size), [&] {
            out.real(width * sx) << u",";
            out.real(height * sy);
        });
        out << u"," << QStringView(&number, 1) << u",'";
        out.piece(field(Field::Texture), [&] { out << texture; });
        out << u"')";
        out.endLine();
    };
    // " call Var[i].Show(" and the visibility.
    const auto writeShow = [&](bool visible) {
        out << u" call ";
        writeName();
        out << u".Show(";
        out.piece(field(Field::Visibility), [&] { out.boolean(visible); });
    };

    out.line(rule);
    out.line(u"//========Button========");
    out.line(rule);
    for (qsizetype i = 0; i < input.buttons.size(); ++i) {
        const GenButton &b = input.buttons.at(i);
        setObject(KindButton, input.buttonVar, i);
        writeNew(b.x, b.y, b.width, b.height, b.textureId);
        writeShow(b.visible);
        out << u",cam)";
        out.endLine();
        if (!b.leftFunction.isEmpty()) {
            out << u" call ";
            writeName();
            out << u".AddActionL(function ";
            out.piece(field(Field::LeftFunction), [&] { out << b.leftFunction; });
            out << u")";
            out.endLine();
        }
        if (!b.rightFunction.isEmpty()) {
            out << u" call ";
            writeName();
            out << u".AddActionR(function ";
            out.piece(field(Field::RightFunction), [&] { out << b.rightFunction; });
            out << u")";
            out.endLine();
        }
    }

    out.line(rule);
    out.line(u"//========Picture=======");
    out.line(rule);
    for (qsizetype i = 0; i < input.pictures.size(); ++i) {
        const GenPicture &p = input.pictures.at(i);
        setObject(KindPicture, input.pictureVar, i);
        writeNew(p.x, p.y, p.width, p.height, p.textureId);
        out << u" call ";
        writeName();
        out << u".Show(false,cam)";
        out.endLine();
        writeShow(p.visible);
        out << u",-1)";
        out.endLine();
    }

    out.line(rule);
    out.line(u"//==========TEXT========");
    out.line(rule);
    ColourDigits colourDigits;
    for (qsizetype i = 0; i < input.texts.size(); ++i) {
        const GenText &t = input.texts.at(i);
        setObject(KindText, input.textVar, i);
        writeSetNew();
        out.piece(field(Field::Position), [&] {
            out.real(lowEdge(t.x, t.width) * sx) << u",";
            out.real(lowEdge(t.y, t.height) * sy);
        });
        out << u",1)";
        out.endLine();
        writeShow(t.visible);
        out << u",cam)";
        out.endLine();
        char16_t digits[6];
        const bool coloured = !t.textColor.isEmpty();
        if (coloured && !colourDigits.write(t.textColor, digits)) {
            result.error = invalidIntegerMessage(t.textColor);
            out.finish();
            return true;
        }
        out << u" call SetTextTagText(";
        writeName();
        if (coloured) {
            out << u".text, \"|c00";
            out.piece(field(Field::Colour), [&] { out << QStringView(digits, 6); });
        } else {
            out << u".text,\"";
        }
        out.piece(field(Field::Text), [&] { out << t.text; });
        if (coloured)
            out << u"|r\",0.0184)";
        else
            out << u"\",0.0184)";
        out.endLine();
    }

    out.line(u" set trig = null");
    out.line(u"endfunction");
    out.finish();
    return !out.unencodable();
}

} // namespace

const CodePiece *CodePieces::at(qsizetype line, int column) const
{
    for (const CodePiece &p : this->line(line)) {
        if (column >= p.start && column < p.end)
            return &p;
    }
    return nullptr;
}

GeneratorResult GenerateInterfaceCode(const GeneratorInput &input, GeneratorOutput output)
{
    GeneratorResult result;
    if (output == GeneratorOutput::Text) {
        generate<char16_t>(input, result);
        return result;
    }
    if (generate<char>(input, result) || !result.ok())
        return result;
    // A character the code page cannot store: the text, encoded as the code
    // window's text is saved, names the line's characters.
    GeneratorResult text;
    generate<char16_t>(input, text);
    try {
        EncodeTextLinesInPlace(text.text);
    } catch (const VellError &e) {
        result.error = e.message();
    }
    return result;
}

} // namespace vell
