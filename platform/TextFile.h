#pragma once
// Small text files as lists of lines, in Windows-1251. A file is written with
// CR LF after every line; reading accepts CR LF or LF and gives no extra empty
// line for the final line break.

#include <QString>
#include <QStringList>

namespace platform {

// Throws EFileError when the file cannot be read.
QStringList LoadLines(const QString& path);
// Throws EFileError when the file cannot be written, or EEncodingError when a
// line holds a character Windows-1251 lacks (nothing is written then).
void SaveLines(const QString& path, const QStringList& lines);

}  // namespace platform
