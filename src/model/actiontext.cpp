#include "model/actiontext.h"

namespace vell {

QString FirstWord(const QString &line)
{
    const qsizetype space = line.indexOf(u' ');
    return space < 0 ? line : line.left(space);
}

QString WordAt(const QString &line, int n)
{
    QString word;
    int counter = 0;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u' ' && !quoted) {
            if (++counter > n)
                break;
        } else if (counter == n) {
            word.append(c);
        }
    }
    return word;
}

bool IsShowFlag(const QString &word)
{
    return word == u"t";
}

ActionKind KindOfLine(const QString &line)
{
    const QString first = FirstWord(line);
    if (first == u"ObjShow")
        return ActionKind::ShowHide;
    if (first == u"echo")
        return ActionKind::Message;
    return ActionKind::None;
}

QString ShowHideLine(const QString &flag, const QString &name)
{
    // Unquoted, a space would end the flag there and make the rest of it
    // the name.
    const QString shownFlag = flag.contains(u' ') ? u'"' + flag + u'"' : flag;
    return QStringLiteral("ObjShow ") + shownFlag + QStringLiteral(" \"") + name + u'"';
}

QString MessageLine(const QString &text)
{
    return QStringLiteral("echo \"") + text + u'"';
}

ActionView ShowHideAction(const QString &flag, const QString &name)
{
    return ActionView{ActionKind::ShowHide, ShowHideLine(flag, name),
                      (IsShowFlag(flag) ? QStringLiteral("Показать") : QStringLiteral("Спрятать")) +
                          QStringLiteral(" объект с именем ") + name,
                      kShowHideIcon};
}

ActionView MessageAction(const QString &text)
{
    return ActionView{ActionKind::Message, MessageLine(text),
                      QStringLiteral("Отобразить \"") + text +
                          QStringLiteral("\" в центре экрана для всех игроков"),
                      kMessageIcon};
}

ActionView ViewOfLine(const QString &line)
{
    switch (KindOfLine(line)) {
    case ActionKind::ShowHide:
        return ShowHideAction(WordAt(line, 1), WordAt(line, 2));
    case ActionKind::Message:
        return MessageAction(WordAt(line, 1));
    case ActionKind::None:
        break;
    }
    return ActionView();
}

} // namespace vell
