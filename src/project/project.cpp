#include "project/project.h"

#include "codegen/userfunctions.h"
#include "model/usercodelines.h"

#include <QTextBlock>
#include <QTextCursor>

namespace vell {

namespace {

// The document's text with '\n' between blocks. toPlainText() would turn
// no-break spaces into plain ones, which the files must keep.
QString documentText(const QTextDocument &doc)
{
    QString raw = doc.toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return raw;
}

} // namespace

Project::Project(QObject *parent) : QObject(parent)
{
    m_tables.aboutToRemove = [this](const VellControl *object) {
        m_namesLag = NamesLag::More;
        m_created = nullptr;
        emit objectAboutToBeRemoved(object);
    };
    connect(&m_userCode, &QTextDocument::contentsChange, this, &Project::userCodeChanged);
    for (const auto changed : {&Project::objectAdded, &Project::objectChanged})
        connect(this, changed, this, &Project::contentChanged);
    connect(this, &Project::objectAboutToBeRemoved, this, &Project::contentChanged);
    connect(this, &Project::objectsReset, this, &Project::contentChanged);
    // Told laid out or not, by whoever edits it.
    connect(&m_userCode, &QTextDocument::contentsChanged, this, &Project::contentChanged);
    connect(&m_history, &QUndoStack::indexChanged, this, [this] {
        emit contentChanged();
        if (m_historyChanges > 0)
            return; // a step being recorded
        ++m_historyChanges;
        const bool clean = m_history.isClean() && !m_changedOutsideHistory;
        if (m_state.ProjectModified != !clean) {
            m_state.ProjectModified = !clean;
            emit stateChanged();
        }
        --m_historyChanges;
    });
}

void Project::recordStep(QUndoCommand *step)
{
    ++m_historyChanges;
    m_history.push(step);
    setProjectModified(true);
    --m_historyChanges;
}

Project::~Project()
{
    m_tables.aboutToRemove = nullptr;
}

VellControl *Project::create(ObjectKind kind)
{
    VellControl *object = m_tables.create(kind);
    if (!object)
        return nullptr;
    if (m_namesLag == NamesLag::None && !m_bulk) {
        m_namesLag = NamesLag::OneCreated;
        m_created = object;
    } else {
        m_namesLag = NamesLag::More;
        m_created = nullptr;
    }
    if (!m_bulk)
        emit objectAdded(object);
    return object;
}

VellControl *Project::reinsert(const VellControl &record)
{
    VellControl *object = nullptr;
    switch (record.Kind) {
    case KindButton:
        object = m_tables.insert(static_cast<const VellButton &>(record));
        break;
    case KindPicture:
        object = m_tables.insert(static_cast<const VellPicture &>(record));
        break;
    case KindText:
        object = m_tables.insert(static_cast<const VellText &>(record));
        break;
    default:
        break;
    }
    if (!object)
        return nullptr;
    m_namesLag = NamesLag::More;
    m_created = nullptr;
    if (!m_bulk)
        emit objectAdded(object);
    return object;
}

void Project::remove(ObjectKind kind, int id)
{
    m_tables.remove(kind, id);
}

void Project::clearObjects()
{
    m_tables.clearAll();
    if (!m_bulk)
        emit objectsReset();
}

void Project::beginBulkChange()
{
    ++m_bulk;
}

void Project::endBulkChange()
{
    if (--m_bulk == 0)
        emit objectsReset();
}

void Project::RefreshObjectNames()
{
    const int at = m_created ? m_tables.namePosition(*m_created) : -1;
    if (m_namesLag == NamesLag::OneCreated && at >= 0 && at <= m_knownNames.size())
        m_knownNames.insert(at, m_created->Name);
    else if (m_namesLag != NamesLag::None)
        m_knownNames = m_tables.objectNames();
    m_namesLag = NamesLag::None;
    m_created = nullptr;
    emit knownObjectNamesChanged();
}

void Project::setSettings(const Settings &settings)
{
    if (settings == m_settings)
        return;
    m_settings = settings;
    emit settingsChanged();
}

QStringList Project::userCodeLines() const
{
    return TextToLines(documentText(m_userCode));
}

void Project::userCodeChanged(int, int removed, int added)
{
    if (m_quietEdits > 0 || (!removed && !added))
        return;
    if (m_settings.saveUserCode)
        setProjectModified(true);
    emit userCodeEdited();
}

void Project::appendUserCodeLines(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    QTextCursor c(&m_userCode);
    c.movePosition(QTextCursor::End);
    QString text = LinesToText(lines);
    // A last line without its line break gets one before the new lines.
    if (!c.block().text().isEmpty())
        text.prepend(QLatin1Char('\n'));
    const QuietUserCode quiet(*this);
    c.insertText(text);
    m_userCode.clearUndoRedoStacks();
}

void Project::setUserCodeLines(const QStringList &lines)
{
    QTextCursor c(&m_userCode);
    c.select(QTextCursor::Document);
    const QuietUserCode quiet(*this);
    c.insertText(LinesToText(lines));
    m_userCode.clearUndoRedoStacks();
}

void Project::removeUserCodeLines(int first, int count)
{
    QTextCursor c(&m_userCode);
    c.setPosition(m_userCode.findBlockByNumber(first).position());
    const QTextBlock after = m_userCode.findBlockByNumber(first + count);
    if (after.isValid())
        c.setPosition(after.position(), QTextCursor::KeepAnchor);
    else
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    const QuietUserCode quiet(*this);
    c.removeSelectedText();
    m_userCode.clearUndoRedoStacks();
}

void Project::RemoveFunc(const QString &name)
{
    if (const auto range = UserFunctions(userCodeLines()).range(name))
        removeUserCodeLines(range->first, range->count);
}

bool Project::OnMainFunc()
{
    // The calls need exactly one ECHO function: one the user code already
    // has (loaded, typed or inserted earlier) is never doubled, and one that
    // was removed is brought back.
    if (UserFunctions(userCodeLines()).defines(QStringLiteral("ECHO")))
        return false;
    QTextCursor c(&m_userCode);
    c.movePosition(QTextCursor::Start);
    const QuietUserCode quiet(*this);
    c.insertText(LinesToText(EchoFunctionLines()));
    m_userCode.clearUndoRedoStacks();
    return true;
}

bool Project::removeInsertedEcho()
{
    const QStringList code = userCodeLines();
    const auto range = UserFunctions(code).range(QStringLiteral("ECHO"));
    if (!range || code.mid(range->first, range->count) != EchoFunctionLines())
        return false;
    removeUserCodeLines(range->first, range->count);
    return true;
}

void Project::setProjectModified(bool modified)
{
    if (!modified) {
        m_history.setClean();
        m_changedOutsideHistory = false;
        emit markedClean();
    } else if (m_historyChanges == 0) {
        m_changedOutsideHistory = true;
    }
    if (modified == m_state.ProjectModified)
        return;
    m_state.ProjectModified = modified;
    emit stateChanged();
}

void Project::setProjectFileName(const QString &fileName)
{
    if (fileName == m_state.ProjectFileName)
        return;
    m_state.ProjectFileName = fileName;
    emit stateChanged();
}

} // namespace vell
