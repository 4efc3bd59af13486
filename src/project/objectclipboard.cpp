#include "project/objectclipboard.h"

#include "common/textforms.h"
#include "model/grouplayout.h"
#include "project/project.h"

#include <array>

namespace vell {

namespace {

// Reads the buffer's lines in order; the buffer is always one this program
// wrote, but a missing line reads as empty rather than past the end.
class BufferReader
{
public:
    explicit BufferReader(const QStringList &lines) : m_lines(lines) {}
    QString text() { return m_lines.value(m_pos++); }
    int number() { return TryTextToInt(text()).value_or(0); }
    bool boolean() { return TextToBool(text()); }
    QStringList list()
    {
        QStringList lines;
        for (int n = number(); n > 0 && m_pos < m_lines.size(); --n)
            lines.append(text());
        return lines;
    }

private:
    const QStringList &m_lines;
    int m_pos = 0;
};

QStringList Described(const VellControl &object)
{
    QStringList b;
    b.append(IntToText(object.Kind));
    switch (object.Kind) {
    case KindButton: {
        const auto &button = static_cast<const VellButton &>(object);
        b << IntToText(button.Width) << IntToText(button.Height) << button.TextureId
          << BoolToText(button.Visible) << button.LeftActionsFunction << button.RightActionsFunction
          << IntToText(int(button.LeftActions.size())) << button.LeftActions
          << IntToText(int(button.RightActions.size())) << button.RightActions;
        break;
    }
    case KindPicture: {
        const auto &picture = static_cast<const VellPicture &>(object);
        b << IntToText(picture.Width) << IntToText(picture.Height) << picture.TextureId
          << BoolToText(picture.Visible);
        break;
    }
    case KindText: {
        const auto &text = static_cast<const VellText &>(object);
        b << text.Text << text.TextColor << BoolToText(text.Visible);
        break;
    }
    default:
        b.clear();
        break;
    }
    return b;
}

ObjectKind KindDescribed(const QStringList &description)
{
    if (description.isEmpty())
        return KindNone;
    const int kind = TryTextToInt(description.first()).value_or(KindNone);
    return kind >= KindButton && kind <= KindText ? ObjectKind(kind) : KindNone;
}

// A new object as described, at the panel centre; nullptr when its table is
// full.
VellControl *Pasted(Project &project, const QStringList &description)
{
    const ObjectKind kind = KindDescribed(description);
    VellControl *object = project.create(kind);
    if (!object)
        return nullptr;
    ObjectTables &t = project.tables();
    BufferReader r(description);
    r.text(); // the kind
    if (kind == KindText) {
        auto &text = static_cast<VellText &>(*object);
        t.SetText(text, r.text());
        const QString color = r.text();
        if (const auto c = TryTextToColor(color); c && !color.isEmpty())
            t.SetTextColor(text, *c);
        t.SetVisible(text, r.boolean());
    } else {
        const int w = r.number();
        const int h = r.number();
        t.SetSize(*object, w, h);
        *TextureOf(*object) = r.text();
        t.SetVisible(*object, r.boolean());
        if (kind == KindButton) {
            auto &button = static_cast<VellButton &>(*object);
            button.LeftActionsFunction = r.text();
            button.RightActionsFunction = r.text();
            button.LeftActions = r.list();
            button.RightActions = r.list();
        }
    }
    return object;
}

} // namespace

void ObjectClipboard::CopyToBuffer(const VellControl &object)
{
    ObjectBuffer = Described(object);
    m_group.clear();
    m_primary = 0;
}

void ObjectClipboard::CopyGroup(std::span<const VellControl *const> members, qsizetype primary)
{
    if (members.size() == 1 || primary < 0 || primary >= qsizetype(members.size())) {
        if (!members.empty())
            CopyToBuffer(*members[0]);
        return;
    }
    m_group.clear();
    m_group.reserve(members.size());
    for (const VellControl *o : members)
        m_group.push_back({Described(*o), QPoint(o->X, o->Y)});
    m_primary = primary;
    ObjectBuffer = m_group[std::size_t(primary)].description;
}

qsizetype ObjectClipboard::size() const
{
    if (!m_group.empty())
        return qsizetype(m_group.size());
    return ObjectBuffer.isEmpty() ? 0 : 1;
}

ObjectKind ObjectClipboard::bufferKind() const
{
    return KindDescribed(ObjectBuffer);
}

ObjectClipboard::PasteOutcome ObjectClipboard::PasteFromBuffer(Project &project,
                                                               VellControl **pasted) const
{
    if (bufferKind() == KindNone)
        return PasteOutcome::Empty;
    VellControl *object = Pasted(project, ObjectBuffer);
    if (!object)
        return PasteOutcome::TableFull;
    if (pasted)
        *pasted = object;
    return PasteOutcome::Pasted;
}

ObjectClipboard::PasteOutcome ObjectClipboard::PasteGroup(Project &project,
                                                          std::vector<VellControl *> &pasted,
                                                          ObjectKind *fullKind) const
{
    pasted.clear();
    if (m_group.empty()) {
        VellControl *object = nullptr;
        const PasteOutcome outcome = PasteFromBuffer(project, &object);
        if (object)
            pasted.push_back(object);
        else if (outcome == PasteOutcome::TableFull && fullKind)
            *fullKind = bufferKind();
        return outcome;
    }
    // All of them or none.
    std::array<qsizetype, KindText + 1> needed{};
    for (const Member &m : m_group)
        ++needed[std::size_t(KindDescribed(m.description))];
    if (const ObjectKind full = project.tables().kindWithoutRoom(needed); full != KindNone) {
        if (fullKind)
            *fullKind = full;
        return PasteOutcome::TableFull;
    }
    std::vector<QPoint> copied;
    copied.reserve(m_group.size());
    for (const Member &m : m_group)
        copied.push_back(m.centre);
    const std::vector<QPoint> centres = PastedCentres(copied, m_primary);
    project.beginBulkChange();
    pasted.reserve(m_group.size());
    for (std::size_t i = 0; i < m_group.size(); ++i) {
        VellControl *object = Pasted(project, m_group[i].description);
        project.tables().SetPosition(*object, centres[i].x(), centres[i].y());
        pasted.push_back(object);
    }
    project.endBulkChange();
    return PasteOutcome::Pasted;
}

} // namespace vell
