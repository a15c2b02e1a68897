// The database the set-up makes: its tables, their columns, and the
// statements the data sets use on them.

#include "data/Schema.h"
#include "data/DataModule.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace {

using testsupport::QueryRows;

TEST(Schema, TableTextsAreWrittenAsTheSetUpRunsThem) {
    EXPECT_EQ(data::CreateTableText(data::SchemaTable(QStringLiteral("currency"))),
              QStringLiteral("CREATE TABLE currency(pnom varchar(255),currency varchar(3),course varchar(15))"));
    const QStringList texts = data::SchemaTexts();
    ASSERT_EQ(texts.size(), 8);
    const QStringList order = {"customer", "firm", "currency", "details", "stock", "employee", "store", "userp"};
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(texts[i].startsWith("CREATE TABLE " + order[i] + "(")) << texts[i].toStdString();
    for (const QString& t : texts) {
        EXPECT_FALSE(t.contains(", ")) << t.toStdString();
        EXPECT_FALSE(t.endsWith(";"));
    }
}

TEST(Schema, DataSetStatementsNameColumnsInCharacterOrder) {
    const data::DataSetStatements c = data::StatementsFor(data::SchemaTable(QStringLiteral("currency")));
    EXPECT_EQ(c.select, QStringLiteral("select * from CURRENCY"));
    EXPECT_EQ(c.insert, QStringLiteral("insert into CURRENCY (COURSE, CURRENCY, PNOM) values (:COURSE, :CURRENCY, :PNOM)"));
    EXPECT_EQ(c.modify,
              QStringLiteral("update CURRENCY set COURSE = :COURSE, CURRENCY = :CURRENCY, PNOM = :PNOM where PNOM = :OLD_PNOM"));
    EXPECT_EQ(c.remove, QStringLiteral("delete from CURRENCY where PNOM = :OLD_PNOM"));
    EXPECT_EQ(c.refresh, QStringLiteral("Select PNOM, CURRENCY, COURSE from CURRENCY where PNOM = :PNOM"));
    EXPECT_EQ(data::StatementsFor(data::SchemaTable(QStringLiteral("customer"))).select,
              QStringLiteral("select *  from CUSTOMER"));
    // Digits sort before letters: ADDRESS1CUST before ADDRESS1SUP before ADDRESS2CUST.
    const QString store = data::StatementsFor(data::SchemaTable(QStringLiteral("store"))).insert;
    EXPECT_TRUE(store.startsWith(QStringLiteral("insert into STORE (ADDRESS1CUST, ADDRESS1SUP, ADDRESS2CUST, ADDRESS2SUP, ANULIRANAL, BANK,")))
        << store.toStdString();
}

class SchemaDatabase : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
    QString file = testsupport::CreateSchemaDatabase(folder.Path());
};

TEST_F(SchemaDatabase, HoldsEightTablesWithTheirColumnsAndNothingElse) {
    const QStringList tables = QueryRows(
        file, "select r.rdb$relation_name, count(*) from rdb$relations r join rdb$relation_fields f "
              "on f.rdb$relation_name = r.rdb$relation_name where coalesce(r.rdb$system_flag, 0) = 0 "
              "group by r.rdb$relation_name order by r.rdb$relation_name");
    EXPECT_EQ(tables, QStringList({"CURRENCY|3", "CUSTOMER|17", "DETAILS|4", "EMPLOYEE|7", "FIRM|16", "STOCK|9",
                                   "STORE|54", "USERP|3"}));
    const QStringList first = QueryRows(
        file, "select rdb$relation_name from rdb$relation_fields where rdb$field_position = 0 and "
              "coalesce(rdb$system_flag, 0) = 0 and rdb$field_name = 'PNOM'");
    EXPECT_EQ(first.size(), 8);  // each table's first column, the first of its select, is the record key
    for (const char* sql : {"select count(*) from rdb$indices where coalesce(rdb$system_flag, 0) = 0",
                            "select count(*) from rdb$generators where coalesce(rdb$system_flag, 0) = 0",
                            "select count(*) from rdb$triggers where coalesce(rdb$system_flag, 0) = 0",
                            "select count(*) from rdb$procedures where coalesce(rdb$system_flag, 0) = 0",
                            "select count(*) from rdb$relation_constraints c join rdb$relations r on r.rdb$relation_name = "
                            "c.rdb$relation_name where coalesce(r.rdb$system_flag, 0) = 0"})
        EXPECT_EQ(QueryRows(file, sql), QStringList{"0"}) << sql;
    EXPECT_EQ(QueryRows(file, "select rdb$character_set_name from rdb$database"), QStringList{"WIN1251"});
}

TEST_F(SchemaDatabase, LineItemsLongerThanTenThousandCharactersAreRefusedByTheServer) {
    TDataModule1 dm;
    dm.ConnectFirebird(folder.Path());
    dm.store.Append();
    dm.store.FieldByName("stocks").SetAsString(QString(10000, QChar(0x0416)));  // Ж
    dm.store.Post();
    EXPECT_EQ(dm.store.RecordCount(), 1);

    dm.store.Append();
    dm.store.FieldByName("Num").SetAsString("0000000002");
    dm.store.FieldByName("stocks").SetAsString(QString(10001, QLatin1Char('x')));
    try {
        dm.store.Post();
        FAIL() << "a text of 10,001 characters was stored";
    } catch (const data::DatabaseError& e) {
        EXPECT_TRUE(e.ServerText().contains("string right truncation")) << e.what();
    }
    dm.store.Cancel();
    // A text longer than any statement can carry is refused before the server sees it, never cut short.
    dm.store.Append();
    dm.store.FieldByName("stocks").SetAsString(QString(70000, QLatin1Char('x')));
    EXPECT_THROW(dm.store.Post(), data::DatabaseError);
    dm.store.Cancel();
    EXPECT_EQ(QueryRows(file, "select count(*) from store"), QStringList{"1"});
}

}  // namespace
