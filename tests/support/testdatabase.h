#pragma once
// Real Firebird databases for tests, made in temporary folders.

#include <QString>
#include <QStringList>

class QApplication;

namespace testsupport {

// The program's application object, made once for the whole test program.
QApplication* EnsureApplication();

// Creates <folder>/tovelx.fdb with the program's eight tables, as the set-up
// does, and returns its path.
QString CreateSchemaDatabase(const QString& folder);
// The same for any database name ("host:/path" makes it through a server).
void CreateSchemaDatabaseAt(const QString& databaseName);

// Runs a select through a separate connection and returns every row's
// columns joined by '|' (null as "<null>").
QStringList QueryRows(const QString& databaseFile, const QString& sql);

// Runs a statement through a separate connection and commits it.
void ExecuteOn(const QString& databaseFile, const QString& sql);

// A database of this test program alone on the tests' server ("name-<process id>"):
// other test runs on this computer may share the server.
QString ServerTestDatabase(const QString& name);
// Opens the database as its administrator and drops it.
void DropDatabaseAt(const QString& databaseName);

}  // namespace testsupport
