#pragma once
// The texts of the work place: the location built from a value and a mode,
// and the alias line of the database server's alias file.

#include <QString>
#include <QStringList>

namespace data {

// Mode 1: the folder itself; 2: "\\" + computer + "\tovelx"; 3: address + ":tovelx".
// Any other mode gives the empty text.
QString LocationText(const QString& value, int mode);

// The first line containing "tovelx" is replaced by "tovelx = " + database
// file, or the line is appended; other lines stay as they are.
QStringList WithAliasLine(QStringList lines, const QString& databaseFile);

}  // namespace data
