#include "codegen/designinput.h"

#include "common/labelfont.h"

namespace vell {

GenButton GeneratorButton(const VellButton &b)
{
    return GenButton{b.X,
                     b.Y,
                     b.Width,
                     b.Height,
                     b.Visible,
                     b.TextureId,
                     b.LeftActionsFunction,
                     b.RightActionsFunction};
}

GenPicture GeneratorPicture(const VellPicture &p)
{
    return GenPicture{p.X, p.Y, p.Width, p.Height, p.Visible, p.TextureId};
}

GenText GeneratorText(const VellText &t)
{
    return GenText{t.X, t.Y, t.Width, t.Height, t.Visible, t.Text, t.TextColor};
}

GeneratorInput GeneratorSettingsInput(const Settings &settings, const QStringList &userCode)
{
    GeneratorInput input;
    input.buttonVar = settings.buttonVar;
    input.pictureVar = settings.pictureVar;
    input.textVar = settings.textVar;
    input.unitVar = settings.unitVar;
    input.useUserCode = settings.useUserCode;
    input.userCode = userCode;
    input.panelWidth = kPanelWidth;
    input.panelHeight = kPanelHeight;
    return input;
}

GeneratorInput GeneratorInputFor(const ObjectTables &tables, const Settings &settings,
                                 const QStringList &userCode)
{
    GeneratorInput input = GeneratorSettingsInput(settings, userCode);
    input.buttons.reserve(tables.ButtonCount());
    for (int id = 1; id <= tables.ButtonCount(); ++id) {
        input.buttons.append(GeneratorButton(*tables.button(id)));
    }
    input.pictures.reserve(tables.PictureCount());
    for (int id = 1; id <= tables.PictureCount(); ++id) {
        input.pictures.append(GeneratorPicture(*tables.picture(id)));
    }
    input.texts.reserve(tables.TextCount());
    for (int id = 1; id <= tables.TextCount(); ++id) {
        input.texts.append(GeneratorText(*tables.text(id)));
    }
    return input;
}

GeneratorInput GeneratorInputFor(const ProjectData &data, const Settings &settings)
{
    GeneratorInput input = GeneratorSettingsInput(settings, data.userCode);
    const auto capped = [](qsizetype n) {
        return std::min<qsizetype>(n, ObjectTables::Capacity);
    };
    input.buttons.reserve(capped(qsizetype(data.buttons.size())));
    for (const VellButton &b : data.buttons) {
        if (input.buttons.size() == ObjectTables::Capacity)
            break;
        input.buttons.append(GeneratorButton(b));
    }
    input.pictures.reserve(capped(qsizetype(data.pictures.size())));
    for (const VellPicture &p : data.pictures) {
        if (input.pictures.size() == ObjectTables::Capacity)
            break;
        input.pictures.append(GeneratorPicture(p));
    }
    input.texts.reserve(capped(qsizetype(data.texts.size())));
    for (const VellText &t : data.texts) {
        if (input.texts.size() == ObjectTables::Capacity)
            break;
        // As the designer opens it: the label's size. The reader has
        // checked the colour text, which the code needs only the colour of.
        GenText &text = input.texts.emplace_back(GeneratorText(t));
        const QSize size = LabelSize(t.Text);
        text.width = size.width();
        text.height = size.height();
    }
    return input;
}

} // namespace vell
