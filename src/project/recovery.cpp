#include "project/recovery.h"

#include "common/systemreason.h"
#include "common/textfile.h"
#include "common/vellerror.h"
#include "project/project.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>

namespace vell {

namespace {

const QString kRecoveryKey = QStringLiteral("FMVELLRECOVERY1");
const QString kCopySuffix = QStringLiteral(".vlr");
constexpr int kHeaderLines = 5;

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
    lines.append(ProjectFileLines(snapshot.data));
    return JoinTextLines(lines);
}

RecoveryCopyRead ReadRecoveryCopy(const QByteArray &bytes)
{
    RecoveryCopyRead read;
    QStringList lines = SplitTextLines(bytes);
    if (lines.isEmpty() || lines.first() != kRecoveryKey) {
        read.error = QStringLiteral("это не копия для восстановления");
        return read;
    }
    if (lines.size() <= kHeaderLines) {
        read.error = damagedMessage(QStringLiteral("в ней нет проекта"));
        return read;
    }
    read.fileName = QUrl::fromPercentEncoding(lines[1].toLatin1());
    read.arrayNames = {lines[2], lines[3], lines[4]};
    lines.remove(0, kHeaderLines);
    read.project = ReadProjectLines(lines);
    const ProjectReadResult &p = read.project;
    if (p.outcome != ProjectReadResult::Outcome::Complete) {
        // The project's lines are counted from the copy's first line.
        const int line = p.outcome == ProjectReadResult::Outcome::Failed
                             ? p.failedLine + kHeaderLines
                             : kHeaderLines + 1;
        read.error = damagedMessage(QStringLiteral("%1 (строка %2)").arg(p.error).arg(line));
    } else if (!p.data.hasUserCode || lines.last() != QStringLiteral("/end")) {
        // Every copy ends with its user code.
        read.error = damagedMessage(QStringLiteral("она обрывается"));
    }
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

void OrphanCopy::remove()
{
    QFile::remove(m_path);
    removeLeftovers(m_path);
    if (m_lock)
        m_lock->unlock();
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
        if (std::unique_ptr<QLockFile> lock = lockFor(copy); lock->tryLock(0))
            lock->unlock();
    }
    std::vector<std::pair<QDateTime, OrphanCopy>> found;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*") + kCopySuffix}, QDir::Files);
    for (const QFileInfo &file : files) {
        std::unique_ptr<QLockFile> lock = lockFor(file.filePath());
        if (!lock->tryLock(0))
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

RecoveryKeeper::RecoveryKeeper(Project &project, const QString &folder,
                               std::chrono::milliseconds interval)
    : m_project(project), m_interval(interval)
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
    if (!QDir().mkpath(folder)) {
        m_lastError = QStringLiteral("не удалось создать папку «%1»").arg(folder);
        return;
    }
    // A name no other designer, running or gone, has used.
    static std::atomic<int> kept{0};
    const QString path = QDir(folder).filePath(QStringLiteral("%1-%2-%3%4")
                                                   .arg(QCoreApplication::applicationPid())
                                                   .arg(QDateTime::currentMSecsSinceEpoch())
                                                   .arg(kept++)
                                                   .arg(kCopySuffix));
    std::unique_ptr<QLockFile> lock = lockFor(path);
    if (!lock->tryLock(0)) {
        m_lastError = QStringLiteral("не удалось занять «%1»").arg(path);
        return;
    }
    m_path = path;
    m_lock = std::move(lock);
    m_thread = std::thread([this] { run(); });
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
    if (m_path.isEmpty() || m_timer.isActive())
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
    if (m_path.isEmpty())
        return;
    m_timer.stop();
    m_sinceWrite.start();
    post(Job{std::make_shared<const RecoverySnapshot>(TakeRecoverySnapshot(m_project))});
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
        if (job.snapshot) {
            try {
                WriteFileBytes(m_path, RecoveryCopyBytes(*job.snapshot));
            } catch (const VellError &e) {
                error = e.message();
            } catch (const std::bad_alloc &) {
                error = SystemReason(ENOMEM);
            }
        } else {
            QFile::remove(m_path);
        }
        lock.lock();
        m_lastError = error;
        m_busy = false;
        m_idle.notify_all();
    }
    m_idle.notify_all();
}

} // namespace vell
