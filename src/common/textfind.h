#pragma once

#include <QString>
#include <QStringView>

namespace vell {

// How the find bars of the code views match.
struct FindOptions
{
    bool matchCase = false;
    // Not inside a longer word: no letter, digit or '_' just before or after.
    bool wholeWord = false;
};

struct FindHit
{
    qsizetype start = -1; // -1: no match anywhere
    bool wrapped = false; // found only past the end (or before the start)
};

// The next match that starts at or after `from`, else the first in the text;
// backward, the last that starts before `from`, else the last in the text.
FindHit FindInText(QStringView text, QStringView needle, qsizetype from, bool backward,
                   FindOptions options);
// Matches that do not overlap, from the start of the text.
int CountInText(QStringView text, QStringView needle, FindOptions options);
// "Не найдено", "1 совпадение", "3 совпадения", "11 совпадений".
QString MatchCountText(int count);
// The line (from 0) that "go to line" with a line number (from 1) reaches:
// the nearest one in the text.
int LineForNumber(qint64 number, int lineCount);

} // namespace vell
