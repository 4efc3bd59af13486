#pragma once

#include "app/gui/tform1.h"
#include "app/gui/vellapplication.h"
#include "designer/gui/designpanel.h"
#include "designer/paneldrawing.h"
#include "properties/gui/propertygrid.h"
#include "scripteddialogs.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// Types text into a widget one key at a time, non-ASCII characters included.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }
}

// The whole program as a user meets it: the six windows, the main one shown
// and active, every box and dialog answered by `dialogs`, and the working
// directory a fresh folder (the settings file lives there; given bytes, it
// holds them before the program starts). The preferences (QSettings) start
// empty in a folder of their own, never the user's.
class AppFixture
{
public:
    explicit AppFixture(const QByteArray &settingsFile = QByteArray())
        : m_oldDir(QDir::currentPath())
    {
        QDir::setCurrent(m_dir.path());
        for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, m_preferences.path());
        if (!settingsFile.isEmpty()) {
            QFile file(m_dir.filePath(QStringLiteral("vellsettings.fms")));
            if (!file.open(QIODevice::WriteOnly) || file.write(settingsFile) != settingsFile.size())
                qWarning("settings file not written");
        }
        app = std::make_unique<VellApplication>();
        form = app->Form1();
        form->show();
        QApplication::setActiveWindow(form);
        if (!QTest::qWaitForWindowActive(form))
            qWarning("main window not active");
    }
    ~AppFixture()
    {
        app.reset();
        QDir::setCurrent(m_oldDir);
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    vell::ObjectTables &tables() { return form->tables(); }
    vell::DesignSurface &surface() { return form->surface(); }
    vell::DesignPanel *panel() { return form->Win; }
    vell::PanelDrawing &drawing() { return form->surface().drawing(); }

    // Presses a key the way a user does, on the main window.
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(form, k, mods);
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<VellApplication> app;
    TForm1 *form = nullptr;

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_preferences;
    QString m_oldDir;
};
