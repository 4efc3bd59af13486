#pragma once

#include <QGuiApplication>

// Text labels are measured with the bundled font, which needs a
// QGuiApplication; the offscreen platform needs no display. Made once, for
// the whole run, and never destroyed.
inline void startOffscreenGuiApplication()
{
    static int argc = 1;
    static char name[] = "vellfuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication *app = new QGuiApplication(argc, argv);
    Q_UNUSED(app);
}
