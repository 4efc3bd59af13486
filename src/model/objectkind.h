#pragma once

namespace vell {

// The kind number of an object; the generated code and the object clipboard
// write these values.
enum ObjectKind
{
    KindNone = 0,
    KindButton = 1,
    KindPicture = 2,
    KindText = 3
};

// The kinds, in the order every listing of objects follows.
inline constexpr ObjectKind kObjectKinds[] = {KindButton, KindPicture, KindText};

} // namespace vell
