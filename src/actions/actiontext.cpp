#include "actions/actiontext.h"

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

ActionView ViewOfLine(const QString &line)
{
    ActionView view;
    view.kind = KindOfLine(line);
    switch (view.kind) {
    case ActionKind::ShowHide: {
        const QString flag = WordAt(line, 1);
        const QString name = WordAt(line, 2);
        view.line = ShowHideLine(flag, name);
        view.caption = (IsShowFlag(flag) ? QStringLiteral("Показать") : QStringLiteral("Спрятать")) +
                       QStringLiteral(" объект с именем ") + name;
        view.icon = kShowHideIcon;
        break;
    }
    case ActionKind::Message: {
        const QString text = WordAt(line, 1);
        view.line = MessageLine(text);
        view.caption = QStringLiteral("Отобразить \"") + text +
                       QStringLiteral("\" в центре экрана для всех игроков");
        view.icon = kMessageIcon;
        break;
    }
    case ActionKind::None:
        break;
    }
    return view;
}

} // namespace vell
