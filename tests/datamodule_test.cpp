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

#include <stdexcept>
#include <type_traits>
#include <utility>

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

    std::vector<data::DataSet*> AllSets() { return {&dm.cust, &dm.firm, &dm.details, &dm.stock, &dm.employee, &dm.store, &dm.currency, &dm.user}; }
    testsupport::TempFolder folder;
    QString file;
    TDataModule1 dm;
};

// The message of the error E that work raises (empty when it raises none).
template <class E, class Work>
QString MessageOf(Work work) {
    try {
        work();
    } catch (const E& e) {
        return e.Message();
    }
    return {};
}

// A value for a column, fitting its declared width.
QString SampleText(const QString& column, int width, int seed) {
    const QString base = QStringLiteral("%1 Цена №%2 „ж“").arg(column.toLower()).arg(seed);
    return base.left(width);
}

TEST_F(DataModule, EveryTableRoundTripsEveryColumn) {
    for (data::DataSet* ds : AllSets()) {
        SCOPED_TRACE(ds->Name.toStdString());
        std::map<QString, QString> texts;
        std::map<QString, QByteArray> blobs;
        ds->Append();
        int seed = 0;
        for (const data::ColumnInfo& c : ds->Columns()) {
            if (c.name == "PNOM") continue;
            ++seed;
            if (c.kind == data::ColumnKind::Blob) {
                QByteArray& b = blobs[c.name];
                for (int i = 0; i < 70000; ++i) b.append(static_cast<char>((i * 31 + seed) & 0xFF));
                ds->FieldByName(c.name).SetAsBytes(b);
                continue;
            }
            texts[c.name] = c.kind == data::ColumnKind::Integer ? QString::number(-40 + seed * 7)
                                                                : SampleText(c.name, static_cast<int>(c.length), seed);
            ds->FieldByName(c.name).SetAsString(texts[c.name]);
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
    EXPECT_TRUE(MessageOf<platform::EEncodingError>([&] { dm.stock.FieldByName("Unit1").SetAsString("ж😀"); })
                    .contains("„😀“ (U+1F600)"));
    // A text longer than its column is refused by the server, and the field is named.
    dm.stock.FieldByName("Unit1").SetAsString("кг на метър");
    EXPECT_TRUE(MessageOf<data::DatabaseError>([&] { dm.stock.Post(); }).contains("UNIT1 (11 знака при най-много 10)"));
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
    EXPECT_EQ(QueryRows(file, "select pnom, company1 from customer order by company1"),
              (QStringList{"31.12.2013 23:59:59.999|Друг", "1.1.2014 0:0:0.0|Тест ООД"}));
    // The clock standing still gives this process no key twice.
    AddCurrency("EUR");
    AddCurrency("USD");
    EXPECT_EQ(QueryRows(file, "select count(distinct pnom) from currency"), QStringList{"2"});
    // Rows moved in keep their keys while keys are off.
    dm.GenerateKeys = false;
    dm.user.Append();
    dm.user.FieldByName("pnom").SetAsString("1.1.2010 0:0:0.1");
    dm.user.Post();
    EXPECT_EQ(QueryRows(file, "select pnom from userp"), QStringList{"1.1.2010 0:0:0.1"});
}

// A row written by a work place whose clock runs years ahead: each change
// of it takes a key later than the one it was read with, and only that row's
// key moves past it; the keys of other rows, of any table, follow the clock.
TEST_F(DataModule, AKeyFromTheFutureMovesTheKeyOfItsOwnRowOnly) {
    testsupport::ExecuteOn(file, "insert into customer (pnom, company1) values ('1.1.2099 0:0:0.0', 'Бъдеще')");
    dm.cust.Refresh();
    ASSERT_EQ(dm.cust.RecordCount(), 1);
    platform::SetFixedClock(QDateTime(QDate(2013, 3, 5), QTime(9, 0, 0, 0), Qt::UTC));
    for (const char* company : {"Бъдеще 1", "Бъдеще 2"}) {
        dm.cust.SetRecNo(1);
        dm.cust.Edit();
        dm.cust.FieldByName("company1").SetAsString(company);
        dm.cust.Post();
    }
    const QString futureKey = QueryRows(file, "select pnom from customer").value(0);
    const auto keyTime = [](const QString& key) { return platform::RecordKeyMSecs(key).value_or(0); };
    EXPECT_GT(keyTime(futureKey), keyTime("1.1.2099 0:0:0.0")) << futureKey.toStdString();
    // Another row of the same table and a row of another table.
    dm.cust.Append();
    dm.cust.FieldByName("company1").SetAsString("Днес");
    dm.cust.Post();
    AddCurrency("EUR");
    for (const QString& key : QueryRows(file, "select pnom from customer where company1 = 'Днес' "
                                              "union all select pnom from currency"))
        EXPECT_TRUE(key.startsWith("5.3.2013 9:0:0.")) << key.toStdString();
    EXPECT_EQ(QueryRows(file, "select pnom from customer where company1 = 'Бъдеще 2'"), QStringList{futureKey});
}

TEST_F(DataModule, RefreshAndCancelKeepTheRecordNumberOrGoToTheLastAndExitClosesAll) {
    for (int i = 0; i < 10; ++i) AddCurrency(QString::number(i));
    const auto where = [this] { return std::pair(dm.currency.RecNo(), dm.currency.RecordCount()); };
    dm.currency.SetRecNo(7);
    dm.currency.Refresh();
    EXPECT_EQ(where(), std::pair(7, 10));
    testsupport::ExecuteOn(file, "delete from currency where currency in ('0', '1', '2', '3', '4')");
    dm.currency.Refresh();
    EXPECT_EQ(where(), std::pair(5, 5));
    // A cancelled append leaves the last record current; a cancelled insert goes back to where it was made.
    for (auto [append, after] : {std::pair{true, 5}, {false, 2}}) {
        dm.currency.SetRecNo(2);
        append ? dm.currency.Append() : dm.currency.Insert();
        dm.currency.Cancel();
        EXPECT_EQ(dm.currency.RecNo(), after);
    }
    dm.store.Refresh();  // an empty table
    EXPECT_EQ(dm.store.RecordCount(), 0);
    // Closing at exit closes every data set.
    dm.DataModuleDestroy();
    for (data::DataSet* ds : AllSets()) EXPECT_FALSE(ds->Active());
    EXPECT_FALSE(dm.DataSource1.Enabled || dm.DataSource8.Enabled);
}

// The classifier of refused writes, on the errors the data layer raises: a
// write refused because another work place changed the row since it was read,
// or holds an uncommitted change of it, is another work place's change. The
// edit of a row changed elsewhere is refused for good: the data set's next
// move cancels it instead of posting it again. Every other refusal is not
// another work place's change, and an edit refused so is posted by the next move.
TEST_F(DataModule, AWriteRefusedByAnotherWorkPlaceIsToldApartAndItsEditGoesAtTheNextMove) {
    AddCurrency("EUR");
    AddCurrency("USD");
    TDataModule1 other;
    other.ConnectFirebird(folder.Path());
    // What the data layer raised for a post of the other work place's edit of its first row.
    const auto postRefusal = [&other](const QString& course) {
        other.currency.SetRecNo(1);
        other.currency.Edit();
        other.currency.FieldByName("course").SetAsString(course);
        try {
            other.currency.Post();
        } catch (...) {
            return std::current_exception();
        }
        return std::exception_ptr();
    };
    const auto moveOn = [&other] {
        other.currency.SetRecNo(2);
        return other.currency.GetState();
    };

    // This work place changed the row since the other one read it.
    dm.currency.SetRecNo(1);
    dm.currency.Edit();
    dm.currency.FieldByName("course").SetAsString("1,9");
    dm.currency.Post();
    std::exception_ptr error = postRefusal("9");
    ASSERT_TRUE(error);
    EXPECT_TRUE(data::IsConcurrentChange(error));
    EXPECT_EQ(moveOn(), data::DataSet::State::Browse);
    EXPECT_EQ(QueryRows(file, "select course from currency where currency = 'EUR'"), QStringList{"1,9"});
    other.currency.Refresh();

    // This work place holds an uncommitted change of the row.
    dm.IBSQL1.SQL = QStringList{"update currency set course = '2' where currency = 'EUR'"};
    dm.IBSQL1.ExecQuery();
    error = postRefusal("8");
    ASSERT_TRUE(error);
    EXPECT_TRUE(data::IsConcurrentChange(error));
    other.currency.Cancel();
    dm.IBTransaction1.CommitRetaining();
    other.currency.Refresh();

    // A text longer than its column: the database's own refusal, not another work place's.
    error = postRefusal(QString(40, u'7'));
    ASSERT_TRUE(error);
    EXPECT_FALSE(data::IsConcurrentChange(error));
    other.currency.FieldByName("course").SetAsString("7");
    EXPECT_EQ(moveOn(), data::DataSet::State::Browse);  // posted by the move
    EXPECT_EQ(QueryRows(file, "select course from currency where currency = 'EUR'"), QStringList{"7"});

    // Nor is any other error.
    for (const std::exception_ptr& e :
         {std::make_exception_ptr(data::DatabaseError(QStringLiteral("отказ"))),
          std::make_exception_ptr(data::SharedKeyError(QStringLiteral("два записа"))),
          std::make_exception_ptr(data::CommitFailedError(QStringLiteral("пълен диск"))),
          std::make_exception_ptr(data::ConnectionLostError(QStringLiteral("няма връзка"))),
          std::make_exception_ptr(std::runtime_error("other")), std::make_exception_ptr(42)})
        EXPECT_FALSE(data::IsConcurrentChange(e));
}

// A change or delete that would overwrite another work place's change, or
// reach more than one row, writes nothing and says why; Cancel brings the
// record back.
TEST_F(DataModule, AChangeThatWouldHitAnotherChangeOrSeveralRowsWritesNothing) {
    AddCurrency("EUR");
    TDataModule1 other;
    other.ConnectFirebird(folder.Path());
    auto refused = [&]<class E>(std::type_identity<E>, const QStringList& rows) {
        other.currency.Edit();
        other.currency.FieldByName("course").SetAsString("9");
        const QString message = MessageOf<E>([&] { other.currency.Post(); });
        EXPECT_FALSE(message.isEmpty());
        EXPECT_EQ(other.currency.GetState(), data::DataSet::State::Edit);
        other.currency.Cancel();
        EXPECT_NE(other.currency.FieldByName("course").AsString(), "9");
        EXPECT_THROW(other.currency.Delete(), E);
        EXPECT_EQ(QueryRows(file, "select pnom, currency, course from currency order by currency"), rows);
        return message;
    };
    // This work place saves the row first and gives it a new key: the other one finds no row by the old key.
    platform::SetFixedClock(QDateTime(QDate(2100, 5, 5), QTime(5, 5, 5, 5), Qt::UTC));
    dm.currency.Edit();
    dm.currency.FieldByName("course").SetAsString("1,9");
    dm.currency.Post();
    refused(std::type_identity<data::RecordChangedError>(), {"5.5.2100 5:5:5.5|EUR|1,9"});
    other.currency.Refresh();

    // This work place changes the row and has not committed yet.
    dm.IBSQL1.SQL = QStringList{"update currency set course = '2'"};
    dm.IBSQL1.ExecQuery();
    const QStringList committed = QueryRows(file, "select pnom, currency, course from currency");
    EXPECT_EQ(refused(std::type_identity<data::RecordInUseError>(), committed),
              "Този запис в момента се променя от друго работно място, затова нищо не е записано. Опитайте отново след малко.");
    // A cancel, here of a document, commits it.
    dm.store.Append();
    dm.store.Cancel();
    EXPECT_EQ(QueryRows(file, "select course from currency"), QStringList{"2"});

    // Two rows of an older program, made in one millisecond, share a key: a
    // change and a delete each reach the row the user is on, and the changed
    // row gets a key of its own.
    testsupport::ExecuteOn(file, "delete from currency");
    testsupport::ExecuteOn(file, "insert into currency (pnom, currency) select 'k', 'EUR' from rdb$database "
                                 "union all select 'k', 'USD' from rdb$database");
    other.currency.Refresh();
    other.currency.SetRecNo(2);
    const QString usd = other.currency.FieldByName("currency").AsString();
    other.currency.Edit();
    other.currency.FieldByName("course").SetAsString("3");
    other.currency.Post();
    other.currency.SetRecNo(1);
    other.currency.Delete();
    EXPECT_EQ(QueryRows(file, "select currency, course, iif(pnom = 'k', 'old key', 'own key') from currency"),
              QStringList{usd + "|3|own key"});
}

}  // namespace
