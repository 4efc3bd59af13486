#include "project/recovery.h"

#include "common/systemreason.h"
#include "common/textfile.h"
#include "common/textforms.h"
#include "common/vellerror.h"
#include "project/project.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QSysInfo>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vell {

namespace {

const QString kRecoveryKey = QStringLiteral("FMVELLRECOVERY2");
// The earlier form: no count of the user code's lines.
const QString kFirstRecoveryKey = QStringLiteral("FMVELLRECOVERY1");
const QString kCopySuffix = QStringLiteral(".vlr");
const QString kUserCodeEnd = QStringLiteral("/end");

std::unique_ptr<QLockFile> lockFor(const QString &copy)
{
    auto lock = std::make_unique<QLockFile>(copy + QStringLiteral(".lock"));
    // Only a designer that no longer runs leaves its lock stale, however old
    // the lock is.
    lock->setStaleLockTime(0);
    return lock;
}

QString damagedMessage(const QString &why)
{
    return QStringLiteral("копия повреждена: ") + why;
}

} // namespace

QString RecoveryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Fen-Moth/Vell Creator/recovery");
}

RecoverySnapshot TakeRecoverySnapshot(const Project &project)
{
    RecoverySnapshot s;
    const ObjectTables &t = project.tables();
    ProjectData &d = s.data;
    d.buttons.reserve(std::size_t(t.ButtonCount()));
    for (int id = 1; id <= t.ButtonCount(); ++id)
        d.buttons.push_back(*t.button(id));
    d.pictures.reserve(std::size_t(t.PictureCount()));
    for (int id = 1; id <= t.PictureCount(); ++id)
        d.pictures.push_back(*t.picture(id));
    d.texts.reserve(std::size_t(t.TextCount()));
    for (int id = 1; id <= t.TextCount(); ++id)
        d.texts.push_back(*t.text(id));
    d.hasUserCode = true;
    d.userCode = project.userCodeLines();
    s.fileName = project.ProjectFileName();
    const Settings &settings = project.settings();
    s.arrayNames = {settings.buttonVar, settings.pictureVar, settings.textVar};
    return s;
}

QByteArray RecoveryCopyBytes(const RecoverySnapshot &snapshot)
{
    QStringList lines{kRecoveryKey,
                      QString::fromLatin1(QUrl::toPercentEncoding(snapshot.fileName, "/:\\"))};
    for (const QString &name : snapshot.arrayNames)
        lines.append(name);
    lines.append(IntToText(int(snapshot.data.userCode.size())));
    lines.append(ProjectFileLines(snapshot.data));
    return JoinTextLines(lines);
}

RecoveryCopyRead ReadRecoveryCopy(const QByteArray &bytes)
{
    RecoveryCopyRead read;
    QStringList lines = SplitTextLines(bytes);
    const bool counted = !lines.isEmpty() && lines.first() == kRecoveryKey;
    if (!counted && (lines.isEmpty() || lines.first() != kFirstRecoveryKey)) {
        read.error = QStringLiteral("это не копия для восстановления");
        return read;
    }
    const int headerLines = counted ? 6 : 5;
    if (lines.size() <= headerLines) {
        read.error = damagedMessage(QStringLiteral("в ней нет проекта"));
        return read;
    }
    read.fileName = QUrl::fromPercentEncoding(lines[1].toLatin1());
    read.arrayNames = {lines[2], lines[3], lines[4]};
    std::optional<int> codeLines;
    if (counted) {
        codeLines = TryTextToInt(lines[5]);
        if (!codeLines || *codeLines < 0) {
            read.error = damagedMessage(
                QStringLiteral("%1 (строка 6)").arg(invalidIntegerMessage(lines[5])));
            return read;
        }
    }
    lines.remove(0, headerLines);
    read.project = ReadProjectLines(lines);
    ProjectReadResult &p = read.project;
    if (p.outcome != ProjectReadResult::Outcome::Complete) {
        // The project's lines are counted from the copy's first line.
        const int line = p.outcome == ProjectReadResult::Outcome::Failed
                             ? p.failedLine + headerLines
                             : headerLines + 1;
        read.error = damagedMessage(QStringLiteral("%1 (строка %2)").arg(p.error).arg(line));
        return read;
    }
    // Every copy ends with its user code; in a counted copy, with that many
    // lines after the start line, then the end line.
    bool whole = p.data.hasUserCode && lines.last() == kUserCodeEnd;
    if (codeLines)
        whole = whole && lines.size() - p.data.userCodeLine == *codeLines + 1;
    if (!whole) {
        read.error = damagedMessage(QStringLiteral("она обрывается"));
        return read;
    }
    if (codeLines)
        p.data.userCode = lines.mid(p.data.userCodeLine, *codeLines);
    return read;
}

OrphanCopy::OrphanCopy(QString path, std::unique_ptr<QLockFile> lock)
    : m_path(std::move(path)), m_lock(std::move(lock))
{}

OrphanCopy::~OrphanCopy() = default;
OrphanCopy::OrphanCopy(OrphanCopy &&) noexcept = default;
OrphanCopy &OrphanCopy::operator=(OrphanCopy &&) noexcept = default;

QDateTime OrphanCopy::written() const
{
    return QFileInfo(m_path).lastModified();
}

RecoveryCopyRead OrphanCopy::read() const
{
    try {
        return ReadRecoveryCopy(ReadFileBytes(m_path));
    } catch (const VellError &e) {
        RecoveryCopyRead read;
        read.error = e.message();
        return read;
    }
}

namespace {

// A write cut short by a kill may leave the new copy under a temporary name
// beside the copy ("<name>.XXXXXX"): it goes with the copy.
void removeLeftovers(const QString &path)
{
    const QFileInfo copy(path);
    const QDir folder = copy.dir();
    for (const QString &name : folder.entryList({copy.fileName() + QStringLiteral(".??????")},
                                                QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(name));
}

} // namespace

QString OrphanCopy::remove()
{
    QString reason;
    if (std::remove(QFile::encodeName(m_path).constData()) != 0 && errno != ENOENT)
        reason = SystemReason(errno);
    removeLeftovers(m_path);
    if (m_lock)
        m_lock->unlock();
    return reason;
}

QString OrphanCopy::setAside()
{
    const QString aside = m_path + QStringLiteral(".damaged");
    QString reason;
    // std::rename replaces an older copy set aside under the same name.
    if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(aside).constData()) !=
        0)
        reason = SystemReason(errno);
    removeLeftovers(m_path);
    if (m_lock)
        m_lock->unlock();
    return reason;
}

namespace {

// A lock that QLockFile would not take.
enum class LockState
{
    Held, // by a running designer, or one just writing it
    Gone, // not there (any more): it may be taken
    Left, // by a designer no longer running, and the folder lets it stay
};

#ifdef Q_OS_UNIX
bool processRuns(qint64 pid)
{
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max() &&
           (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}
#endif

// Judges a lock QLockFile would not take, and removes it when it was left.
// QLockFile judges by the process a lock names and replaces a stale one; it
// can do neither with a lock that names none (empty, or not a lock's text),
// nor replace one where the folder takes no writes.
LockState letGoLeftLock(const QString &lockPath)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(lockPath);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? LockState::Gone : LockState::Held;
    LockState state = LockState::Held;
    // A running designer holds its lock file locked from the moment it makes
    // it; the lock taken here keeps a designer claiming the same lock out.
    struct stat info
    {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &info) == 0) {
        qint64 pid = 0;
        QString host;
        QString application;
        bool left;
        if (QLockFile(lockPath).getLockInfo(&pid, &host, &application)) {
            left = (host.isEmpty() || host == QSysInfo::machineHostName()) && !processRuns(pid);
        } else {
            // A designer writes its name a moment after it makes the file.
            const qint64 age = QDateTime::currentSecsSinceEpoch() - qint64(info.st_mtime);
            left = std::abs(age) >= kNamelessLockAge.count();
        }
        if (left)
            state = ::unlink(name.constData()) == 0 ? LockState::Gone : LockState::Left;
    }
    ::close(fd);
    return state;
#else
    // A running designer keeps its lock file open, which lets no one delete
    // it; a nameless one is left alone until it is old enough.
    qint64 pid = 0;
    QString host;
    QString application;
    const QFileInfo info(lockPath);
    if (!info.exists())
        return LockState::Gone;
    if (QLockFile(lockPath).getLockInfo(&pid, &host, &application) ||
        std::abs(info.lastModified().secsTo(QDateTime::currentDateTime())) <
            kNamelessLockAge.count())
        return LockState::Held;
    return QFile::remove(lockPath) ? LockState::Gone : LockState::Held;
#endif
}

// Claims a copy: false when a running designer (or another claim) holds it.
// Otherwise `lock` is its lock, held, or nullptr where a left lock cannot be
// replaced: a folder that takes no writes.
bool claim(const QString &copy, std::unique_ptr<QLockFile> &lock)
{
    lock = lockFor(copy);
    if (lock->tryLock(0))
        return true;
    switch (letGoLeftLock(copy + QStringLiteral(".lock"))) {
    case LockState::Held:
        return false;
    case LockState::Left:
        lock.reset();
        return true;
    case LockState::Gone:
        break;
    }
    if (lock->tryLock(0))
        return true;
    // None can be made (on a full disk, say), unless another designer has
    // just claimed it.
    if (QFileInfo::exists(copy + QStringLiteral(".lock")))
        return false;
    lock.reset();
    return true;
}

} // namespace

std::vector<OrphanCopy> ClaimOrphanCopies(const QString &folder)
{
    // The lock of a designer that ended without a copy (killed before its
    // first change): taken and let go, which removes it.
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList({QStringLiteral("*") + kCopySuffix + ".lock"}, QDir::Files | QDir::Hidden)) {
        const QString copy = dir.filePath(name.chopped(5));
        if (QFileInfo::exists(copy))
            continue;
        if (std::unique_ptr<QLockFile> lock; claim(copy, lock) && lock)
            lock->unlock();
    }
    std::vector<std::pair<QDateTime, OrphanCopy>> found;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*") + kCopySuffix}, QDir::Files);
    for (const QFileInfo &file : files) {
        std::unique_ptr<QLockFile> lock;
        if (!claim(file.filePath(), lock))
            continue; // its designer runs, or another one claimed it
        // Written and then left by a designer that ended normally between
        // the listing and the claim: gone.
        if (!QFileInfo::exists(file.filePath()))
            continue;
        found.emplace_back(file.lastModified(), OrphanCopy(file.filePath(), std::move(lock)));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    std::vector<OrphanCopy> copies;
    copies.reserve(found.size());
    for (auto &[time, copy] : found)
        copies.push_back(std::move(copy));
    return copies;
}

namespace {

// The reason part of a "Cannot create file" message about `path`.
QString reasonOf(const VellError &error, const QString &path)
{
    const QString frame = cannotCreateMessage(path, QString());
    return error.message().startsWith(frame) ? error.message().mid(frame.size()) : error.message();
}

// Why the folder takes no file: a small file is made, written, synced and
// removed, and the step that fails gives the reason. Nothing when it could
// be written.
QString whyNoFile(const QString &folder)
{
    const QString path =
        QDir(folder).filePath(QStringLiteral(".probe-%1").arg(QCoreApplication::applicationPid()));
    QFile probe(path);
    errno = 0;
    if (!probe.open(QIODevice::WriteOnly))
        return FileDeviceReason(errno, probe.error());
    QString reason;
    try {
        WriteAndSync(probe, path, QByteArray(512, '\n'));
    } catch (const VellError &e) {
        reason = reasonOf(e, path);
    }
    probe.close();
    probe.remove();
    return reason;
}

} // namespace

RecoveryKeeper::RecoveryKeeper(Project &project, const QString &folder,
                               std::chrono::milliseconds interval)
    : m_project(project), m_folder(folder), m_interval(interval)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::write);
    connect(&project, &Project::contentChanged, this, &RecoveryKeeper::changed);
    connect(&project, &Project::stateChanged, this, &RecoveryKeeper::stateChanged);
    connect(&project, &Project::markedClean, this, &RecoveryKeeper::madeClean);
    connect(&project, &Project::userCodeEdited, this, [this] {
        m_userCodeTyped = true;
        changed();
    });
    // A name no other designer, running or gone, has used.
    static std::atomic<int> kept{0};
    m_name = QStringLiteral("%1-%2-%3%4")
                 .arg(QCoreApplication::applicationPid())
                 .arg(QDateTime::currentMSecsSinceEpoch())
                 .arg(kept++)
                 .arg(kCopySuffix);
    // Taken now, so that no one claims the copy once it is there; if the
    // folder takes no writes, each copy tries again.
    QString reason;
    takeLock(reason);
}

bool RecoveryKeeper::takeLock(QString &reason)
{
    QString error;
    errno = 0;
    if (!QDir().mkpath(m_folder)) {
        const int number = errno;
        reason = SystemReason(number != 0 ? number : EACCES);
        error = QStringLiteral("не удалось создать папку «%1»: %2").arg(m_folder, reason);
    } else {
        const QString path = QDir(m_folder).filePath(m_name);
        std::unique_ptr<QLockFile> lock = lockFor(path);
        if (lock->tryLock(0)) {
            m_path = path;
            m_lock = std::move(lock);
            m_thread = std::thread([this] { run(); });
            return true;
        }
        reason = whyNoFile(m_folder);
        if (reason.isEmpty())
            reason = SystemReason(EBUSY);
        error = QStringLiteral("не удалось занять «%1»: %2").arg(path, reason);
    }
    std::lock_guard<std::mutex> guard(m_mutex);
    m_lastError = error;
    return false;
}

void RecoveryKeeper::tell(const QString &reason)
{
    // Called with m_mutex held.
    if (m_told)
        return;
    m_told = true;
    QMetaObject::invokeMethod(
        this, [this, reason] { emit copyNotKept(reason); }, Qt::QueuedConnection);
}

RecoveryKeeper::~RecoveryKeeper()
{
    if (!m_thread.joinable())
        return;
    post(Job{});
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

bool RecoveryKeeper::hasUnsavedWork() const
{
    return m_project.ProjectModified() || m_userCodeTyped;
}

void RecoveryKeeper::changed()
{
    if (m_timer.isActive())
        return;
    // The first change after a while goes in at once (the step that made
    // it is recorded by then); later ones wait for the interval to pass.
    const qint64 since = m_sinceWrite.isValid() ? m_sinceWrite.elapsed() : m_interval.count();
    m_timer.start(int(std::max<qint64>(0, m_interval.count() - since)));
}

void RecoveryKeeper::madeClean()
{
    m_userCodeTyped = false;
    m_timer.stop();
    if (!m_path.isEmpty())
        post(Job{});
}

void RecoveryKeeper::stateChanged()
{
    // Undone back to the state saved: nothing to lose.
    if (!hasUnsavedWork() && !m_path.isEmpty()) {
        m_timer.stop();
        post(Job{});
    }
}

void RecoveryKeeper::write()
{
    if (!hasUnsavedWork())
        return;
    writeNow();
}

void RecoveryKeeper::writeNow()
{
    m_timer.stop();
    m_sinceWrite.start();
    if (QString reason; !m_lock && !takeLock(reason)) {
        std::lock_guard<std::mutex> guard(m_mutex);
        tell(reason);
        return;
    }
    post(Job{std::make_shared<const RecoverySnapshot>(TakeRecoverySnapshot(m_project))});
}

void RecoveryKeeper::takeOver(OrphanCopy copy)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_restoredFrom = std::move(copy);
}

void RecoveryKeeper::post(Job job)
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        // Only the newest matters: a later snapshot or a removal replaces a
        // write not yet begun.
        m_next = std::move(job);
    }
    m_wake.notify_one();
}

void RecoveryKeeper::waitIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_next && !m_busy; });
}

QString RecoveryKeeper::lastError() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_lastError;
}

void RecoveryKeeper::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_next || m_stop; });
        if (!m_next)
            break;
        const Job job = std::move(*m_next);
        m_next.reset();
        m_busy = true;
        lock.unlock();
        QString error;
        QString reason;
        if (job.snapshot) {
            try {
                WriteFileBytes(m_path, RecoveryCopyBytes(*job.snapshot));
            } catch (const VellError &e) {
                error = e.message();
                reason = reasonOf(e, m_path);
            } catch (const std::bad_alloc &) {
                error = reason = SystemReason(ENOMEM);
            }
        } else {
            QFile::remove(m_path);
        }
        lock.lock();
        m_lastError = error;
        // The work lives on in this copy: the one it was restored from goes.
        std::optional<OrphanCopy> replaced;
        if (job.snapshot && error.isEmpty())
            replaced.swap(m_restoredFrom);
        if (!error.isEmpty())
            tell(reason);
        if (replaced) {
            lock.unlock();
            replaced->remove();
            lock.lock();
        }
        m_busy = false;
        m_idle.notify_all();
    }
    m_idle.notify_all();
}

void OfferOrphanCopies(RecoveryKeeper &keeper, const QString &folder,
                       const RecoveryOfferSteps &steps)
{
    std::vector<OrphanCopy> copies = ClaimOrphanCopies(folder);
    for (OrphanCopy &copy : copies) {
        RecoveryCopyRead read = copy.read();
        if (!read.ok()) {
            const QString notSetAside = copy.setAside();
            steps.unreadable(copy.path(), read.error, notSetAside);
            continue;
        }
        switch (steps.ask(copy, read)) {
        case RecoveryChoice::Restore:
            steps.restore(std::move(read.project), read.fileName);
            // The work lives on in this designer's copy before the old one
            // goes; while none can be written, the old one stays.
            keeper.takeOver(std::move(copy));
            keeper.writeNow();
            keeper.waitIdle();
            return;
        case RecoveryChoice::Discard:
            if (const QString reason = copy.remove(); !reason.isEmpty())
                steps.notRemoved(copy.path(), reason);
            break;
        case RecoveryChoice::KeepAll:
            return;
        }
    }
}

} // namespace vell
