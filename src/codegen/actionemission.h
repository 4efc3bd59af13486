#pragma once

#include "model/objecttables.h"

#include <QStringList>

#include <functional>
#include <optional>

namespace vell {

struct Settings;

enum class ClickSide
{
    Left,
    Right
};

// The function name of a button's side: its name + "_Left_Actions" or
// "_Right_Actions".
QString ActionsFunctionName(const VellButton &button, ClickSide side);
// What such a name is built of: the button's name and the side; nothing for
// a name that ends with neither.
struct ActionsFunctionOwner
{
    QString buttonName;
    ClickSide side = ClickSide::Left;
};
std::optional<ActionsFunctionOwner> ActionsFunctionOwnerOf(const QString &function);

// The side's click function as its list emits it now (see below): its
// lines, none for an empty list, and whether it calls ECHO.
struct EmittedFunction
{
    QStringList lines;
    bool callsEcho = false;
};
EmittedFunction ActionsFunctionLines(const VellButton &button, ClickSide side,
                                     const Settings &settings, const ObjectByName &find);

} // namespace vell
