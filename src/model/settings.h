#pragma once

#include <QColor>
#include <QString>

namespace vell {

// The program-wide settings, as the settings dialog holds them.
struct Settings
{
    QColor buttonColor{255, 255, 255};
    QColor pictureColor{0, 128, 128};
    QColor selectedTextColor{255, 128, 0};
    QColor selectionBorderColor{0, 0, 0};
    bool vjass = true;
    bool useUserCode = true;
    QString buttonVar = QStringLiteral("ButtonVar");
    QString pictureVar = QStringLiteral("PictureVar");
    QString textVar = QStringLiteral("TextVar");
    QString unitVar = QStringLiteral("UnitVar");
    bool saveUserCode = true;
    bool borderMove = true;

    bool operator==(const Settings &) const = default;
};

} // namespace vell
