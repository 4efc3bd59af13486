#pragma once

#include <QString>
#include <QStringList>

namespace vell {

// The user's own choices that belong to no project and stay out of the
// settings file: kept where the system keeps a program's preferences
// (QSettings under "Fen-Moth" / "Vell Creator"). Nothing is held here: each
// call reads or writes the store, so every window and every running copy of
// the program sees the same values.
class Preferences
{
public:
    // The projects last opened or saved, newest first.
    static constexpr int kRecentProjects = 8;

    QStringList recentProjects() const;
    // Puts the file first under this path (made absolute). Any other entry
    // naming the same file goes, whatever its path; the oldest beyond eight
    // go too.
    void addRecentProject(const QString &path);
    // Takes out every entry naming the same file as the path.
    void removeRecentProject(const QString &path);

    // Whether the panel shows alignment guides; off unless chosen.
    bool guidesOn() const;
    void setGuidesOn(bool on);
};

// Whether two paths name the same file: the same device and inode when both
// exist, else the same absolute path once "." and ".." are taken out.
bool SameFile(const QString &a, const QString &b);

} // namespace vell
