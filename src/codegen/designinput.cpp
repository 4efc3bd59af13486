#include "codegen/designinput.h"

namespace vell {

GeneratorInput GeneratorInputFor(const ObjectTables &tables, const Settings &settings,
                                 const QStringList &userCode)
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
    input.buttons.reserve(tables.ButtonCount());
    for (int id = 1; id <= tables.ButtonCount(); ++id) {
        const VellButton &b = *tables.button(id);
        input.buttons.append(GenButton{b.X, b.Y, b.Width, b.Height, b.Visible, b.TextureId,
                                       b.LeftActionsFunction, b.RightActionsFunction});
    }
    input.pictures.reserve(tables.PictureCount());
    for (int id = 1; id <= tables.PictureCount(); ++id) {
        const VellPicture &p = *tables.picture(id);
        input.pictures.append(GenPicture{p.X, p.Y, p.Width, p.Height, p.Visible, p.TextureId});
    }
    input.texts.reserve(tables.TextCount());
    for (int id = 1; id <= tables.TextCount(); ++id) {
        const VellText &t = *tables.text(id);
        input.texts.append(GenText{t.X, t.Y, t.Width, t.Height, t.Visible, t.Text, t.TextColor});
    }
    return input;
}

GeneratorInput GeneratorInputFor(const Project &project)
{
    return GeneratorInputFor(project.tables(), project.settings(), project.userCodeLines());
}

} // namespace vell
