#include "data/Schema.h"

#include "data/Firebird.h"

#include <algorithm>
#include <stdexcept>

namespace data {

QStringList TableDef::UpperColumns() const {
    QStringList out;
    for (const ColumnDef& c : columns) out << QString::fromLatin1(c.name).toUpper();
    return out;
}

const std::vector<TableDef>& SchemaTables() {
    static const std::vector<TableDef> tables = {
        {"customer",
         {{"pnom", "varchar(255)"}, {"CustNo", "int"}, {"Company1", "varchar(255)"}, {"Company2", "varchar(255)"},
          {"Grp", "varchar(255)"}, {"VAT", "varchar(20)"}, {"ID", "varchar(20)"}, {"Address1", "varchar(255)"},
          {"Address2", "varchar(255)"}, {"RespPerson1", "varchar(255)"}, {"RespPerson2", "varchar(255)"},
          {"Phone", "varchar(20)"}, {"Fax", "varchar(20)"}, {"Email", "varchar(255)"},
          {"ContactPerson1", "varchar(255)"}, {"ContactPerson2", "varchar(255)"}, {"Notes", "varchar(255)"}}},
        {"firm",
         {{"pnom", "varchar(255)"}, {"InvoiceNo", "varchar(10)"}, {"ProformaNo", "varchar(10)"}, {"VOP", "varchar(10)"},
          {"Supplier1", "varchar(255)"}, {"Supplier2", "varchar(255)"}, {"Address1", "varchar(255)"},
          {"Address2", "varchar(255)"}, {"RespPerson1", "varchar(255)"}, {"RespPerson2", "varchar(255)"},
          {"VAT", "varchar(20)"}, {"ID", "varchar(20)"}, {"PlaceofPublishment1", "varchar(255)"},
          {"PlaceofPublishment2", "varchar(255)"}, {"logo", "BLOB"}, {"logo2", "BLOB"}}},
        {"currency", {{"pnom", "varchar(255)"}, {"currency", "varchar(3)"}, {"course", "varchar(15)"}}},
        {"details", {{"pnom", "varchar(255)"}, {"Bank", "varchar(255)"}, {"IBAN", "varchar(30)"}, {"SWIFT", "varchar(15)"}}},
        {"stock",
         {{"pnom", "varchar(255)"}, {"Num", "int"}, {"Description1", "varchar(10000)"},
          {"Description2", "varchar(10000)"}, {"Unit1", "varchar(10)"}, {"Unit2", "varchar(10)"}, {"Qty", "int"},
          {"Price", "varchar(12)"}, {"SellPrice", "varchar(12)"}}},
        {"employee",
         {{"pnom", "varchar(255)"}, {"Num", "int"}, {"Name1", "varchar(30)"}, {"Name2", "varchar(30)"},
          {"Phone", "varchar(20)"}, {"Hiredon", "varchar(20)"}, {"Salary", "varchar(12)"}}},
        {"store",
         {{"pnom", "varchar(255)"},           {"Document", "varchar(255)"},        {"Status", "varchar(10)"},
          {"Num", "varchar(255)"},            {"Fromdate", "varchar(255)"},        {"DatetaxeventL", "varchar(10)"},
          {"Datetaxevent", "varchar(255)"},   {"DatepaymentL", "varchar(10)"},     {"Datepayment", "varchar(255)"},
          {"Payment", "varchar(255)"},        {"Recipient1", "varchar(255)"},      {"Recipient2", "varchar(255)"},
          {"Issuer1", "varchar(255)"},        {"Issuer2", "varchar(255)"},         {"reasonfor", "varchar(255)"},
          {"reason", "varchar(255)"},         {"cdnote", "varchar(255)"},          {"notedate", "varchar(255)"},
          {"noteInvNo", "varchar(255)"},      {"Customer1", "varchar(255)"},       {"Customer2", "varchar(255)"},
          {"VATcust", "varchar(255)"},        {"IDcust", "varchar(255)"},          {"Address1cust", "varchar(255)"},
          {"Address2cust", "varchar(255)"},   {"RespPerson1cust", "varchar(255)"}, {"RespPerson2cust", "varchar(255)"},
          {"Supplier1", "varchar(255)"},      {"Supplier2", "varchar(255)"},       {"RespPerson1sup", "varchar(255)"},
          {"RespPerson2sup", "varchar(255)"}, {"Address1sup", "varchar(255)"},     {"Address2sup", "varchar(255)"},
          {"IDsup", "varchar(255)"},          {"VATsup", "varchar(255)"},          {"Placeofpublishment1", "varchar(255)"},
          {"Placeofpublishment2", "varchar(255)"}, {"Bank", "varchar(255)"},       {"IBAN", "varchar(255)"},
          {"SWIFT", "varchar(255)"},          {"percent", "varchar(255)"},         {"Total", "varchar(255)"},
          {"stocks", "varchar(10000)"},       {"str2", "varchar(10000)"},          {"Firmdbindex", "varchar(255)"},
          {"PaidL", "varchar(10)"},           {"CurrencyPrefix", "varchar(255)"},  {"CurrencyRate", "varchar(255)"},
          {"AnuliranaL", "varchar(10)"},      {"Richtext", "varchar(10000)"},      {"Images", "varchar(10000)"},
          {"obstoqtelstva", "varchar(255)"},  {"us", "varchar(255)"},              {"radio", "varchar(255)"}}},
        {"userp", {{"pnom", "varchar(255)"}, {"us", "varchar(255)"}, {"pas", "varchar(255)"}}},
    };
    return tables;
}

const TableDef& SchemaTable(const QString& name) {
    for (const TableDef& t : SchemaTables())
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0) return t;
    throw std::out_of_range("no such table");
}

QString CreateTableText(const TableDef& table) {
    QStringList defs;
    for (const ColumnDef& c : table.columns)
        defs << QString::fromLatin1(c.name) + QLatin1Char(' ') + QString::fromLatin1(c.type);
    return QStringLiteral("CREATE TABLE ") + QString::fromLatin1(table.name) + QLatin1Char('(') +
           defs.join(QLatin1Char(',')) + QLatin1Char(')');
}

QStringList SchemaTexts() {
    QStringList texts;
    for (const TableDef& t : SchemaTables()) texts << CreateTableText(t);
    return texts;
}

void CreateSchemaTables(SqlStatement& sql) {
    for (const QString& text : SchemaTexts()) {
        sql.SQL = QStringList{text};
        sql.ExecQuery();
        sql.TransactionRef->CommitRetaining();
    }
}

QStringList DatabaseCreationParams(const QString& user, const QString& password) {
    auto quoted = [](QString v) { return QLatin1Char('\'') + v.replace(QStringLiteral("'"), QStringLiteral("''")) + QLatin1Char('\''); };
    return {QStringLiteral("USER ") + quoted(user), QStringLiteral("PASSWORD ") + quoted(password),
            QStringLiteral("DEFAULT CHARACTER SET WIN1251")};
}

DataSetStatements StatementsFor(const TableDef& table) {
    const QString name = table.UpperName();
    const QStringList inOrder = table.UpperColumns();
    QStringList sorted = inOrder;
    // Ascending character order, as the bytes compare.
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) { return a.toLatin1() < b.toLatin1(); });

    QStringList colonNames, assignments;
    for (const QString& c : sorted) {
        colonNames << QLatin1Char(':') + c;
        assignments << c + QStringLiteral(" = :") + c;
    }
    DataSetStatements s;
    s.select = name == QLatin1String("CUSTOMER") ? QStringLiteral("select *  from CUSTOMER")
                                                  : QStringLiteral("select * from ") + name;
    s.insert = QStringLiteral("insert into ") + name + QStringLiteral(" (") + sorted.join(QStringLiteral(", ")) +
               QStringLiteral(") values (") + colonNames.join(QStringLiteral(", ")) + QLatin1Char(')');
    s.modify = QStringLiteral("update ") + name + QStringLiteral(" set ") + assignments.join(QStringLiteral(", ")) +
               QStringLiteral(" where PNOM = :OLD_PNOM");
    s.remove = QStringLiteral("delete from ") + name + QStringLiteral(" where PNOM = :OLD_PNOM");
    s.refresh = QStringLiteral("Select ") + inOrder.join(QStringLiteral(", ")) + QStringLiteral(" from ") + name +
                QStringLiteral(" where PNOM = :PNOM");
    return s;
}

}  // namespace data
