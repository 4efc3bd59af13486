#pragma once

#include <QString>

class TForm1;

namespace vell {

class RecoveryKeeper;

// At start: offers the recovery copies others left (see OfferOrphanCopies)
// in question boxes over the main window, Да, Нет and Отмена; a copy in a
// folder that takes no writes is asked about saying so. Да restores it into
// the main window. A copy that cannot be read, or that Нет could not remove,
// is told in an error box naming the file and the reason.
void OfferRecoveryCopies(TForm1 &form, RecoveryKeeper &keeper, const QString &folder);

// Tells the user, in an information box over the main window once it is
// shown, the first time the keeper cannot write a copy.
void ReportUnkeptCopies(TForm1 &form, RecoveryKeeper &keeper);

} // namespace vell
