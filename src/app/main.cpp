#include "app/tform1.h"
#include "app/vellapplication.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fen-Moth Utilits"));
    QApplication::setQuitOnLastWindowClosed(false);
    VellApplication windows;
    QObject::connect(windows.Form1(), &TForm1::closed, &app, &QApplication::quit);
    windows.Form1()->show();
    return app.exec();
}
