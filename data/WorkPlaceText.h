#pragma once
// The texts of the work place: the location built from a value and a mode,
// and the alias line of the database server's alias file.

#include <QString>
#include <QStringList>

namespace data {

// network.txt as it is found: its lines, or why it cannot be the work place.
struct WorkPlaceFile {
    bool present = false;  // something stands at the file's path
    QStringList lines;
    QString problem;       // empty when the lines can be used
};

// Reads network.txt without trusting it: a folder in its place, a file that
// cannot be read, one far longer than a folder and a mode, bytes that are no
// text, no lines, an empty first line or a mode other than "1", "2" or "3"
// give a problem (in words for the user) and no lines.
WorkPlaceFile ReadWorkPlaceFile(const QString& path);

// Mode 1: the folder itself; 2: "\\" + computer + "\tovelx"; 3: address + ":tovelx".
// Any other mode gives the empty text.
QString LocationText(const QString& value, int mode);

// The first line containing "tovelx" is replaced by "tovelx = " + database
// file, or the line is appended; other lines stay as they are.
QStringList WithAliasLine(QStringList lines, const QString& databaseFile);

// Puts the alias line into the server's alias file (starting from no lines
// when the file is missing). Only a computer that serves its database to
// others needs the alias, so a file that cannot be read or written is left as
// it is; returns whether the line was written.
bool WriteAliasLine(const QString& aliasesFile, const QString& databaseFile);

// What the user is told when this computer lacks the database engine.
QString EngineMissingText();

}  // namespace data
