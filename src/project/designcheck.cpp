#include "project/designcheck.h"

#include "actions/actiontext.h"
#include "common/textforms.h"
#include "common/vellerror.h"
#include "project/kindfacts.h"
#include "project/project.h"
#include "usercode/usercodelines.h"

#include <QSet>

#include <algorithm>
#include <cstdlib>

namespace vell {

namespace {

using Severity = DesignFinding::Severity;

// An object and the file line its record starts at (0: none).
struct Entry
{
    const VellControl *object;
    int firstLine;
};

// A double quote ends the generated string early; a backslash escapes the
// character after it.
bool breaksString(const QString &text)
{
    return text.contains(u'"') || text.contains(u'\\');
}

QString quoted(const QString &text)
{
    return u'"' + ShortQuote(text) + u'"';
}

class Checker
{
public:
    Checker(const Settings &settings, const QStringList &userCode,
            const std::vector<Entry> &entries)
    {
        m_checkFunctions = settings.useUserCode && !userCode.isEmpty();
        if (m_checkFunctions) {
            for (const QString &name : ListFunctionNames(userCode))
                m_functions.insert(name);
        }
        for (const Entry &e : entries)
            m_names[e.object->Kind - 1].insert(e.object->Name);
        for (const Entry &e : entries)
            checkObject(*e.object, e.firstLine);
    }

    QList<DesignFinding> findings;

private:
    void add(Severity severity, int offset, const QString &message)
    {
        findings.append(DesignFinding{severity, m_object->Kind, m_object->Id, m_object->Name,
                                      m_firstLine ? m_firstLine + offset : 0, message});
    }

    void checkObject(const VellControl &o, int firstLine)
    {
        m_object = &o;
        m_firstLine = firstLine;
        if (m_seen.contains(o.Name))
            add(Severity::Error, 0,
                QStringLiteral("имя %1 уже носит другой объект").arg(quoted(o.Name)));
        else
            m_seen.insert(o.Name);

        const bool outX = std::abs(qint64(o.X)) > kPanelWidth / 2;
        if (outX || std::abs(qint64(o.Y)) > kPanelHeight / 2) {
            add(Severity::Warning, outX ? RecordLine::X : RecordLine::Y,
                QStringLiteral("центр объекта вне панели (X = %1, Y = %2)").arg(o.X).arg(o.Y));
        }
        if (const QString *texture = TextureOf(o); texture && texture->size() != 4) {
            add(Severity::Warning, RecordLine::Texture,
                QStringLiteral("ID текстуры %1 не из четырех символов").arg(quoted(*texture)));
        }
        if (o.Kind == KindButton)
            checkButton(static_cast<const VellButton &>(o));
        else if (o.Kind == KindText)
            checkText(static_cast<const VellText &>(o));
    }

    void checkButton(const VellButton &b)
    {
        const auto function = [&](const QString &name, int offset, const QString &side) {
            if (m_checkFunctions && !name.isEmpty() && !m_functions.contains(name)) {
                add(Severity::Error, offset,
                    QStringLiteral("функция %1 клика %2 не определена в коде пользователя")
                        .arg(side, quoted(name)));
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
                } else if (!m_names[kind - 1].contains(target)) {
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

    bool m_checkFunctions = false;
    QSet<QString> m_functions;
    // Names of the buttons, pictures and texts.
    QSet<QString> m_names[3];
    // Names of the objects checked so far.
    QSet<QString> m_seen;
    const VellControl *m_object = nullptr;
    int m_firstLine = 0;
};

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
    return Checker(settings, userCode, entries).findings;
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
    return Checker(settings, data.hasUserCode ? data.userCode : QStringList(), entries).findings;
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
    return file + u':' + QString::number(finding.line) + QStringLiteral(": ") +
           severityWord(finding.severity) + QStringLiteral(": ") + finding.message;
}

QString FindingText(const DesignFinding &finding)
{
    const QString severity = finding.severity == Severity::Error ? QStringLiteral("ошибка")
                                                                 : QStringLiteral("предупреждение");
    return finding.objectName + QStringLiteral(": ") + severity + QStringLiteral(": ") +
           finding.message;
}

} // namespace vell
