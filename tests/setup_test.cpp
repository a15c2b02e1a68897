// The set-up of a data folder: a new database with its eight tables, and the
// older version's Paradox tables moved into it.

#include "app/Program.h"
#include "data/OldTableMap.h"
#include "data/Schema.h"
#include "data/DataModule.h"
#include "data/DataFolderSetUp.h"
#include "data/WorkPlace.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Form.h"
#include "platform/LocaleText.h"
#include "platform/Paths.h"
#include "support/paradoxwriter.h"
#include "support/programtest.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using platform::Path;
using platform::PathKind;
using testsupport::PxColumn;
using testsupport::PxKind;
using testsupport::PxRow;
using testsupport::QueryRows;

TEST(SetUpProgress, CountsEveryRecordAndEveryExchangedPair) {
    EXPECT_EQ(data::MoveProgressMaximum({5, 1, 2, 10, 3, 40, 4}), 96);
    EXPECT_EQ(data::MoveProgressMaximum({0, 0, 0, 0, 0, 0, 0}), 0);
}

class DataFolderSetUp : public testsupport::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Start();
    }
    void Run(const QString& location) {
        Form7->Show();
        Form7->MoveToSql(location);
    }

    testsupport::TempFolder folder;
    platform::ScriptedDialogs dialogs;
};

TEST_F(DataFolderSetUp, AFolderWithoutOldTablesGetsAnEmptyDatabase) {
    testsupport::WriteFile(Path(PathKind::AliasesFile), "employee = /e.fdb\r\n");
    Run(folder.Path());
    const QString file = folder.File("tovelx.fdb");
    EXPECT_EQ(QueryRows(file, "select count(*) from rdb$relations where coalesce(rdb$system_flag, 0) = 0"),
              QStringList{"8"});
    EXPECT_TRUE(DataModule1->store.Active());
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, file);
    EXPECT_TRUE(DataModule1->GenerateKeys);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].text, "Преминаването към SQL успешно!");
    EXPECT_FALSE(Form7->isVisible());
    EXPECT_EQ(Form7->Label1->text(), "4/4 Прехвърляне на информацията в SQL формат.");
    EXPECT_EQ(testsupport::ReadFile(Path(PathKind::AliasesFile)), "employee = /e.fdb\r\ntovelx = " + file.toUtf8() + "\r\n");
}

TEST_F(DataFolderSetUp, AFolderThatHasItsDatabaseIsLeftAlone) {
    testsupport::CreateSchemaDatabase(folder.Path());
    Run(folder.Path());
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_TRUE(Form7->isVisible());
    EXPECT_FALSE(DataModule1->IBDatabase1.Connected());
}

TEST_F(DataFolderSetUp, ADatabaseThatCannotBeCreatedIsReportedAndTheWindowCloses) {
    const QString locked = folder.File("locked");
    QDir().mkpath(locked);
    ASSERT_EQ(QProcess::execute("chattr", {"+i", locked}), 0);  // refuses writes even to root
    testsupport::WriteFile(folder.File("file.txt"), "x");
    const struct {
        QString location, reason;
        bool missingEngine = false;
    } cases[] = {{folder.File("file.txt/DB"), "„" + folder.File("file.txt/DB") + "“: папката не съществува"},
                 {locked, "„" + locked + "“: в папката не може да се записва"},
                 {folder.Path(), "firebird3.0-server-core", true}};
    for (const auto& c : cases) {
        if (c.missingEngine) platform::SetPathOverride(PathKind::FirebirdEngine, home.File("missing.so"));
        dialogs.Clear();
        EXPECT_THROW(Run(c.location), platform::Exception) << c.reason.toStdString();
        EXPECT_FALSE(QFile::exists(c.location + "/tovelx.fdb"));
        ASSERT_EQ(dialogs.Shown().size(), 1u);
        EXPECT_TRUE(dialogs.Shown()[0].text.contains(c.reason)) << dialogs.Shown()[0].text.toStdString();
        EXPECT_EQ(Form7->isVisible(), c.missingEngine) << c.reason.toStdString();
    }
    QProcess::execute("chattr", {"-i", locked});
}

TEST_F(DataFolderSetUp, TheWorkPlaceWindowRunsTheSetUpForANewFolder) {
    Form8->Show();
    Form8->Edit1->setText(folder.Path());
    Form8->SpeedButton1->click();
    EXPECT_TRUE(QFile::exists(folder.File("tovelx.fdb")));
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, folder.File("tovelx.fdb"));
    EXPECT_TRUE(DataModule1->cust.Active());
}

// The older version's tables, as it left them in its data folder.
void WriteOldTables(const QString& dir, const QByteArray& logo1, const QByteArray& logo2) {
    using testsupport::WriteParadoxTable;
    WriteParadoxTable(dir + "/customer.db",
                      {{"Клиент №", PxKind::Long}, {"Фирма", PxKind::Alpha, 60}, {"Група", PxKind::Alpha, 20},
                       {"ИН по ЗДДС", PxKind::Alpha, 20}, {"Идент №", PxKind::Alpha, 20}, {"Адрес", PxKind::Alpha, 60},
                       {"МОЛ", PxKind::Alpha, 40}, {"Телефон", PxKind::Alpha, 20}, {"Факс", PxKind::Alpha, 20},
                       {"E-mail", PxKind::Alpha, 40}, {"Лице", PxKind::Alpha, 40}, {"Бележки", PxKind::Alpha, 60}},
                      {PxRow{qint64(1), QString("Алфа ООД"), QString("А"), QString("BG111"), QString("111"),
                             QString("София"), QString("Иван"), QString("02 1"), QString("02 2"), QString("a@a.bg"),
                             QString("Мария"), QString("първи")},
                       PxRow{qint64(2), QString("Бета АД"), {}, {}, {}, {}, {}, {}, {}, {}, {}, QString("втори")},
                       PxRow{qint64(3), QString("Гама ЕТ"), {}, {}, {}, {}, {}, {}, {}, {}, {}, QString("трети")}});
    WriteParadoxTable(dir + "/Firm.db",
                      {{"Фактура №", PxKind::Alpha, 10}, {"Проформа №", PxKind::Alpha, 10}, {"ДОСТАВЧИК", PxKind::Alpha, 60},
                       {"АДРЕС", PxKind::Alpha, 60}, {"МОЛ", PxKind::Alpha, 40}, {"ИН ПО ЗДДС", PxKind::Alpha, 20},
                       {"ИН", PxKind::Alpha, 20}, {"Местоиздаване", PxKind::Alpha, 30}, {"Лого", PxKind::Graphic, 10}},
                      {PxRow{QString("0000000012"), QString("0000000003"), QString("Моята фирма ООД"), QString("Пловдив"),
                             QString("Петър"), QString("BG999"), QString("999"), QString("Пловдив"), logo1},
                       PxRow{QString("0000000001"), {}, QString("Втора фирма"), {}, {}, {}, {}, {}, logo2}});
    WriteParadoxTable(dir + "/ae.db",
                      {{"VOP", PxKind::Alpha, 10}, {"Supplier", PxKind::Alpha, 255}, {"Address", PxKind::Alpha, 255},
                       {"Resp.Person", PxKind::Alpha, 255}, {"Place of publishment", PxKind::Alpha, 255},
                       {"logo", PxKind::Graphic, 2}},
                      {PxRow{QString("0000000004"), QString("My firm Ltd"), QString("Plovdiv"), QString("Peter"),
                             QString("Plovdiv"), logo2},
                       PxRow{{}, QString("Second firm"), {}, {}, {}, {}}});
    WriteParadoxTable(dir + "/Details.db",
                      {{"Bank", PxKind::Alpha, 40}, {"IBAN", PxKind::Alpha, 30}, {"SWIFT", PxKind::Alpha, 15}},
                      {PxRow{QString("Банка ДСК"), QString("BG80BNBG96611020345678"), QString("STSABGSF")}});
    WriteParadoxTable(dir + "/stock.db",
                      {{"Пор. №", PxKind::Number}, {"Описание на стока/услуга", PxKind::Memo, 10},
                       {"Мярка", PxKind::Alpha, 5}, {"К-во", PxKind::Number}, {"Цена", PxKind::Currency},
                       {"Продажна цена", PxKind::Currency}},
                      {PxRow{1.0, QString(300, QChar(0x0411)), QString("бр."), 2.5, 2.5, 3.75},
                       PxRow{2.0, QString("Услуга"), QString("час"), 1.0, 10.0, 20.0}});
    WriteParadoxTable(dir + "/employee.DB",
                      {{"№", PxKind::Long}, {"Име", PxKind::Alpha, 30}, {"Телефон", PxKind::Alpha, 20},
                       {"На работа от", PxKind::Alpha, 20}, {"Заплата", PxKind::Alpha, 12}},
                      {PxRow{qint64(1), QString("Иван Иванов"), QString("0888"), QString("01.02.2010"), QString("900")}});
    std::vector<PxColumn> store;
    PxRow first, second;
    for (const data::FieldMove& f : data::OldTableMoves()[5].fields) {
        const QString name = QString::fromUtf8(f.field);
        store.push_back({name, f.kind == data::FieldMove::Kind::Memo ? PxKind::Memo : PxKind::Alpha,
                         f.kind == data::FieldMove::Kind::Memo ? 10 : 60});
        // Each value fits its column: flags and numbers are narrow.
        int width = 255;
        for (const data::ColumnDef& c : data::SchemaTable("store").columns)
            if (QString::fromLatin1(c.name) == QString::fromLatin1(f.column))
                width = QString::fromLatin1(c.type).section('(', 1).section(')', 0, 0).toInt();
        first.push_back((QString("1 ") + QString::fromLatin1(f.column)).left(width));
        second.push_back((QString("2 ") + QString::fromLatin1(f.column)).left(width));
    }
    WriteParadoxTable(dir + "/Store.DB", store, {first, second});
    WriteParadoxTable(dir + "/currency.db", {{"Валута", PxKind::Alpha, 3}, {"Курс", PxKind::Alpha, 15}},
                      {PxRow{QString("EUR"), QString("1,95583")}, PxRow{QString("USD"), QString("1,7")},
                       PxRow{QString("GBP"), QString("2,3")}, PxRow{QString("CHF"), QString("1,8")}});
}

TEST_F(DataFolderSetUp, MovesTheOldTablesInTheirOwnOrder) {
    const QByteArray logo1 = testsupport::JpegLikeBytes(3000, 1);
    const QByteArray logo2 = testsupport::JpegLikeBytes(500, 2);
    WriteOldTables(folder.Path(), logo1, logo2);
    platform::SetDecimalSeparatorOverride(QChar(','));
    // The work place chosen: its tables are re-pointed, then the set-up runs.
    testsupport::WriteFile(Path(PathKind::NetworkFile), folder.Path().toUtf8() + "\r\n1\r\n");
    DataModule1->OpenDatabaseLocation(folder.Path());
    const QString file = folder.File("tovelx.fdb");
    EXPECT_TRUE(DataModule1->GenerateKeys);
    EXPECT_FALSE(Form7->isVisible());
    // Records go in from the last to the first and are then exchanged back:
    // the keys run 3, 2, 1 while the contents keep the old order.
    DataModule1->cust.Refresh();
    std::vector<QString> keys, names;
    for (int i = 1; i <= DataModule1->cust.RecordCount(); ++i) {
        DataModule1->cust.SetRecNo(i);
        keys.push_back(DataModule1->cust.FieldByName("pnom").AsString());
        names.push_back(DataModule1->cust.FieldByName("Company1").AsString());
    }
    EXPECT_EQ(keys, (std::vector<QString>{"3", "2", "1"}));
    EXPECT_EQ(names, (std::vector<QString>{"Алфа ООД", "Бета АД", "Гама ЕТ"}));
    EXPECT_EQ(QueryRows(file, "select custno, company1, grp, vat, id, address1, respperson1, phone, fax, email, "
                              "contactperson1, notes, company2 from customer where pnom = '3'"),
              QStringList{"1|Алфа ООД|А|BG111|111|София|Иван|02 1|02 2|a@a.bg|Мария|първи|"});
    // Own firms: Bulgarian and English details side by side, pictures with them.
    EXPECT_EQ(QueryRows(file, "select pnom, invoiceno, proformano, supplier1, supplier2, vop from firm"),
              QStringList({"2|0000000012|0000000003|Моята фирма ООД|My firm Ltd|0000000004",
                           "1|0000000001||Втора фирма|Second firm|"}));
    DataModule1->firm.SetRecNo(1);
    EXPECT_EQ(DataModule1->firm.FieldByName("LOGO").AsBytes(), logo1);
    EXPECT_EQ(DataModule1->firm.FieldByName("LOGO2").AsBytes(), logo2);
    DataModule1->firm.SetRecNo(2);
    EXPECT_EQ(DataModule1->firm.FieldByName("LOGO").AsBytes(), logo2);
    EXPECT_TRUE(DataModule1->firm.FieldByName("LOGO2").IsNull());

    EXPECT_EQ(QueryRows(file, "select bank, iban, swift from details"),
              QStringList{"Банка ДСК|BG80BNBG96611020345678|STSABGSF"});
    EXPECT_EQ(QueryRows(file, "select num, char_length(description1), unit1, qty, price, sellprice from stock"),
              QStringList({"1|300|бр.|3|2,50|3,75", "2|6|час|1|10,00|20,00"}));  // 2,5 into a whole-number column
    EXPECT_EQ(QueryRows(file, "select name1, hiredon, salary from employee"), QStringList{"Иван Иванов|01.02.2010|900"});
    EXPECT_EQ(QueryRows(file, "select document, stocks, anuliranal, us from store order by pnom desc"),
              QStringList({"1 Document|1 stocks|1 Anuliran|", "2 Document|2 stocks|2 Anuliran|"}));
    EXPECT_EQ(QueryRows(file, "select currency from currency"), QStringList({"EUR", "USD", "GBP", "CHF"}));
    EXPECT_EQ(QueryRows(file, "select count(*) from userp"), QStringList{"0"});
    // Every record once and every exchanged pair once.
    EXPECT_EQ(Form7->CGauge1->maximum(), data::MoveProgressMaximum({3, 2, 1, 2, 1, 2, 4}));
    EXPECT_EQ(Form7->CGauge1->value(), Form7->CGauge1->maximum());
    platform::SetDecimalSeparatorOverride(std::nullopt);
}

// The move as it ran before, row by row through the data sets: every record
// inserted from the last to the first with its record number as key, then
// the contents (pictures apart) exchanged end for end and written back.
void MoveRowByRow(const QString& databaseFolder) {
    TDataModule1* dm = DataModule1;
    dm->GenerateKeys = false;
    dm->ConnectFirebird(databaseFolder);
    data::DataSet* targets[] = {&dm->cust, &dm->firm, &dm->details, &dm->stock, &dm->employee, &dm->store, &dm->currency};
    for (size_t m = 0; m < 7; ++m) {
        data::DataSet& target = *targets[m];
        data::TTable& source = *dm->ParadoxTables()[m];
        source.Open();
        dm->TTableae.Open();
        for (int n = source.RecordCount(); n >= 1; --n) {
            source.SetRecNo(n);
            dm->TTableae.SetRecNo(n);
            target.Insert();
            target.FieldByName("pnom").SetAsString(QString::number(n));
            for (const data::FieldMove& f : data::OldTableMoves()[m].fields) {
                const data::TTable& from = f.fromEnglishTable ? dm->TTableae : source;
                data::Field field = target.FieldByName(f.column);
                if (f.kind == data::FieldMove::Kind::Picture) field.SetAsBytes(from.Picture(QString::fromUtf8(f.field)));
                else field.SetAsString(from.FieldText(QString::fromUtf8(f.field)));
            }
            target.Post();
        }
        target.Refresh();
        for (const bool pictures : {false, true}) {
            if (pictures && !target.HasField("LOGO")) break;
            const int count = target.RecordCount();
            for (int i = 1; i <= count / 2; ++i) {
                std::vector<QByteArray> values[2];
                for (const int k : {0, 1}) {
                    target.SetRecNo(k == 0 ? i : count + 1 - i);
                    for (const data::ColumnInfo& c : target.Columns()) {
                        const bool picture = c.name.startsWith("LOGO");
                        if (c.name == "PNOM" || picture != pictures) continue;
                        values[k].push_back(pictures ? target.FieldByName(c.name).AsBytes()
                                                     : target.FieldByName(c.name).AsString().toUtf8());
                    }
                }
                for (const int k : {0, 1}) {
                    target.SetRecNo(k == 0 ? i : count + 1 - i);
                    target.Edit();
                    size_t v = 0;
                    for (const data::ColumnInfo& c : target.Columns()) {
                        const bool picture = c.name.startsWith("LOGO");
                        if (c.name == "PNOM" || picture != pictures) continue;
                        if (pictures) target.FieldByName(c.name).SetAsBytes(values[1 - k][v++]);
                        else target.FieldByName(c.name).SetAsString(QString::fromUtf8(values[1 - k][v++]));
                    }
                    target.Post();
                }
            }
            target.Refresh();
        }
    }
    dm->GenerateKeys = true;
}

TEST_F(DataFolderSetUp, TheMoveLeavesTheTablesAsTheRowByRowMoveDid) {
    const std::vector<std::vector<int>> sizes = {{1, 1, 1, 1, 1, 1, 1}, {2, 2, 2, 2, 2, 2, 2}, {3, 3, 3, 3, 3, 3, 3},
                                                 {7, 7, 7, 7, 7, 7, 7}, {150, 3, 0, 2, 1, 2, 1}};
    for (const std::vector<int>& records : sizes) {
        testsupport::TempFolder old, rowByRow;
        testsupport::WriteOldDataFolder(old.Path(), records);
        for (data::TTable* t : DataModule1->ParadoxTables()) t->Close(), t->SetDatabaseName(old.Path());
        // The window is repainted and handles its events while the move goes on.
        int gaugeSeen = -1;
        QTimer::singleShot(0, [&] { gaugeSeen = Form7->CGauge1->value(); });
        Run(old.Path());
        EXPECT_EQ(Form7->CGauge1->value(), Form7->CGauge1->maximum());
        EXPECT_GT(gaugeSeen, 0);
        if (records[0] > 100) EXPECT_LT(gaugeSeen, Form7->CGauge1->maximum());
        EXPECT_TRUE(DataModule1->GenerateKeys);
        EXPECT_EQ(DataModule1->cust.RecordCount(), records[0]);

        for (data::TTable* t : DataModule1->ParadoxTables()) t->Close();
        testsupport::CreateSchemaDatabase(rowByRow.Path());
        MoveRowByRow(rowByRow.Path());
        DataModule1->IBDatabase1.Close();
        for (const data::TableDef& t : data::SchemaTables()) {
            // Rows read back in the order they are stored: keys, contents and order alike.
            const QString select = "select * from " + QString::fromLatin1(t.name);
            EXPECT_EQ(QueryRows(old.File("tovelx.fdb"), select), QueryRows(rowByRow.File("tovelx.fdb"), select))
                << t.name << " with " << records[0] << " records";
        }
    }
}

TEST_F(DataFolderSetUp, AMoveThatFailsPartWayLeavesNoDatabaseAndIsTriedAgain) {
    const std::vector<int> records = {3, 2, 2, 3, 1, 2, 2};
    const struct {
        const char* what;
        std::function<void(const QString&)> damage;
        QStringList shown;
    } cases[] = {
        {"a truncated third table",
         [](const QString& dir) {
             const QByteArray bytes = testsupport::ReadFile(dir + "/Details.db");
             const int header = uchar(bytes[2]) | uchar(bytes[3]) << 8;  // the records start after it
             testsupport::WriteFile(dir + "/Details.db", bytes.left(header + 40));
         },
         {"Details.db", "повреден"}},
        {"a memo pointing outside its file",
         [](const QString& dir) {
             testsupport::WriteFile(dir + "/stock.mb", testsupport::ReadFile(dir + "/stock.mb").left(4200));
         },
         {"stock.mb", "„Описание на стока/услуга“", "запис 3"}},
        {"a value too long for its column",
         [&](const QString& dir) {
             testsupport::WriteOldDataFolder(dir, records, [](const QString& table, int record, const QString& field,
                                                              testsupport::PxValue& value) {
                 if (table == "customer.db" && record == 2 && field == "ИН по ЗДДС") value = QString(21, '9');
             });
         },
         {"„customer.db“, запис 2, поле „ИН по ЗДДС“", "21 знака", "VAT", "20"}},
    };
    for (const auto& c : cases) {
        testsupport::TempFolder old;
        testsupport::WriteOldDataFolder(old.Path(), records);
        c.damage(old.Path());
        std::map<QString, QByteArray> before;
        for (const QString& name : QDir(old.Path()).entryList(QDir::Files)) before[name] = testsupport::ReadFile(old.File(name));
        for (data::TTable* t : DataModule1->ParadoxTables()) t->Close(), t->SetDatabaseName(old.Path());
        dialogs.Clear();
        EXPECT_THROW(Run(old.Path()), platform::Exception) << c.what;

        EXPECT_FALSE(QFile::exists(old.File("tovelx.fdb"))) << c.what;
        EXPECT_FALSE(Form7->isVisible()) << c.what;
        EXPECT_TRUE(DataModule1->GenerateKeys) << c.what;
        ASSERT_EQ(dialogs.Shown().size(), 1u) << c.what;
        for (const QString& part : c.shown) EXPECT_TRUE(dialogs.Shown()[0].text.contains(part)) << dialogs.Shown()[0].text.toStdString();
        EXPECT_TRUE(dialogs.Shown()[0].text.contains("опитано отново при следващото стартиране"));
        for (const auto& [name, bytes] : before) EXPECT_EQ(testsupport::ReadFile(old.File(name)), bytes) << name.toStdString();

        // Mended, the old tables move at the next try.
        for (data::TTable* t : DataModule1->ParadoxTables()) t->Close();
        testsupport::WriteOldDataFolder(old.Path(), records);
        Run(old.Path());
        EXPECT_EQ(QueryRows(old.File("tovelx.fdb"), "select count(*) from stock"), QStringList{"3"}) << c.what;
    }
}

}  // namespace
