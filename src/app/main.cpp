#include "app/gui/recoveryoffer.h"
#include "app/gui/tform1.h"
#include "app/gui/vellapplication.h"
#include "project/recovery.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fen-Moth Utilits"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Russian buttons in Qt's own dialogs; without the file they stay English.
    QTranslator qtRussian;
    if (qtRussian.load(QStringLiteral("qtbase_ru"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtRussian);
    VellApplication windows;
    QObject::connect(windows.Form1(), &TForm1::closed, &app, &QApplication::quit);
    windows.Form1()->show();
    // Copies of unsaved work: this designer's own, kept while it runs and
    // removed when it ends normally, and those that others left.
    const QString recoveryFolder = vell::RecoveryFolder();
    vell::RecoveryKeeper recovery(windows.project(), recoveryFolder);
    vell::ReportUnkeptCopies(*windows.Form1(), recovery);
    vell::OfferRecoveryCopies(*windows.Form1(), recovery, recoveryFolder);
    // A project named on the command line (a double click on one, say); Qt
    // has taken its own options out.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 2)
        windows.Form1()->openFromCommandLine(arguments.at(1));
    return app.exec();
}
