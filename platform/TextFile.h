#pragma once
// Small text files as lists of lines: the program's own files in Windows-1251,
// the computer's configuration files (the database server's alias file) in the
// system's encoding. A file is written with CR LF after every line; reading
// accepts CR LF or LF and gives no extra empty line for the final line break.

#include <QString>
#include <QStringList>

namespace platform {

enum class TextEncoding { Windows1251, System };

// Throws EFileError when the file cannot be read.
QStringList LoadLines(const QString& path, TextEncoding encoding = TextEncoding::Windows1251);
// Throws EFileError when the file cannot be written, or EEncodingError when a
// line holds a character Windows-1251 lacks (nothing is written then). The
// file is replaced whole where its folder allows, else written in place.
void SaveLines(const QString& path, const QStringList& lines, TextEncoding encoding = TextEncoding::Windows1251);

}  // namespace platform
