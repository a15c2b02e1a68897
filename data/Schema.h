#pragma once
// The database's eight tables, in the order they are created, and the
// statements the data sets read and write them with.

#include <QString>
#include <QStringList>
#include <vector>

namespace data {

struct ColumnDef {
    const char* name;  // as written in the table definition
    const char* type;  // "varchar(255)", "int", "BLOB"
};

struct TableDef {
    const char* name;  // lower case, as written in the table definition
    std::vector<ColumnDef> columns;
    QString UpperName() const { return QString::fromLatin1(name).toUpper(); }
    QStringList UpperColumns() const;
};

// customer, firm, currency, details, stock, employee, store, userp.
const std::vector<TableDef>& SchemaTables();
const TableDef& SchemaTable(const QString& name);  // by name, any case

// "CREATE TABLE currency(pnom varchar(255),currency varchar(3),course varchar(15))"
QString CreateTableText(const TableDef& table);
QStringList SchemaTexts();

class SqlStatement;

// Runs the eight table definitions through the statement, in their order,
// each committed (retaining the transaction) before the next.
void CreateSchemaTables(SqlStatement& sql);

// Creation parameters of a new database. The older server took ASCII columns
// with any bytes; Firebird 3 refuses bytes above 127 there, so the columns hold
// Windows-1251 as declared.
QStringList DatabaseCreationParams(const QString& user, const QString& password);

// The five statements of a table's data set.
struct DataSetStatements {
    QString select, insert, modify, remove, refresh;
};
DataSetStatements StatementsFor(const TableDef& table);

}  // namespace data
