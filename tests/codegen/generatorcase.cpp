#include "generatorcase.h"

#include "project/project.h"

#include <QFile>
#include <QHash>

#include <functional>

namespace {

bool toInt(const QString &value, int *out)
{
    bool ok = false;
    *out = value.toInt(&ok);
    return ok;
}

bool toBool(const QString &value, bool *out)
{
    if (value != QLatin1String("true") && value != QLatin1String("false"))
        return false;
    *out = value == QLatin1String("true");
    return true;
}

} // namespace

GeneratorCase readGeneratorCase(const QString &path)
{
    GeneratorCase c;
    vell::GeneratorInput &in = c.input;
    in.buttonVar = QStringLiteral("ButtonVar");
    in.pictureVar = QStringLiteral("PictureVar");
    in.textVar = QStringLiteral("TextVar");
    in.unitVar = QStringLiteral("UnitVar");

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        c.error = QStringLiteral("cannot read %1").arg(path);
        return c;
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    QString section;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString &line = lines.at(n);
        const auto fail = [&](const QString &why) {
            c.error = QStringLiteral("%1:%2: %3").arg(path).arg(n + 1).arg(why);
        };
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            if (section == QLatin1String("button"))
                in.buttons.append(vell::GenButton{});
            else if (section == QLatin1String("picture"))
                in.pictures.append(vell::GenPicture{});
            else if (section == QLatin1String("text"))
                in.texts.append(vell::GenText{});
            else if (section != QLatin1String("settings") && section != QLatin1String("usercode"))
                return fail(QStringLiteral("unknown section ") + line), c;
            continue;
        }
        if (section == QLatin1String("usercode")) {
            in.userCode.append(line);
            continue;
        }
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || section.isEmpty())
            return fail(QStringLiteral("expected Key=Value in a section")), c;
        const QString key = line.left(eq);
        const QString value = line.mid(eq + 1);

        bool ok = false;
        if (section == QLatin1String("settings")) {
            const QHash<QString, QString *> names{{QStringLiteral("ButtonVar"), &in.buttonVar},
                                                  {QStringLiteral("PictureVar"), &in.pictureVar},
                                                  {QStringLiteral("TextVar"), &in.textVar},
                                                  {QStringLiteral("UnitVar"), &in.unitVar}};
            if (QString *target = names.value(key)) {
                *target = value;
                ok = true;
            } else if (key == QLatin1String("UseUserCode")) {
                ok = toBool(value, &in.useUserCode);
            } else if (key == QLatin1String("PanelWidth")) {
                ok = toInt(value, &in.panelWidth);
            } else if (key == QLatin1String("PanelHeight")) {
                ok = toInt(value, &in.panelHeight);
            }
        } else {
            int *x, *y, *w, *h;
            bool *visible;
            QHash<QString, QString *> texts;
            if (section == QLatin1String("button")) {
                vell::GenButton &b = in.buttons.last();
                x = &b.x, y = &b.y, w = &b.width, h = &b.height, visible = &b.visible;
                texts = {{QStringLiteral("TextureId"), &b.textureId},
                         {QStringLiteral("Left"), &b.leftFunction},
                         {QStringLiteral("Right"), &b.rightFunction}};
            } else if (section == QLatin1String("picture")) {
                vell::GenPicture &p = in.pictures.last();
                x = &p.x, y = &p.y, w = &p.width, h = &p.height, visible = &p.visible;
                texts = {{QStringLiteral("TextureId"), &p.textureId}};
            } else {
                vell::GenText &t = in.texts.last();
                x = &t.x, y = &t.y, w = &t.width, h = &t.height, visible = &t.visible;
                texts = {{QStringLiteral("Text"), &t.text},
                         {QStringLiteral("TextColor"), &t.textColor}};
            }
            const QHash<QString, int *> ints{{QStringLiteral("X"), x},
                                             {QStringLiteral("Y"), y},
                                             {QStringLiteral("Width"), w},
                                             {QStringLiteral("Height"), h}};
            if (int *target = ints.value(key)) {
                ok = toInt(value, target);
            } else if (key == QLatin1String("Visible")) {
                ok = toBool(value, visible);
            } else if (QString *target = texts.value(key)) {
                *target = value;
                ok = true;
            }
        }
        if (!ok)
            return fail(QStringLiteral("bad key or value in [%1]: %2").arg(section, line)), c;
    }
    return c;
}

void fillProject(const GeneratorCase &c, vell::Project &project)
{
    const vell::GeneratorInput &in = c.input;
    vell::Settings s = project.settings();
    s.buttonVar = in.buttonVar;
    s.pictureVar = in.pictureVar;
    s.textVar = in.textVar;
    s.unitVar = in.unitVar;
    s.useUserCode = in.useUserCode;
    project.setSettings(s);
    vell::ObjectTables &t = project.tables();
    const auto place = [&](vell::VellControl &o, int x, int y, int w, int h, bool visible) {
        t.SetPosition(o, x, y);
        t.SetSize(o, w, h);
        t.SetVisible(o, visible);
    };
    for (const vell::GenButton &g : in.buttons) {
        vell::VellButton *b = t.createButton();
        place(*b, g.x, g.y, g.width, g.height, g.visible);
        b->TextureId = g.textureId;
        b->LeftActionsFunction = g.leftFunction;
        b->RightActionsFunction = g.rightFunction;
    }
    for (const vell::GenPicture &g : in.pictures) {
        vell::VellPicture *p = t.createPicture();
        place(*p, g.x, g.y, g.width, g.height, g.visible);
        p->TextureId = g.textureId;
    }
    for (const vell::GenText &g : in.texts) {
        vell::VellText *x = t.createText();
        place(*x, g.x, g.y, 0, 0, g.visible);
        t.SetText(*x, g.text);
        x->TextColor = g.textColor;
    }
    project.appendUserCodeLines(in.userCode);
}

QStringList readExpectedLines(const QString &path, bool *ok)
{
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    if (!*ok)
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString describeLineDifference(const QStringList &expected, const QStringList &actual)
{
    qsizetype first = 0;
    const qsizetype common = std::min(expected.size(), actual.size());
    while (first < common && expected.at(first) == actual.at(first))
        ++first;
    if (first == common && expected.size() == actual.size())
        return {};

    constexpr qsizetype kContext = 3;
    QString report = QStringLiteral("first difference at line %1 (expected %2 lines, got %3)\n")
                         .arg(first + 1)
                         .arg(expected.size())
                         .arg(actual.size());
    const auto show = [&](const char *label, const QStringList &lines) {
        report += QLatin1String(label) + QLatin1Char('\n');
        const qsizetype from = std::max<qsizetype>(0, first - kContext);
        const qsizetype to = std::min(lines.size(), first + kContext + 1);
        for (qsizetype i = from; i < to; ++i) {
            report += QStringLiteral("%1%2| %3\n")
                          .arg(i == first ? QLatin1String(">") : QLatin1String(" "))
                          .arg(i + 1, 4)
                          .arg(lines.at(i));
        }
        if (first >= lines.size())
            report += QStringLiteral(">%1| <no line>\n").arg(first + 1, 4);
    };
    show("expected:", expected);
    show("actual:", actual);
    return report;
}
