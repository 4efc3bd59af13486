#include "app/gui/taboutbox.h"

#include "common/labelfont.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
    setFont(vell::LabelFont());
    setFixedSize(328, 172);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    // A lowered outer bevel around a raised inner one.
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 313, 129);
    auto *inner = new QFrame(panel);
    inner->setFrameStyle(QFrame::Panel | QFrame::Raised);
    inner->setGeometry(1, 1, 311, 127);

    auto *icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(24, 24, 33, 33);
    icon->setScaledContents(true);
    icon->setPixmap(QPixmap(QStringLiteral(":/images/program_icon.png")));

    auto label = [panel](const char *name, const QString &text, int x, int y) {
        auto *l = new QLabel(text, panel);
        l->setObjectName(QLatin1String(name));
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    label("ProductName", QStringLiteral("FM Vell Creator"), 88, 16);
    label("Version", QStringLiteral("Версия 2.1.0"), 88, 40);
    label("Copyright", QStringLiteral("© Fen-Moth, авторы FM Vell Creator"), 8, 80);
    QLabel *comments =
        label("Comments", QStringLiteral("Спасибо всем, кто создаёт карты и делится ими."), 8, 104);
    comments->setWordWrap(true);
    comments->setGeometry(8, 104, 289, 17);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(127, 140, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
}

void TAboutBox::OKButtonClick()
{
    close();
}

void TAboutBox::closeAndShow()
{
    close();
    show();
    raise();
    activateWindow();
}
