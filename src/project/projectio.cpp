#include "project/projectio.h"

#include "common/textfile.h"
#include "common/textforms.h"
#include "common/vellerror.h"
#include "project/project.h"

namespace vell {

QStringList ProjectFileLines(const Project &project)
{
    if (!project.settings().saveUserCode)
        return ProjectFileLines(project.tables(), nullptr);
    const QStringList code = project.userCodeLines();
    return ProjectFileLines(project.tables(), &code);
}

void SaveProjectFile(Project &project, const QString &path)
{
    WriteFileBytes(path, JoinTextLines(ProjectFileLines(project)));
    project.setProjectModified(false);
}

void ApplyProjectData(Project &project, const ProjectReadResult &read)
{
    const ProjectData &data = read.data;
    ObjectTables &t = project.tables();
    project.beginBulkChange();
    project.clearObjects();
    project.setProjectModified(true);
    const auto create = [&](const VellControl &record, bool unnamed) {
        return unnamed ? t.create(record.Kind) : t.createNamed(record.Kind, record.Name);
    };
    for (const VellButton &record : data.buttons) {
        const bool unnamed = data.unnamedLast == KindButton && &record == &data.buttons.back();
        auto *b = static_cast<VellButton *>(create(record, unnamed));
        if (!b)
            break;
        t.SetPosition(*b, record.X, record.Y);
        t.SetExactSize(*b, record.Width, record.Height);
        b->TextureId = record.TextureId;
        t.SetVisible(*b, record.Visible);
        b->LeftActionsFunction = record.LeftActionsFunction;
        b->RightActionsFunction = record.RightActionsFunction;
        b->LeftActions = record.LeftActions;
        b->RightActions = record.RightActions;
    }
    for (const VellPicture &record : data.pictures) {
        const bool unnamed = data.unnamedLast == KindPicture && &record == &data.pictures.back();
        auto *p = static_cast<VellPicture *>(create(record, unnamed));
        if (!p)
            break;
        t.SetPosition(*p, record.X, record.Y);
        t.SetExactSize(*p, record.Width, record.Height);
        p->TextureId = record.TextureId;
        t.SetVisible(*p, record.Visible);
    }
    for (const VellText &record : data.texts) {
        const bool unnamed = data.unnamedLast == KindText && &record == &data.texts.back();
        auto *x = static_cast<VellText *>(create(record, unnamed));
        if (!x)
            break;
        t.SetPosition(*x, record.X, record.Y);
        t.SetText(*x, record.Text);
        t.SetVisible(*x, record.Visible);
        if (const auto color = TryTextToColor(record.TextColor);
            color && !record.TextColor.isEmpty())
            t.SetTextColor(*x, *color);
    }
    project.appendUserCodeLines(data.userCode);
    project.endBulkChange();
    project.RefreshObjectNames();
    // Another design: the steps of the one before cannot be taken back.
    project.history().clear();
    project.setProjectModified(read.outcome != ProjectReadResult::Outcome::Complete);
}

ProjectLoad LoadProjectFile(Project &project, const QString &path)
{
    ProjectLoad load;
    QByteArray bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const VellError &e) {
        load.outcome = ProjectLoad::Outcome::Unreadable;
        load.message = e.message();
        return load;
    }
    const ProjectReadResult read = ReadProjectBytes(bytes);
    switch (read.outcome) {
    case ProjectReadResult::Outcome::Empty:
    case ProjectReadResult::Outcome::WrongKey:
        load.outcome = ProjectLoad::Outcome::Rejected;
        load.message = read.error;
        return load;
    case ProjectReadResult::Outcome::Failed:
        load.outcome = ProjectLoad::Outcome::Partial;
        load.message = read.error;
        break;
    case ProjectReadResult::Outcome::Complete:
        break;
    }
    ApplyProjectData(project, read);
    return load;
}

} // namespace vell
