#include "model/actiontext.h"

namespace vell {

QString FirstWord(const QString &line)
{
    const qsizetype space = line.indexOf(u' ');
    return space < 0 ? line : line.left(space);
}

QString WordAt(const QString &line, int n)
{
    // The word's characters go over in runs between the quotes.
    QString word;
    int counter = 0;
    bool quoted = false;
    qsizetype from = -1;
    const auto flush = [&](qsizetype to) {
        if (from >= 0)
            word.append(QStringView(line).mid(from, to - from));
        from = -1;
    };
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"') {
            flush(i);
            quoted = !quoted;
        } else if (c == u' ' && !quoted) {
            flush(i);
            if (++counter > n)
                return word;
        } else if (counter == n && from < 0) {
            from = i;
        }
    }
    flush(line.size());
    return word;
}

bool IsShowFlag(const QString &word)
{
    return word == u"t";
}

ActionKind KindOfLine(const QString &line)
{
    const qsizetype space = line.indexOf(u' ');
    const QStringView first = space < 0 ? QStringView(line) : QStringView(line).left(space);
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
