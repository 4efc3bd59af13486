#include "model/projectfile.h"

#include "common/cp1251.h"
#include "common/textfile.h"
#include "common/textforms.h"
#include "common/vellerror.h"
#include "model/objecttables.h"

#include <algorithm>
#include <array>

namespace vell {

namespace {

const QString kUserCodeStart = QStringLiteral("/usercodestart");
const QString kUserCodeEnd = QStringLiteral("/end");
constexpr int kCountPrefixLength = 9;

// --- Writing

class LineWriter
{
public:
    // `owner` names what the values belong to in a refusal.
    void setOwner(const QString &owner) { m_owner = owner; }

    void text(const QString &field, const QString &value)
    {
        const QString bad = refusedLineChars(value, LineText::OneLine);
        if (!bad.isEmpty()) {
            throw VellError(QStringLiteral("Проект не сохранен: поле \"%1\" %2 содержит символы, "
                                           "которые нельзя записать в файл: %3")
                                .arg(field, m_owner, ShortQuote(VisibleChars(bad))));
        }
        lines.append(value);
    }
    void number(int value) { lines.append(IntToText(value)); }
    void boolean(bool value) { lines.append(BoolToText(value)); }
    void list(const QString &field, const QStringList &values)
    {
        number(int(values.size()));
        for (const QString &v : values)
            text(field, v);
    }

    QStringList lines;

private:
    QString m_owner;
};

void writeCommon(LineWriter &w, const VellControl &o, const QString *texture)
{
    w.setOwner(QStringLiteral("объекта ") + ShortQuote(o.Name));
    w.text(QStringLiteral("Имя"), o.Name);
    w.number(o.X);
    w.number(o.Y);
    w.number(o.Width);
    w.number(o.Height);
    w.text(QStringLiteral("ID текстуры"), *texture);
    w.boolean(o.Visible);
}

// --- Reading

// Why reading stopped: the user's message and the line (from 1).
struct ReadStop
{
    QString message;
    int line;
};

// The lines of a list, as they stand.
class ListLines
{
public:
    explicit ListLines(const QStringList &lines) : m_lines(lines) {}

    int position() const { return m_pos; }
    bool hasLines(int n) const { return m_lines.size() - m_pos >= n; }
    // The next line, to keep or to look at.
    QString text() { return m_lines[m_pos++]; }
    const QString &line() { return m_lines[m_pos++]; }
    void skip() { ++m_pos; }
    // The next line as a number; when it is none, last() is the line.
    std::optional<int> number() { return TryTextToInt(line()); }
    const QString &last() const { return m_lines[m_pos - 1]; }
    bool isTrue() { return TextToBool(line()); }

private:
    const QStringList &m_lines;
    int m_pos = 0;
};

// The lines of file bytes as SplitTextLines gives them, each decoded as it
// is read: a line that is only looked at (a number, say) is decoded into
// the same string each time, and only kept lines get strings of their own.
class FileLines
{
public:
    explicit FileLines(QByteArrayView bytes) : m_source(bytes) {}

    int position() const { return m_pos; }
    bool hasLines(int n) const
    {
        if (n == 1)
            return !m_source.atEnd();
        ByteLines ahead = m_source;
        for (int i = 0; i < n; ++i) {
            if (ahead.atEnd())
                return false;
            ahead.next();
        }
        return true;
    }
    QString text()
    {
        ++m_pos;
        const QByteArrayView bytes = m_source.next();
        if (bytes.isEmpty() || bytes.size() > kSharedLength)
            return DecodeCp1251(bytes);
        // Short values recur (a texture, "endfunction"): one string serves
        // every line equal to the last one kept in the same place.
        QString &kept = m_shared[qHash(bytes) % m_shared.size()];
        if (decode(bytes) != kept)
            kept = QString(m_line.constData(), m_line.size());
        return kept;
    }
    // Holds until the next line is read.
    const QString &line()
    {
        ++m_pos;
        return decode(m_source.next());
    }
    void skip()
    {
        ++m_pos;
        m_source.next();
    }
    // Numbers and booleans are read from the bytes, which hold the same
    // digits, "-" and "true" as the decoded line.
    std::optional<int> number()
    {
        ++m_pos;
        m_last = m_source.next();
        return TryTextToInt(m_last);
    }
    const QString &last() { return decode(m_last); }
    bool isTrue()
    {
        ++m_pos;
        return TextBytesToBool(m_source.next());
    }

private:
    static constexpr qsizetype kSharedLength = 16;

    const QString &decode(QByteArrayView bytes)
    {
        m_line.resize(bytes.size());
        DecodeCp1251(bytes, m_line.data());
        return m_line;
    }

    ByteLines m_source;
    int m_pos = 0;
    QByteArrayView m_last;
    QString m_line;
    std::array<QString, 64> m_shared;
};

template <typename Lines> class LineReader
{
public:
    LineReader(Lines &lines, ProjectFields fields) : m_lines(lines), m_fields(fields) {}

    bool keepsAll() const { return m_fields == ProjectFields::All; }
    int position() const { return m_lines.position(); }
    bool hasLines(int n) const { return m_lines.hasLines(n); }

    // A line kept as a value.
    QString text()
    {
        checkNext();
        return m_lines.text();
    }
    // A line looked at; it holds until the next one is read.
    const QString &line()
    {
        checkNext();
        return m_lines.line();
    }
    void skip()
    {
        checkNext();
        m_lines.skip();
    }
    // A field that only a reading of every field keeps: read into `to`, or
    // passed over.
    void text(QString &to)
    {
        if (keepsAll())
            to = text();
        else
            skip();
    }
    int number()
    {
        checkNext();
        if (const std::optional<int> n = m_lines.number())
            return *n;
        throw ReadStop{invalidIntegerMessage(m_lines.last()), position()};
    }
    bool boolean()
    {
        checkNext();
        return m_lines.isTrue();
    }
    // A count line: the number from the tenth character on. A count beyond
    // a table's capacity cannot come from this program.
    int count()
    {
        const int n = toNumber(line().mid(kCountPrefixLength));
        if (n > ObjectTables::Capacity)
            throw ReadStop{QStringLiteral("Файл поврежден (строка %1)").arg(position()),
                           position()};
        return n;
    }
    // Lines read one at a time into the list, so a file that ends early
    // leaves those read so far.
    void appendLines(QStringList &to)
    {
        const int n = number();
        for (int i = 0; i < n; ++i) {
            if (keepsAll())
                to.append(text());
            else
                skip();
        }
    }

private:
    void checkNext() const
    {
        if (!m_lines.hasLines(1))
            throw ReadStop{listIndexMessage(position()), position() + 1};
    }
    int toNumber(const QString &line) const
    {
        const auto n = TryTextToInt(line);
        if (!n)
            throw ReadStop{invalidIntegerMessage(line), position()};
        return *n;
    }

    Lines &m_lines;
    const ProjectFields m_fields;
};

// Reads one record's fields into `o`, which is already in the result (it
// stands for the object created before its lines are read). Position and
// size are taken only when both of their lines read.
template <typename T, typename Reader> void readPlacedRecord(Reader &r, T &o, ProjectData &data)
{
    data.unnamedLast = o.Kind;
    r.text(o.Name);
    data.unnamedLast = KindNone;
    const int x = r.number();
    const int y = r.number();
    o.X = x;
    o.Y = y;
    if constexpr (std::is_same_v<T, VellText>) {
        o.Text = r.text();
        o.Visible = r.boolean();
        const QString &color = r.line();
        if (!color.isEmpty()) {
            const auto c = TryTextToColor(color);
            if (!c)
                throw ReadStop{invalidIntegerMessage(color), r.position()};
            // The code needs only the colour, which the text names as well.
            o.TextColor = r.keepsAll() ? ColorToText(*c) : QString(color.constData(), color.size());
        }
    } else {
        const int w = r.number();
        const int h = r.number();
        o.Width = w;
        o.Height = h;
        o.TextureId = r.text();
        o.Visible = r.boolean();
        if constexpr (std::is_same_v<T, VellButton>) {
            o.LeftActionsFunction = r.text();
            o.RightActionsFunction = r.text();
            r.appendLines(o.LeftActions);
            r.appendLines(o.RightActions);
        }
    }
}

template <typename T, typename Reader>
void readTable(Reader &r, std::vector<T> &records, std::vector<int> &firstLines, ObjectKind kind,
               ProjectData &data)
{
    const int n = r.count();
    // A count may be below zero: no records.
    records.reserve(std::size_t(std::max(n, 0)));
    firstLines.reserve(std::size_t(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        firstLines.push_back(r.position() + 1);
        T &o = records.emplace_back();
        o.Kind = kind;
        o.Id = i + 1;
        if constexpr (!std::is_same_v<T, VellText>)
            o.Width = o.Height = 32;
        readPlacedRecord(r, o, data);
    }
}

} // namespace

namespace {

// The records of a project's tables, where the objects live.
struct TableRecords
{
    const ObjectTables &t;
    int buttons() const { return t.ButtonCount(); }
    int pictures() const { return t.PictureCount(); }
    int texts() const { return t.TextCount(); }
    const VellButton &button(int i) const { return *t.button(i + 1); }
    const VellPicture &picture(int i) const { return *t.picture(i + 1); }
    const VellText &text(int i) const { return *t.text(i + 1); }
};

// The records of a copy of them.
struct DataRecords
{
    const ProjectData &d;
    int buttons() const { return int(d.buttons.size()); }
    int pictures() const { return int(d.pictures.size()); }
    int texts() const { return int(d.texts.size()); }
    const VellButton &button(int i) const { return d.buttons[std::size_t(i)]; }
    const VellPicture &picture(int i) const { return d.pictures[std::size_t(i)]; }
    const VellText &text(int i) const { return d.texts[std::size_t(i)]; }
};

// `userCode` is written when given.
template <typename Records>
QStringList fileLines(const Records &records, const QStringList *userCode)
{
    LineWriter w;
    w.lines.reserve(4 + 11 * records.buttons() + 7 * records.pictures() + 6 * records.texts() +
                    (userCode ? userCode->size() : 0));
    w.lines.append(kProjectFileKey);
    w.lines.append(QStringLiteral("btncount:") + IntToText(records.buttons()));
    for (int i = 0; i < records.buttons(); ++i) {
        const VellButton &b = records.button(i);
        writeCommon(w, b, &b.TextureId);
        w.text(QStringLiteral("Левый клик"), b.LeftActionsFunction);
        w.text(QStringLiteral("Правый клик"), b.RightActionsFunction);
        w.list(QStringLiteral("Действия левого клика"), b.LeftActions);
        w.list(QStringLiteral("Действия правого клика"), b.RightActions);
    }
    w.lines.append(QStringLiteral("piccount:") + IntToText(records.pictures()));
    for (int i = 0; i < records.pictures(); ++i) {
        const VellPicture &p = records.picture(i);
        writeCommon(w, p, &p.TextureId);
    }
    w.lines.append(QStringLiteral("texcount:") + IntToText(records.texts()));
    for (int i = 0; i < records.texts(); ++i) {
        const VellText &x = records.text(i);
        w.setOwner(QStringLiteral("объекта ") + ShortQuote(x.Name));
        w.text(QStringLiteral("Имя"), x.Name);
        w.number(x.X);
        w.number(x.Y);
        w.text(QStringLiteral("Текст"), x.Text);
        w.boolean(x.Visible);
        w.text(QStringLiteral("Цвет текста"), x.TextColor);
    }
    if (userCode) {
        w.lines.append(kUserCodeStart);
        for (int i = 0; i < userCode->size(); ++i) {
            w.setOwner(QStringLiteral("кода пользователя (строка %1)").arg(i + 1));
            w.text(QStringLiteral("Код"), userCode->at(i));
        }
        w.lines.append(kUserCodeEnd);
    }
    return w.lines;
}

} // namespace

QStringList ProjectFileLines(const ObjectTables &tables, const QStringList *userCode)
{
    return fileLines(TableRecords{tables}, userCode);
}

QStringList ProjectFileLines(const ProjectData &data)
{
    return fileLines(DataRecords{data}, data.hasUserCode ? &data.userCode : nullptr);
}

namespace {

template <typename Lines> ProjectReadResult readProject(Lines lines, ProjectFields fields)
{
    ProjectReadResult result;
    if (!lines.hasLines(1)) {
        result.outcome = ProjectReadResult::Outcome::Empty;
        result.error = QStringLiteral("Файл поврежден");
        return result;
    }
    if (lines.line() != kProjectFileKey) {
        result.outcome = ProjectReadResult::Outcome::WrongKey;
        result.error = QStringLiteral("Файл этого проекта не подходит для данной версии программы");
        return result;
    }
    LineReader r(lines, fields);
    ProjectData &data = result.data;
    try {
        readTable(r, data.buttons, data.buttonLines, KindButton, data);
        readTable(r, data.pictures, data.pictureLines, KindPicture, data);
        readTable(r, data.texts, data.textLines, KindText, data);
    } catch (const ReadStop &stop) {
        result.outcome = ProjectReadResult::Outcome::Failed;
        result.error = stop.message;
        result.failedLine = stop.line;
        return result;
    }
    if (r.hasLines(2) && r.line() == kUserCodeStart) {
        data.hasUserCode = true;
        data.userCodeLine = r.position();
        while (r.hasLines(1)) {
            QString line = r.text();
            if (line == kUserCodeEnd)
                break;
            data.userCode.append(std::move(line));
        }
    }
    return result;
}

} // namespace

ProjectReadResult ReadProjectLines(const QStringList &lines)
{
    return readProject(ListLines(lines), ProjectFields::All);
}

ProjectReadResult ReadProjectBytes(const QByteArray &bytes, ProjectFields fields)
{
    return readProject(FileLines(bytes), fields);
}

QString WithProjectExtension(const QString &name)
{
    return name.endsWith(QLatin1String(".vlp"), Qt::CaseSensitive) ? name
                                                                   : name + QStringLiteral(".vlp");
}

} // namespace vell
