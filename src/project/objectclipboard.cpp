#include "project/objectclipboard.h"

#include "common/textforms.h"
#include "project/project.h"

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

} // namespace

void ObjectClipboard::CopyToBuffer(const VellControl &object)
{
    QStringList &b = ObjectBuffer;
    b.clear();
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
}

ObjectKind ObjectClipboard::bufferKind() const
{
    if (ObjectBuffer.isEmpty())
        return KindNone;
    const int kind = TryTextToInt(ObjectBuffer.first()).value_or(KindNone);
    return kind >= KindButton && kind <= KindText ? ObjectKind(kind) : KindNone;
}

ObjectClipboard::PasteOutcome ObjectClipboard::PasteFromBuffer(Project &project,
                                                               VellControl **pasted) const
{
    const ObjectKind kind = bufferKind();
    if (kind == KindNone)
        return PasteOutcome::Empty;
    VellControl *object = project.create(kind);
    if (!object)
        return PasteOutcome::TableFull;
    ObjectTables &t = project.tables();
    BufferReader r(ObjectBuffer);
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
    if (pasted)
        *pasted = object;
    return PasteOutcome::Pasted;
}

} // namespace vell
