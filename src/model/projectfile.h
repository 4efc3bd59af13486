#pragma once

#include "model/vellobjects.h"

#include <QStringList>

#include <vector>

namespace vell {

class ObjectTables;

// The project file (".vlp"): Windows-1251 lines, the meaning of each given by
// its place. The first line is the key; then each table with a count line
// ("btncount:", "piccount:", "texcount:", whose nine-character prefix a
// reader ignores) and one record per object; then, when the settings save
// it, the user code between "/usercodestart" and "/end".
inline const QString kProjectFileKey = QStringLiteral("FMVELLVERSIONKEY2.1");

// The lines written for the tables' objects, with the user code when it is
// given. Throws VellError naming the object and the field when a value
// cannot be written as one line of the file (a character Windows-1251
// cannot hold, a line break or a NUL): such a value would be changed or
// would shift every later line.
QStringList ProjectFileLines(const ObjectTables &tables, const QStringList *userCode);

// What a project file holds, as plain records in file order. The records'
// identifiers and sizes are those the file gives; applying them gives the
// objects their table places.
struct ProjectData
{
    std::vector<VellButton> buttons;
    std::vector<VellPicture> pictures;
    std::vector<VellText> texts;
    // The line (from 1) each record starts at, its name line, in record
    // order; RecordLine gives the lines of its other fields.
    std::vector<int> buttonLines;
    std::vector<int> pictureLines;
    std::vector<int> textLines;
    // When reading stopped before the name line of the last record of this
    // kind, that object keeps the name it is created with.
    ObjectKind unnamedLast = KindNone;
    bool hasUserCode = false;
    // The line (from 1) of "/usercodestart": user code line i stands at
    // userCodeLine + i.
    int userCodeLine = 0;
    QStringList userCode;
};

// The lines a save writes for these records, with the user code when
// data.hasUserCode; throws as above.
QStringList ProjectFileLines(const ProjectData &data);

// Where a record's fields stand, counted from its name line. A button's
// left-click actions follow their count line, then come the count line and
// the lines of the right-click actions.
namespace RecordLine {
constexpr int X = 1;
constexpr int Y = 2;
constexpr int Texture = 5; // buttons and pictures
constexpr int LeftFunction = 7;
constexpr int RightFunction = 8;
constexpr int LeftActions = 10; // the first left-click action
constexpr int Text = 3;         // texts
constexpr int TextColor = 5;    // texts
// The first right-click action of a button with `leftActions` left ones.
constexpr int RightActions(int leftActions)
{
    return LeftActions + leftActions + 1;
}
} // namespace RecordLine

struct ProjectReadResult
{
    enum class Outcome
    {
        Complete,
        Empty,    // no lines at all: "Файл поврежден"
        WrongKey, // another first line: the file does not suit this version
        Failed,   // stopped at a line; what was read before it is kept
    };
    Outcome outcome = Outcome::Complete;
    ProjectData data;
    // The message for the user, for every outcome but Complete.
    QString error;
    // The line (from 1) reading stopped at, when it failed.
    int failedLine = 0;
};

// Reads the lines of a project file. Never throws; any text is safe.
ProjectReadResult ReadProjectLines(const QStringList &lines);
// What a reading keeps of the records.
enum class ProjectFields
{
    All,
    // What the code generator reads: names and click actions stay empty,
    // and a colour text stays as the file has it. Lines are read as with
    // All, so a file fails the same way at the same line.
    ForCode,
};
// ReadProjectLines(SplitTextLines(bytes)), without a string for every line.
ProjectReadResult ReadProjectBytes(const QByteArray &bytes,
                                   ProjectFields fields = ProjectFields::All);

// The name with ".vlp" added unless its last four characters are exactly
// ".vlp" (so "a.VLP" becomes "a.VLP.vlp").
QString WithProjectExtension(const QString &name);

} // namespace vell
