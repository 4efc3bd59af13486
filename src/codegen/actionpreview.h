#pragma once

#include "codegen/actionemission.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace vell {

// A button's click as the game runs it, for trying the interface before it
// goes into the map: the side's bound function runs only when it is the
// button's own click function (the one its list is written into); its
// actions then show or hide the objects they name (found as the emitted code
// finds them) and put their messages up.
struct PreviewStep
{
    // The object to show or hide, or nullptr for a line that only shows
    // `message` (a message action, or why an action cannot run).
    const VellControl *object = nullptr;
    bool shown = false;
    QString message;
};
std::vector<PreviewStep> PreviewClick(const VellButton &button, ClickSide side,
                                      const ObjectByName &find);

// The messages of a preview as the game's message area shows them: each
// for five seconds, at most the eight newest.
class PreviewMessages
{
public:
    static constexpr qint64 kShownMs = 5000;
    static constexpr int kMostShown = 8;

    // `now` in milliseconds from any fixed start.
    void add(const QString &text, qint64 now);
    // The messages still shown at `now`, oldest first.
    QStringList shown(qint64 now) const;
    // When the next of them goes, or -1 when none is shown.
    qint64 nextExpiry(qint64 now) const;

private:
    struct Message
    {
        QString text;
        qint64 since;
    };
    std::vector<Message> m_messages;
};

} // namespace vell
