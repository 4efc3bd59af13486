#pragma once

#include <QFileDevice>
#include <QString>

namespace vell {

// The reasons that error messages give after their frame ("Cannot open
// file \"%s\". %s"), in the program's language whatever the system's is.

// Why a system call failed, from its errno value. A value without a text of
// its own is named by its number.
QString SystemReason(int errnum);

// A path that is there but names no regular file: a pipe, a device, a
// socket. Neither read nor replaced.
QString NotRegularFileReason();

// A file larger than the reader takes.
QString TooLargeReason(qint64 size, qint64 limit);

// Why a step of a QFileDevice failed: from `errnum`, the errno the failing
// call left (0 when it left none), else from the kind of error Qt reports.
// Qt's own errorString() is English and is never shown.
QString FileDeviceReason(int errnum, QFileDevice::FileError error);

} // namespace vell
