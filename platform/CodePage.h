#pragma once
// Windows-1251, the code page of every text the database and the old tables hold.

#include <QByteArray>
#include <QString>

namespace platform {

// Every byte maps to a character (the one unassigned byte, 0x98, to U+FFFD).
QString DecodeCp1251(const QByteArray& bytes);

// Throws EEncodingError naming the first character the code page lacks.
QByteArray EncodeCp1251(const QString& text);

// True when every character of the text has a Windows-1251 byte.
bool FitsCp1251(const QString& text);

}  // namespace platform
