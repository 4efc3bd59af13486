#include "project/preferences.h"

#include "common/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <optional>

namespace vell {

namespace {

const QString kRecentKey = QStringLiteral("RecentProjects");
const QString kGuidesKey = QStringLiteral("AlignmentGuides");

// The store; the names are given here so that the application name the
// program shows in its boxes stays its own.
QSettings store()
{
    return QSettings(QStringLiteral("Fen-Moth"), QStringLiteral("Vell Creator"));
}

void storeRecent(const QStringList &paths)
{
    QSettings settings = store();
    settings.setValue(kRecentKey, paths);
}

} // namespace

bool SameFile(const QString &a, const QString &b)
{
    const std::optional<FileId> idA = FileIdOf(a);
    const std::optional<FileId> idB = idA ? FileIdOf(b) : std::nullopt;
    if (idA && idB)
        return *idA == *idB;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
           QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

QStringList Preferences::recentProjects() const
{
    QStringList paths = store().value(kRecentKey).toStringList();
    paths.removeAll(QString());
    return paths.mid(0, kRecentProjects);
}

void Preferences::addRecentProject(const QString &path)
{
    if (path.isEmpty())
        return;
    QStringList paths{QFileInfo(path).absoluteFilePath()};
    for (const QString &old : recentProjects()) {
        if (paths.size() == kRecentProjects)
            break;
        if (std::none_of(paths.begin(), paths.end(),
                         [&](const QString &kept) { return SameFile(kept, old); }))
            paths.append(old);
    }
    storeRecent(paths);
}

void Preferences::removeRecentProject(const QString &path)
{
    QStringList paths = recentProjects();
    paths.removeIf([&](const QString &old) { return SameFile(old, path); });
    storeRecent(paths);
}

bool Preferences::guidesOn() const
{
    return store().value(kGuidesKey, false).toBool();
}

void Preferences::setGuidesOn(bool on)
{
    QSettings settings = store();
    settings.setValue(kGuidesKey, on);
}

} // namespace vell
