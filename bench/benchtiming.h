#pragma once

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <vector>

// Median time of `runs` calls, in milliseconds.
inline double median(int runs, const std::function<void()> &step)
{
    std::vector<qint64> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        step();
        times.push_back(t.nsecsElapsed());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2] / 1e6;
}

// The program's preferences (recent projects …) kept in a folder of their
// own while a benchmark drives the windows, never the user's.
class ScratchPreferences
{
public:
    ScratchPreferences()
    {
        for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, m_dir.path());
    }

private:
    QTemporaryDir m_dir;
};
