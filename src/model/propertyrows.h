#pragma once

#include "model/objecttables.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace vell {

// How a row's value is edited.
enum class RowEditor
{
    Plain,
    PickList,
    Ellipsis
};

// One row of the property grid: key "=" value.
struct PropertyRow
{
    QString key;
    QString value;
    RowEditor editor = RowEditor::Plain;
    QStringList pickList;
};

// The rows the grid shows for an object, in order: eight for a button, six
// for a picture, five for a text.
QList<PropertyRow> PropertyRowsFor(const VellControl &object);

// The row numbers (1-based) that matter to the handlers.
namespace Row {
constexpr int X = 1;
constexpr int Y = 2;
constexpr int Width = 3;      // buttons, pictures
constexpr int Height = 4;     // buttons, pictures
constexpr int Texture = 5;    // buttons, pictures
constexpr int Visibility = 6; // buttons, pictures
constexpr int LeftClick = 7;  // buttons
constexpr int RightClick = 8; // buttons
constexpr int Text = 3;       // texts
constexpr int TextVisibility = 4;
constexpr int TextColor = 5;
} // namespace Row

// The visibility row of a kind (6, or 4 for texts).
int VisibilityRow(ObjectKind kind);

// Where a typed character goes into a value: it replaces the `length`
// characters from `start` (the selection), or with `length` 0 goes in at
// `start` (the caret).
struct TypedAt
{
    qsizetype start = 0;
    qsizetype length = 0;
};

// The character filter: whether a typed character may enter the row, given
// the row's current value and where the character goes. Backspace is '\b'.
// A pasted text is filtered so, character by character.
bool AcceptsTypedChar(ObjectKind kind, int row, const QString &currentValue, TypedAt at, QChar c);

// Applies a row's value to the object after a key release. `values` holds
// every row's value (index 0 is row 1). Returns the error text when a value
// is not a valid integer (the row is then not applied).
struct ApplyOutcome
{
    bool changed = false;
    QString error;
};
ApplyOutcome ApplyRow(ObjectTables &tables, VellControl &object, int row,
                      const QStringList &values);

} // namespace vell
