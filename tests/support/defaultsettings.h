#pragma once

#include <QByteArray>

// The settings file with every setting at its default, byte for byte.
inline const QByteArray kDefaultFile = "FMVELLCREATORversionkey2.0\r\n"
                                       "clWhite\r\n"
                                       "clTeal\r\n"
                                       "$000080FF\r\n"
                                       "clBlack\r\n"
                                       "activate\r\n"
                                       "compilecodevjass\r\n"
                                       "activate\r\n"
                                       "ButtonVar\r\n"
                                       "PictureVar\r\n"
                                       "TextVar\r\n"
                                       "UnitVar\r\n"
                                       "save\r\n";
