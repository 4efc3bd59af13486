#pragma once

#include "codegen/vjassreader.h"

#include <functional>

namespace vell {

// What the reader's records of a text break of the language's rules beyond
// its syntax: the order of functions (a function knows only those above it;
// libraries go first, in the order their requirements give), the number of
// arguments a call of a function of the text passes, a function passed as
// code that takes arguments, and a function's locals (first in the body,
// each once, none named like a parameter, no array given a value). Names the
// text does not declare are taken as they come: they may be the game's or
// the map's.
struct VjassFinding
{
    int line = 0;   // of the text read, from 0
    int column = 0; // from 0
    bool error = true;
    QString message;
    friend bool operator==(const VjassFinding &, const VjassFinding &) = default;
};

// `placeOf(line)` names a line of the text for a message ("в строке 40").
QList<VjassFinding> CheckVjassNames(const VjassReadResult &read,
                                    const std::function<QString(int)> &placeOf);

// The records of a text with another text's lines put in at line `at`
// (`insertedLines` of them), as if the whole had been read at once; the
// inserted text's records are moved down by `at`, the outer text's from
// `at` on by `insertedLines`.
VjassReadResult SpliceVjass(const VjassReadResult &outer, const VjassReadResult &inserted, int at,
                            int insertedLines);

} // namespace vell
