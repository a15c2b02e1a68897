// The data module on a real database: every table round-trips its columns,
// rows get their record keys, every change is committed at once, and a
// refresh re-reads the table and keeps the current record.

#include "data/DataModule.h"
#include "platform/CodePage.h"
#include "platform/SystemClock.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

using testsupport::QueryRows;

class DataModule : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureApplication();
        file = testsupport::CreateSchemaDatabase(folder.Path());
        dm.ConnectFirebird(folder.Path());
    }
    void TearDown() override { platform::SetFixedClock(std::nullopt); }

    void AddCurrency(const QString& code) {
        dm.currency.Append();
        dm.currency.FieldByName("currency").SetAsString(code);
        dm.currency.Post();
    }

    testsupport::TempFolder folder;
    QString file;
    TDataModule1 dm;
};

// A value for a column, fitting its declared width.
QString SampleText(const QString& column, int width, int seed) {
    const QString base = QStringLiteral("%1 Цена №%2 „ж“").arg(column.toLower()).arg(seed);
    return base.left(width);
}

TEST_F(DataModule, EveryTableRoundTripsEveryColumn) {
    for (data::DataSet* ds : {&dm.cust, &dm.firm, &dm.details, &dm.stock, &dm.employee, &dm.store, &dm.currency, &dm.user}) {
        SCOPED_TRACE(ds->Name.toStdString());
        std::map<QString, QString> texts;
        std::map<QString, QByteArray> blobs;
        ds->Append();
        int seed = 1;
        for (const data::ColumnInfo& c : ds->Columns()) {
            if (c.name == "PNOM") continue;
            if (c.kind == data::ColumnKind::Integer) {
                texts[c.name] = QString::number(-40 + seed * 7);
            } else if (c.kind == data::ColumnKind::Blob) {
                QByteArray b;
                for (int i = 0; i < 70000; ++i) b.append(static_cast<char>((i * 31 + seed) & 0xFF));
                blobs[c.name] = b;
                ds->FieldByName(c.name).SetAsBytes(b);
                ++seed;
                continue;
            } else {
                texts[c.name] = SampleText(c.name, static_cast<int>(c.length), seed);
            }
            ds->FieldByName(c.name).SetAsString(texts[c.name]);
            ++seed;
        }
        ds->Post();
        const QString key = ds->FieldByName("pnom").AsString();
        ds->Close();
        ds->Open();
        ASSERT_EQ(ds->RecordCount(), 1);
        EXPECT_EQ(ds->FieldByName("PNOM").AsString(), key);
        for (const auto& [name, text] : texts) EXPECT_EQ(ds->FieldByName(name).AsString(), text) << name.toStdString();
        for (const auto& [name, bytes] : blobs) EXPECT_EQ(ds->FieldByName(name).AsBytes(), bytes) << name.toStdString();
    }
    // Text is stored in Windows-1251, as other workstations read it.
    EXPECT_EQ(QueryRows(file, "select octet_length(name1) from employee"),
              QStringList{QString::number(platform::EncodeCp1251(SampleText("NAME1", 30, 2)).size())});
}

TEST_F(DataModule, FieldsAreFoundByNameInAnyCaseAndIntegersTravelAsText) {
    dm.stock.Append();
    dm.stock.FieldByName("description1").SetAsString("Болт М8");
    dm.stock.FieldByName("QTY").SetAsString(" 12 ");
    dm.stock.FieldByName("Num").SetAsString("");
    EXPECT_THROW(dm.stock.FieldByName("Qty").SetAsString("12 бр."), platform::EConvertError);
    EXPECT_THROW(dm.stock.FieldByName("NoSuchField"), data::DatabaseError);
    EXPECT_THROW(dm.stock.FieldByName("Unit1").SetAsString("€ ¥"), platform::EEncodingError);
    try {
        dm.stock.FieldByName("Unit1").SetAsString("ж😀");
        ADD_FAILURE() << "a character beyond Windows-1251 was taken";
    } catch (const platform::EEncodingError& e) {
        EXPECT_TRUE(e.Message().contains("„😀“ (U+1F600)")) << e.Message().toStdString();
    }
    // A text longer than its column is refused by the server, and the field is named.
    dm.stock.FieldByName("Unit1").SetAsString("кг на метър");
    try {
        dm.stock.Post();
        ADD_FAILURE() << "an over-long text was posted";
    } catch (const data::DatabaseError& e) {
        EXPECT_TRUE(e.Message().contains("UNIT1 (11 знака при най-много 10)")) << e.Message().toStdString();
    }
    dm.stock.FieldByName("Unit1").SetAsString("кг");
    dm.stock.Post();
    EXPECT_EQ(dm.stock.FieldByName("qty").AsString(), "12");
    EXPECT_EQ(dm.stock.FieldByName("num").AsString(), "");
    EXPECT_EQ(QueryRows(file, "select qty, num, description1 from stock"), QStringList{"12|<null>|Болт М8"});
}

TEST_F(DataModule, ANewRowIsKeyedWhenPostedWithAKeyNoOtherRowCarries) {
    platform::SetFixedClock(QDateTime(QDate(2013, 3, 5), QTime(9, 7, 3, 45), Qt::UTC));
    dm.cust.Append();  // keyed when made, and again after the insert
    EXPECT_EQ(dm.cust.FieldByName("pnom").AsString(), "5.3.2013 9:7:3.46");
    dm.cust.FieldByName("Company1").SetAsString("Тест ООД");
    // Another work place has just committed a row under the key this post takes first.
    platform::SetFixedClock(QDateTime(QDate(2013, 12, 31), QTime(23, 59, 59, 999), Qt::UTC));
    testsupport::ExecuteOn(file, "insert into customer (pnom, company1) values ('31.12.2013 23:59:59.999', 'Друг')");
    dm.cust.Post();
    EXPECT_EQ(dm.cust.FieldByName("pnom").AsString(), "1.1.2014 0:0:0.0");
    // The clock standing still gives this process no key twice.
    AddCurrency("EUR");
    AddCurrency("USD");
    EXPECT_EQ(QueryRows(file, "select pnom, company1 from customer order by company1"),
              (QStringList{"31.12.2013 23:59:59.999|Друг", "1.1.2014 0:0:0.0|Тест ООД"}));
    EXPECT_EQ(QueryRows(file, "select count(distinct pnom) from currency"), QStringList{"2"});
}

TEST_F(DataModule, EditingGivesANewKeyAndTheRowCanStillBeDeleted) {
    platform::SetFixedClock(QDateTime(QDate(2014, 1, 2), QTime(3, 4, 5, 6), Qt::UTC));
    AddCurrency("EUR");
    platform::SetFixedClock(QDateTime(QDate(2014, 1, 2), QTime(3, 4, 5, 7), Qt::UTC));
    dm.currency.Edit();
    dm.currency.FieldByName("course").SetAsString("1,95583");
    dm.currency.Post();
    EXPECT_EQ(QueryRows(file, "select pnom, course from currency"), QStringList{"2.1.2014 3:4:5.7|1,95583"});
    dm.currency.Delete();
    EXPECT_EQ(dm.currency.RecordCount(), 0);
    EXPECT_EQ(QueryRows(file, "select count(*) from currency"), QStringList{"0"});
}

TEST_F(DataModule, RowsMovedInKeepTheirKeysWhileKeysAreOff) {
    dm.GenerateKeys = false;
    dm.user.Append();
    dm.user.FieldByName("pnom").SetAsString("1.1.2010 0:0:0.1");
    dm.user.FieldByName("us").SetAsString("Мария");
    dm.user.Post();
    dm.GenerateKeys = true;
    EXPECT_EQ(QueryRows(file, "select pnom, us from userp"), QStringList{"1.1.2010 0:0:0.1|Мария"});
}

TEST_F(DataModule, RefreshKeepsTheRecordNumberOrGoesToTheLast) {
    for (int i = 0; i < 10; ++i) AddCurrency(QString::number(i));
    dm.currency.SetRecNo(7);
    dm.currency.Refresh();
    EXPECT_EQ(dm.currency.RecNo(), 7);
    EXPECT_EQ(dm.currency.RecordCount(), 10);
    testsupport::ExecuteOn(file, "delete from currency where currency in ('0', '1', '2', '3', '4')");
    dm.currency.Refresh();
    EXPECT_EQ(dm.currency.RecordCount(), 5);
    EXPECT_EQ(dm.currency.RecNo(), 5);
    // Rows other workstations add appear at the next refresh.
    testsupport::ExecuteOn(file, "insert into currency (pnom, currency, course) values ('k', 'USD', '1,7')");
    EXPECT_EQ(dm.currency.RecordCount(), 5);
    dm.store.Refresh();  // an empty table
    EXPECT_EQ(dm.store.RecordCount(), 0);
    dm.currency.Refresh();
    EXPECT_EQ(dm.currency.RecordCount(), 6);
}

TEST_F(DataModule, CancellingAnAppendedRecordLeavesTheLastRecordCurrent) {
    for (int i = 0; i < 3; ++i) AddCurrency(QString::number(i));
    dm.currency.SetRecNo(1);
    dm.currency.Append();
    dm.currency.Cancel();
    EXPECT_EQ(dm.currency.RecNo(), 3);
    // A cancelled insert goes back to where it was made.
    dm.currency.SetRecNo(2);
    dm.currency.Insert();
    dm.currency.Cancel();
    EXPECT_EQ(dm.currency.RecNo(), 2);
}

TEST_F(DataModule, CancelCommitsTheTransaction) {
    AddCurrency("EUR");
    // A change made through the statement object is not yet committed...
    dm.IBSQL1.SQL = QStringList{"update currency set course = '2'"};
    dm.IBSQL1.ExecQuery();
    dm.store.Append();
    EXPECT_EQ(QueryRows(file, "select course from currency"), QStringList{"<null>"});
    // ...until a cancel (here of a store row) commits it.
    dm.store.Cancel();
    EXPECT_EQ(QueryRows(file, "select course from currency"), QStringList{"2"});
    EXPECT_EQ(dm.store.RecordCount(), 0);
}

TEST_F(DataModule, APostedOrDeletedDocumentRefreshesTheDocuments) {
    dm.store.Append();
    dm.store.FieldByName("Num").SetAsString("0000000001");
    dm.store.Post();
    // Another workstation's document shows up at once, since the post refreshes.
    testsupport::ExecuteOn(file, "insert into store (pnom, num) values ('x', '0000000002')");
    dm.store.Append();
    dm.store.FieldByName("Num").SetAsString("0000000003");
    dm.store.Post();
    EXPECT_EQ(dm.store.RecordCount(), 3);
    dm.store.SetRecNo(1);
    dm.store.Delete();
    EXPECT_EQ(dm.store.RecordCount(), 2);
    EXPECT_EQ(QueryRows(file, "select count(*) from store"), QStringList{"2"});
}

TEST_F(DataModule, AChangeOverAnotherWorkplacesSaveIsRefusedAndNothingIsWritten) {
    AddCurrency("EUR");
    TDataModule1 other;
    other.ConnectFirebird(folder.Path());
    ASSERT_EQ(other.currency.RecordCount(), 1);

    // This work place saves the row first: its key changes.
    platform::SetFixedClock(QDateTime(QDate(2020, 5, 5), QTime(5, 5, 5, 5), Qt::UTC));
    dm.currency.Edit();
    dm.currency.FieldByName("course").SetAsString("1,9");
    dm.currency.Post();

    // The other one still has the old key: its save and its delete find no row.
    platform::SetFixedClock(QDateTime(QDate(2020, 5, 5), QTime(5, 5, 6, 0), Qt::UTC));
    other.currency.Edit();
    other.currency.FieldByName("course").SetAsString("2,5");
    EXPECT_THROW(other.currency.Post(), data::RecordChangedError);
    EXPECT_EQ(other.currency.GetState(), data::DataSet::State::Edit);
    other.currency.Cancel();
    EXPECT_EQ(other.currency.FieldByName("course").AsString(), "");
    EXPECT_THROW(other.currency.Delete(), data::RecordChangedError);
    EXPECT_EQ(other.currency.RecordCount(), 1);
    EXPECT_EQ(QueryRows(file, "select pnom, course from currency"), QStringList{"5.5.2020 5:5:5.5|1,9"});

    // After a refresh the other work place sees the saved row and can change it.
    other.currency.Refresh();
    EXPECT_EQ(other.currency.FieldByName("course").AsString(), "1,9");
    other.currency.Edit();
    other.currency.FieldByName("course").SetAsString("2,5");
    other.currency.Post();
    EXPECT_EQ(QueryRows(file, "select course from currency"), QStringList{"2,5"});
}

TEST_F(DataModule, RowsSharingOneKeyAreNeitherChangedNorDeletedOneByOne) {
    // Rows of an older program, made in one millisecond.
    testsupport::ExecuteOn(file, "insert into currency (pnom, currency) select 'k', 'EUR' from rdb$database "
                                 "union all select 'k', 'USD' from rdb$database");
    dm.currency.Refresh();
    for (int recNo : {1, 2}) {
        dm.currency.SetRecNo(recNo);
        dm.currency.Edit();
        dm.currency.FieldByName("course").SetAsString("1,9");
        EXPECT_THROW(dm.currency.Post(), data::SharedKeyError);
        dm.currency.Cancel();
        EXPECT_THROW(dm.currency.Delete(), data::SharedKeyError);
    }
    EXPECT_EQ(QueryRows(file, "select pnom, currency, course from currency order by currency"),
              (QStringList{"k|EUR|<null>", "k|USD|<null>"}));
}

TEST_F(DataModule, ARowAnotherWorkplaceIsChangingIsToldAsAConflict) {
    AddCurrency("EUR");
    TDataModule1 other;
    other.ConnectFirebird(folder.Path());
    // This work place has changed the row and not yet committed.
    dm.IBSQL1.SQL = QStringList{"update currency set course = '2'"};
    dm.IBSQL1.ExecQuery();
    other.currency.Edit();
    other.currency.FieldByName("course").SetAsString("3");
    try {
        other.currency.Post();
        ADD_FAILURE() << "the post went through";
    } catch (const data::RecordInUseError& e) {
        EXPECT_EQ(e.Message(), "Този запис в момента се променя от друго работно място. "
                               "Промените не са записани; опитайте отново след малко.");
    }
    EXPECT_THROW(other.currency.Delete(), data::RecordInUseError);
    other.currency.Cancel();
    EXPECT_EQ(other.currency.FieldByName("course").AsString(), "");
    dm.IBTransaction1.CommitRetaining();
    EXPECT_EQ(QueryRows(file, "select course from currency"), QStringList{"2"});
}

TEST_F(DataModule, ClosingAtExitClosesEveryDataSet) {
    dm.DataModuleDestroy();
    for (data::DataSet* ds : {&dm.cust, &dm.firm, &dm.details, &dm.stock, &dm.employee, &dm.store, &dm.currency, &dm.user})
        EXPECT_FALSE(ds->Active());
    EXPECT_FALSE(dm.DataSource1.Enabled);
    EXPECT_FALSE(dm.DataSource8.Enabled);
}

}  // namespace
