#pragma once
// Windows-1251, the code page of every text the database and the old tables
// hold, and the DOS code pages older tables may name.

#include <QByteArray>
#include <QString>

namespace platform {

// Every byte maps to a character and back; the one byte the code page leaves
// unassigned, 0x98, stands for U+0098, so that any stored bytes survive a
// round trip (shifted passwords use all 256 values).
QString DecodeCp1251(const QByteArray& bytes);

// Throws EEncodingError naming the first character the code page lacks.
QByteArray EncodeCp1251(const QString& text);

// True when every character of the text has a Windows-1251 byte.
bool FitsCp1251(const QString& text);

// The DOS (OEM) code pages whose text can be read: 437, 737, 775, 850, 852,
// 855, 857, 860, 861, 863, 865, 866 and 869.
bool IsDosCodePage(int codePage);
// The Windows (ANSI) code pages: 874, 932, 936, 949, 950 and 1250 to 1258.
bool IsWindowsCodePage(int codePage);
// Text in one of the DOS code pages above; a byte the page assigns nothing to reads
// as U+FFFD. Bytes below 0x80 are ASCII.
QString DecodeDosCodePage(const QByteArray& bytes, int codePage);

}  // namespace platform
