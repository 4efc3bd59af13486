#include "project/projectfile.h"

#include "common/textfile.h"
#include "common/textforms.h"
#include "common/vellerror.h"
#include "project/project.h"

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

class LineReader
{
public:
    explicit LineReader(const QStringList &lines) : m_lines(lines) {}

    int position() const { return m_pos; }
    int remaining() const { return int(m_lines.size()) - m_pos; }

    const QString &text()
    {
        if (m_pos >= m_lines.size())
            throw ReadStop{listIndexMessage(m_pos), m_pos + 1};
        return m_lines[m_pos++];
    }
    int number() { return toNumber(text()); }
    bool boolean() { return TextToBool(text()); }
    // A count line: the number from the tenth character on. A count beyond
    // a table's capacity cannot come from this program.
    int count()
    {
        const int n = toNumber(text().mid(kCountPrefixLength));
        if (n > ObjectTables::Capacity)
            throw ReadStop{QStringLiteral("Файл поврежден (строка %1)").arg(m_pos), m_pos};
        return n;
    }
    // Lines read one at a time into the list, so a file that ends early
    // leaves those read so far.
    void appendLines(QStringList &to)
    {
        const int n = number();
        for (int i = 0; i < n; ++i)
            to.append(text());
    }

private:
    int toNumber(const QString &line) const
    {
        const auto n = TryTextToInt(line);
        if (!n)
            throw ReadStop{invalidIntegerMessage(line), m_pos};
        return *n;
    }

    const QStringList &m_lines;
    int m_pos = 0;
};

// Reads one record's fields into `o`, which is already in the result (it
// stands for the object created before its lines are read). Position and
// size are taken only when both of their lines read.
template <typename T> void readPlacedRecord(LineReader &r, T &o, ProjectData &data)
{
    data.unnamedLast = o.Kind;
    o.Name = r.text();
    data.unnamedLast = KindNone;
    const int x = r.number();
    const int y = r.number();
    o.X = x;
    o.Y = y;
    if constexpr (std::is_same_v<T, VellText>) {
        o.Text = r.text();
        o.Visible = r.boolean();
        const QString color = r.text();
        if (!color.isEmpty()) {
            const auto c = TryTextToColor(color);
            if (!c)
                throw ReadStop{invalidIntegerMessage(color), r.position()};
            o.TextColor = ColorToText(*c);
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

template <typename T>
void readTable(LineReader &r, std::vector<T> &records, std::vector<int> &firstLines,
               ObjectKind kind, ProjectData &data)
{
    const int n = r.count();
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

QStringList ProjectFileLines(const Project &project)
{
    const ObjectTables &t = project.tables();
    LineWriter w;
    w.lines.reserve(4 + 11 * t.ButtonCount() + 7 * t.PictureCount() + 6 * t.TextCount());
    w.lines.append(kProjectFileKey);
    w.lines.append(QStringLiteral("btncount:") + IntToText(t.ButtonCount()));
    for (int id = 1; id <= t.ButtonCount(); ++id) {
        const VellButton &b = *t.button(id);
        writeCommon(w, b, &b.TextureId);
        w.text(QStringLiteral("Левый клик"), b.LeftActionsFunction);
        w.text(QStringLiteral("Правый клик"), b.RightActionsFunction);
        w.list(QStringLiteral("Действия левого клика"), b.LeftActions);
        w.list(QStringLiteral("Действия правого клика"), b.RightActions);
    }
    w.lines.append(QStringLiteral("piccount:") + IntToText(t.PictureCount()));
    for (int id = 1; id <= t.PictureCount(); ++id) {
        const VellPicture &p = *t.picture(id);
        writeCommon(w, p, &p.TextureId);
    }
    w.lines.append(QStringLiteral("texcount:") + IntToText(t.TextCount()));
    for (int id = 1; id <= t.TextCount(); ++id) {
        const VellText &x = *t.text(id);
        w.setOwner(QStringLiteral("объекта ") + ShortQuote(x.Name));
        w.text(QStringLiteral("Имя"), x.Name);
        w.number(x.X);
        w.number(x.Y);
        w.text(QStringLiteral("Текст"), x.Text);
        w.boolean(x.Visible);
        w.text(QStringLiteral("Цвет текста"), x.TextColor);
    }
    if (project.settings().saveUserCode) {
        w.lines.append(kUserCodeStart);
        const QStringList code = project.userCodeLines();
        for (int i = 0; i < code.size(); ++i) {
            w.setOwner(QStringLiteral("кода пользователя (строка %1)").arg(i + 1));
            w.text(QStringLiteral("Код"), code[i]);
        }
        w.lines.append(kUserCodeEnd);
    }
    return w.lines;
}

void SaveProjectFile(Project &project, const QString &path)
{
    WriteFileBytes(path, JoinTextLines(ProjectFileLines(project)));
    project.setProjectModified(false);
}

ProjectReadResult ReadProjectLines(const QStringList &lines)
{
    ProjectReadResult result;
    if (lines.isEmpty()) {
        result.outcome = ProjectReadResult::Outcome::Empty;
        result.error = QStringLiteral("Файл поврежден");
        return result;
    }
    if (lines.first() != kProjectFileKey) {
        result.outcome = ProjectReadResult::Outcome::WrongKey;
        result.error = QStringLiteral("Файл этого проекта не подходит для данной версии программы");
        return result;
    }
    LineReader r(lines);
    r.text();
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
    if (r.remaining() >= 2 && r.text() == kUserCodeStart) {
        data.hasUserCode = true;
        while (r.remaining() > 0) {
            const QString &line = r.text();
            if (line == kUserCodeEnd)
                break;
            data.userCode.append(line);
        }
    }
    return result;
}

void ApplyProjectData(Project &project, const ProjectReadResult &read)
{
    const ProjectData &data = read.data;
    ObjectTables &t = project.tables();
    const Settings &settings = project.settings();
    project.beginBulkChange();
    project.clearObjects();
    project.setProjectModified(true);
    const auto create = [&](const VellControl &record, bool unnamed, QColor fill) {
        return unnamed ? t.create(record.Kind, fill)
                       : t.createNamed(record.Kind, fill, record.Name);
    };
    for (const VellButton &record : data.buttons) {
        const bool unnamed = data.unnamedLast == KindButton && &record == &data.buttons.back();
        auto *b = static_cast<VellButton *>(create(record, unnamed, settings.buttonColor));
        if (!b)
            break;
        t.SetPosition(*b, record.X, record.Y);
        t.SetExactSize(*b, record.Width, record.Height);
        b->TextureId = record.TextureId;
        t.SetVisible(*b, record.Visible);
        b->LeftActionsFunction = record.LeftActionsFunction;
        b->RightActionsFunction = record.RightActionsFunction;
        b->LeftActions = record.LeftActions;
        b->RightActions = record.RightActions;
    }
    for (const VellPicture &record : data.pictures) {
        const bool unnamed = data.unnamedLast == KindPicture && &record == &data.pictures.back();
        auto *p = static_cast<VellPicture *>(create(record, unnamed, settings.pictureColor));
        if (!p)
            break;
        t.SetPosition(*p, record.X, record.Y);
        t.SetExactSize(*p, record.Width, record.Height);
        p->TextureId = record.TextureId;
        t.SetVisible(*p, record.Visible);
    }
    for (const VellText &record : data.texts) {
        const bool unnamed = data.unnamedLast == KindText && &record == &data.texts.back();
        auto *x = static_cast<VellText *>(create(record, unnamed, QColor()));
        if (!x)
            break;
        t.SetPosition(*x, record.X, record.Y);
        t.SetText(*x, record.Text);
        t.SetVisible(*x, record.Visible);
        if (const auto color = TryTextToColor(record.TextColor);
            color && !record.TextColor.isEmpty())
            t.SetTextColor(*x, *color);
    }
    project.appendUserCodeLines(data.userCode);
    project.endBulkChange();
    project.RefreshObjectNames();
    // Another design: the steps of the one before cannot be taken back.
    project.history().clear();
    project.setProjectModified(read.outcome != ProjectReadResult::Outcome::Complete);
}

ProjectLoad LoadProjectFile(Project &project, const QString &path)
{
    ProjectLoad load;
    QStringList lines;
    try {
        lines = SplitTextLines(ReadFileBytes(path));
    } catch (const VellError &e) {
        load.outcome = ProjectLoad::Outcome::Unreadable;
        load.message = e.message();
        return load;
    }
    const ProjectReadResult read = ReadProjectLines(lines);
    switch (read.outcome) {
    case ProjectReadResult::Outcome::Empty:
    case ProjectReadResult::Outcome::WrongKey:
        load.outcome = ProjectLoad::Outcome::Rejected;
        load.message = read.error;
        return load;
    case ProjectReadResult::Outcome::Failed:
        load.outcome = ProjectLoad::Outcome::Partial;
        load.message = read.error;
        break;
    case ProjectReadResult::Outcome::Complete:
        break;
    }
    ApplyProjectData(project, read);
    return load;
}

QString WithProjectExtension(const QString &name)
{
    return name.endsWith(QLatin1String(".vlp"), Qt::CaseSensitive) ? name
                                                                   : name + QStringLiteral(".vlp");
}

} // namespace vell
