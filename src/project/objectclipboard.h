#pragma once

#include "model/vellobjects.h"

#include <QPoint>
#include <QStringList>

#include <span>
#include <vector>

namespace vell {

class Project;

// The program's own object clipboard (never the system clipboard): the
// description of the one object last copied or cut, as lines. Its first
// line is the kind number; then, for a button, width, height, texture,
// visibility, the two function names and the two action lists each after
// its line count; for a picture width, height, texture and visibility; for a
// text its text, colour text and visibility. Name, place and identifier are
// not part of it. A group of several objects copied at once keeps each
// one's description and centre besides; the buffer then describes its
// primary. It lives as long as the program and belongs to no project.
class ObjectClipboard
{
public:
    // Replaces the content with the object's description.
    void CopyToBuffer(const VellControl &object);
    // Replaces the content with the group's: the members in the order given,
    // the one at index primary foremost.
    void CopyGroup(std::span<const VellControl *const> members, qsizetype primary);

    bool isEmpty() const { return ObjectBuffer.isEmpty(); }
    // How many objects a paste makes.
    qsizetype size() const;

    enum class PasteOutcome
    {
        Pasted,
        Empty,     // nothing was ever copied
        TableFull, // the kind's table has no room; the buffer stays as it is
    };
    // A new object of the described kind at the panel centre under the next
    // default name, with the described properties; unselected.
    PasteOutcome PasteFromBuffer(Project &project, VellControl **pasted = nullptr) const;
    // The copied group at its place: the primary's copy on the panel centre,
    // the others at their offsets from it, in the order copied (`pasted`).
    // When a kind's table has no room for all of its members nothing is
    // made and `fullKind` tells that kind.
    PasteOutcome PasteGroup(Project &project, std::vector<VellControl *> &pasted,
                            ObjectKind *fullKind = nullptr) const;
    // The kind the buffer describes (KindNone when empty).
    ObjectKind bufferKind() const;
    // The index of the primary among the objects a group paste makes.
    qsizetype primaryIndex() const { return m_primary; }

    QStringList ObjectBuffer;

private:
    struct Member
    {
        QStringList description;
        QPoint centre;
    };
    // Empty unless a group of two or more was copied.
    std::vector<Member> m_group;
    qsizetype m_primary = 0;
};

} // namespace vell
