#pragma once

#include <QString>

class TForm1;

namespace vell {

class RecoveryKeeper;

// At start: offers the recovery copies that designers no longer running left
// in the folder, newest first, each claimed before it is asked about. Да
// restores it into the main window (a modified project under its file name;
// it is written as this designer's own copy before the old one goes) and
// keeps any older ones for the next start; Нет removes it and goes on to the
// next; Отмена keeps it and every one not yet offered. A copy that cannot be
// read is reported and set aside as "<name>.damaged".
void OfferRecoveryCopies(TForm1 &form, RecoveryKeeper &keeper, const QString &folder);

} // namespace vell
