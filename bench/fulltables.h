#pragma once

// The generator's input at full tables, the same for every benchmark that
// measures the generated code.
#include "codegen/interfacegenerator.h"

inline constexpr int kFullTableSize = 9999;

inline vell::GeneratorInput fullTables()
{
    static const char *const colours[] = {"clRed", "$000080FF", "clBtnFace", "clLime", "16711680"};
    vell::GeneratorInput in;
    in.buttonVar = QStringLiteral("ButtonVar");
    in.pictureVar = QStringLiteral("PictureVar");
    in.textVar = QStringLiteral("TextVar");
    in.unitVar = QStringLiteral("UnitVar");
    for (int i = 0; i < kFullTableSize; ++i) {
        const int x = (i * 37) % 600 - 300;
        const int y = (i * 53) % 330 - 165;
        vell::GenButton b;
        b.x = x;
        b.y = y;
        b.width = 16 + i % 50;
        b.height = 16 + i % 30;
        b.visible = i % 3 != 0;
        b.textureId = QStringLiteral("B%1").arg(i % 1000, 3, 10, QLatin1Char('0'));
        b.leftFunction = QStringLiteral("Button_%1_Left_Actions").arg(i + 1);
        b.rightFunction = QStringLiteral("Button_%1_Right_Actions").arg(i + 1);
        in.buttons.append(b);

        vell::GenPicture p;
        p.x = -x;
        p.y = -y;
        p.width = 20 + i % 70;
        p.height = 20 + i % 40;
        p.visible = i % 2 == 0;
        p.textureId = QStringLiteral("P%1").arg(i % 1000, 3, 10, QLatin1Char('0'));
        in.pictures.append(p);

        vell::GenText t;
        t.x = y;
        t.y = x / 2;
        t.width = 20 + i % 90;
        t.text = QStringLiteral("Text number %1").arg(i + 1);
        t.textColor = QString::fromLatin1(colours[i % 5]);
        in.texts.append(t);
    }
    return in;
}
