#pragma once

#include "model/vellobjects.h"

#include <QStringList>

namespace vell {

class Project;

// The program's own object clipboard (never the system clipboard): the
// description of the one object last copied or cut, as lines. Its first
// line is the kind number; then, for a button, width, height, texture,
// visibility, the two function names and the two action lists each after
// its line count; for a picture width, height, texture and visibility; for a
// text its text, colour text and visibility. Name, place and identifier are
// not part of it. It lives as long as the program and belongs to no project.
class ObjectClipboard
{
public:
    // Replaces the content with the object's description.
    void CopyToBuffer(const VellControl &object);

    bool isEmpty() const { return ObjectBuffer.isEmpty(); }

    enum class PasteOutcome
    {
        Pasted,
        Empty,     // nothing was ever copied
        TableFull, // the kind's table has no room; the buffer stays as it is
    };
    // A new object of the described kind at the panel centre under the next
    // default name, with the described properties; unselected.
    PasteOutcome PasteFromBuffer(Project &project, VellControl **pasted = nullptr) const;
    // The kind the buffer describes (KindNone when empty).
    ObjectKind bufferKind() const;

    QStringList ObjectBuffer;
};

} // namespace vell
