// Project files (".vlp"): any bytes read as the program reads a file; every
// project read, completely or in part, writes lines that read back
// completely to the same project, and writing that project again gives the
// same lines.

#include "common/labelfont.h"
#include "common/textfile.h"
#include "common/vellerror.h"
#include "fuzzcheck.h"
#include "offscreenapp.h"
#include "project/project.h"
#include "project/projectio.h"

#include <cstddef>
#include <cstdint>

using namespace vell;

namespace fuzzcheck {
inline QByteArray show(const VellControl &o)
{
    return "kind " + QByteArray::number(o.Kind) + " id " + QByteArray::number(o.Id) + " name " +
           show(o.Name) + " at " + QByteArray::number(o.X) + "," + QByteArray::number(o.Y) +
           " size " + QByteArray::number(o.Width) + "x" + QByteArray::number(o.Height) +
           (o.Visible ? " visible" : " hidden");
}
} // namespace fuzzcheck

namespace {

using Outcome = ProjectReadResult::Outcome;

// Every field of every object of both projects, and their user code.
void checkSameProject(const Project &a, const Project &b)
{
    const ObjectTables &x = a.tables();
    const ObjectTables &y = b.tables();
    FUZZ_CHECK_EQUAL(y.ButtonCount(), x.ButtonCount());
    FUZZ_CHECK_EQUAL(y.PictureCount(), x.PictureCount());
    FUZZ_CHECK_EQUAL(y.TextCount(), x.TextCount());
    for (int id = 1; id <= x.ButtonCount(); ++id) {
        const VellButton &p = *x.button(id);
        const VellButton &q = *y.button(id);
        FUZZ_CHECK_EQUAL(static_cast<const VellControl &>(q), static_cast<const VellControl &>(p));
        FUZZ_CHECK_EQUAL(q.TextureId, p.TextureId);
        FUZZ_CHECK_EQUAL(q.LeftActionsFunction, p.LeftActionsFunction);
        FUZZ_CHECK_EQUAL(q.RightActionsFunction, p.RightActionsFunction);
        FUZZ_CHECK_EQUAL(q.LeftActions, p.LeftActions);
        FUZZ_CHECK_EQUAL(q.RightActions, p.RightActions);
    }
    for (int id = 1; id <= x.PictureCount(); ++id) {
        FUZZ_CHECK_EQUAL(static_cast<const VellControl &>(*y.picture(id)),
                         static_cast<const VellControl &>(*x.picture(id)));
        FUZZ_CHECK_EQUAL(y.picture(id)->TextureId, x.picture(id)->TextureId);
    }
    for (int id = 1; id <= x.TextCount(); ++id) {
        FUZZ_CHECK_EQUAL(static_cast<const VellControl &>(*y.text(id)),
                         static_cast<const VellControl &>(*x.text(id)));
        FUZZ_CHECK_EQUAL(y.text(id)->Text, x.text(id)->Text);
        FUZZ_CHECK_EQUAL(y.text(id)->TextColor, x.text(id)->TextColor);
    }
    FUZZ_CHECK_EQUAL(b.userCodeLines(), a.userCodeLines());
}

// The objects made from the records carry the records' values: names
// (but that of a record cut off before its name), places, sizes, and the
// rest as read.
template <typename T>
void checkApplied(const std::vector<T> &records, const ObjectTables &t, ObjectKind kind,
                  ObjectKind unnamedLast)
{
    FUZZ_CHECK_EQUAL(t.count(kind), int(records.size()));
    for (int i = 0; i < int(records.size()); ++i) {
        const T &r = records[std::size_t(i)];
        const T &o = static_cast<const T &>(*t.object(kind, i + 1));
        FUZZ_CHECK_EQUAL(r.Id, i + 1);
        FUZZ_CHECK_EQUAL(o.Id, i + 1);
        FUZZ_CHECK_EQUAL(int(o.Kind), int(kind));
        if (!(unnamedLast == kind && i + 1 == int(records.size())))
            FUZZ_CHECK_EQUAL(o.Name, r.Name);
        FUZZ_CHECK_EQUAL(o.X, r.X);
        FUZZ_CHECK_EQUAL(o.Y, r.Y);
        FUZZ_CHECK_EQUAL(o.Visible, r.Visible);
        if constexpr (std::is_same_v<T, VellText>) {
            FUZZ_CHECK_EQUAL(o.Text, r.Text);
            FUZZ_CHECK_EQUAL(o.TextColor, r.TextColor);
            FUZZ_CHECK_EQUAL(QSize(o.Width, o.Height), LabelSize(r.Text));
        } else {
            FUZZ_CHECK_EQUAL(o.Width, r.Width);
            FUZZ_CHECK_EQUAL(o.Height, r.Height);
            FUZZ_CHECK_EQUAL(o.TextureId, r.TextureId);
        }
        if constexpr (std::is_same_v<T, VellButton>) {
            FUZZ_CHECK_EQUAL(o.LeftActionsFunction, r.LeftActionsFunction);
            FUZZ_CHECK_EQUAL(o.RightActionsFunction, r.RightActionsFunction);
            FUZZ_CHECK_EQUAL(o.LeftActions, r.LeftActions);
            FUZZ_CHECK_EQUAL(o.RightActions, r.RightActions);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startOffscreenGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = SplitTextLines(bytes);
    const ProjectReadResult read = ReadProjectLines(lines);

    // Files are opened through the byte reader: it reads every file as the
    // line reader does, and the generator's lighter reading fails alike.
    const ProjectReadResult fromBytes = ReadProjectBytes(bytes);
    const ProjectReadResult forCode = ReadProjectBytes(bytes, ProjectFields::ForCode);
    for (const ProjectReadResult *other : {&fromBytes, &forCode}) {
        FUZZ_CHECK_EQUAL(int(other->outcome), int(read.outcome));
        FUZZ_CHECK_EQUAL(other->error, read.error);
        FUZZ_CHECK_EQUAL(other->failedLine, read.failedLine);
        FUZZ_CHECK(other->data.buttonLines == read.data.buttonLines &&
                   other->data.pictureLines == read.data.pictureLines &&
                   other->data.textLines == read.data.textLines);
        FUZZ_CHECK_EQUAL(other->data.userCodeLine, read.data.userCodeLine);
        FUZZ_CHECK_EQUAL(other->data.userCode, read.data.userCode);
    }
    FUZZ_CHECK(fromBytes.data.buttons == read.data.buttons &&
               fromBytes.data.pictures == read.data.pictures &&
               fromBytes.data.texts == read.data.texts);
    FUZZ_CHECK_EQUAL(int(fromBytes.data.unnamedLast), int(read.data.unnamedLast));

    if (lines.isEmpty()) {
        FUZZ_CHECK(read.outcome == Outcome::Empty);
    } else if (lines.first() != kProjectFileKey) {
        FUZZ_CHECK(read.outcome == Outcome::WrongKey);
    } else {
        FUZZ_CHECK(read.outcome == Outcome::Complete || read.outcome == Outcome::Failed);
    }
    if (read.outcome == Outcome::Complete) {
        FUZZ_CHECK(read.error.isEmpty());
        FUZZ_CHECK_EQUAL(int(read.data.unnamedLast), int(KindNone));
    } else {
        FUZZ_CHECK(!read.error.isEmpty());
    }
    if (read.outcome == Outcome::Empty || read.outcome == Outcome::WrongKey) {
        FUZZ_CHECK(read.data.buttons.empty() && read.data.pictures.empty() &&
                   read.data.texts.empty() && !read.data.hasUserCode);
        return 0;
    }
    if (read.outcome == Outcome::Failed) {
        FUZZ_CHECK(read.failedLine >= 2 && read.failedLine <= lines.size() + 1);
        FUZZ_CHECK(!read.data.hasUserCode);
    }
    if (!read.data.hasUserCode)
        FUZZ_CHECK(read.data.userCode.isEmpty());

    Project first;
    ApplyProjectData(first, read);
    FUZZ_CHECK_EQUAL(first.ProjectModified(), read.outcome != Outcome::Complete);
    checkApplied(read.data.buttons, first.tables(), KindButton, read.data.unnamedLast);
    checkApplied(read.data.pictures, first.tables(), KindPicture, read.data.unnamedLast);
    checkApplied(read.data.texts, first.tables(), KindText, read.data.unnamedLast);
    FUZZ_CHECK_EQUAL(first.userCodeLines(), read.data.userCode);
    FUZZ_CHECK_EQUAL(first.KnownObjectNames(), first.tables().objectNames());

    QStringList written;
    QByteArray file;
    try {
        written = ProjectFileLines(first);
        file = JoinTextLines(written);
    } catch (const VellError &e) {
        fuzzcheck::fail(__FILE__, __LINE__, "a project read from a file can be written",
                        e.message().toUtf8());
    }
    FUZZ_CHECK_EQUAL(SplitTextLines(file), written);
    const ProjectReadResult again = ReadProjectLines(SplitTextLines(file));
    FUZZ_CHECK(again.outcome == Outcome::Complete);
    FUZZ_CHECK(again.data.hasUserCode);

    Project second;
    ApplyProjectData(second, again);
    checkSameProject(first, second);
    FUZZ_CHECK_EQUAL(ProjectFileLines(second), written);
    return 0;
}
