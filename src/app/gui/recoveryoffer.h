#pragma once

#include <QString>

class TForm1;

namespace vell {

class RecoveryKeeper;

// At start: offers the recovery copies that designers no longer running left
// in the folder, newest first, each claimed before it is asked about (a copy
// in a folder that takes no writes is asked about unclaimed, and the question
// says so). Да restores it into the main window (a modified project under
// its file name) and keeps any older ones for the next start; the copy goes
// once this designer has written its own. Нет removes it, or says why it
// could not, and goes on to the next; Отмена keeps it and every one not yet
// offered. A copy that cannot be read is reported and set aside as
// "<name>.damaged".
void OfferRecoveryCopies(TForm1 &form, RecoveryKeeper &keeper, const QString &folder);

// Tells the user, in an information box over the main window once it is
// shown, the first time the keeper cannot write a copy.
void ReportUnkeptCopies(TForm1 &form, RecoveryKeeper &keeper);

} // namespace vell
