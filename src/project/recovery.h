#pragma once

#include "project/projectfile.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <chrono>
#include <condition_variable>
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
// the settings' array names:
//
//   FMVELLRECOVERY1
//   <the project's file name, UTF-8 percent-encoded; empty for a new one>
//   <button array name>
//   <picture array name>
//   <text array name>
//   <the project file's lines>
//
// Windows-1251 lines with CR LF, written as saves are (never half-written).

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
// its lock is held, so no other designer offers it meanwhile.
class OrphanCopy
{
public:
    OrphanCopy(QString path, std::unique_ptr<QLockFile> lock);
    ~OrphanCopy(); // lets the copy go for the next start, as it is
    OrphanCopy(OrphanCopy &&) noexcept;
    OrphanCopy &operator=(OrphanCopy &&) noexcept;

    const QString &path() const { return m_path; }
    // When the copy was written (local time).
    QDateTime written() const;
    // Reads it; a file that cannot be read gives the reason as its error.
    RecoveryCopyRead read() const;
    // Takes it away for good.
    void remove();
    // Sets it aside as "<name>.damaged", kept but never offered again.
    // Returns the reason it could not be, or nothing.
    QString setAside();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

// The copies in the folder that no running designer holds, newest first,
// each claimed. A folder that cannot be read gives none.
std::vector<OrphanCopy> ClaimOrphanCopies(const QString &folder);

// Keeps this designer's recovery copy: one file in the folder, held by a lock
// while the designer runs. A change of the objects or the user code is in
// the copy no later than `interval` after it, and copies are never written
// more often than that. The snapshot is taken on the calling thread; the
// encoding and the writing happen on a second thread. A save, an opening or
// a new project (the project marked as saved or opened) removes the copy
// until the next change, and so does the end of the keeper: a designer that
// ends normally leaves no copy.
class RecoveryKeeper : public QObject
{
    Q_OBJECT

public:
    RecoveryKeeper(Project &project, const QString &folder,
                   std::chrono::milliseconds interval = std::chrono::seconds(30));
    ~RecoveryKeeper() override;

    // Where this designer's copy goes; empty when the folder or its lock
    // could not be had (no copies are kept then).
    QString copyPath() const { return m_path; }
    // Takes a snapshot now and has it written (after restoring a copy, say).
    void writeNow();
    // Waits until the second thread has done all it was given.
    void waitIdle();
    // Why the last write failed; empty when it succeeded.
    QString lastError() const;

private:
    struct Job
    {
        std::shared_ptr<const RecoverySnapshot> snapshot; // nullptr: remove
    };
    void changed();
    void madeClean();
    void stateChanged();
    void write();
    void post(Job job);
    void run();
    bool hasUnsavedWork() const;

    Project &m_project;
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
    std::thread m_thread;
};

} // namespace vell
