#pragma once

#include "model/projectfile.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class QLockFile;

namespace vell {

class Project;

// Recovery copies: while a designer runs with unsaved work, a copy of its
// project lies in the recovery folder, so that a crash, a kill or a power cut
// loses at most the last half minute. A copy is the project as a save writes
// it, always with the user code, after a header naming the project's file and
// the settings' array names and counting the user code's lines:
//
//   FMVELLRECOVERY2
//   <the project's file name, UTF-8 percent-encoded; empty for a new one>
//   <button array name>
//   <picture array name>
//   <text array name>
//   <the number of user code lines>
//   <the project file's lines>
//
// The user code is taken by its count, so no line of it (not even one that
// reads "/end", which ends the user code of a project file) cuts it short.
// Copies of the earlier form, FMVELLRECOVERY1 without the count, are read
// as the project file reads them. Windows-1251 lines with CR LF, written as
// saves are (never half-written).

// "recovery" in the data folder the system gives the program's files
// (organisation "Fen-Moth", application "Vell Creator").
QString RecoveryFolder();

struct RecoverySnapshot
{
    // The records and the user code (hasUserCode is always true).
    ProjectData data;
    QString fileName;
    std::array<QString, 3> arrayNames;
};

// The project as it is now, to be written meanwhile by another thread: the
// records are copies and the strings are shared, so later edits of the
// project leave it as it was.
RecoverySnapshot TakeRecoverySnapshot(const Project &project);
// The copy's bytes. Throws VellError where a save would.
QByteArray RecoveryCopyBytes(const RecoverySnapshot &snapshot);

struct RecoveryCopyRead
{
    // Empty when the copy can be restored; otherwise why not.
    QString error;
    QString fileName;
    std::array<QString, 3> arrayNames;
    ProjectReadResult project;
    bool ok() const { return error.isEmpty(); }
};
// Reads a copy's bytes. Never throws; any bytes are safe.
RecoveryCopyRead ReadRecoveryCopy(const QByteArray &bytes);

// A copy left by a designer that did not end normally, claimed by this one:
// its lock is held, so no other designer offers it meanwhile. In a folder
// that takes no writes (a full or read-only disk) the dead designer's lock
// cannot be replaced: the copy is offered all the same, unclaimed, and
// another designer may offer it too.
class OrphanCopy
{
public:
    OrphanCopy(QString path, std::unique_ptr<QLockFile> lock);
    ~OrphanCopy(); // lets the copy go for the next start, as it is
    OrphanCopy(OrphanCopy &&) noexcept;
    OrphanCopy &operator=(OrphanCopy &&) noexcept;

    const QString &path() const { return m_path; }
    // Whether its lock is held (see above).
    bool claimed() const { return m_lock != nullptr; }
    // When the copy was written (local time).
    QDateTime written() const;
    // Reads it; a file that cannot be read gives the reason as its error.
    RecoveryCopyRead read() const;
    // Takes it away for good and lets it go. Returns the reason it could not
    // be removed (it then stays for the next start), or nothing.
    QString remove();
    // Sets it aside as "<name>.damaged", kept but never offered again.
    // Returns the reason it could not be, or nothing.
    QString setAside();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

// The copies in the folder that no running designer holds, newest first,
// each claimed where the folder lets its lock be replaced. A lock that names
// no designer (empty, or not a lock's text) is one a designer has just begun
// to write, or one left behind: it counts as left once it is
// kNamelessLockAge old and no process holds the file locked. A folder that
// cannot be read gives none.
constexpr std::chrono::seconds kNamelessLockAge{5};
std::vector<OrphanCopy> ClaimOrphanCopies(const QString &folder);

// Keeps this designer's recovery copy: one file in the folder, held by a lock
// while the designer runs. A change of the objects or the user code is in
// the copy no later than `interval` after it, and copies are never written
// more often than that. The snapshot is taken on the calling thread; the
// encoding and the writing happen on a second thread. A save, an opening or
// a new project (the project marked as saved or opened) removes the copy
// until the next change, and so does the end of the keeper: a designer that
// ends normally leaves no copy. A folder or a lock that cannot be had (a full
// or read-only disk) is tried again at the next write, as a failed write is.
class RecoveryKeeper : public QObject
{
    Q_OBJECT

public:
    RecoveryKeeper(Project &project, const QString &folder,
                   std::chrono::milliseconds interval = std::chrono::seconds(30));
    ~RecoveryKeeper() override;

    const QString &folder() const { return m_folder; }
    // Where this designer's copy goes; empty while the folder or its lock
    // cannot be had (no copy is kept then).
    QString copyPath() const { return m_path; }
    // Takes a snapshot now and has it written (after restoring a copy, say).
    void writeNow();
    // Waits until the second thread has done all it was given.
    void waitIdle();
    // Why the last write failed; empty when it succeeded.
    QString lastError() const;
    // The copy this designer's work was restored from: removed once this
    // designer has written a copy of its own, never before; let go as it is
    // when the keeper ends first.
    void takeOver(OrphanCopy copy);

signals:
    // The first time in the keeper's life that a copy cannot be written (the
    // folder, its lock or the write failed), with the system's reason; never
    // again after that. Always delivered through the event loop.
    void copyNotKept(const QString &reason);

private:
    struct Job
    {
        std::shared_ptr<const RecoverySnapshot> snapshot; // nullptr: remove
    };
    void changed();
    void madeClean();
    void stateChanged();
    void write();
    bool takeLock(QString &reason);
    void tell(const QString &reason);
    void post(Job job);
    void run();
    bool hasUnsavedWork() const;

    Project &m_project;
    QString m_folder;
    // The copy's name, chosen once; m_path is set once its lock is held.
    QString m_name;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    std::chrono::milliseconds m_interval;
    QTimer m_timer;
    QElapsedTimer m_sinceWrite;
    // User code typed since the project was last saved or opened, which
    // marks nothing while the settings keep the user code out of the file.
    bool m_userCodeTyped = false;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::optional<Job> m_next;
    bool m_busy = false;
    bool m_stop = false;
    QString m_lastError;
    bool m_told = false;
    std::optional<OrphanCopy> m_restoredFrom;
    std::thread m_thread;
};

// The user's answer about a copy offered at start.
enum class RecoveryChoice
{
    Restore, // Да
    Discard, // Нет
    KeepAll, // Отмена
};

// What the windows do while the copies are offered: they ask and tell; what
// becomes of the copies is OfferOrphanCopies's.
struct RecoveryOfferSteps
{
    // Asks about a copy that reads.
    std::function<RecoveryChoice(const OrphanCopy &copy, const RecoveryCopyRead &read)> ask;
    // Puts the copy's project in place of this designer's, as a modified
    // project under the copy's file name.
    std::function<void(ProjectReadResult project, const QString &fileName)> restore;
    // A copy that cannot be read, now set aside: its path, why it cannot be
    // read, and why it could not be set aside (empty when it was).
    std::function<void(const QString &path, const QString &error, const QString &notSetAside)>
        unreadable;
    // A discarded copy that could not be removed: its path and the reason.
    std::function<void(const QString &path, const QString &reason)> notRemoved;
};

// At start: offers the recovery copies that designers no longer running left
// in the folder, newest first, each claimed before it is asked about (a copy
// in a folder that takes no writes is asked about unclaimed). Restore brings
// it into the project and keeps any older ones for the next start; the copy
// goes once the keeper has written this designer's own (see takeOver).
// Discard removes it, or tells why it could not, and goes on to the next;
// KeepAll keeps it and every one not yet offered. A copy that cannot be read
// is set aside as "<name>.damaged" and told.
void OfferOrphanCopies(RecoveryKeeper &keeper, const QString &folder,
                       const RecoveryOfferSteps &steps);

} // namespace vell
